#include "capture/image_format.h"

namespace {

constexpr std::array<ImageFormat, ImageFormat::kCount> kFormats = {{
    {L"Bmp - Windows Bitmap Format", L".bmp", L"image/bmp"},
    {L"Jpeg - Joint Photographic Experts Group Format", L".jpg", L"image/jpeg"},
    {L"Gif - Graphics interchange Format", L".gif", L"image/gif"},
    {L"Tiff - Tagged Image File Format", L".tiff", L"image/tiff"},
    {L"Png - Portable Network Graphics Format", L".png", L"image/png"},
}};

}  // namespace

const std::array<ImageFormat, ImageFormat::kCount>& ImageFormat::all() {
  return kFormats;
}

const ImageFormat& ImageFormat::byIndex(int32_t index) {
  if (index < 0 || index >= kCount) return kFormats[kPngIndex];
  return kFormats[static_cast<size_t>(index)];
}
