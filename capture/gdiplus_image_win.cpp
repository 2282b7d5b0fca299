#include "capture/gdiplus_image_win.h"

#include <vector>

namespace gdip {

namespace {

// {1d5be4b5-fa4a-452d-9cdd-5db35105e7eb}; defined here so no import library has to supply it.
constexpr GUID kEncoderQuality = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

}  // namespace

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
