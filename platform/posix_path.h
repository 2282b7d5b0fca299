#pragma once
// Wide paths to the UTF-8 byte paths POSIX calls take, and back.
#include <string>

#include "platform/text_codec.h"

namespace platform {

inline std::string nativePath(const std::wstring& path) {
  return encodeUtf8(path, false);
}
inline std::wstring widePath(const std::string& path) {
  return decodeUtf8(path);
}

}  // namespace platform
