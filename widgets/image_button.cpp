#include "widgets/image_button.h"

#include <atomic>
#include <utility>

#include "widgets/button_accessible.h"
#include "widgets/dpi_scale.h"
#include "widgets/tooltip_window.h"

namespace {

std::atomic<HINSTANCE> buttonModule{nullptr};

HINSTANCE buttonsModule() {
  return buttonModule;
}

constexpr DWORD kCommandDelayMs = 50;   // the normal picture shows before the command runs
constexpr DWORD kTooltipDelayMs = 250;  // the mouse must rest before the tooltip shows

// A bitmap resource at the size the button has on its monitor. The greys of the 3-D look are
// mapped to the system's colours, as in the other controls.
win32::UniqueBitmap loadPicture(UINT id, int width, int height, UINT dpi) {
  HINSTANCE module = buttonsModule();
  const bool ownSize = dpi == dpi::kBase;
  for (UINT candidate : {dpi::pictureId(id, dpi), id}) {
    HANDLE image = LoadImageW(module, MAKEINTRESOURCEW(LOWORD(candidate)), IMAGE_BITMAP,
                              ownSize ? 0 : width, ownSize ? 0 : height, LR_LOADMAP3DCOLORS);
    if (image) return win32::UniqueBitmap(static_cast<HBITMAP>(image));
  }
  return {};
}

void showPicture(const ButtonRecord& record, HBITMAP picture) {
  SendMessageW(record.imageWindow, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

// Loads the record's pictures for `dpi` and shows one of them; the old pictures are freed only
// once the image control no longer shows them.
void replacePictures(ButtonRecord& record, UINT dpi) {
  const int width = dpi::scale(record.width, dpi);
  const int height = dpi::scale(record.height, dpi);
  win32::UniqueBitmap normal = loadPicture(record.normalImageId, width, height, dpi);
  win32::UniqueBitmap pressed = loadPicture(record.pressedImageId, width, height, dpi);
  showPicture(record, record.pressed ? pressed.get() : normal.get());
  record.normalImage = std::move(normal);
  record.pressedImage = std::move(pressed);
}

void rearm(ButtonRecord& record) {
  TrackMouseEvent(&record.mouseTracking);
}

void onLeftButtonDown(ButtonRecord& record) {
  if (record.pressed) return;
  rearm(record);
  TooltipWindow::instance().hide();
  showPicture(record, record.pressedImage.get());
  record.pressed = true;
}

// A release over the button, or a screen reader's press.
void press(const ButtonRecordPtr& held) {
  showPicture(*held, held->normalImage.get());
  held->pressed = false;
  Sleep(kCommandDelayMs);
  // The command may shut the widgets down (Exit); the record is not used after it.
  const HWND notify = held->notifyWindow;
  const UINT command = held->commandId;
  SendMessageW(notify, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

std::wstring tooltipFor(const std::wstring& name, const std::wstring& keyText) {
  return keyText.empty() ? name : name + L" (" + keyText + L")";
}

void onMouseMove(ButtonRecord& record, WPARAM keys) {
  if (keys & MK_LBUTTON) {
    rearm(record);
    return;
  }
  record.pressed = false;
  rearm(record);
  TooltipWindow& tooltip = TooltipWindow::instance();
  if (tooltip.isVisible()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  Sleep(kTooltipDelayMs);
  const UINT dpi = dpi::of(record.buttonWindow);
  tooltip.show(record.tooltipText, cursor.x - dpi::scale(record.width, dpi),
               cursor.y - dpi::scale(record.height, dpi));
}

void onMouseHover(ButtonRecord& record) {
  if (record.pressed) {
    showPicture(record, record.pressedImage.get());
  } else {
    rearm(record);
  }
}

void onMouseLeave(ButtonRecord& record) {
  if (record.pressed) showPicture(record, record.normalImage.get());
  // Also when it does not show yet: a show asked for by another thread may still be on its way.
  TooltipWindow::instance().hide();
}

}  // namespace

void ImageButton::useModule(HINSTANCE module) {
  buttonModule = module;
}

ImageButton::ImageButton() {
  TooltipWindow::instance();
}

ImageButton::~ImageButton() {
  TooltipWindow::instance().hide();
}

void ImageButton::create(HWND parentWindow, HWND notifyWindow, int x, int y, int width, int height,
                         UINT normalImageId, UINT pressedImageId, UINT commandId,
                         const std::wstring& name, const std::wstring& keyText) {
  auto record = std::make_shared<ButtonRecord>();
  record->commandId = commandId;
  record->notifyWindow = notifyWindow;
  record->parentWindow = parentWindow;
  record->x = x;
  record->y = y;
  record->width = width;
  record->height = height;
  record->normalImageId = normalImageId;
  record->pressedImageId = pressedImageId;
  record->tooltipText = tooltipFor(name, keyText);

  const UINT dpi = dpi::of(parentWindow);
  const RECT place{dpi::scale(x, dpi), dpi::scale(y, dpi), dpi::scale(x + width, dpi),
                   dpi::scale(y + height, dpi)};
  HWND button = BaseWindow::create(buttonsModule(), 0, name, WS_CHILD, place, parentWindow);
  record->buttonWindow = button;
  if (!button) return;
  ButtonRegistry::instance().insert(button, record);
  record->mouseTracking = {sizeof(TRACKMOUSEEVENT), TME_HOVER | TME_LEAVE, button, 1};
  record->imageWindow = CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0,
                                        dpi::scale(width, dpi), dpi::scale(height, dpi), button,
                                        nullptr, buttonsModule(), nullptr);
  replacePictures(*record, dpi);
  ShowWindow(button, SW_SHOW);
  ShowWindow(record->imageWindow, SW_SHOW);
  record_ = std::move(record);
}

void ImageButton::setImages(UINT normalImageId, UINT pressedImageId) {
  const ButtonRecordPtr record = ButtonRegistry::instance().find(window());
  if (!record) return;
  record->pressed = false;
  record->normalImageId = normalImageId;
  record->pressedImageId = pressedImageId;
  replacePictures(*record, dpi::of(window()));
}

void ImageButton::applyDpi(UINT dpi) {
  if (!record_ || !window()) return;
  ButtonRecord& record = *record_;
  const int width = dpi::scale(record.width, dpi);
  const int height = dpi::scale(record.height, dpi);
  SetWindowPos(window(), nullptr, dpi::scale(record.x, dpi), dpi::scale(record.y, dpi), width,
               height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(record.imageWindow, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  replacePictures(record, dpi);
}

LRESULT ImageButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Held for the whole message: a shutdown of the widgets meanwhile cannot free it.
  const HWND window = this->window();
  const ButtonRecordPtr record = ButtonRegistry::instance().find(window);
  switch (message) {
    case WM_LBUTTONDOWN:
      if (record) onLeftButtonDown(*record);
      return 0;
    case WM_LBUTTONUP:
      if (record) press(record);
      break;
    case kPressButtonMessage:
      if (record) press(record);
      return 0;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == OBJID_CLIENT)
        return ButtonAccessible::answer(window, wParam);
      break;
    case WM_MOUSEMOVE:
      if (record) onMouseMove(*record, wParam);
      return 0;
    case WM_MOUSEHOVER:
      if (record) onMouseHover(*record);
      return 0;
    case WM_MOUSELEAVE:
      if (record) onMouseLeave(*record);
      return 0;
    case WM_PAINT: {
      const win32::PaintDc nothingToDraw(window);  // the picture control draws itself
      return 0;
    }
    case WM_NCDESTROY:
      // A destroyed button's handle may soon name another window.
      ButtonRegistry::instance().erase(window);
      break;
  }
  return defaultProcessing(message, wParam, lParam);
}
