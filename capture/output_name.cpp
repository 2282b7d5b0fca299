#include "capture/output_name.h"

#include <algorithm>
#include <array>

#include "capture/image_format.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace {

bool isForbidden(wchar_t c) {
  return c < 0x20 || c == 0x7F ||
         std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
}

bool isHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

void stripTrailingDotsAndSpaces(std::wstring& text) {
  while (!text.empty() && (text.back() == L'.' || text.back() == L' ')) text.pop_back();
}

wchar_t upper(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Windows opens a device instead of a file for these names, with any extension after them.
bool isDeviceName(std::wstring_view name) {
  std::wstring base(name.substr(0, name.find(L'.')));
  stripTrailingDotsAndSpaces(base);
  std::transform(base.begin(), base.end(), base.begin(), upper);
  static constexpr std::array<std::wstring_view, 6> kDevices = {L"CON", L"PRN",    L"AUX",
                                                                L"NUL", L"CONIN$", L"CONOUT$"};
  if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end()) return true;
  return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
         base[3] >= L'1' && base[3] <= L'9';
}

// Cuts `text` to at most `length` units without splitting a surrogate pair.
void cutTo(std::wstring& text, size_t length) {
  if (text.size() <= length) return;
  if (length > 0 && isHighSurrogate(text[length - 1])) --length;
  text.resize(length);
}

const std::wstring& folderOf(const EffectiveShot& shot, std::wstring& pictures) {
  if (!shot.localFolder.empty()) return shot.localFolder;
  pictures = platform::picturesFolder();
  return pictures;
}

// The file name of both copies: as long as the local path leaves room for, so that the one
// name fits both places.
std::wstring fileNameFor(const EffectiveShot& shot, std::wstring_view stamp) {
  std::wstring pictures;
  const size_t folderLength = folderOf(shot, pictures).size() + 1;
  const size_t room = folderLength < kMaxPathLength ? kMaxPathLength - folderLength : 0;
  return outputFileName(shot.name, stamp, shot.format, std::min(room, kMaxFileNameLength));
}

}  // namespace

std::wstring safeFileName(std::wstring_view stem, std::wstring_view extension, size_t maxLength) {
  std::wstring name(stem);
  std::replace_if(name.begin(), name.end(), isForbidden, L'-');
  std::wstring tail(extension);
  std::replace_if(tail.begin(), tail.end(), isForbidden, L'-');
  if (isDeviceName(name + tail)) name.insert(name.begin(), L'_');
  // The extension stays whole: it tells what the picture is.
  cutTo(name, maxLength > tail.size() ? maxLength - tail.size() : 0);
  name += tail;
  stripTrailingDotsAndSpaces(name);
  return name;
}

std::wstring outputFileName(std::wstring_view name, std::wstring_view stamp, int32_t format,
                            size_t maxLength) {
  std::wstring stem(name);
  if (!stamp.empty()) {
    stem += L'-';
    stem += stamp;
  }
  return safeFileName(stem, ImageFormat::byIndex(format).extension, maxLength);
}

std::wstring localTargetPath(const EffectiveShot& shot, std::wstring_view stamp) {
  std::wstring pictures;
  std::wstring path = folderOf(shot, pictures);
  path += platform::kPathSeparator;
  path += fileNameFor(shot, stamp);
  return path;
}

std::wstring remoteFileName(const EffectiveShot& shot, std::wstring_view stamp) {
  std::wstring path;
  if (!shot.ftp.folder.empty()) path = L"/" + shot.ftp.folder + L"/";
  path += fileNameFor(shot, stamp);
  return path;
}
