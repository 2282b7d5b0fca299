#pragma once
// The one command a start of Vemlix may be given, for scripts and the Task Scheduler. Read
// from the arguments after the program's name, as Windows hands them to the program.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class CommandKind {
  kNone,  // no arguments: an ordinary start
  kTake,
  kAutoOn,
  kAutoOff,
  kShow,
  kHide,
  kExit,
  kUsage,    // "/?"
  kInvalid,  // anything else: unknown, malformed, too long, or not valid UTF-16
};

struct Command {
  CommandKind kind = CommandKind::kNone;
  std::wstring name;  // the shot's name, for kTake
};

// Longest argument text accepted, and longest shot name.
constexpr size_t kMaxCommandLine = 32 * 1024;
constexpr size_t kMaxShotName = 4096;

// Splits `arguments` as the Microsoft C runtime does: blanks separate, double quotes group,
// 2n backslashes before a quote give n and the quote groups, 2n+1 give n and a literal quote,
// and a doubled quote inside quotes gives one.
std::vector<std::wstring> splitArguments(std::wstring_view arguments);

// False when a surrogate has no partner (each wchar_t holds one UTF-16 unit).
bool isValidUtf16(std::wstring_view text);

// The command in `arguments`. The switches are matched without regard to case.
Command parseCommandLine(std::wstring_view arguments);

// What "/?" prints.
std::wstring commandLineUsage();
