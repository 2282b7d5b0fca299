#pragma once
// What the main window's commands do, one handler a command; the command table names them.
// They run on the UI thread.
#include <windows.h>

#include <string>

class AppSettings;

// What the commands need of the window they belong to.
class CommandHost {
 public:
  virtual HWND window() const = 0;
  virtual AppSettings& settings() const = 0;
  virtual const std::wstring& title() const = 0;
  // The Automatic Mode button's pictures, for running or stopped.
  virtual void showAutomaticMode(bool running) = 0;

 protected:
  ~CommandHost() = default;
};

class MainCommands {
 public:
  explicit MainCommands(CommandHost& host) : host_(host) {}
  MainCommands(const MainCommands&) = delete;
  MainCommands& operator=(const MainCommands&) = delete;

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

  CommandHost& host_;
  // How often Exit has come back waiting for this thread's dialogs to close.
  int exitAttempts_ = 0;
};
