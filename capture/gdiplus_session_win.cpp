#include "capture/gdiplus_session_win.h"

// The GDI+ headers need the property types of objidl.h, which windows.h leaves out here.
#include <objidl.h>
// After objidl.h.
#include <gdiplus.h>

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
  started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (started_) Gdiplus::GdiplusShutdown(token_);
}
