#include "ui/shot_settings_dialog.h"

#include "settings/number_text.h"
#include "ui/base_dialog.h"
#include "ui/dialog_ids.h"
#include "ui/folder_picker.h"
#include "ui/ftp_settings_dialog.h"
#include "ui/schedule_storage_dialog.h"

namespace {

class ShotSettingsDialog final : public BaseDialog {
 public:
  ShotSettingsDialog(ShotDefinition& shot, bool isNewShot) : shot_(shot), isNewShot_(isNewShot) {}

  bool run(HWND owner) { return runModal(owner, IDD_SHOT_SETTINGS) == IDOK; }

 private:
  void onInitDialog() override {
    setItemText(IDC_SHOT_NAME, shot_.NAME);
    setChecked(IDC_USE_DEFAULTS, shot_.USE_GLOBAL_SETTINGS);
    setChecked(IDC_AUTO_MODE, shot_.AUTO_ENABLED);
    setItemText(IDC_INTERVAL, decimalText(shot_.AUTO_INTERVAL));
    setItemText(IDC_LABELS, isNewShot_ ? L"default" : shot_.TIMESTAMP);
    fillFormatList(IDC_FORMAT, shot_.FORMAT);
    setChecked(IDC_SAVE_LOCAL, shot_.USE_OWN_LOCAL_SETTINGS);
    setItemText(IDC_LOCAL_PATH, shot_.LOCAL_PATH);
    setChecked(IDC_SAVE_FTP, shot_.USE_OWN_FTP_SETTINGS);
    setItemText(IDC_FTP_PATH, shot_.FTP_FOLDER);
    applyEnablingRules();
  }

  INT_PTR onCommand(int id) override {
    switch (id) {
      case IDC_USE_DEFAULTS:
      case IDC_AUTO_MODE:
      case IDC_SAVE_LOCAL:
      case IDC_SAVE_FTP:
        applyEnablingRules();
        return TRUE;
      case IDC_BROWSE:
        onBrowse();
        return TRUE;
      case IDC_FTP_SERVER_SETTINGS:
        onFtpServerSettings();
        return TRUE;
      case IDC_SCHEDULE_STORAGE:
        // Into this dialog's copy: only this dialog's Save keeps what was saved there.
        runScheduleStorageDialog(dialog_, shot_);
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

  // Greyed out, never cleared: a shot on the default settings keeps its own values for the
  // day it leaves them.
  void applyEnablingRules() const {
    const bool own = !isChecked(IDC_USE_DEFAULTS);
    enableItem(IDC_AUTO_MODE, own);
    enableItem(IDC_INTERVAL, own && isChecked(IDC_AUTO_MODE));
    enableItem(IDC_LABELS, own);
    enableItem(IDC_FORMAT, own);
    enableItem(IDC_SAVE_LOCAL, own);
    const bool local = own && isChecked(IDC_SAVE_LOCAL);
    enableItem(IDC_LOCAL_PATH, local);
    enableItem(IDC_BROWSE, local);
    enableItem(IDC_SAVE_FTP, own);
    const bool ftp = own && isChecked(IDC_SAVE_FTP);
    enableItem(IDC_FTP_PATH, ftp);
    enableItem(IDC_FTP_SERVER_SETTINGS, ftp);
  }

  void onBrowse() {
    std::wstring folder;
    if (pickFolder(dialog_, folder)) setItemText(IDC_LOCAL_PATH, folder);
  }

  void onFtpServerSettings() {
    FtpLogin login{shot_.FTP_SERVER, shot_.FTP_USER, shot_.FTP_PASS};
    if (!runFtpSettingsDialog(dialog_, login)) return;
    shot_.FTP_SERVER = std::move(login.server);
    shot_.FTP_USER = std::move(login.user);
    shot_.FTP_PASS = std::move(login.passwordCipherText);
  }

  // Disabled fields are written too: they still hold the values the dialog opened with.
  void onSave() {
    shot_.NAME = itemText(IDC_SHOT_NAME);
    shot_.USE_GLOBAL_SETTINGS = isChecked(IDC_USE_DEFAULTS);
    shot_.AUTO_ENABLED = isChecked(IDC_AUTO_MODE);
    shot_.AUTO_INTERVAL = parseDecimal(itemText(IDC_INTERVAL));
    shot_.TIMESTAMP = itemText(IDC_LABELS);
    shot_.FORMAT = selectedFormat(IDC_FORMAT);
    shot_.USE_OWN_LOCAL_SETTINGS = isChecked(IDC_SAVE_LOCAL);
    shot_.LOCAL_PATH = itemText(IDC_LOCAL_PATH);
    shot_.USE_OWN_FTP_SETTINGS = isChecked(IDC_SAVE_FTP);
    shot_.FTP_FOLDER = itemText(IDC_FTP_PATH);
    shot_.DEFAULT_FTP_SERVER = false;
    EndDialog(dialog_, IDOK);
  }

  ShotDefinition& shot_;
  const bool isNewShot_;
};

}  // namespace

bool runShotSettingsDialog(HWND owner, ShotDefinition& shot, bool isNewShot) {
  ShotDefinition edited = shot;
  ShotSettingsDialog dialog(edited, isNewShot);
  if (!dialog.run(owner)) return false;
  shot = std::move(edited);
  return true;
}
