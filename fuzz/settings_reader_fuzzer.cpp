// Any bytes as AppSettings.idx: reading must not crash, and what the reader found must come
// back unchanged when it is written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/number_text.h"
#include "settings/settings_file.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const FoundSettings found = parseSettingsFile(bytes);

  SettingValues values;
  for (size_t i = 0; i < values.size(); ++i) {
    values[i] = found[i].value_or(std::wstring());
    require(values[i].find(L'\n') == std::wstring::npos);
    parseDecimal(values[i]);  // every value may be read as a number
  }

  const std::string written = formatSettingsFile(values);
  const FoundSettings reread = parseSettingsFile(written);
  for (size_t i = 0; i < values.size(); ++i) require(reread[i] && *reread[i] == values[i]);
  require(formatSettingsFile(values) == written);
  return 0;
}
