#include "shots/folder_variables.h"

#include <gtest/gtest.h>

namespace {

std::optional<std::wstring> fleet(std::wstring_view name) {
  if (name == L"COMPUTERNAME") return L"PC-07";
  if (name == L"USERNAME") return L"%ann%";
  return std::nullopt;
}

TEST(FolderVariablesTest, SetVariablesAreExpandedAndAnythingElseStaysAsTyped) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"shots/%COMPUTERNAME%", L"shots/PC-07"},
      {L"%COMPUTERNAME%/%USERNAME%/x", L"PC-07/%ann%/x"},  // a value is not expanded again
      {L"shots/daily", L"shots/daily"},
      {L"100%", L"100%"},
      {L"%NOT_SET%/%COMPUTERNAME%", L"%NOT_SET%/PC-07"},
      {L"%%COMPUTERNAME%", L"%PC-07"},
      {L"50%_%COMPUTERNAME%", L"50%_PC-07"},
      {L"", L""},
  };
  for (const auto& [typed, expanded] : cases)
    EXPECT_EQ(expandFolderVariables(typed, fleet), expanded) << testing::PrintToString(typed);
}

}  // namespace
