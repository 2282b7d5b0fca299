#pragma once
// Starts Vemlix.exe as a separate process for a test and finds its windows.
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

#include "platform/win32_handles.h"

// The Windows form (on Wine's Z: drive) of a path on the build machine.
std::wstring windowsPathOf(const char* hostPath);
// The Windows form of the built Vemlix.exe.
std::wstring vemlixExePath();

// The data folder Vemlix uses in this Wine prefix: Documents\Vemlix\SharedData.
std::wstring sharedDataFolder();
std::wstring settingsFilePath();

// Names of the files in `folder` that match a wildcard pattern such as L"*.png".
std::set<std::wstring> filesMatching(const std::wstring& folder, const std::wstring& pattern);

// The temporary files captures write (vmp*.tmp in the temporary folder).
std::set<std::wstring> captureTemporaryFiles();

// Removes Documents\Vemlix and everything in it, and the picture ledger, as on a machine that
// never ran Vemlix.
void removeVemlixData();

// The picture ledger in %LOCALAPPDATA%\Vemlix, and one number it holds, read beside a running
// Vemlix without changing anything: SQL such as "SELECT count(*) FROM delivery". -1 when it
// cannot be read.
std::wstring ledgerPath();
int64_t ledgerCount(const char* sql);

// Writes a settings file whose keys are the defaults with the given lines replacing theirs
// ("KEY=value" each), so a test never reaches the default update address.
void writeSettings(const std::wstring& overrides);

class VemlixProcess {
 public:
  explicit VemlixProcess(const std::wstring& program = vemlixExePath(),
                         const std::wstring& arguments = L"");
  ~VemlixProcess();  // ends the process if it still runs
  VemlixProcess(const VemlixProcess&) = delete;
  VemlixProcess& operator=(const VemlixProcess&) = delete;

  bool started() const { return static_cast<bool>(process_); }
  // The process's top-level window of class "VEMLIX", waiting up to `timeoutMs` for it.
  HWND waitForMainWindow(DWORD timeoutMs = 15000) const;
  // Waits until the window is visible at full alpha 240.
  bool waitUntilShown(HWND window, DWORD timeoutMs = 15000) const;
  // Waits for the process to end; false on time-out.
  bool waitForExit(DWORD timeoutMs, DWORD& exitCode) const;
  DWORD id() const { return processId_; }

 private:
  win32::UniqueHandle process_;
  DWORD processId_ = 0;
};

// Polls `condition` every 50 ms until it holds or `timeoutMs` passes.
template <typename Condition>
bool waitFor(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}
