#include "support/vemlix_process_win.h"

#include <shlobj.h>

#include <filesystem>
#include <fstream>

#include "delivery/sqlite_database.h"
#include "platform/folders.h"
#include "settings/app_settings.h"
#include "settings/settings_file.h"

namespace {

std::wstring documentsFolder() {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, TRUE);
  return path;
}

std::wstring localAppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_LOCAL_APPDATA, TRUE);
  return path;
}

struct FindContext {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK findMainWindow(HWND window, LPARAM lParam) {
  auto* context = reinterpret_cast<FindContext*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (owner == context->processId && std::wstring(className) == L"VEMLIX") {
    context->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::wstring windowsPathOf(const char* hostPath) {
  std::wstring path = L"Z:" + std::filesystem::path(hostPath).wstring();
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::wstring vemlixExePath() {
  return windowsPathOf(VEMLIX_EXE_PATH);
}

std::wstring sharedDataFolder() {
  return documentsFolder() + L"\\Vemlix\\SharedData";
}
std::wstring settingsFilePath() {
  return sharedDataFolder() + L"\\AppSettings.idx";
}

std::set<std::wstring> filesMatching(const std::wstring& folder, const std::wstring& pattern) {
  std::set<std::wstring> names;
  std::wstring query = folder;
  if (!query.empty() && query.back() != L'\\') query += L'\\';
  WIN32_FIND_DATAW found{};
  win32::UniqueFindHandle search(FindFirstFileW((query + pattern).c_str(), &found));
  if (!search) return names;
  do {
    names.insert(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

std::set<std::wstring> captureTemporaryFiles() {
  return filesMatching(platform::tempFolder(), L"vmp*.tmp");
}

std::wstring ledgerPath() {
  return localAppDataFolder() + L"\\Vemlix\\Vemlix.db";
}

int64_t ledgerCount(const char* sql) {
  std::string error;
  auto db = sqlite::Database::open(ledgerPath(), error);
  if (!db) return -1;
  db->execute("PRAGMA busy_timeout = 5000");
  sqlite::Statement count(db->get(), sql);
  return count.step() == SQLITE_ROW ? count.integer(0) : -1;
}

void removeVemlixData() {
  std::error_code ignored;
  std::filesystem::remove_all(documentsFolder() + L"\\Vemlix", ignored);
  for (const wchar_t* suffix : {L"", L"-wal", L"-shm"})
    std::filesystem::remove(ledgerPath() + suffix, ignored);
}

void writeSettings(const std::wstring& overrides) {
  // Test defaults: nothing starts by itself and nothing reaches the default update address.
  SettingValues values;
  auto set = [&values](SettingId id, std::wstring value) {
    values[static_cast<size_t>(id)] = std::move(value);
  };
  // Where the program runs from: a file naming another folder would be rewritten at start.
  const std::wstring program = vemlixExePath();
  set(SettingId::HOME_PATH, program.substr(0, program.find_last_of(L'\\') + 1));
  set(SettingId::DOCS_PATH, documentsFolder() + L"\\Vemlix\\");
  set(SettingId::VERSION, kProgramVersion);
  set(SettingId::VERSION_PATH, L"http://127.0.0.1:9/vemlix.version");
  set(SettingId::VEMLIX_HOME, L"http://127.0.0.1:9/projects/vemlix/");
  for (SettingId flag : {SettingId::SCHED_ON, SettingId::START_ON_TRAY, SettingId::LOAD_ON_START,
                         SettingId::CHECK_UPDATES, SettingId::DISABLE_IDLE,
                         SettingId::DISABLE_IDLE_INTERVAL, SettingId::AUTO_SHOT_ENABLE})
    set(flag, L"0");
  set(SettingId::SHOT_INTERVAL, L"60");
  set(SettingId::SHOT_TIMESTAMP, L"default");
  set(SettingId::SHOT_FORMAT, L"4");
  set(SettingId::WND_XPOS, L"100");
  set(SettingId::WND_YPOS, L"100");

  // Each override line "KEY=value" replaces that key's value.
  size_t lineStart = 0;
  while (lineStart < overrides.size()) {
    size_t lineEnd = overrides.find(L'\n', lineStart);
    if (lineEnd == std::wstring::npos) lineEnd = overrides.size();
    const std::wstring line = overrides.substr(lineStart, lineEnd - lineStart);
    for (int i = 0; i < kSettingCount; ++i) {
      const std::wstring key = AppSettings::keyText(static_cast<SettingId>(i));
      if (line.rfind(key, 0) == 0) values[i] = line.substr(key.size());
    }
    lineStart = lineEnd + 1;
  }

  std::filesystem::create_directories(sharedDataFolder());
  std::ofstream out(std::filesystem::path(settingsFilePath()), std::ios::binary);
  out << formatSettingsFile(values);
}

VemlixProcess::VemlixProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
  }
}

VemlixProcess::~VemlixProcess() {
  DWORD code = 0;
  if (process_ && !waitForExit(0, code)) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

HWND VemlixProcess::waitForMainWindow(DWORD timeoutMs) const {
  FindContext context{processId_, nullptr};
  waitFor(
      [&] {
        EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&context));
        return context.found != nullptr;
      },
      timeoutMs);
  return context.found;
}

bool VemlixProcess::waitUntilShown(HWND window, DWORD timeoutMs) const {
  return waitFor(
      [&] {
        BYTE alpha = 0;
        DWORD flags = 0;
        return IsWindowVisible(window) &&
               GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) && alpha == 240;
      },
      timeoutMs);
}

bool VemlixProcess::waitForExit(DWORD timeoutMs, DWORD& exitCode) const {
  if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_.get(), &exitCode);
  return true;
}
