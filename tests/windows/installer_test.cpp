// The setup and the uninstaller that `make dist` builds, run silently as a user's script would,
// and the installed Vemlix started from its new folder.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <optional>

#include "platform/text_codec.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemlix";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr WPARAM kExitCommand = 177;

std::wstring specialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
  return path;
}

std::wstring installFolder() {
  return specialFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Vemlix";
}
std::wstring installed(const std::wstring& name) {
  return installFolder() + L"\\" + name;
}
std::wstring shortcut() {
  return specialFolder(CSIDL_PROGRAMS) + L"\\Vemlix.lnk";
}
// What the setup carries: the files `make dist` packed.
std::string shipped(const std::wstring& name) {
  return readBytes(windowsPathOf(VEMLIX_DIST_FILES) + L"\\" + name);
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::wstring> registryText(const wchar_t* key, const wchar_t* value) {
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != 0)
    return std::nullopt;
  return text;
}
std::optional<DWORD> registryNumber(const wchar_t* key, const wchar_t* value) {
  DWORD number = 0;
  DWORD size = sizeof(number);
  if (RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &number, &size) != 0)
    return std::nullopt;
  return number;
}

// The program's exit code, or -1 when it did not start or did not end in time.
DWORD runToEnd(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info))
    return static_cast<DWORD>(-1);
  CloseHandle(info.hThread);
  win32::UniqueHandle process(info.hProcess);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.get(), &code);
  return code;
}

DWORD runSetup() {
  return runToEnd(windowsPathOf(VEMLIX_SETUP_PATH), L"/S");
}

DWORD runSetupInto(const std::wstring& folder) {
  return runToEnd(windowsPathOf(VEMLIX_SETUP_PATH), L"/S /D=" + folder);
}

void setRunValue(const std::wstring& command) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vemlix", REG_SZ, command.c_str(),
                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

// The uninstaller hands the work to a copy of itself in the temporary folder and returns at
// once; the folder it removes last shows its end.
bool uninstall(const std::wstring& folder = installFolder()) {
  runToEnd(folder + L"\\Uninstall.exe", L"/S");
  return waitFor([&] { return !exists(folder); }, 30000);
}

// Settings without HOME_PATH, so the program fills it in from its own folder as on a first
// start, and without the update check.
void writeSettingsWithoutHomePath() {
  writeSettings(L"");
  std::string text = readBytes(settingsFilePath());
  text.erase(text.find("HOME_PATH="), text.find("\r\n") + 2 - text.find("HOME_PATH="));
  writeBytes(settingsFilePath(), text);
}

void expectInstalledFilesAreTheShippedOnes() {
  EXPECT_EQ(readBytes(installed(L"Vemlix.exe")), shipped(L"Vemlix.exe"));
  EXPECT_EQ(readBytes(installed(L"Vemlix.chm")), shipped(L"Vemlix.chm"));
  EXPECT_EQ(filesMatching(installFolder(), L"*.*"),
            (std::set<std::wstring>{L".", L"..", L"Uninstall.exe", L"Vemlix.chm", L"Vemlix.exe"}));
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    removeVemlixData();
    if (exists(installed(L"Uninstall.exe"))) uninstall();
  }
  void TearDown() override {
    if (exists(installed(L"Uninstall.exe"))) {
      EXPECT_TRUE(uninstall());
    }
    std::error_code ignored;
    std::filesystem::remove_all(installFolder(), ignored);
    removeVemlixData();
  }
};

TEST_F(InstallerTest, SilentInstallPutsEverythingInPlaceAndVemlixRunsFromThere) {
  ASSERT_EQ(runSetup(), 0u);
  expectInstalledFilesAreTheShippedOnes();
  EXPECT_TRUE(exists(shortcut()));

  const std::wstring folder = installFolder();
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayName"), L"Vemlix");
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayVersion"), L"1.3");
  EXPECT_EQ(registryText(kUninstallKey, L"Publisher"), L"Tarnwelt");
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayIcon"), folder + L"\\Vemlix.exe,0");
  EXPECT_EQ(registryText(kUninstallKey, L"InstallLocation"), folder);
  EXPECT_EQ(registryText(kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\Uninstall.exe\"");
  EXPECT_EQ(registryText(kUninstallKey, L"QuietUninstallString"),
            L"\"" + folder + L"\\Uninstall.exe\" /S");
  EXPECT_GT(registryNumber(kUninstallKey, L"EstimatedSize").value_or(0), 100u);
  EXPECT_EQ(registryNumber(kUninstallKey, L"NoModify"), 1u);
  EXPECT_EQ(registryNumber(kUninstallKey, L"NoRepair"), 1u);

  writeSettingsWithoutHomePath();
  VemlixProcess vemlix(installed(L"Vemlix.exe"));
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  // Help and the logon entry are found through HOME_PATH, the first line of the settings.
  const std::wstring settings = decodeUtf8(readBytes(settingsFilePath()));
  const std::wstring firstLine = settings.substr(0, settings.find(L"\r\n"));
  const std::wstring expected = L"HOME_PATH=" + folder + L"\\";
  EXPECT_EQ(CompareStringOrdinal(firstLine.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL)
      << encodeUtf8(firstLine, false);
  PostMessageW(window, WM_COMMAND, kExitCommand, 0);
  DWORD exitCode = 1;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(InstallerTest, SilentUninstallRemovesTheProgramAndKeepsTheUsersData) {
  ASSERT_EQ(runSetup(), 0u);
  setRunValue(L"\"" + installed(L"Vemlix.exe") + L"\"");
  writeSettings(L"");
  const std::string settings = readBytes(settingsFilePath());
  const std::wstring picture = specialFolder(CSIDL_MYPICTURES) + L"\\Desk-uninstall-test.png";
  writeBytes(picture, "a picture");

  EXPECT_TRUE(uninstall());
  EXPECT_FALSE(exists(installFolder()));
  EXPECT_FALSE(exists(shortcut()));
  EXPECT_FALSE(registryText(kUninstallKey, L"DisplayName"));
  EXPECT_FALSE(registryText(kRunKey, L"Vemlix"));
  EXPECT_EQ(readBytes(settingsFilePath()), settings);
  EXPECT_EQ(readBytes(picture), "a picture");
  DeleteFileW(picture.c_str());
}

TEST_F(InstallerTest, InstallingOverARunningVemlixClosesItAndReplacesEveryFile) {
  ASSERT_EQ(runSetup(), 0u);
  writeBytes(installed(L"Vemlix.chm"), "the help of an older version");
  writeSettings(L"");
  VemlixProcess running(installed(L"Vemlix.exe"));
  ASSERT_NE(running.waitForMainWindow(), nullptr);

  EXPECT_EQ(runSetup(), 0u);
  DWORD exitCode = 1;
  EXPECT_TRUE(running.waitForExit(0, exitCode)) << "Vemlix still runs after the setup";
  EXPECT_EQ(exitCode, 0u) << "Vemlix did not end by its own Exit command";
  expectInstalledFilesAreTheShippedOnes();
}

TEST_F(InstallerTest, SetupChangesNothingWhileVemlixCannotBeClosed) {
  ASSERT_EQ(runSetup(), 0u);
  writeBytes(installed(L"Vemlix.chm"), "the help of an older version");
  // A Vemlix still starting holds its mutex but has no window to receive Exit yet.
  win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"Local\\Tarnwelt.Vemlix.SingleInstance"));
  ASSERT_TRUE(mutex);

  EXPECT_NE(runSetup(), 0u);
  EXPECT_EQ(readBytes(installed(L"Vemlix.chm")), "the help of an older version");
  EXPECT_EQ(readBytes(installed(L"Vemlix.exe")), shipped(L"Vemlix.exe"));
  EXPECT_TRUE(filesMatching(installFolder(), L"*.new").empty());
}

// A second installation elsewhere took over the shortcut, the logon entry and the registration:
// removing the first leaves them to it.
TEST_F(InstallerTest, UninstallLeavesWhatAnotherInstallationTookOver) {
  ASSERT_EQ(runSetup(), 0u);
  const std::wstring other = specialFolder(CSIDL_LOCAL_APPDATA) + L"\\Other Vemlix";
  ASSERT_EQ(runSetupInto(other), 0u);
  const std::wstring otherCommand = L"\"" + other + L"\\Vemlix.exe\"";
  setRunValue(otherCommand);

  EXPECT_TRUE(uninstall());
  EXPECT_TRUE(exists(shortcut()));
  EXPECT_EQ(registryText(kRunKey, L"Vemlix"), otherCommand);
  EXPECT_EQ(registryText(kUninstallKey, L"InstallLocation"), other);

  EXPECT_TRUE(uninstall(other));
  EXPECT_FALSE(exists(shortcut()));
  EXPECT_FALSE(registryText(kRunKey, L"Vemlix"));
  EXPECT_FALSE(registryText(kUninstallKey, L"DisplayName"));
}

TEST_F(InstallerTest, SetupLeavesAnotherProgramsUninstallerAlone) {
  const std::wstring folder = specialFolder(CSIDL_LOCAL_APPDATA) + L"\\Shared Tools";
  CreateDirectoryW(folder.c_str(), nullptr);
  writeBytes(folder + L"\\Uninstall.exe", "another program's uninstaller");

  EXPECT_NE(runSetupInto(folder), 0u);
  EXPECT_EQ(readBytes(folder + L"\\Uninstall.exe"), "another program's uninstaller");
  EXPECT_FALSE(exists(folder + L"\\Vemlix.exe"));
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder), ignored);
}

}  // namespace
