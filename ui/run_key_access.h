#pragma once
// The program's value in the current user's Run key, which starts it at logon.
#include <windows.h>

#include <string>

class AppSettings;

inline constexpr const wchar_t* kRunSubKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr const wchar_t* kRunValueName = L"Vemlix";

// Holds nothing: one object for the program, made on first use and freed by release() when
// the main window goes.
class RunKeyAccess {
 public:
  static RunKeyAccess& instance();
  static void release();

  // Each opens `subKey` under HKEY_CURRENT_USER (never creating it) for this one change:
  // S_OK, or E_INVALIDARG when the key cannot be opened or the change fails.
  HRESULT setRunValue(const std::wstring& subKey, const std::wstring& valueName,
                      const std::wstring& data) const;
  HRESULT deleteRunValue(const std::wstring& subKey, const std::wstring& valueName) const;

  RunKeyAccess(const RunKeyAccess&) = delete;
  RunKeyAccess& operator=(const RunKeyAccess&) = delete;

 private:
  RunKeyAccess() = default;
  ~RunKeyAccess() = default;
};

// Sets the Run value to the program's path in quotes when "Launch on Windows Startup"
// (LOAD_ON_START) is on, deletes it when it is off. A registry that refuses is left as it is.
void updateRunValue(const AppSettings& settings);
