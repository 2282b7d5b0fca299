#include "ui/run_key_access.h"

#include "platform/win32_handles.h"
#include "settings/app_settings.h"

namespace {

RunKeyAccess* runKeyAccess = nullptr;

win32::UniqueRegKey openForChange(const std::wstring& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return {};
  }
  return win32::UniqueRegKey(key);
}

}  // namespace

RunKeyAccess& RunKeyAccess::instance() {
  if (!runKeyAccess) runKeyAccess = new RunKeyAccess();
  return *runKeyAccess;
}

void RunKeyAccess::release() {
  delete runKeyAccess;
  runKeyAccess = nullptr;
}

HRESULT RunKeyAccess::setRunValue(const std::wstring& subKey, const std::wstring& valueName,
                                  const std::wstring& data) const {
  win32::UniqueRegKey key = openForChange(subKey);
  if (!key) return E_INVALIDARG;
  // The stored size counts the terminating null.
  const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  const LONG result = RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()), bytes);
  return result == ERROR_SUCCESS ? S_OK : E_INVALIDARG;
}

HRESULT RunKeyAccess::deleteRunValue(const std::wstring& subKey,
                                     const std::wstring& valueName) const {
  win32::UniqueRegKey key = openForChange(subKey);
  if (!key) return E_INVALIDARG;
  return RegDeleteValueW(key.get(), valueName.c_str()) == ERROR_SUCCESS ? S_OK : E_INVALIDARG;
}

void updateRunValue(const AppSettings& settings) {
  RunKeyAccess& run = RunKeyAccess::instance();
  if (settings.getBool(SettingId::LOAD_ON_START)) {
    // Quoted, so that a folder with spaces cannot start a program named after its first word.
    const std::wstring command = L"\"" + settings.getString(SettingId::HOME_PATH) + L"Vemlix.exe\"";
    run.setRunValue(kRunSubKey, kRunValueName, command);
  } else {
    run.deleteRunValue(kRunSubKey, kRunValueName);
  }
}
