#pragma once
// How a capture ended.
enum class CaptureResult {
  kCaptured,   // a new temporary image file
  kUnchanged,  // the pixels were those of the shot's last capture: nothing was encoded
  kFailed,
};
