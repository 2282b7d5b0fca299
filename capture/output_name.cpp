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

void replaceForbidden(std::wstring& text) {
  std::replace_if(text.begin(), text.end(), isForbidden, L'-');
}

// `stem` + `tail`, with the stem cut so that the whole is at most `maxLength` long. The device
// name test comes before and after the cut: cutting can make one ("CONSOLE" cut to "CON").
std::wstring joinCut(std::wstring stem, const std::wstring& tail, size_t maxLength) {
  const size_t room = maxLength > tail.size() ? maxLength - tail.size() : 0;
  if (isDeviceName(stem + tail)) stem.insert(stem.begin(), L'_');
  cutTo(stem, room);
  if (isDeviceName(stem + tail)) {
    stem.insert(stem.begin(), L'_');
    cutTo(stem, room);
  }
  std::wstring name = stem + tail;
  stripTrailingDotsAndSpaces(name);
  return name;
}

// The longest file name the local copy's folder leaves room for.
size_t localRoom(const std::wstring& folder) {
  const size_t folderLength = folder.size() + 1;
  const size_t room = folderLength < kMaxPathLength ? kMaxPathLength - folderLength : 0;
  return std::min(room, kMaxFileNameLength);
}

// The file name of both copies: as long as the local path leaves room for, so that the one
// name fits both places. When no local name fits, the server's alone.
std::wstring fileNameFor(const EffectiveShot& shot, std::wstring_view stamp) {
  if (auto local = outputFileName(shot.name, stamp, shot.format, localRoom(localFolderOf(shot)))) {
    return std::move(*local);
  }
  return outputFileName(shot.name, stamp, shot.format).value_or(std::wstring());
}

}  // namespace

std::wstring safeFileName(std::wstring_view stem, std::wstring_view extension, size_t maxLength) {
  std::wstring name(stem);
  replaceForbidden(name);
  std::wstring tail(extension);
  replaceForbidden(tail);
  // The extension stays whole: it tells what the picture is.
  return joinCut(std::move(name), tail, maxLength);
}

std::optional<std::wstring> outputFileName(std::wstring_view name, std::wstring_view stamp,
                                           int32_t format, size_t maxLength) {
  std::wstring stem(name);
  replaceForbidden(stem);
  std::wstring tail;
  if (!stamp.empty()) {
    tail += L'-';
    tail += stamp;
  }
  tail += ImageFormat::byIndex(format).extension;
  replaceForbidden(tail);
  // The time text and the extension stay whole, with at least a trace of the name before them.
  const size_t leastName = stem.empty() ? 0 : 1;
  if (tail.size() + leastName > maxLength) return std::nullopt;
  return joinCut(std::move(stem), tail, maxLength);
}

std::wstring localFolderOf(const EffectiveShot& shot) {
  return shot.localFolder.empty() ? platform::picturesFolder() : shot.localFolder;
}

std::optional<std::wstring> localTargetPath(const EffectiveShot& shot, std::wstring_view stamp) {
  std::wstring path = localFolderOf(shot);
  auto fileName = outputFileName(shot.name, stamp, shot.format, localRoom(path));
  if (!fileName) return std::nullopt;
  path += platform::kPathSeparator;
  path += *fileName;
  return path;
}

std::wstring serverFileName(const EffectiveShot& shot, std::wstring_view stamp) {
  return fileNameFor(shot, stamp);
}

std::wstring remotePathIn(const FtpAccount& account, std::wstring_view fileName) {
  std::wstring path;
  if (!account.folder.empty()) path = L"/" + account.folder + L"/";
  path += fileName;
  return path;
}

std::wstring remoteFileName(const EffectiveShot& shot, std::wstring_view stamp) {
  return remotePathIn(shot.ftp, serverFileName(shot, stamp));
}
