#include "app/command_line.h"

namespace {

bool isBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

bool isHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// The switch words are ASCII, so this is enough to compare them.
std::wstring lowerAscii(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

Command invalid() {
  return {CommandKind::kInvalid, {}};
}

Command withoutValue(const std::wstring& word) {
  if (word == L"/?") return {CommandKind::kUsage, {}};
  if (word == L"/show") return {CommandKind::kShow, {}};
  if (word == L"/hide") return {CommandKind::kHide, {}};
  if (word == L"/exit") return {CommandKind::kExit, {}};
  return invalid();
}

Command withValue(const std::wstring& word, const std::wstring& value) {
  if (word == L"/take") {
    if (value.empty() || value.size() > kMaxShotName) return invalid();
    return {CommandKind::kTake, value};
  }
  if (word == L"/auto") {
    const std::wstring state = lowerAscii(value);
    if (state == L"on") return {CommandKind::kAutoOn, {}};
    if (state == L"off") return {CommandKind::kAutoOff, {}};
  }
  return invalid();
}

}  // namespace

std::vector<std::wstring> splitArguments(std::wstring_view arguments) {
  std::vector<std::wstring> parts;
  size_t at = 0;
  while (true) {
    while (at < arguments.size() && isBlank(arguments[at])) ++at;
    if (at == arguments.size()) return parts;
    std::wstring part;
    bool quoted = false;
    while (at < arguments.size() && (quoted || !isBlank(arguments[at]))) {
      size_t backslashes = 0;
      while (at < arguments.size() && arguments[at] == L'\\') {
        ++backslashes;
        ++at;
      }
      if (at < arguments.size() && arguments[at] == L'"') {
        part.append(backslashes / 2, L'\\');
        if (backslashes % 2 == 1) {
          part += L'"';
        } else if (quoted && at + 1 < arguments.size() && arguments[at + 1] == L'"') {
          part += L'"';
          ++at;
        } else {
          quoted = !quoted;
        }
        ++at;
      } else {
        part.append(backslashes, L'\\');
        if (at < arguments.size() && (quoted || !isBlank(arguments[at]))) part += arguments[at++];
      }
    }
    parts.push_back(std::move(part));
  }
}

bool isValidUtf16(std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto unit = static_cast<unsigned long>(text[i]);
    if (unit > 0xFFFF) return false;  // never one unit of UTF-16
    if (isLowSurrogate(text[i])) return false;
    if (!isHighSurrogate(text[i])) continue;
    if (i + 1 == text.size() || !isLowSurrogate(text[i + 1])) return false;
    ++i;
  }
  return true;
}

Command parseCommandLine(std::wstring_view arguments) {
  if (arguments.size() > kMaxCommandLine || !isValidUtf16(arguments)) return invalid();
  const std::vector<std::wstring> parts = splitArguments(arguments);
  if (parts.empty()) return {};
  const std::wstring word = lowerAscii(parts[0]);
  if (parts.size() == 1) return withoutValue(word);
  if (parts.size() == 2) return withValue(word, parts[1]);
  return invalid();
}

std::wstring commandLineUsage() {
  return L"Vemlix.exe takes one command, carried out by the Vemlix that runs:\r\n"
         L"\r\n"
         L"  /take \"NAME\"   takes the shot of that name now (exit code 3: no such shot)\r\n"
         L"  /auto on|off   switches Automatic Mode on or off\r\n"
         L"  /show, /hide   shows or hides the window\r\n"
         L"  /exit          ends Vemlix\r\n"
         L"  /?             shows this text\r\n"
         L"\r\n"
         L"Exit code 0: done; 2: not a command; 3: no shot has that name; 4: the running "
         L"Vemlix could not be reached.\r\n";
}
