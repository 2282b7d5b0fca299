#pragma once
// How a capture ended, and what it gave.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/temporary_file.h"

enum class CaptureResult {
  kCaptured,   // a new temporary image file
  kUnchanged,  // the pixels were those of the shot's last kept picture: nothing was encoded
  kFailed,
};

// The captured pixels of a shot that skips unchanged pictures: they become the ones the next
// capture is compared with once this picture has been kept.
using CapturedPixels = std::shared_ptr<const std::vector<uint32_t>>;

struct CapturedPicture {
  platform::TemporaryFile file;
  CapturedPixels pixels;  // null for a shot that does not skip unchanged pictures
};
