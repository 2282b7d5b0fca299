#include "ui/settings_dialog.h"

#include "settings/app_settings.h"
#include "ui/base_dialog.h"
#include "ui/default_shot_settings_dialog.h"
#include "ui/dialog_ids.h"
#include "ui/run_key_access.h"

namespace {

struct SettingBox {
  int control;
  SettingId setting;
};

constexpr SettingBox kBoxes[] = {
    {IDC_LAUNCH_ON_STARTUP, SettingId::LOAD_ON_START},
    {IDC_START_ON_TRAY, SettingId::START_ON_TRAY},
    {IDC_CHECK_UPDATES, SettingId::CHECK_UPDATES},
    {IDC_DISABLE_IDLE, SettingId::DISABLE_IDLE},
};

class SettingsDialog final : public BaseDialog {
 public:
  explicit SettingsDialog(AppSettings& settings) : settings_(settings) {}

  bool run(HWND owner) { return runModal(owner, IDD_SETTINGS); }

 private:
  void onInitDialog() override {
    for (const SettingBox& box : kBoxes) {
      setChecked(box.control, settings_.getInt(box.setting) == 1);
    }
    setItemText(IDC_IDLE_SECONDS, settings_.getString(SettingId::DISABLE_IDLE_INTERVAL));
    enableItem(IDC_IDLE_SECONDS, settings_.getInt(SettingId::DISABLE_IDLE) != 0);
    setItemText(IDC_MIN_FREE_MB, settings_.getString(SettingId::MIN_FREE_MB));
  }

  INT_PTR onCommand(int id) override {
    switch (id) {
      case IDC_DISABLE_IDLE:
        enableItem(IDC_IDLE_SECONDS, isChecked(IDC_DISABLE_IDLE));
        return TRUE;
      case IDC_DEFAULT_SHOT_SETTINGS:
        runDefaultShotSettingsDialog(dialog_, settings_);
        return TRUE;
    }
    return FALSE;
  }

  bool onSave() override {
    settings_.setString(SettingId::DISABLE_IDLE_INTERVAL, itemText(IDC_IDLE_SECONDS));
    settings_.setString(SettingId::MIN_FREE_MB, itemText(IDC_MIN_FREE_MB));
    for (const SettingBox& box : kBoxes)
      settings_.setInt(box.setting, isChecked(box.control) ? 1 : 0);
    settings_.save();
    updateRunValue(settings_);
    return true;
  }

  AppSettings& settings_;
};

}  // namespace

bool runSettingsDialog(HWND owner, AppSettings& settings) {
  return SettingsDialog(settings).run(owner);
}
