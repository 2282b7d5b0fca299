#include "settings/settings_file.h"

#include "platform/text_codec.h"

namespace {

// Key texts end with '=' and contain no other '=', so at most one of them begins any line.
std::optional<int> keyAtLineStart(std::wstring_view line) {
  for (int i = 0; i < kSettingCount; ++i) {
    if (line.starts_with(settingKeyText(static_cast<SettingId>(i)))) return i;
  }
  return std::nullopt;
}

std::wstring_view withoutLineEnd(std::wstring_view line, bool endedByLineFeed) {
  if (endedByLineFeed && line.ends_with(L'\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

FoundSettings parseSettingsFile(std::string_view bytes) {
  const std::wstring text = decodeTextFile(bytes);
  const std::wstring_view all(text);
  FoundSettings found;
  size_t start = 0;
  while (start < all.size()) {
    const size_t feed = all.find(L'\n', start);
    const bool endedByLineFeed = feed != std::wstring_view::npos;
    const size_t end = endedByLineFeed ? feed : all.size();
    const std::wstring_view line = withoutLineEnd(all.substr(start, end - start), endedByLineFeed);
    if (const auto index = keyAtLineStart(line); index && !found[*index]) {
      const size_t keyLength = std::wstring_view(settingKeyText(SettingId(*index))).size();
      found[*index] = std::wstring(line.substr(keyLength));
    }
    start = end + 1;
  }
  return found;
}

std::string formatSettingsFile(const SettingValues& values) {
  std::wstring text;
  for (int i = 0; i < kSettingCount; ++i) {
    const std::wstring& value = values[static_cast<size_t>(i)];
    text += settingKeyText(static_cast<SettingId>(i));
    text += std::wstring_view(value).substr(0, value.find(L'\n'));
    text += L"\r\n";
  }
  return encodeUtf8(text, true);
}
