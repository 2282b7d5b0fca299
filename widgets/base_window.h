#pragma once
// The one way the program makes a window. A class describes its window class once
// (`static WindowClass windowClass()`), which is registered on first use; the object is attached
// at WM_NCCREATE (it arrives as the creation parameter), every later message goes to its
// handleMessage, and it owns its window: destroying the object destroys a window still there.
// Detached at WM_NCDESTROY, after which the object may be deleted.
#include <windows.h>

#include <string>

#include "platform/win32_handles.h"

// What a window class is made of.
struct WindowClass {
  std::wstring name;
  UINT style = CS_HREDRAW | CS_VREDRAW;
  HBRUSH background = nullptr;
  UINT icon = 0;  // resource ids in the module; 0 for none
  UINT smallIcon = 0;
};

// Registers the class with `procedure`; true when it is registered, by this call or before.
bool registerWindowClass(HINSTANCE module, const WindowClass& description, WNDPROC procedure);

template <typename Derived>
class BaseWindow {
 public:
  HWND window() const { return window_.get(); }

  static bool registerClass(HINSTANCE module) {
    return registerWindowClass(module, Derived::windowClass(), procedure);
  }

 protected:
  BaseWindow() = default;
  // Detached first: the derived object is gone, so the last messages go to the default.
  ~BaseWindow() {
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  }
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // Makes the window of the class, registering the class when it is not yet; null when it
  // could not be made.
  HWND create(HINSTANCE module, DWORD exStyle, const std::wstring& title, DWORD style,
              const RECT& place, HWND parent) {
    registerClass(module);
    return CreateWindowExW(exStyle, Derived::windowClass().name.c_str(), title.c_str(), style,
                           place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, nullptr, module,
                           static_cast<Derived*>(this));
  }

  LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window(), message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->window_.reset(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);

    const LRESULT result = self->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->window_.release();  // the system is destroying it
    }
    return result;
  }

  win32::UniqueWindow window_;
};
