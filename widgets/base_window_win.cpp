#include "widgets/base_window.h"

bool registerWindowClass(HINSTANCE module, const WindowClass& description, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = description.style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = module;
  if (description.icon) windowClass.hIcon = LoadIconW(module, MAKEINTRESOURCEW(description.icon));
  if (description.smallIcon)
    windowClass.hIconSm = LoadIconW(module, MAKEINTRESOURCEW(description.smallIcon));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = description.background;
  windowClass.lpszClassName = description.name.c_str();
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
