#pragma once
// What the main window's commands do, one handler a command; the command table names them.
// They run on the UI thread.
#include <windows.h>

class MainWindow;

class MainCommands {
 public:
  explicit MainCommands(MainWindow& window) : window_(window) {}
  MainCommands(const MainCommands&) = delete;
  MainCommands& operator=(const MainCommands&) = delete;

  // Carries out the command `id`; false when it is no command.
  bool run(UINT id);

  void takeShot();
  void newShot();
  void deleteShot();
  void editShot();
  void switchAutomaticMode();
  void setAutomaticMode(bool on);
  void openSettings();
  void openHelp();
  void openAbout();
  void openHomePage();
  void openLog();
  void minimize();
  void showOrHide();
  // Shows the window if it is hidden and brings it to the front.
  void activate();
  void exitProgram();

 private:
  HWND window() const;

  MainWindow& window_;
  // How often Exit has come back waiting for this thread's dialogs to close.
  int exitAttempts_ = 0;
};
