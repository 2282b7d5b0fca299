#pragma once
// What a later start of the program asks the running one, by WM_COPYDATA to its main window,
// and how the running one carries it out.
#include <windows.h>

#include <string>

class MainWindow;

// dwData is one of these; for kTake the data is the shot's name in UTF-16, without a
// terminating zero.
enum class RemoteCommand : ULONG_PTR {
  kTake = 0x564D4301,
  kAutoOn,
  kAutoOff,
  kShow,
  kHide,
  kExit,
};
// The answers, which the later start hands on as its exit code.
constexpr LRESULT kRemoteDone = 0;
constexpr LRESULT kRemoteRefused = 2;
constexpr LRESULT kRemoteNoSuchShot = 3;
// The longest shot name a command may carry.
constexpr size_t kMaxRemoteShotName = 4096;

// WM_COPYDATA as the main window got it. Any program of the desktop may send it: what is not
// one of our commands, well formed, is refused.
LRESULT answerCopyData(MainWindow& window, const COPYDATASTRUCT& data);

// Carries out a command given on the command line, to this start or to a later one. Take Shot
// only starts the firing; it answers before the picture is saved.
LRESULT runRemoteCommand(MainWindow& window, RemoteCommand command, const std::wstring& shotName);
