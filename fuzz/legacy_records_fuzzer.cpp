// The records of older versions are files anyone could have edited or planted: whatever they
// hold, reading them must not crash, and what they name must come from their own text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "delivery/legacy_records.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text =
      decodeTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const auto& [name, pictures] : replayOldJournal(text)) {
    for (const auto& [path, seconds] : pictures) {
      if (text.find(path) == std::wstring::npos || seconds < 0) std::abort();
    }
  }
  const OldWaitingUpload entry = parseOldOutboxEntry(text);
  if (entry.fileName.find(L'/') != std::wstring::npos) std::abort();
  if (text.find(entry.path) == std::wstring::npos) std::abort();
  return 0;
}
