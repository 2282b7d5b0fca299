#include "ui/about_dialog.h"

#include "platform/win32_handles.h"
#include "settings/app_settings.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"

namespace {

constexpr int kPictureSize = 48;  // pixels, the bitmap's own size

class AboutDialog final : public BaseDialog {
 public:
  void run(HWND owner) { runModal(owner, IDD_ABOUT); }

 private:
  INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_INITDIALOG:
        onInitDialog();
        return FALSE;  // no control takes the focus
      case WM_COMMAND:
        return onCommand(LOWORD(wParam));
      case WM_DESTROY:
        onDestroy();
        return FALSE;
    }
    return FALSE;
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
    setItemText(IDC_ABOUT_VERSION,
                L"Vemlix v" + AppSettings::instance().getString(SettingId::VERSION));
  }

  INT_PTR onCommand(int id) override {
    if (id != IDOK && id != IDCANCEL) return FALSE;
    EndDialog(dialog_, id);
    return TRUE;
  }

  // A picture with alpha is shown from a copy the control makes and hands back, not frees.
  void onDestroy() {
    auto shown = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(dialog_, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0));
    win32::UniqueBitmap controlsCopy(shown != picture_.get() ? shown : nullptr);
  }

  win32::UniqueBitmap picture_;
};

}  // namespace

void runAboutDialog(HWND owner) {
  AboutDialog dialog;
  dialog.run(owner);
}
