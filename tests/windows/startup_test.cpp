// Vemlix.exe started as a real process under Wine: first start, start on tray, a second
// start (in the same session, and with one in another session), and the system close command.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include "app/single_instance_win.h"
#include "platform/text_codec.h"
#include "platform/win32_handles.h"
#include "shots/shots_file.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

std::string fileText(const std::wstring& path) {
  return readBytes(path);
}

// The texts of a window's children, one after the other.
std::wstring windowTexts(HWND window) {
  std::wstring texts;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM all) {
        wchar_t text[1024] = {};
        GetWindowTextW(child, text, 1024);
        *reinterpret_cast<std::wstring*>(all) += std::wstring(text) + L"\n";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The text as Notepad saves "Unicode": UTF-16 LE after its byte order mark.
std::string asUtf16(const std::string& utf8) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t unit : decodeUtf8(utf8)) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

int listRows(HWND window) {
  HWND list = nullptr;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM found) {
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (std::wstring(name) != WC_LISTVIEWW) return TRUE;
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&list));
  return list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : -1;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { removeVemlixData(); }
  void TearDown() override { removeVemlixData(); }

  // Ends the program the way the system does (Alt+F4) and returns its exit code.
  static DWORD closeBySystemCommand(const VemlixProcess& vemlix, HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = 12345;
    EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
    return exitCode;
  }
};

TEST_F(StartupTest, FirstStartWritesDefaultsAndFadesInTheSkin) {
  VemlixProcess vemlix;
  ASSERT_TRUE(vemlix.started());
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(vemlix.waitUntilShown(window));

  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 300);
  EXPECT_EQ(rect.left, 400);
  EXPECT_EQ(rect.top, 400);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
  EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION);

  const std::string settings = fileText(settingsFilePath());
  ASSERT_EQ(settings.rfind("\xEF\xBB\xBFHOME_PATH=", 0), 0u) << settings;
  EXPECT_NE(settings.find("\r\nVERSION=1.3\r\n"), std::string::npos);
  EXPECT_NE(settings.find("\r\nCHECK_UPDATES=1\r\n"), std::string::npos);
  EXPECT_NE(settings.find("\r\nFTP_PASSWORD=\r\nWND_XPOS=400\r\nWND_YPOS=400\r\n"),
            std::string::npos);

  EXPECT_EQ(closeBySystemCommand(vemlix, window), 0u);
}

TEST_F(StartupTest, StartOnTrayKeepsTheWindowHidden) {
  writeSettings(L"START_ON_TRAY=1");
  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  Sleep(1500);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(closeBySystemCommand(vemlix, window), 0u);
}

TEST_F(StartupTest, SecondStartShowsTheRunningOneAndLeaves) {
  writeSettings(L"START_ON_TRAY=1");
  VemlixProcess first;
  HWND window = first.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  const std::string settingsBefore = fileText(settingsFilePath());

  VemlixProcess second;
  DWORD secondExit = 12345;
  ASSERT_TRUE(second.waitForExit(15000, secondExit));
  EXPECT_EQ(secondExit, 0u);

  EXPECT_TRUE(first.waitUntilShown(window)) << "the running Vemlix was not brought forward";
  DWORD firstExit = 0;
  EXPECT_FALSE(first.waitForExit(0, firstExit)) << "the first Vemlix ended";
  EXPECT_EQ(fileText(settingsFilePath()), settingsBefore);
  EXPECT_EQ(closeBySystemCommand(first, window), 0u);
}

TEST_F(StartupTest, MovingTheWindowStoresItsPosition) {
  writeSettings(L"WND_XPOS=abc\nWND_YPOS=120");
  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(vemlix.waitUntilShown(window));
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 120);

  SetWindowPos(window, nullptr, 210, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(waitFor(
      [] {
        const std::string text = fileText(settingsFilePath());
        return text.find("WND_XPOS=210\r\nWND_YPOS=230\r\n") != std::string::npos;
      },
      5000));
  EXPECT_EQ(closeBySystemCommand(vemlix, window), 0u);
}

// Another program holds the settings file without sharing it as Vemlix starts. Vemlix tells the
// user which file it could not read, runs on its defaults and never writes over the file, even
// once it is free again.
TEST_F(StartupTest, ASettingsFileHeldByAnotherProgramSurvivesTheRun) {
  writeSettings(L"FTP_SERVER=ftp.example.net\nFTP_USER=anna");
  const std::string before = fileText(settingsFilePath());
  win32::UniqueFileHandle held(
      CreateFileW(settingsFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);

  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  HWND message = nullptr;
  ASSERT_TRUE(waitFor(
      [&] {
        message = FindWindowW(L"#32770", L"Vemlix");
        return message != nullptr;
      },
      15000));
  EXPECT_NE(windowTexts(message).find(settingsFilePath()), std::wstring::npos);

  held.reset();
  // A move saves the settings: not over the user's file.
  SetWindowPos(window, nullptr, 210, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Sleep(1500);
  EXPECT_EQ(fileText(settingsFilePath()), before);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(closeBySystemCommand(vemlix, window), 0u);
  EXPECT_EQ(fileText(settingsFilePath()), before);
}

// Both data files saved in UTF-16 by a Windows editor: every value and every shot is read, and
// the next save writes UTF-8.
TEST_F(StartupTest, DataFilesSavedAsUnicodeKeepEveryValueAndShot) {
  writeSettings(L"FTP_SERVER=ftp.example.net\nFTP_USER=anna");
  writeBytes(settingsFilePath(), asUtf16(readBytes(settingsFilePath())));
  std::vector<ShotDefinition> shots(2);
  shots[0].NAME = L"Desk \u00e9t\u00e9";
  shots[1].NAME = L"Door";
  const std::wstring shotsPath = sharedDataFolder() + L"\\" + kShotsFileName;
  writeBytes(shotsPath, asUtf16(formatShotsFile(shots)));

  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(vemlix.waitUntilShown(window));
  EXPECT_EQ(listRows(window), 2);
  SetWindowPos(window, nullptr, 210, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(waitFor(
      [] { return fileText(settingsFilePath()).find("WND_XPOS=210") != std::string::npos; }, 5000));
  const std::string saved = fileText(settingsFilePath());
  EXPECT_NE(saved.find("FTP_SERVER=ftp.example.net"), std::string::npos) << saved;
  EXPECT_NE(saved.find("FTP_USER=anna"), std::string::npos);
  EXPECT_EQ(FindWindowW(L"#32770", L"Vemlix"), nullptr);
  EXPECT_EQ(closeBySystemCommand(vemlix, window), 0u);
}

// The running Vemlix holds the user's mutex but marks no session of this one: it runs in
// another session, whose window this start cannot reach.
TEST_F(StartupTest, AStartWhileVemlixRunsInAnotherSessionSaysSoAndLeaves) {
  win32::UniqueHandle elsewhere(CreateMutexW(nullptr, TRUE, SingleInstance::mutexName().c_str()));
  ASSERT_TRUE(elsewhere);
  VemlixProcess vemlix;
  HWND message = nullptr;
  ASSERT_TRUE(
      waitFor([&] { return (message = FindWindowW(L"#32770", L"Vemlix")) != nullptr; }, 15000));
  EXPECT_NE(windowTexts(message).find(L"another Windows session"), std::wstring::npos);
  EXPECT_EQ(FindWindowW(L"VEMLIX", nullptr), nullptr);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  DWORD exitCode = 12345;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(FindWindowW(L"VEMLIX", nullptr), nullptr);
}

TEST(SingleInstanceTest, TheGuardCoversTheUsersSessionsAndAMutexThatCannotBeMadeIsNoOtherCopy) {
  EXPECT_EQ(SingleInstance::mutexName().rfind(L"Global\\Tarnwelt.Vemlix.SingleInstance.S-1-", 0),
            0u);
  // An object of another kind under the name: CreateMutexW gives no handle at all.
  win32::UniqueHandle squatter(
      CreateEventW(nullptr, FALSE, FALSE, SingleInstance::mutexName().c_str()));
  ASSERT_TRUE(squatter);
  SingleInstance single;
  EXPECT_TRUE(single.isFirst());
}

}  // namespace
