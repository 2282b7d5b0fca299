#include "ui/default_shot_settings_dialog.h"

#include "settings/app_settings.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"
#include "ui/folder_picker.h"
#include "ui/ftp_settings_dialog.h"

namespace {

class DefaultShotSettingsDialog final : public BaseDialog {
 public:
  bool run(HWND owner) { return runModal(owner, IDD_DEFAULT_SHOT_SETTINGS) == IDOK; }

 private:
  // Every control starts enabled, the interval too, whatever the box shows.
  void onInitDialog() override {
    setChecked(IDC_AUTO_MODE, settings_.getInt(SettingId::AUTO_SHOT_ENABLE) == 1);
    setItemText(IDC_INTERVAL, settings_.getString(SettingId::SHOT_INTERVAL));
    setItemText(IDC_LABELS, settings_.getString(SettingId::SHOT_TIMESTAMP));
    fillFormatList(IDC_FORMAT, settings_.getInt(SettingId::SHOT_FORMAT));
    setItemText(IDC_LOCAL_PATH, settings_.getString(SettingId::LOCAL_PATH));
    setItemText(IDC_FTP_PATH, settings_.getString(SettingId::FTP_FOLDER));
  }

  INT_PTR onCommand(int id) override {
    switch (id) {
      case IDC_AUTO_MODE:
        enableItem(IDC_INTERVAL, isChecked(IDC_AUTO_MODE));
        return TRUE;
      case IDC_BROWSE:
        onBrowse();
        return TRUE;
      case IDC_FTP_SERVER_SETTINGS:
        onFtpServerSettings();
        return TRUE;
      case IDOK:
        onSave();
        return TRUE;
      case IDCANCEL:
        EndDialog(dialog_, IDCANCEL);
        return TRUE;
    }
    return FALSE;
  }

  void onBrowse() {
    std::wstring folder;
    if (pickFolder(dialog_, folder)) setItemText(IDC_LOCAL_PATH, folder);
  }

  // Kept at once: a Cancel in the dialogs around this one does not take the account back.
  void onFtpServerSettings() {
    FtpLogin login{settings_.getString(SettingId::FTP_SERVER),
                   settings_.getString(SettingId::FTP_USER),
                   settings_.getString(SettingId::FTP_PASSWORD)};
    if (!runFtpSettingsDialog(dialog_, login)) return;
    settings_.setString(SettingId::FTP_SERVER, std::move(login.server));
    settings_.setString(SettingId::FTP_USER, std::move(login.user));
    settings_.setString(SettingId::FTP_PASSWORD, std::move(login.passwordCipherText));
    settings_.save();
  }

  // Numbers are kept as typed; readers take their leading digits.
  void onSave() {
    settings_.setInt(SettingId::AUTO_SHOT_ENABLE, isChecked(IDC_AUTO_MODE) ? 1 : 0);
    settings_.setString(SettingId::SHOT_INTERVAL, itemText(IDC_INTERVAL));
    settings_.setString(SettingId::SHOT_TIMESTAMP, itemText(IDC_LABELS));
    settings_.setInt(SettingId::SHOT_FORMAT, selectedFormat(IDC_FORMAT));
    settings_.setString(SettingId::LOCAL_PATH, itemText(IDC_LOCAL_PATH));
    settings_.setString(SettingId::FTP_FOLDER, itemText(IDC_FTP_PATH));
    settings_.save();
    EndDialog(dialog_, IDOK);
  }

  AppSettings& settings_ = AppSettings::instance();
};

}  // namespace

bool runDefaultShotSettingsDialog(HWND owner) {
  DefaultShotSettingsDialog dialog;
  return dialog.run(owner);
}
