#pragma once
// GDI+ started for as long as the object lives.
#include <windows.h>

class GdiplusSession {
 public:
  // GdiplusStartup, version 1, with its background thread and the external codecs.
  GdiplusSession();
  // GdiplusShutdown; every GDI+ object must be gone by then.
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  bool started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};
