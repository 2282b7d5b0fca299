#pragma once
// Owners for the Win32 handles the program holds. Each frees its handle exactly once.
#include <windows.h>

#include "platform/unique_resource.h"

namespace win32 {

inline void closeHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void destroyWindow(HWND h) {
  ::DestroyWindow(h);
}
inline void deleteDc(HDC h) {
  ::DeleteDC(h);
}
inline void deleteGdiObject(HGDIOBJ h) {
  ::DeleteObject(h);
}
inline void destroyIcon(HICON h) {
  ::DestroyIcon(h);
}
inline void destroyAcceleratorTable(HACCEL h) {
  ::DestroyAcceleratorTable(h);
}
inline void closeRegKey(HKEY h) {
  ::RegCloseKey(h);
}
inline void findClose(HANDLE h) {
  ::FindClose(h);
}
inline void destroyMenu(HMENU h) {
  ::DestroyMenu(h);
}
inline HANDLE invalidFileHandle() {
  return INVALID_HANDLE_VALUE;
}

using UniqueHandle = UniqueResource<HANDLE, closeHandle>;
using UniqueFileHandle = UniqueResource<HANDLE, closeHandle, invalidFileHandle>;
using UniqueFindHandle = UniqueResource<HANDLE, findClose, invalidFileHandle>;
using UniqueWindow = UniqueResource<HWND, destroyWindow>;
using UniqueMemoryDc = UniqueResource<HDC, deleteDc>;
using UniqueBitmap = UniqueResource<HBITMAP, deleteGdiObject>;
using UniqueFont = UniqueResource<HFONT, deleteGdiObject>;
using UniqueBrush = UniqueResource<HBRUSH, deleteGdiObject>;
using UniqueIcon = UniqueResource<HICON, destroyIcon>;
using UniqueRegKey = UniqueResource<HKEY, closeRegKey>;
using UniqueMenu = UniqueResource<HMENU, destroyMenu>;
using UniqueAccelerators = UniqueResource<HACCEL, destroyAcceleratorTable>;

// A device context from GetDC, which must go back to ReleaseDC with its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The DC of one WM_PAINT, between BeginPaint and EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects a GDI object into a DC for one scope and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_) ::SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace win32
