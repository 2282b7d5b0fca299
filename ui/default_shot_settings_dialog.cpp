#include "ui/default_shot_settings_dialog.h"

#include "scheduler/program_deliveries_win.h"
#include "settings/app_settings.h"
#include "ui/dialog_ids.h"
#include "ui/ftp_settings_dialog.h"
#include "ui/shot_fields_dialog.h"

namespace {

class DefaultShotSettingsDialog final : public ShotFieldsDialog {
 public:
  explicit DefaultShotSettingsDialog(AppSettings& settings) : settings_(settings) {}

  bool run(HWND owner) { return runModal(owner, IDD_DEFAULT_SHOT_SETTINGS); }

 private:
  // Every control starts enabled, the interval too, whatever the box shows.
  void onInitDialog() override {
    showShotFields(
        {settings_.getInt(SettingId::AUTO_SHOT_ENABLE) == 1,
         settings_.getString(SettingId::SHOT_INTERVAL),
         settings_.getString(SettingId::SHOT_TIMESTAMP), settings_.getInt(SettingId::SHOT_FORMAT),
         settings_.getString(SettingId::LOCAL_PATH), settings_.getString(SettingId::FTP_FOLDER)});
  }

  INT_PTR onCommand(int id) override {
    switch (id) {
      case IDC_AUTO_MODE:
        enableItem(IDC_INTERVAL, isChecked(IDC_AUTO_MODE));
        return TRUE;
    }
    return onSharedCommand(id) ? TRUE : FALSE;
  }

  // Kept at once: a Cancel in the dialogs around this one does not take the account back.
  void onFtpServerSettings() override {
    FtpLogin login{settings_.getString(SettingId::FTP_SERVER),
                   settings_.getString(SettingId::FTP_USER),
                   settings_.getString(SettingId::FTP_PASSWORD)};
    const AccountTestSetup test{itemText(IDC_FTP_PATH), knownHostsPath(settings_)};
    if (!runFtpSettingsDialog(dialog_, login, test)) return;
    settings_.setString(SettingId::FTP_SERVER, std::move(login.server));
    settings_.setString(SettingId::FTP_USER, std::move(login.user));
    settings_.setString(SettingId::FTP_PASSWORD, std::move(login.passwordCipherText));
    settings_.save();
  }

  // Numbers are kept as typed; readers take their leading digits.
  bool onSave() override {
    const ShotFieldValues values = readShotFields();
    settings_.setInt(SettingId::AUTO_SHOT_ENABLE, values.automatic ? 1 : 0);
    settings_.setString(SettingId::SHOT_INTERVAL, values.interval);
    settings_.setString(SettingId::SHOT_TIMESTAMP, values.labels);
    settings_.setInt(SettingId::SHOT_FORMAT, values.format);
    settings_.setString(SettingId::LOCAL_PATH, values.localPath);
    settings_.setString(SettingId::FTP_FOLDER, values.ftpFolder);
    settings_.save();
    return true;
  }

  AppSettings& settings_;
};

}  // namespace

bool runDefaultShotSettingsDialog(HWND owner, AppSettings& settings) {
  return DefaultShotSettingsDialog(settings).run(owner);
}
