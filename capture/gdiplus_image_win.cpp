#include "capture/gdiplus_image_win.h"

#include <cstddef>
#include <vector>

namespace gdip {

namespace {

// {1d5be4b5-fa4a-452d-9cdd-5db35105e7eb}; defined here so no import library has to supply it.
constexpr GUID kEncoderQuality = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

constexpr int kCubeLevels = 6;  // 0, 51, 102, 153, 204, 255 in each channel
constexpr int kCubeStep = 255 / (kCubeLevels - 1);
constexpr int kCubeColours = kCubeLevels * kCubeLevels * kCubeLevels;

// Locks a bitmap's pixels for one scope.
class LockedBits {
 public:
  LockedBits(Gdiplus::GpBitmap* bitmap, int width, int height, UINT mode,
             Gdiplus::PixelFormat format)
      : bitmap_(bitmap) {
    const Gdiplus::GpRect all{0, 0, width, height};
    locked_ =
        Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &all, mode, format, &data_) == Gdiplus::Ok;
  }
  ~LockedBits() {
    if (locked_) Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap_, &data_);
  }
  LockedBits(const LockedBits&) = delete;
  LockedBits& operator=(const LockedBits&) = delete;

  bool locked() const { return locked_; }
  unsigned char* row(int y) const {
    return static_cast<unsigned char*>(data_.Scan0) + static_cast<ptrdiff_t>(y) * data_.Stride;
  }

 private:
  Gdiplus::GpBitmap* bitmap_;
  Gdiplus::BitmapData data_{};
  bool locked_ = false;
};

bool setCubePalette(Gdiplus::GpBitmap* bitmap) {
  std::vector<unsigned char> block(sizeof(Gdiplus::ColorPalette) + 255 * sizeof(Gdiplus::ARGB));
  auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(block.data());
  palette->Flags = 0;
  palette->Count = 256;  // the entries after the cube stay black and unused
  for (int i = 0; i < kCubeColours; ++i) {
    const Gdiplus::ARGB red = (i / 36) * kCubeStep, green = (i / 6 % 6) * kCubeStep,
                        blue = (i % 6) * kCubeStep;
    palette->Entries[i] = 0xFF000000u | red << 16 | green << 8 | blue;
  }
  for (int i = kCubeColours; i < 256; ++i) palette->Entries[i] = 0xFF000000u;
  return Gdiplus::DllExports::GdipSetImagePalette(bitmap, palette) == Gdiplus::Ok;
}

}  // namespace

UniqueBitmap reduceToColourCube(Gdiplus::GpBitmap* image, int width, int height) {
  Gdiplus::GpBitmap* created = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat8bppIndexed,
                                                     nullptr, &created) != Gdiplus::Ok) {
    return {};
  }
  UniqueBitmap indexed(created);
  if (!setCubePalette(indexed.get())) return {};
  const LockedBits source(image, width, height, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB);
  const LockedBits target(indexed.get(), width, height, Gdiplus::ImageLockModeWrite,
                          PixelFormat8bppIndexed);
  if (!source.locked() || !target.locked()) return {};
  unsigned char nearest[256];
  for (int value = 0; value < 256; ++value) {
    nearest[value] = static_cast<unsigned char>((value + kCubeStep / 2) / kCubeStep);
  }
  for (int y = 0; y < height; ++y) {
    const unsigned char* bgr = source.row(y);  // 24-bit pixels are stored blue, green, red
    unsigned char* index = target.row(y);
    for (int x = 0; x < width; ++x, bgr += 3) {
      index[x] =
          static_cast<unsigned char>(nearest[bgr[2]] * 36 + nearest[bgr[1]] * 6 + nearest[bgr[0]]);
    }
  }
  return indexed;
}

bool findEncoder(std::wstring_view mimeType, CLSID& encoder) {
  using namespace Gdiplus::DllExports;
  UINT count = 0;
  UINT bytes = 0;
  if (GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  // The codec records are followed by the strings they point at, all in the one block.
  std::vector<unsigned char> block(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
  if (GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && mimeType == codecs[i].MimeType) {
      encoder = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

bool saveImage(Gdiplus::GpBitmap* image, const std::wstring& path, const CLSID& encoder,
               long quality) {
  Gdiplus::EncoderParameters parameters{};
  parameters.Count = 1;
  parameters.Parameter[0].Guid = kEncoderQuality;
  parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Value = &quality;
  return Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &encoder, &parameters) ==
         Gdiplus::Ok;
}

}  // namespace gdip
