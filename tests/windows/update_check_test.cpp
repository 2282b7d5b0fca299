// The update check through Wine's WinINet against version files on a loopback HTTP server
// (tests/servers/http_server.py), and the start-up offer of Vemlix.exe itself.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <tlhelp32.h>

#include <chrono>
#include <string>

#include "settings/app_settings.h"
#include "app/update_checker_win.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kVersions = L"http://127.0.0.1:8080/";
constexpr const wchar_t* kNothingListening = L"http://127.0.0.1:9/vemlix.version";
constexpr const wchar_t* kNeverAnswers = L"http://127.0.0.1:8081/vemlix.version";

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { AppSettings::instance().setString(SettingId::VERSION, L"1.3"); }
  void TearDown() override { AppSettings::release(); }

  static bool newerAt(const std::wstring& url) {
    AppSettings::instance().setString(SettingId::VERSION_PATH, url);
    return UpdateChecker::isNewerVersionPublished();
  }
  static bool newerIn(const std::wstring& file) { return newerAt(kVersions + file); }
};

TEST_F(UpdateCheckTest, NewerPublishedVersionIsFound) {
  EXPECT_TRUE(newerIn(L"newer.version"));  // 1.4 with text before and after
  EXPECT_TRUE(newerIn(L"major.version"));
  EXPECT_TRUE(newerIn(L"far-marker.version"));  // past the first 2048-byte piece
}

TEST_F(UpdateCheckTest, SameOrOlderVersionIsNotNewer) {
  EXPECT_FALSE(newerIn(L"same.version"));
  EXPECT_FALSE(newerIn(L"older.version"));
  EXPECT_FALSE(newerIn(L"two-markers.version"));  // 1.2 comes first; the 2.0 after it is ignored
}

TEST_F(UpdateCheckTest, BodyWithoutMarkerIsNotNewer) {
  EXPECT_FALSE(newerIn(L"no-marker.version"));
  EXPECT_FALSE(newerIn(L"empty.version"));
  EXPECT_FALSE(newerIn(L"no-such-file.version"));  // the server's error page
  EXPECT_FALSE(newerIn(L"beyond-limit.version"));  // no version file is that long
}

TEST_F(UpdateCheckTest, UnreachableServerIsNotNewerAndStartUpGoesOnInTime) {
  auto start = Clock::now();
  EXPECT_FALSE(newerAt(kNothingListening));
  EXPECT_FALSE(newerAt(L"not a url"));
  EXPECT_LT(secondsSince(start), 3.0);

  start = Clock::now();
  EXPECT_FALSE(newerAt(kNeverAnswers));
  const double seconds = secondsSince(start);
  std::printf("update check against a silent server gave up after %.1f s\n", seconds);
  EXPECT_LT(seconds, 7.0);
}

TEST(UpdateCheckBodyTest, EachByteIsOneCharacterUpToAZeroByte) {
  std::wstring text;
  UpdateChecker::appendBytes(text, "Version-\xE9\xFF", 10);
  EXPECT_EQ(text, L"Version-\u00E9\u00FF");
  UpdateChecker::appendBytes(text, "1.4\0junk", 8);  // the rest of this read is dropped
  UpdateChecker::appendBytes(text, "!", 1);          // later reads still count
  EXPECT_EQ(text, L"Version-\u00E9\u00FF1.4!");
}

// The start-up offer, with Vemlix.exe started as a real process.
class UpdateOfferTest : public ::testing::Test {
 protected:
  void SetUp() override { removeVemlixData(); }
  void TearDown() override { removeVemlixData(); }

  static void writeSettingsFor(const std::wstring& versionFile, bool check = true) {
    writeSettings(std::wstring(L"CHECK_UPDATES=") + (check ? L"1" : L"0") + L"\nVERSION_PATH=" +
                  kVersions + versionFile +
                  L"\nVEMLIX_HOME=http://127.0.0.1:8080/projects/vemlix/");
  }

  // The process's top-level message box "Tarnwelt Vemlix".
  static HWND waitForOffer(const VemlixProcess& vemlix, DWORD timeoutMs) {
    struct Search {
      DWORD processId;
      HWND found;
    } search{vemlix.id(), nullptr};
    waitFor(
        [&] {
          EnumWindows(
              [](HWND window, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t title[64] = {};
                GetWindowTextW(window, title, 64);
                if (owner != s->processId || std::wstring(title) != L"Tarnwelt Vemlix") {
                  return TRUE;
                }
                s->found = window;
                return FALSE;
              },
              reinterpret_cast<LPARAM>(&search));
          return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
  }

  static bool showsText(HWND box, const std::wstring& text) {
    struct Search {
      std::wstring text;
      bool found;
    } search{text, false};
    EnumChildWindows(
        box,
        [](HWND child, LPARAM lParam) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lParam);
          wchar_t shown[256] = {};
          GetWindowTextW(child, shown, 256);
          s->found = s->found || s->text == shown;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  static void answer(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  }

  static int runningProcesses(const wchar_t* exeName) {
    win32::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
      if (_wcsicmp(entry.szExeFile, exeName) == 0) ++count;
    }
    return count;
  }
};

TEST_F(UpdateOfferTest, AcceptedOfferEndsStartUpWithCodeOne) {
  writeSettingsFor(L"newer.version");
  const std::string settingsBefore = readBytes(settingsFilePath());
  VemlixProcess vemlix;
  ASSERT_TRUE(vemlix.started());
  HWND box = waitForOffer(vemlix, 15000);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(showsText(box, L"There is a new version of Vemlix, would you like to update?"));
  EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
  EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
  EXPECT_EQ(vemlix.waitForMainWindow(0), nullptr);  // no window before the answer

  answer(box, IDYES);
  DWORD exitCode = 0;
  ASSERT_TRUE(vemlix.waitForExit(15000, exitCode));
  EXPECT_EQ(exitCode, 1u);
  EXPECT_EQ(readBytes(settingsFilePath()), settingsBefore);  // nothing saved
  // Opening the loopback home page has nothing to show it with here; whatever the shell
  // started for it must not stay behind.
  EXPECT_TRUE(waitFor([] { return runningProcesses(L"winebrowser.exe") == 0; }, 10000));
}

TEST_F(UpdateOfferTest, AcceptedOfferOpensTheHomePageWithTheShell) {
  // A script stands in for the web page: opening it leaves a mark that the shell ran it.
  TempFolder folder;
  const std::wstring script = folder.file(L"home.cmd");
  writeBytes(script, "echo opened> \"%~dp0opened.txt\"\r\n");
  writeSettings(std::wstring(L"CHECK_UPDATES=1\nVERSION_PATH=") + kVersions +
                L"newer.version\nVEMLIX_HOME=" + script);
  VemlixProcess vemlix;
  HWND box = waitForOffer(vemlix, 15000);
  ASSERT_NE(box, nullptr);
  answer(box, IDYES);
  DWORD exitCode = 0;
  ASSERT_TRUE(vemlix.waitForExit(15000, exitCode));
  EXPECT_EQ(exitCode, 1u);
  const std::wstring mark = folder.file(L"opened.txt");
  EXPECT_TRUE(
      waitFor([&] { return GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
  EXPECT_TRUE(waitFor([] { return runningProcesses(L"cmd.exe") == 0; }, 10000));
}

TEST_F(UpdateOfferTest, DeclinedOfferStartsAsUsual) {
  writeSettingsFor(L"major.version");
  VemlixProcess vemlix;
  HWND box = waitForOffer(vemlix, 15000);
  ASSERT_NE(box, nullptr);
  answer(box, IDNO);
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(vemlix.waitUntilShown(window));
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD exitCode = 99;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(UpdateOfferTest, NoOfferWhenNothingNewerOrChecksAreOff) {
  for (const auto& [file, check] :
       {std::pair{L"older.version", true}, std::pair{L"newer.version", false}}) {
    writeSettingsFor(file, check);
    VemlixProcess vemlix;
    HWND window = vemlix.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(waitForOffer(vemlix, 0), nullptr);
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
  }
}

TEST_F(UpdateOfferTest, UnansweredCheckDelaysStartUpOnlyBriefly) {
  writeSettings(std::wstring(L"CHECK_UPDATES=1\nVERSION_PATH=") + kNeverAnswers);
  const auto start = Clock::now();
  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow(30000);
  ASSERT_NE(window, nullptr);
  const double seconds = secondsSince(start);
  std::printf("start-up with a silent version server took %.1f s\n", seconds);
  EXPECT_LT(seconds, 12.0);
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD exitCode = 99;
  EXPECT_TRUE(vemlix.waitForExit(10000, exitCode));
}

}  // namespace
