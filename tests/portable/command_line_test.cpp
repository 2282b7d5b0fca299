// The command a script or the Task Scheduler gives Vemlix.exe.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

CommandKind kindOf(std::wstring_view arguments) {
  return parseCommandLine(arguments).kind;
}

}  // namespace

TEST(CommandLineTest, ReadsEachCommandWhateverItsCase) {
  EXPECT_EQ(kindOf(L""), CommandKind::kNone);
  EXPECT_EQ(kindOf(L"   "), CommandKind::kNone);
  EXPECT_EQ(kindOf(L"/?"), CommandKind::kUsage);
  EXPECT_EQ(kindOf(L"/Auto ON"), CommandKind::kAutoOn);
  EXPECT_EQ(kindOf(L"/auto off"), CommandKind::kAutoOff);
  EXPECT_EQ(kindOf(L"/SHOW"), CommandKind::kShow);
  EXPECT_EQ(kindOf(L" /hide "), CommandKind::kHide);
  EXPECT_EQ(kindOf(L"/exit"), CommandKind::kExit);

  const Command take = parseCommandLine(L"/take \"My Desk\"");
  EXPECT_EQ(take.kind, CommandKind::kTake);
  EXPECT_EQ(take.name, L"My Desk");  // the name keeps its case
  EXPECT_EQ(parseCommandLine(L"/TAKE Desk").name, L"Desk");
}

TEST(CommandLineTest, RefusesWhatIsNoCommand) {
  for (const wchar_t* arguments :
       {L"/take", L"/take \"\"", L"/take a b", L"/auto", L"/auto maybe", L"/show now", L"take",
        L"/shoot Desk", L"Desk", L"/exit /exit"}) {
    EXPECT_EQ(kindOf(arguments), CommandKind::kInvalid) << arguments;
  }
}

TEST(CommandLineTest, RefusesTooLongNamesAndBrokenUtf16) {
  EXPECT_EQ(kindOf(L"/take " + std::wstring(kMaxShotName, L'x')), CommandKind::kTake);
  EXPECT_EQ(kindOf(L"/take " + std::wstring(kMaxShotName + 1, L'x')), CommandKind::kInvalid);
  EXPECT_EQ(kindOf(L"/exit" + std::wstring(kMaxCommandLine, L' ')), CommandKind::kInvalid);

  const std::wstring pair{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  EXPECT_EQ(parseCommandLine(L"/take A" + pair).name, L"A" + pair);
  const std::wstring high(1, static_cast<wchar_t>(0xD83D));
  const std::wstring low(1, static_cast<wchar_t>(0xDE00));
  EXPECT_EQ(kindOf(L"/take A" + high), CommandKind::kInvalid);
  EXPECT_EQ(kindOf(L"/take " + high + L"A"), CommandKind::kInvalid);
  EXPECT_EQ(kindOf(L"/take A" + low), CommandKind::kInvalid);
  EXPECT_EQ(kindOf(L"/exit \"" + high), CommandKind::kInvalid);  // even where unused
}

TEST(CommandLineTest, SplitsAsTheCRuntimeDoes) {
  using Parts = std::vector<std::wstring>;
  EXPECT_EQ(splitArguments(L"a  \"b c\"\td"), (Parts{L"a", L"b c", L"d"}));
  EXPECT_EQ(splitArguments(L"\"a\\\"b\""), (Parts{L"a\"b"}));        // \" is a quote
  EXPECT_EQ(splitArguments(L"\"a\\\\\" b"), (Parts{L"a\\", L"b"}));  // \\" a backslash
  EXPECT_EQ(splitArguments(L"C:\\x\\ y"), (Parts{L"C:\\x\\", L"y"}));
  EXPECT_EQ(splitArguments(L"\"say \"\"hi\"\"\""), (Parts{L"say \"hi\""}));
  EXPECT_EQ(splitArguments(L"\"\""), (Parts{L""}));
  EXPECT_EQ(splitArguments(L"\"open"), (Parts{L"open"}));
}
