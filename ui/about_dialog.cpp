#include "ui/about_dialog.h"

#include <utility>

#include "platform/win32_handles.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"

namespace {

constexpr int kPictureSize = 48;  // pixels, the bitmap's own size

class AboutDialog final : public BaseDialog {
 public:
  explicit AboutDialog(std::wstring version) : version_(std::move(version)) {}

  void run(HWND owner) { runModal(owner, IDD_ABOUT); }

 private:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        onInitDialog();
        return FALSE;  // no control takes the focus
      case WM_DESTROY:
        onDestroy();
        return FALSE;
    }
    return BaseDialog::handleMessage(message, wParam, lParam);
  }

  void onInitDialog() override {
    // A build without the picture still shows the rest.
    picture_.reset(static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(IDB_ABOUT_PICTURE),
                                                   IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    if (picture_) {
      HWND control = GetDlgItem(dialog_, IDC_ABOUT_PICTURE);
      SetWindowPos(control, HWND_TOPMOST, 0, 0, kPictureSize, kPictureSize,
                   SWP_NOMOVE | SWP_SHOWWINDOW);
      SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_.get()));
    }
    setItemText(IDC_ABOUT_VERSION, L"Vemlix v" + version_);
  }

  // A picture with alpha is shown from a copy the control makes and hands back, not frees.
  void onDestroy() {
    auto shown = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(dialog_, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0));
    win32::UniqueBitmap controlsCopy(shown != picture_.get() ? shown : nullptr);
  }

  const std::wstring version_;
  win32::UniqueBitmap picture_;
};

}  // namespace

void runAboutDialog(HWND owner, const std::wstring& version) {
  AboutDialog(version).run(owner);
}
