#pragma once
// GDI+ images through the flat API: an owner for GDI+ bitmaps, the encoder of a MIME type and
// saving with a quality value.
#include <windows.h>

// The GDI+ headers need the property types of objidl.h, which windows.h leaves out here.
#include <objidl.h>
// After objidl.h.
#include <gdiplus.h>

#include <string>
#include <string_view>

#include "platform/unique_resource.h"

namespace gdip {

inline void disposeImage(Gdiplus::GpBitmap* image) {
  Gdiplus::DllExports::GdipDisposeImage(image);
}
using UniqueBitmap = UniqueResource<Gdiplus::GpBitmap*, disposeImage>;

// The class id of the installed encoder whose MIME type is exactly `mimeType` (case matters).
// False when there is none or the list of encoders cannot be read.
bool findEncoder(std::wstring_view mimeType, CLSID& encoder);

// A copy of a 24-bit `image` of the given size as an 8-bit indexed bitmap over the 216 colours
// of the 6x6x6 colour cube, each pixel taking the nearest cube colour. Empty on failure.
UniqueBitmap reduceToColourCube(Gdiplus::GpBitmap* image, int width, int height);

// Writes `image` to `path` with `encoder`, passing EncoderQuality `quality` whatever the
// format: encoders without a quality setting leave it alone.
bool saveImage(Gdiplus::GpBitmap* image, const std::wstring& path, const CLSID& encoder,
               long quality);

}  // namespace gdip
