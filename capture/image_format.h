#pragma once
// The five image formats a shot can be saved in, by the index stored in FORMAT and
// SHOT_FORMAT. The display names fill the "Format:" drop-down lists in index order.
#include <array>
#include <cstdint>
#include <string_view>

struct ImageFormat {
  std::wstring_view displayName;
  std::wstring_view extension;  // with the leading "."
  std::wstring_view mimeType;   // selects the GDI+ encoder

  static constexpr int32_t kCount = 5;
  static constexpr int32_t kPngIndex = 4;

  static const std::array<ImageFormat, kCount>& all();

  // An index outside 0..4 (a hand-edited file) means PNG: the capture falls back to the PNG
  // encoder, so the local copy and the upload must carry ".png" too.
  static const ImageFormat& byIndex(int32_t index);
};
