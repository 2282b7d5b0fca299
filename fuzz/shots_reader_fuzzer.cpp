// ShotsData.idx is a file users may edit by hand: whatever it holds, reading must not crash,
// and the shots read must survive the program writing them back and reading them again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shots/shots_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto shots = parseShotsFile(bytes);
  const std::string written = formatShotsFile(shots);
  const auto reread = parseShotsFile(written);
  if (reread != shots) std::abort();
  if (formatShotsFile(reread) != written) std::abort();
  return 0;
}
