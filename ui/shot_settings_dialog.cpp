#include "ui/shot_settings_dialog.h"

#include "settings/number_text.h"
#include "ui/dialog_ids.h"
#include "ui/ftp_settings_dialog.h"
#include "ui/schedule_storage_dialog.h"
#include "ui/shot_fields_dialog.h"

namespace {

class ShotSettingsDialog final : public ShotFieldsDialog {
 public:
  ShotSettingsDialog(ShotDefinition& shot, bool isNewShot, const std::wstring& knownHostsPath)
      : shot_(shot), isNewShot_(isNewShot), knownHostsPath_(knownHostsPath) {}

  bool run(HWND owner) { return runModal(owner, IDD_SHOT_SETTINGS); }

 private:
  void onInitDialog() override {
    setItemText(IDC_SHOT_NAME, shot_.NAME);
    setChecked(IDC_USE_DEFAULTS, shot_.USE_GLOBAL_SETTINGS);
    showShotFields({shot_.AUTO_ENABLED, decimalText(shot_.AUTO_INTERVAL),
                    isNewShot_ ? L"default" : shot_.TIMESTAMP, shot_.FORMAT, shot_.LOCAL_PATH,
                    shot_.FTP_FOLDER});
    setChecked(IDC_SAVE_LOCAL, shot_.USE_OWN_LOCAL_SETTINGS);
    setChecked(IDC_SAVE_FTP, shot_.USE_OWN_FTP_SETTINGS);
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
      case IDC_SCHEDULE_STORAGE:
        // Into this dialog's copy: only this dialog's Save keeps what was saved there.
        runScheduleStorageDialog(dialog_, shot_);
        return TRUE;
    }
    return onSharedCommand(id) ? TRUE : FALSE;
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

  void onFtpServerSettings() override {
    FtpLogin login{shot_.FTP_SERVER, shot_.FTP_USER, shot_.FTP_PASS};
    if (!runFtpSettingsDialog(dialog_, login, {itemText(IDC_FTP_PATH), knownHostsPath_})) return;
    shot_.FTP_SERVER = std::move(login.server);
    shot_.FTP_USER = std::move(login.user);
    shot_.FTP_PASS = std::move(login.passwordCipherText);
  }

  // Disabled fields are written too: they still hold the values the dialog opened with.
  bool onSave() override {
    const ShotFieldValues values = readShotFields();
    shot_.NAME = itemText(IDC_SHOT_NAME);
    shot_.USE_GLOBAL_SETTINGS = isChecked(IDC_USE_DEFAULTS);
    shot_.AUTO_ENABLED = values.automatic;
    shot_.AUTO_INTERVAL = parseDecimal(values.interval);
    shot_.TIMESTAMP = values.labels;
    shot_.FORMAT = values.format;
    shot_.USE_OWN_LOCAL_SETTINGS = isChecked(IDC_SAVE_LOCAL);
    shot_.LOCAL_PATH = values.localPath;
    shot_.USE_OWN_FTP_SETTINGS = isChecked(IDC_SAVE_FTP);
    shot_.FTP_FOLDER = values.ftpFolder;
    shot_.DEFAULT_FTP_SERVER = false;
    return true;
  }

  ShotDefinition& shot_;
  const bool isNewShot_;
  const std::wstring knownHostsPath_;
};

}  // namespace

bool runShotSettingsDialog(HWND owner, ShotDefinition& shot, bool isNewShot,
                           const std::wstring& knownHostsPath) {
  return editCopy(shot, [&](ShotDefinition& edited) {
    return ShotSettingsDialog(edited, isNewShot, knownHostsPath).run(owner);
  });
}
