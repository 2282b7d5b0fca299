#include <cstdlib>

#include "platform/environment.h"
#include "platform/text_codec.h"

namespace platform {

std::optional<std::wstring> environmentVariable(std::wstring_view name) {
  const std::string key = encodeUtf8(name, false);
  const char* value = std::getenv(key.c_str());
  if (!value) return std::nullopt;
  return decodeUtf8(value);
}

}  // namespace platform
