// Answers the end-to-end scripts' questions about Vemlix's windows, which the X tools cannot
// see inside (the controls of a dialog are no X windows).
//   window_probe.exe rect CAPTION [CONTROL_ID]   screen rectangle "left top width height" of a
//                                                top-level window, or of one of its controls
//   window_probe.exe post CLASS MESSAGE WPARAM   posts a message to a top-level window
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int printRect(const wchar_t* caption, int controlId) {
  HWND window = FindWindowW(nullptr, caption);
  if (window && controlId) window = GetDlgItem(window, controlId);
  RECT rect{};
  if (!window || !GetWindowRect(window, &rect)) return 1;
  std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

int post(const wchar_t* windowClass, UINT message, WPARAM wParam) {
  HWND window = FindWindowW(windowClass, nullptr);
  return window && PostMessageW(window, message, wParam, 0) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Real pixels, as the X tools count them.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"rect" && argc >= 3) return printRect(argv[2], argc > 3 ? _wtoi(argv[3]) : 0);
  if (command == L"post" && argc == 5)
    return post(argv[2], static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi(argv[4])));
  std::fwprintf(stderr, L"usage: window_probe rect CAPTION [CONTROL_ID] | post CLASS MESSAGE WPARAM\n");
  return 2;
}
