#include "delivery/legacy_records.h"

#include <vector>

namespace {

// The lines of a text file, without their line ends.
std::vector<std::wstring_view> linesOf(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  while (!text.empty()) {
    const size_t end = text.find(L'\n');
    std::wstring_view line = text.substr(0, end);
    if (line.ends_with(L'\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
  }
  return lines;
}

std::optional<int64_t> decimal(std::wstring_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

// Splits "a<TAB>b<TAB>rest" into its first `count` fields and the rest.
bool splitTabs(std::wstring_view line, size_t count, std::vector<std::wstring_view>& fields) {
  fields.clear();
  for (size_t i = 0; i < count; ++i) {
    const size_t tab = line.find(L'\t');
    if (tab == std::wstring_view::npos) return false;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return true;
}

}  // namespace

OldPictures replayOldJournal(std::wstring_view text) {
  OldPictures shots;
  std::vector<std::wstring_view> f;
  for (std::wstring_view line : linesOf(text)) {
    if (line.size() < 2 || line[1] != L'\t') continue;
    const std::wstring_view rest = line.substr(2);
    if (line[0] == L'x') {
      shots.erase(std::wstring(rest));
    } else if (line[0] == L'-' && splitTabs(rest, 1, f)) {
      shots[std::wstring(f[1])].erase(std::wstring(f[0]));
    } else if (line[0] == L'+' && splitTabs(rest, 2, f)) {
      if (const auto seconds = decimal(f[0]))
        shots[std::wstring(f[2])][std::wstring(f[1])] = *seconds;
    }
  }
  return shots;
}

OldWaitingUpload parseOldOutboxEntry(std::wstring_view text) {
  std::map<std::wstring, std::wstring> values;
  for (std::wstring_view line : linesOf(text)) {
    const size_t equals = line.find(L'=');
    if (equals != std::wstring_view::npos)
      values.emplace(std::wstring(line.substr(0, equals)), std::wstring(line.substr(equals + 1)));
  }
  const std::wstring& remote = values[L"REMOTE_NAME"];
  return {values[L"SHOT"], values[L"LOCAL_FILE"], remote.substr(remote.rfind(L'/') + 1),
          decimal(values[L"QUEUED_AT"])};
}
