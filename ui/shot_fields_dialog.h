#pragma once
// The controls that Shot Settings and Default Shot Settings share, bound once to the values
// both edit: whether Automatic Mode takes the shot and how often, the time-stamp pattern, the
// format, the local folder (with its Browse button) and the folder on the server.
#include <cstdint>
#include <string>

#include "ui/base_dialog.h"

struct ShotFieldValues {
  bool automatic = false;
  std::wstring interval;  // as typed: readers take its leading digits
  std::wstring labels;
  int32_t format = 0;
  std::wstring localPath;
  std::wstring ftpFolder;
};

class ShotFieldsDialog : public BaseDialog {
 protected:
  void showShotFields(const ShotFieldValues& values) const;
  ShotFieldValues readShotFields() const;
  // The buttons both dialogs have: Browse puts the folder picked into the local path, and the
  // server's button opens the dialog's own onFtpServerSettings(). False for any other control.
  bool onSharedCommand(int id);
  virtual void onFtpServerSettings() = 0;

 private:
  void browseForFolder() const;
};
