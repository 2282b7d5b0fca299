#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text_codec.h"
#include "settings/settings_file.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include "platform/win32_handles.h"
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
constexpr wchar_t kSep = platform::kPathSeparator;
const std::string kBom = "\xEF\xBB\xBF";

std::string fileOf(const std::vector<std::wstring>& lines, const std::wstring& lineEnd = L"\r\n",
                   bool finalLineEnd = true) {
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (i + 1 < lines.size() || finalLineEnd) text += lineEnd;
  }
  return kBom + encodeUtf8(text, false);
}

std::vector<std::wstring> without(std::vector<std::wstring> lines, const std::wstring& key) {
  std::erase_if(lines, [&](const std::wstring& line) { return line.starts_with(key); });
  return lines;
}

std::vector<std::wstring> replaced(std::vector<std::wstring> lines, const std::wstring& line) {
  const std::wstring key = line.substr(0, line.find(L'=') + 1);
  for (auto& each : lines)
    if (each.starts_with(key)) each = line;
  return lines;
}

std::wstring programFolder() {
  const std::wstring program = platform::modulePath();
  return program.substr(0, program.find_last_of(kSep) + 1);
}

// Every test gets its own documents folder, so nothing touches the real user's files.
class AppSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppSettings::release();
    platform::overrideFolderForTests(platform::UserFolder::kDocuments, documents_.path());
  }
  void TearDown() override {
    AppSettings::release();
    platform::overrideFolderForTests(platform::UserFolder::kDocuments, L"");
  }

  AppSettings& settings() { return AppSettings::instance(); }
  std::wstring docsPath() const { return documents_.path() + kSep + L"Vemlix" + kSep; }
  std::wstring sharedData() const { return docsPath() + L"SharedData" + kSep; }
  std::wstring settingsFile() const { return sharedData() + L"AppSettings.idx"; }

  void writeSettings(const std::string& bytes) {
    fs::create_directories(fs::path(sharedData()));
    writeBytes(settingsFile(), bytes);
  }

  // A complete file in which every value differs from its default.
  std::vector<std::wstring> customLines() const {
    return {L"HOME_PATH=" + programFolder(),
            L"DOCS_PATH=" + docsPath(),
            L"VERSION=1.2",
            L"VERSION_PATH=http://updates.example.org/v.txt",
            L"VEMLIX_HOME=http://updates.example.org/",
            L"SCHED_ON=1",
            L"START_ON_TRAY=1",
            L"LOAD_ON_START=0",
            L"CHECK_UPDATES=0",
            L"DISABLE_IDLE=1",
            L"DISABLE_IDLE_INTERVAL=120",
            L"AUTO_SHOT_ENABLE=1",
            L"SHOT_INTERVAL=15",
            L"SHOT_TIMESTAMP=%H-%M",
            L"SHOT_FORMAT=1",
            L"LOCAL_PATH=" + documents_.path() + kSep + L"Bilder \x00E9t\x00E9",
            L"FTP_FOLDER=uploads",
            L"FTP_SERVER=ftp.example.net",
            L"FTP_USER=anna",
            L"FTP_PASSWORD=0A1B2C",
            L"WND_XPOS=-20",
            L"WND_YPOS=35",
            L"MIN_FREE_MB=500"};
  }

  TempFolder documents_;
};

TEST_F(AppSettingsTest, FirstStartWritesTheDefaultFileByteForByte) {
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();

  const std::wstring home = programFolder();
  ASSERT_FALSE(home.empty());
  const std::wstring expected =
      L"HOME_PATH=" + home + L"\r\nDOCS_PATH=" + docsPath() +
      L"\r\n"
      L"VERSION=1.3\r\n"
      L"VERSION_PATH=http://vemlix.example.com/vemlix/vemlix.version\r\n"
      L"VEMLIX_HOME=http://vemlix.example.com/projects/vemlix/\r\n"
      L"SCHED_ON=0\r\nSTART_ON_TRAY=0\r\nLOAD_ON_START=1\r\nCHECK_UPDATES=1\r\n"
      L"DISABLE_IDLE=0\r\nDISABLE_IDLE_INTERVAL=0\r\nAUTO_SHOT_ENABLE=0\r\n"
      L"SHOT_INTERVAL=60\r\nSHOT_TIMESTAMP=default\r\nSHOT_FORMAT=4\r\n"
      L"LOCAL_PATH=\r\nFTP_FOLDER=\r\nFTP_SERVER=\r\nFTP_USER=\r\nFTP_PASSWORD=\r\n"
      L"WND_XPOS=400\r\nWND_YPOS=400\r\nMIN_FREE_MB=1024\r\n";
  EXPECT_EQ(readBytes(settingsFile()), kBom + encodeUtf8(expected, false));
  EXPECT_EQ(settings().settingsFilePath(), settingsFile());
  EXPECT_EQ(settings().getInt(SettingId::SHOT_INTERVAL), 60);
  EXPECT_TRUE(settings().getBool(SettingId::CHECK_UPDATES));
}

TEST_F(AppSettingsTest, CompleteFileWithoutFinalLineEndLoadsEveryValue) {
  const auto lines = customLines();
  writeSettings(fileOf(lines, L"\r\n", false));
  ASSERT_TRUE(settings().load());
  for (int i = 0; i < kSettingCount; ++i) {
    const auto id = static_cast<SettingId>(i);
    const std::wstring key = AppSettings::keyText(id);
    if (id == SettingId::VERSION) continue;
    EXPECT_EQ(key + settings().getString(id), lines[static_cast<size_t>(i)]);
  }
  EXPECT_EQ(settings().getInt(SettingId::WND_YPOS), 35);
  EXPECT_EQ(settings().getInt(SettingId::WND_XPOS), -20);
}

TEST_F(AppSettingsTest, TypedReadsFollowTheStoredText) {
  auto lines = replaced(customLines(), L"SCHED_ON=true");
  lines = replaced(lines, L"START_ON_TRAY= 1");
  lines = replaced(lines, L"WND_XPOS=abc");
  lines = replaced(lines, L"SHOT_INTERVAL=30s");
  writeSettings(fileOf(lines));
  ASSERT_TRUE(settings().load());
  EXPECT_FALSE(settings().getBool(SettingId::SCHED_ON));
  EXPECT_FALSE(settings().getBool(SettingId::START_ON_TRAY));
  EXPECT_TRUE(settings().getBool(SettingId::DISABLE_IDLE));
  EXPECT_EQ(settings().getInt(SettingId::WND_XPOS), 0);
  EXPECT_EQ(settings().getInt(SettingId::SHOT_INTERVAL), 30);
  EXPECT_EQ(settings().getString(SettingId::SCHED_ON), L"true");
}

TEST_F(AppSettingsTest, StoredVersionIsReplacedByTheProgramsOwn) {
  writeSettings(fileOf(replaced(customLines(), L"VERSION=9.9")));
  ASSERT_TRUE(settings().load());
  EXPECT_EQ(settings().getString(SettingId::VERSION), L"1.3");
  ASSERT_TRUE(settings().save());
  EXPECT_EQ(readBytes(settingsFile()), fileOf(replaced(customLines(), L"VERSION=1.3")));
}

TEST_F(AppSettingsTest, FileHoldingOnlyAByteOrderMarkGivesAllDefaults) {
  writeSettings(kBom);
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();
  EXPECT_EQ(settings().getString(SettingId::HOME_PATH), programFolder());
  EXPECT_EQ(settings().getString(SettingId::DOCS_PATH), docsPath());
  EXPECT_EQ(settings().getInt(SettingId::WND_XPOS), 400);
  EXPECT_EQ(settings().getString(SettingId::SHOT_TIMESTAMP), L"default");
  EXPECT_EQ(parseSettingsFile(readBytes(settingsFile()))[size_t(SettingId::WND_YPOS)], L"400");
}

TEST_F(AppSettingsTest, MissingKeysTakeTheirDefaultsAndPresentOnesKeepTheirValues) {
  for (const std::wstring missing : {L"SHOT_INTERVAL=", L"WND_YPOS=", L"HOME_PATH="}) {
    SCOPED_TRACE(missing);
    AppSettings::release();
    writeSettings(fileOf(without(customLines(), missing)));
    EXPECT_FALSE(settings().load());
    settings().applyDefaults();

    const FoundSettings written = parseSettingsFile(readBytes(settingsFile()));
    const auto full = customLines();
    for (int i = 0; i < kSettingCount; ++i) {
      const auto id = static_cast<SettingId>(i);
      const std::wstring key = AppSettings::keyText(id);
      ASSERT_TRUE(written[size_t(i)].has_value()) << "file rewritten incomplete at " << i;
      EXPECT_EQ(*written[size_t(i)], settings().getString(id));
      if (key == missing || id == SettingId::VERSION) continue;
      EXPECT_EQ(key + settings().getString(id), full[size_t(i)]);
    }
  }
  EXPECT_EQ(settings().getString(SettingId::HOME_PATH), programFolder());
}

TEST_F(AppSettingsTest, MissingKeysGetTheirOwnDefaults) {
  writeSettings(fileOf(without(without(customLines(), L"SHOT_INTERVAL="), L"WND_YPOS=")));
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();
  EXPECT_EQ(settings().getInt(SettingId::SHOT_INTERVAL), 60);
  EXPECT_EQ(settings().getInt(SettingId::WND_YPOS), 400);
  EXPECT_EQ(settings().getString(SettingId::FTP_SERVER), L"ftp.example.net");
  EXPECT_FALSE(settings().getBool(SettingId::CHECK_UPDATES));
}

TEST_F(AppSettingsTest, KeyTextInsideAValueDoesNotShadowTheKey) {
  auto lines = replaced(customLines(), L"FTP_FOLDER=a SCHED_ON=0 WND_YPOS=7");
  // Earlier in the file than the real lines of those keys.
  lines = replaced(lines, L"VERSION_PATH=http://x/?SHOT_FORMAT=3");
  writeSettings(fileOf(lines));
  ASSERT_TRUE(settings().load());
  EXPECT_TRUE(settings().getBool(SettingId::SCHED_ON));
  EXPECT_EQ(settings().getInt(SettingId::WND_YPOS), 35);
  EXPECT_EQ(settings().getInt(SettingId::SHOT_FORMAT), 1);
  EXPECT_EQ(settings().getString(SettingId::FTP_FOLDER), L"a SCHED_ON=0 WND_YPOS=7");
}

TEST_F(AppSettingsTest, EmptyDocsPathInTheFileCountsAsMissing) {
  writeSettings(fileOf(replaced(customLines(), L"DOCS_PATH=")));
  EXPECT_FALSE(settings().load());
  EXPECT_EQ(settings().getString(SettingId::DOCS_PATH), docsPath());
  settings().applyDefaults();
  EXPECT_EQ(readBytes(settingsFile()), fileOf(replaced(customLines(), L"VERSION=1.3")));
}

// A settings file copied from another profile names a folder that is not where it lies: the
// data stay where the file was found, and the file is put right.
TEST_F(AppSettingsTest, AStaleDocsPathInTheFileIsNotFollowed) {
  TempFolder elsewhere;
  const std::wstring staleDocs = elsewhere.path() + kSep + L"Data" + kSep;
  writeSettings(fileOf(replaced(customLines(), L"DOCS_PATH=" + staleDocs)));
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();
  EXPECT_EQ(settings().getString(SettingId::DOCS_PATH), docsPath());
  EXPECT_EQ(settings().settingsFilePath(), settingsFile());
  const FoundSettings written = parseSettingsFile(readBytes(settingsFile()));
  EXPECT_EQ(written[size_t(SettingId::DOCS_PATH)], docsPath());
  EXPECT_EQ(written[size_t(SettingId::FTP_USER)], settings().getString(SettingId::FTP_USER));
  EXPECT_FALSE(fs::exists(fs::path(staleDocs)));
}

// The program was moved, or installed over a portable copy: its help and the command that
// starts it at logon must follow it.
TEST_F(AppSettingsTest, HomePathFollowsTheRunningProgram) {
  writeSettings(fileOf(replaced(customLines(), L"HOME_PATH=" + documents_.path() + kSep)));
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();
  EXPECT_EQ(settings().getString(SettingId::HOME_PATH), programFolder());
  EXPECT_EQ(parseSettingsFile(readBytes(settingsFile()))[size_t(SettingId::HOME_PATH)],
            programFolder());
  EXPECT_EQ(settings().getString(SettingId::FTP_USER), L"anna");
}

// Without a Documents folder the data go to the user's local program data; without that
// either, the program runs on its defaults and never reads or writes at the root of a drive.
TEST_F(AppSettingsTest, WithoutADocumentsFolderTheLocalAppDataFolderHoldsTheData) {
  TempFolder local;
  platform::removeFolderForTests(platform::UserFolder::kDocuments);
  platform::overrideFolderForTests(platform::UserFolder::kLocalAppData, local.path());
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();
  const std::wstring docs = local.path() + kSep + L"Vemlix" + kSep;
  EXPECT_EQ(settings().getString(SettingId::DOCS_PATH), docs);
  EXPECT_TRUE(platform::fileExists(docs + kSep + L"SharedData" + kSep + L"AppSettings.idx"));

  AppSettings::release();
  platform::removeFolderForTests(platform::UserFolder::kLocalAppData);
  EXPECT_FALSE(settings().load());
  settings().applyDefaults();
  EXPECT_EQ(settings().getString(SettingId::DOCS_PATH), L"");
  EXPECT_FALSE(settings().save());
  platform::overrideFolderForTests(platform::UserFolder::kLocalAppData, L"");
}

TEST_F(AppSettingsTest, SettersChangeMemoryOnlyUntilSave) {
  writeSettings(fileOf(customLines()));
  ASSERT_TRUE(settings().load());
  const std::string before = readBytes(settingsFile());
  settings().setInt(SettingId::WND_XPOS, -2147483647 - 1);
  settings().setBool(SettingId::SCHED_ON, false);
  settings().setString(SettingId::FTP_USER, L"b\x00F6rje");
  EXPECT_EQ(readBytes(settingsFile()), before);
  EXPECT_EQ(settings().getString(SettingId::WND_XPOS), L"-2147483648");

  ASSERT_TRUE(settings().save());
  AppSettings::release();
  ASSERT_TRUE(settings().load());
  EXPECT_EQ(settings().getInt(SettingId::WND_XPOS), -2147483647 - 1);
  EXPECT_EQ(settings().getString(SettingId::SCHED_ON), L"0");
  EXPECT_EQ(settings().getString(SettingId::FTP_USER), L"b\x00F6rje");
}

TEST_F(AppSettingsTest, SaveNeverCreatesFolders) {
  const std::wstring docs = documents_.path() + kSep + L"Absent" + kSep;
  settings().setString(SettingId::DOCS_PATH, docs);
  EXPECT_FALSE(settings().save());
  EXPECT_FALSE(fs::exists(fs::path(docs)));
}

TEST_F(AppSettingsTest, SaveWithoutADocsPathWritesNothing) {
  EXPECT_FALSE(settings().save());
}

TEST_F(AppSettingsTest, ReleaseTwiceIsHarmlessAndTheNextInstanceStartsEmpty) {
  settings().setString(SettingId::FTP_USER, L"x");
  AppSettings::release();
  AppSettings::release();
  EXPECT_EQ(settings().getString(SettingId::FTP_USER), L"");
}

TEST_F(AppSettingsTest, UnknownIdReadsEmptyAndIsNotStored) {
  const auto outside = static_cast<SettingId>(kSettingCount);
  settings().setString(outside, L"x");
  EXPECT_EQ(settings().getString(outside), L"");
  EXPECT_STREQ(AppSettings::keyText(outside), L"");
}

#ifndef _WIN32
// Root ignores folder permissions but not the file size limit: with the limit at zero, no
// write to a file can succeed, whoever runs the test.
class NoFileWrites {
 public:
  NoFileWrites() {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit zero = saved_;
    zero.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &zero);
    previous_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~NoFileWrites() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};
#endif

TEST_F(AppSettingsTest, FailedSaveReturnsFalseAndKeepsTheOldFile) {
  writeSettings(fileOf(customLines()));
  ASSERT_TRUE(settings().load());
  const std::string before = readBytes(settingsFile());
  settings().setInt(SettingId::WND_XPOS, 1);
  {
#ifdef _WIN32
    // While another program holds the file open without sharing it, it cannot be replaced.
    const win32::UniqueFileHandle holder(CreateFileW(settingsFile().c_str(), GENERIC_READ, 0,
                                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                     nullptr));
    ASSERT_TRUE(holder);
#else
    NoFileWrites blocked;
#endif
    EXPECT_FALSE(settings().save());
  }
  EXPECT_EQ(readBytes(settingsFile()), before);
  for (const auto& entry : fs::directory_iterator(fs::path(sharedData())))
    EXPECT_EQ(entry.path().filename(), fs::path(L"AppSettings.idx"));
  EXPECT_EQ(settings().getInt(SettingId::WND_XPOS), 1);
  EXPECT_TRUE(settings().save());
}

TEST_F(AppSettingsTest, SaveIntoAReadOnlyFolderFails) {
#ifdef _WIN32
  GTEST_SKIP() << "a Windows folder has no permission bit that stops new files";
#else
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  writeSettings(fileOf(customLines()));
  ASSERT_TRUE(settings().load());
  const std::string before = readBytes(settingsFile());
  fs::permissions(fs::path(sharedData()), fs::perms::owner_write, fs::perm_options::remove);
  settings().setInt(SettingId::WND_XPOS, 1);
  EXPECT_FALSE(settings().save());
  EXPECT_EQ(readBytes(settingsFile()), before);
#endif
}

class AppSettingsConcurrency : public AppSettingsTest {};

TEST_F(AppSettingsConcurrency, ReadersSeeWholeValuesWhileTheUserInterfaceWritesAndSaves) {
  ASSERT_FALSE(settings().load());
  settings().applyDefaults();
  const std::wstring first(300, L'a');
  const std::wstring second(500, L'b');
  settings().setString(SettingId::FTP_SERVER, first);

  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < 3; ++r) {
    readers.emplace_back([&] {
      AppSettings& shared = AppSettings::instance();
      while (!done) {
        const std::wstring server = shared.getString(SettingId::FTP_SERVER);
        const int32_t x = shared.getInt(SettingId::WND_XPOS);
        if ((server != first && server != second) || (x != 400 && x != 1)) ++torn;
        shared.getBool(SettingId::SCHED_ON);
      }
    });
  }
  for (int i = 0; i < 200; ++i) {
    settings().setString(SettingId::FTP_SERVER, i % 2 ? first : second);
    settings().setInt(SettingId::WND_XPOS, i % 2 ? 400 : 1);
    if (i % 20 == 0) {
      EXPECT_TRUE(settings().save());
    }
  }
  done = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(torn, 0);
}

TEST_F(AppSettingsConcurrency, SavesFromSeveralThreadsLeaveOneCompleteFile) {
  ASSERT_FALSE(settings().load());
  settings().applyDefaults();
  std::vector<std::thread> savers;
  for (int t = 0; t < 4; ++t) {
    savers.emplace_back([t] {
      for (int i = 0; i < 10; ++i) {
        AppSettings::instance().setInt(SettingId::WND_XPOS, t);
        AppSettings::instance().save();
      }
    });
  }
  for (auto& saver : savers) saver.join();

  const FoundSettings written = parseSettingsFile(readBytes(settingsFile()));
  for (const auto& value : written) EXPECT_TRUE(value.has_value());
  EXPECT_EQ(std::set<std::wstring>({L"0", L"1", L"2", L"3"}).count(*written[20]), 1u);
  for (const auto& entry : fs::directory_iterator(fs::path(sharedData())))
    EXPECT_EQ(entry.path().filename(), fs::path(L"AppSettings.idx"));
}

TEST_F(AppSettingsConcurrency, FirstUseFromManyThreadsCreatesOneInstance) {
  AppSettings::release();
  std::vector<AppSettings*> seen(8, nullptr);
  std::vector<std::thread> users;
  for (size_t t = 0; t < seen.size(); ++t)
    users.emplace_back([&seen, t] { seen[t] = &AppSettings::instance(); });
  for (auto& user : users) user.join();
  for (AppSettings* each : seen) EXPECT_EQ(each, seen.front());
}

// The file's text on its own: what counts as a key line and what a value holds.
TEST(SettingsFile, KeyCountsOnlyAtTheStartOfALine) {
  const FoundSettings found =
      parseSettingsFile("FTP_FOLDER=x SCHED_ON=1\n SCHED_ON=1\nXSHOT_FORMAT=2\n");
  EXPECT_EQ(found[size_t(SettingId::FTP_FOLDER)], L"x SCHED_ON=1");
  EXPECT_FALSE(found[size_t(SettingId::SCHED_ON)].has_value());
  EXPECT_FALSE(found[size_t(SettingId::SHOT_FORMAT)].has_value());
}

TEST(SettingsFile, FirstOccurrenceOfAKeyWins) {
  const FoundSettings found = parseSettingsFile("WND_XPOS=1\r\nWND_XPOS=2\r\n");
  EXPECT_EQ(found[size_t(SettingId::WND_XPOS)], L"1");
}

TEST(SettingsFile, LineFeedEndsAValueAndTheCarriageReturnBeforeItIsDropped) {
  const FoundSettings found = parseSettingsFile(
      "FTP_USER=a\rb\nFTP_SERVER=s\r\r\nFTP_FOLDER=\r\nDISABLE_IDLE_INTERVAL=9\nWND_YPOS=5\r");
  EXPECT_EQ(found[size_t(SettingId::FTP_USER)], L"a\rb");
  EXPECT_EQ(found[size_t(SettingId::FTP_SERVER)], L"s\r");
  EXPECT_EQ(found[size_t(SettingId::FTP_FOLDER)], L"");
  EXPECT_EQ(found[size_t(SettingId::DISABLE_IDLE_INTERVAL)], L"9");
  EXPECT_EQ(found[size_t(SettingId::WND_YPOS)], L"5\r");  // no line end: runs to the end
}

TEST(SettingsFile, NulAndInvalidBytesDoNotEndTheReading) {
  const FoundSettings found = parseSettingsFile(std::string("FTP_USER=a\0b\xFF\r\nWND_YPOS=5", 25));
  // Not UTF-8, so read as ANSI text: the byte FF is "\xFF".
  EXPECT_EQ(found[size_t(SettingId::FTP_USER)], std::wstring(L"a\0b\xFF", 4));
  EXPECT_EQ(found[size_t(SettingId::WND_YPOS)], L"5");
}

TEST(SettingsFile, WrittenValueCannotStartAnotherKeysLine) {
  SettingValues values;
  values[size_t(SettingId::FTP_FOLDER)] = L"x\nSCHED_ON=1";
  values[size_t(SettingId::SCHED_ON)] = L"0";
  const FoundSettings found = parseSettingsFile(formatSettingsFile(values));
  EXPECT_EQ(found[size_t(SettingId::FTP_FOLDER)], L"x");
  EXPECT_EQ(found[size_t(SettingId::SCHED_ON)], L"0");
}

}  // namespace
