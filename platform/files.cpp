#include "platform/files.h"

#include <thread>
#include <vector>

#include "platform/path_text.h"

namespace platform {
namespace {

bool isSeparator(wchar_t c, wchar_t separator) {
  return c == separator || (separator == L'\\' && c == L'/');
}

// The part that '..' never climbs above: "\\" of a share, "C:" or "C:\\" of a drive, "/".
size_t rootLength(std::wstring_view path, wchar_t separator) {
  if (separator != L'\\' || path.size() < 2) return 0;
  const bool share = isSeparator(path[0], separator) && isSeparator(path[1], separator);
  return share || path[1] == L':' ? 2 : 0;
}

}  // namespace

std::wstring collapsedPath(std::wstring_view path, wchar_t separator) {
  const size_t root = rootLength(path, separator);
  std::wstring out(path.substr(0, root));
  for (wchar_t& c : out) {
    if (isSeparator(c, separator)) c = separator;
  }
  const bool absolute = root < path.size() && isSeparator(path[root], separator);
  std::vector<std::wstring_view> segments;
  for (size_t at = root; at < path.size();) {
    size_t end = at;
    while (end < path.size() && !isSeparator(path[end], separator)) ++end;
    const std::wstring_view segment = path.substr(at, end - at);
    if (segment == L"..") {
      if (!segments.empty() && segments.back() != L"..")
        segments.pop_back();
      else if (!absolute && root == 0)
        segments.push_back(segment);  // a relative path's leading '..' has nothing to undo
    } else if (!segment.empty() && segment != L".") {
      segments.push_back(segment);
    }
    at = end + 1;
  }
  if (absolute && !(root == 2 && out.size() == 2 && out[0] == separator)) out += separator;
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) out += separator;
    out += segments[i];
  }
  return out;
}

std::wstring folderOf(const std::wstring& path) {
  const size_t last = path.find_last_of(L"\\/");
  return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

ReadResult readWholeFilePatiently(const std::wstring& path, std::string& bytes,
                                  std::chrono::milliseconds patience) {
  constexpr std::chrono::milliseconds kPause{100};
  const auto giveUp = std::chrono::steady_clock::now() + patience;
  for (;;) {
    const ReadResult result = readWholeFile(path, bytes);
    if (result != ReadResult::kUnreadable || std::chrono::steady_clock::now() >= giveUp) {
      return result;
    }
    std::this_thread::sleep_for(kPause);
  }
}

}  // namespace platform
