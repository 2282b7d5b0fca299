#include "ui/shot_fields_dialog.h"

#include "ui/dialog_ids.h"
#include "ui/folder_picker.h"

void ShotFieldsDialog::showShotFields(const ShotFieldValues& values) const {
  setChecked(IDC_AUTO_MODE, values.automatic);
  setItemText(IDC_INTERVAL, values.interval);
  setItemText(IDC_LABELS, values.labels);
  fillFormatList(IDC_FORMAT, values.format);
  setItemText(IDC_LOCAL_PATH, values.localPath);
  setItemText(IDC_FTP_PATH, values.ftpFolder);
}

ShotFieldValues ShotFieldsDialog::readShotFields() const {
  return {isChecked(IDC_AUTO_MODE),   itemText(IDC_INTERVAL),   itemText(IDC_LABELS),
          selectedFormat(IDC_FORMAT), itemText(IDC_LOCAL_PATH), itemText(IDC_FTP_PATH)};
}

bool ShotFieldsDialog::onSharedCommand(int id) {
  switch (id) {
    case IDC_BROWSE:
      browseForFolder();
      return true;
    case IDC_FTP_SERVER_SETTINGS:
      onFtpServerSettings();
      return true;
  }
  return false;
}

void ShotFieldsDialog::browseForFolder() const {
  std::wstring folder;
  if (pickFolder(dialog_, folder)) setItemText(IDC_LOCAL_PATH, folder);
}
