#include "support/vemlix_process_win.h"

#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::wstring documentsFolder() {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, TRUE);
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

std::string utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                 nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                      size, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::wstring vemlixExePath() {
  std::wstring path = L"Z:" + std::filesystem::path(VEMLIX_EXE_PATH).wstring();
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

std::wstring sharedDataFolder() { return documentsFolder() + L"\\Vemlix\\SharedData"; }
std::wstring settingsFilePath() { return sharedDataFolder() + L"\\AppSettings.idx"; }

void removeVemlixData() {
  std::error_code ignored;
  std::filesystem::remove_all(documentsFolder() + L"\\Vemlix", ignored);
}

void writeSettings(const std::wstring& overrides) {
  const std::vector<std::pair<std::wstring, std::wstring>> defaults = {
      {L"HOME_PATH=", L"C:\\"},
      {L"DOCS_PATH=", documentsFolder() + L"\\Vemlix\\"},
      {L"VERSION=", L"1.3"},
      {L"VERSION_PATH=", L"http://127.0.0.1:9/vemlix.version"},
      {L"VEMLIX_HOME=", L"http://127.0.0.1:9/projects/vemlix/"},
      {L"SCHED_ON=", L"0"},
      {L"START_ON_TRAY=", L"0"},
      {L"LOAD_ON_START=", L"0"},
      {L"CHECK_UPDATES=", L"0"},
      {L"DISABLE_IDLE=", L"0"},
      {L"DISABLE_IDLE_INTERVAL=", L"0"},
      {L"AUTO_SHOT_ENABLE=", L"0"},
      {L"SHOT_INTERVAL=", L"60"},
      {L"SHOT_TIMESTAMP=", L"default"},
      {L"SHOT_FORMAT=", L"4"},
      {L"LOCAL_PATH=", L""},
      {L"FTP_FOLDER=", L""},
      {L"FTP_SERVER=", L""},
      {L"FTP_USER=", L""},
      {L"FTP_PASSWORD=", L""},
      {L"WND_XPOS=", L"100"},
      {L"WND_YPOS=", L"100"},
  };
  std::wstring text;
  for (const auto& [key, value] : defaults) {
    std::wstring line = key + value;
    size_t at = overrides.find(key);
    if (at != std::wstring::npos && (at == 0 || overrides[at - 1] == L'\n')) {
      size_t end = overrides.find(L'\n', at);
      line = overrides.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
    }
    text += line + L"\r\n";
  }
  std::filesystem::create_directories(sharedDataFolder());
  std::ofstream out(std::filesystem::path(settingsFilePath()), std::ios::binary);
  out << "\xEF\xBB\xBF" << utf8(text);
}

VemlixProcess::VemlixProcess() {
  std::wstring commandLine = L"\"" + vemlixExePath() + L"\"";
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
