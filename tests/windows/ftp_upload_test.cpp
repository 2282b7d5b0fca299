// Uploads through Wine's WinINet to a real FTP server on loopback (tests/servers): the bytes
// that arrive, the remote names, failed logins and servers that are absent or never answer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "capture/image_format.h"
#include "capture/output_name.h"
#include "capture/screen_capturer_win.h"
#include "capture/time_stamper.h"
#include "delivery/transports_win.h"
#include "delivery/upload_workers.h"
#include "platform/internet_session_win.h"
#include "platform/worker_group.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "shots/shot_store.h"
#include "shots/shots_file.h"
#include "support/restart_delivery_win.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kServer = L"127.0.0.1";    // pyftpdlib, port 21
constexpr const wchar_t* kNobody = L"127.0.0.2";    // nothing listens there
constexpr const wchar_t* kSilent = L"127.0.0.3";    // accepts and never answers
constexpr const wchar_t* kFull = L"127.0.0.4";      // fails every upload after 1000 bytes
constexpr const wchar_t* kSlow = L"127.0.0.5";      // takes uploads in at 64 KiB/s
constexpr const wchar_t* kNoRename = L"127.0.0.6";  // the account may not rename
constexpr const wchar_t* kLater = L"127.0.0.7";     // down (421) while ftp-down exists
constexpr const wchar_t* kPassword = L"Up-load 7";

// Bytes that an ASCII-mode transfer or a text-mode file would change.
const std::string kImageBytes = std::string("\x89PNG\r\n\x1A\n\0\0\r\r\n\n\xFF\xFE", 16) +
                                std::string(70000, '\x5A') + "\r\nend\n";

// A server's folder, a Linux path, through Wine's Z: drive.
std::wstring ftpRoot(const char* folder = "/ftp-root") {
  return (L"Z:" / fs::path(std::string(VEMLIX_TEST_SERVER_DIR) + folder))
      .make_preferred()
      .wstring();
}

// What the server stored under `remoteName`; "" when it holds no such file.
std::string stored(const std::wstring& remoteName, const char* root = "/ftp-root") {
  return readBytes((fs::path(ftpRoot(root)) / fs::path(remoteName).relative_path()).wstring());
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring cipherText(std::wstring plain) {
  PasswordCipher::instance().encrypt(plain, plain.size());
  return plain;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class FtpUploadTest : public ::testing::Test {
 protected:
  UploadJob job(const std::wstring& remoteName, const std::wstring& server = kServer) {
    return {{server, L"vemlix", cipherText(kPassword), L""}, remoteName, image_};
  }
  UploadOutcome uploadNow(const UploadJob& job) {
    return servers_.send(job.account, job.remoteName, job.localPath);
  }

  TempFolder local_;
  const std::wstring image_ = local_.file(L"vmp1A2B.tmp");
  Destination& servers_ = programServers();
  UploadWorkers uploads_{servers_, WorkerGroup::workers()};

  void SetUp() override { writeBytes(image_, kImageBytes); }

 private:
  // The program's transports, with no known_hosts file: these servers speak plain FTP. Never
  // destroyed, as in the program: a put cut off by cancelAll() may hold its worker a while yet.
  static Destination& programServers() {
    static ServerDestination* const servers = new ServerDestination(makeServerDestination({}));
    return *servers;
  }
};

// Whole under the final name, also over an older picture of that name, and no ".part" left.
TEST_F(FtpUploadTest, StoresTheFileByteForByte) {
  EXPECT_TRUE(uploadNow(job(L"Exact-bytes.png")));
  EXPECT_EQ(stored(L"Exact-bytes.png"), kImageBytes);
  EXPECT_TRUE(exists(image_));  // not a temporary file: the caller keeps it

  writeBytes(image_, "newer picture");
  const UploadOutcome again = uploadNow(job(L"Exact-bytes.png"));
  EXPECT_TRUE(again);
  EXPECT_EQ(again.notice, L"");
  EXPECT_EQ(stored(L"Exact-bytes.png"), "newer picture");
  EXPECT_FALSE(exists(ftpRoot() + L"\\Exact-bytes.png.part"));
}

// A bare host and "ftp://host:21" log in and store alike, command for command, as plain FTP
// always has: passive mode, binary, a ".part" renamed in place.
TEST_F(FtpUploadTest, PlainFtpSendsTheCommandsItAlwaysHas) {
  const std::wstring commands = ftpRoot("/ftp-commands");
  const std::wstring servers[] = {kServer, L"ftp://" + std::wstring(kServer) + L":21"};
  for (const std::wstring& server : servers) {
    const size_t before = readBytes(commands).size();
    ASSERT_TRUE(uploadNow(job(L"Commands.png", server)));
    std::string sent = readBytes(commands).substr(before);
    // When the session's QUIT goes out is up to WinINet; it is no part of the upload.
    for (size_t quit; (quit = sent.find("QUIT\n")) != std::string::npos;) sent.erase(quit, 5);
    EXPECT_EQ(sent,
              "USER vemlix\nPASS ***\nTYPE I\nPASV\nSTOR Commands.png.part\n"
              "RNFR Commands.png.part\nRNTO Commands.png\n")
        << server;
  }
}

TEST_F(FtpUploadTest, RemoteNamesFollowFolderPatternAndFormat) {
  fs::create_directories(fs::path(ftpRoot()) / "shots" / "daily");
  fs::create_directories(fs::path(ftpRoot()) / "a");
  ShotDefinition shot;
  shot.NAME = L"Desk";
  shot.FTP_SERVER = kServer;
  shot.FTP_USER = L"vemlix";
  shot.FTP_PASS = cipherText(kPassword);

  struct Case {
    std::wstring folder;
    std::wstring pattern;
    int32_t format;
    std::wstring sentFolder;    // how the remote name begins
    std::wstring storedFolder;  // where the file lands below the FTP root
    std::wstring extension;
  };
  const Case cases[] = {
      {L"shots/daily", L"default", 4, L"/shots/daily/", L"shots/daily/", L".png"},
      {L"", L"default", 1, L"", L"", L".jpg"},
      {L"/a/", L"default", 2, L"//a//", L"a/", L".gif"},  // the folder as typed
      {L"", L"", 3, L"", L"", L".tiff"},
      {L"", L"", 7, L"", L"", L".png"},  // unknown format: PNG, as the local copy
  };
  for (const Case& c : cases) {
    shot.FTP_FOLDER = c.folder;
    shot.TIMESTAMP = c.pattern;
    shot.FORMAT = c.format;
    const EffectiveShot effective = effectiveSettings(shot, AppSettings::instance());
    const std::wstring stamp = TimeStamper().formatNow(effective.timestampPattern);
    const std::wstring fileName = L"Desk" + (c.pattern.empty() ? L"" : L"-" + stamp) + c.extension;
    const UploadJob upload{effective.ftp, remoteFileName(effective, stamp), image_};
    EXPECT_EQ(upload.remoteName, c.sentFolder + fileName);
    EXPECT_TRUE(uploadNow(upload)) << upload.remoteName;
    EXPECT_EQ(stored(c.storedFolder + fileName), kImageBytes) << upload.remoteName;
  }
}

TEST_F(FtpUploadTest, GlobalSettingsGiveServerAccountFolderPatternAndFormat) {
  fs::create_directories(fs::path(ftpRoot()) / "global");
  AppSettings& settings = AppSettings::instance();
  settings.setString(SettingId::FTP_SERVER, kServer);
  settings.setString(SettingId::FTP_USER, L"vemlix");
  settings.setString(SettingId::FTP_PASSWORD, cipherText(kPassword));
  settings.setString(SettingId::FTP_FOLDER, L"global");
  settings.setString(SettingId::SHOT_TIMESTAMP, L"%Y");
  settings.setInt(SettingId::SHOT_FORMAT, 1);
  ShotDefinition shot;
  shot.NAME = L"Globe";
  shot.USE_GLOBAL_SETTINGS = true;
  shot.FTP_SERVER = kNobody;  // the shot's own account must not be used
  shot.FTP_USER = L"nobody";
  shot.FORMAT = 0;
  shot.TIMESTAMP = L"";

  const EffectiveShot effective = effectiveSettings(shot, settings);
  const std::wstring stamp = TimeStamper().formatNow(effective.timestampPattern);
  const UploadJob upload{effective.ftp, remoteFileName(effective, stamp), image_};
  EXPECT_EQ(upload.remoteName, L"/global/Globe-" + stamp + L".jpg");
  EXPECT_TRUE(uploadNow(upload));
  EXPECT_EQ(stored(L"global/Globe-" + stamp + L".jpg"), kImageBytes);
}

TEST_F(FtpUploadTest, FailuresStoreNothing) {
  UploadJob wrongPassword = job(L"Wrong-password.png");
  wrongPassword.account.passwordCipherText = cipherText(L"guessed");
  EXPECT_FALSE(uploadNow(wrongPassword));
  EXPECT_FALSE(exists(ftpRoot() + L"\\Wrong-password.png"));

  // The server's words as it gave them: nothing is masked after the fact, which would show a
  // one-letter password by where the asterisks land.
  wrongPassword.account.passwordCipherText = cipherText(L"a");
  EXPECT_EQ(uploadNow(wrongPassword).detail, L"530 Authentication failed.");

  // A plain password (never encrypted) is not what the server expects either.
  UploadJob plainPassword = job(L"Plain-password.png");
  plainPassword.account.passwordCipherText = kPassword;
  EXPECT_FALSE(uploadNow(plainPassword));

  // The remote folder is not created.
  EXPECT_FALSE(uploadNow(job(L"/no/such/folder/x.png")));

  UploadJob missingFile = job(L"Missing-file.png");
  missingFile.localPath = local_.file(L"gone.tmp");
  EXPECT_FALSE(uploadNow(missingFile));
  EXPECT_FALSE(exists(ftpRoot() + L"\\Missing-file.png"));
}

TEST_F(FtpUploadTest, NoServerOrNothingListeningEndsAtOnce) {
  const auto start = Clock::now();
  const UploadOutcome noServer = uploadNow(job(L"No-server.png", L""));
  EXPECT_EQ(noServer.result, UploadOutcome::Result::kNoServer);
  const UploadOutcome nobody = uploadNow(job(L"Nobody.png", kNobody));
  EXPECT_FALSE(nobody);
  EXPECT_EQ(nobody.detail, L"could not connect to 127.0.0.2");
  EXPECT_LT(secondsSince(start), 10.0);
}

// The picture is only read, whatever the outcome: it belongs to whoever handed it over.
TEST_F(FtpUploadTest, TheLocalFileIsOnlyReadWhateverTheOutcome) {
  EXPECT_TRUE(uploadNow(job(L"Temporary.png")));
  EXPECT_EQ(stored(L"Temporary.png"), kImageBytes);
  EXPECT_EQ(readBytes(image_), kImageBytes);

  for (const wchar_t* server : {L"", kNobody}) {
    EXPECT_FALSE(uploadNow(job(L"Not-stored.png", server)));
    EXPECT_EQ(readBytes(image_), kImageBytes) << "server \"" << fs::path(server).string() << "\"";
  }
}

TEST_F(FtpUploadTest, UploadReturnsAtOnceAndUploadsSideBySide) {
  const std::wstring second = local_.file(L"vmp1A2C.tmp");
  writeBytes(second, "second image");
  UploadJob first = job(L"Side-1.png");
  UploadJob other{first.account, L"Side-2.png", second};

  const auto start = Clock::now();
  uploads_.upload(first);
  uploads_.upload(other);
  EXPECT_LT(secondsSince(start), 0.5);
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(30)));
  EXPECT_EQ(stored(L"Side-1.png"), kImageBytes);
  EXPECT_EQ(stored(L"Side-2.png"), "second image");
}

TEST_F(FtpUploadTest, ServerThatNeverAnswersCannotKeepTheWorker) {
  UploadJob hanging = job(L"Hanging.png", kSilent);
  const auto start = Clock::now();
  UploadOutcome outcome = UploadOutcome::uploaded(L"not told");
  uploads_.upload(hanging, [&](const UploadOutcome& ended) { outcome = ended; });
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(100)));
  const double seconds = secondsSince(start);
  EXPECT_EQ(outcome.detail, L"no answer from 127.0.0.3");
  std::printf("upload to a silent server ended after %.1f s\n", seconds);
  EXPECT_LT(seconds, 40.0);
}

}  // namespace

namespace {

// A transfer the server breaks off leaves nothing under the picture's name for anyone to take
// for the whole picture.
TEST_F(FtpUploadTest, ACutOffTransferLeavesNoPartialFile) {
  EXPECT_FALSE(uploadNow(job(L"Cut-off.png", kFull)));
  EXPECT_FALSE(exists(ftpRoot("/ftp-cut-root") + L"\\Cut-off.png"));
  EXPECT_FALSE(exists(ftpRoot("/ftp-cut-root") + L"\\Cut-off.png.part"));
}

// Exit while a picture is on its way: the part that arrived is deleted from the server within
// the time the program has to end, and nothing ever stood under the picture's name.
TEST_F(FtpUploadTest, AnUploadCutOffByExitLeavesNothingOnTheServer) {
  writeBytes(image_, std::string(2 * 1024 * 1024, '\x5A'));  // half a minute at 64 KiB/s
  const std::wstring root = ftpRoot("/ftp-slow-root");
  uploads_.upload(job(L"Slow.png", kSlow));
  ASSERT_TRUE(waitFor([&] { return !stored(L"Slow.png.part", "/ftp-slow-root").empty(); }, 10000));
  Sleep(300);
  const auto start = Clock::now();
  servers_.cancelAll();
  EXPECT_TRUE(servers_.waitForCleanup(std::chrono::seconds(2)));
  std::printf("cut-off upload cleaned up after %.2f s\n", secondsSince(start));
  EXPECT_LT(secondsSince(start), 2.0);
  EXPECT_FALSE(exists(root + L"\\Slow.png"));
  EXPECT_FALSE(exists(root + L"\\Slow.png.part"));
}

// An account that may not rename still gets whole pictures under their names; the first upload
// to find that out says so, and the later ones go straight there without a word.
TEST_F(FtpUploadTest, AServerThatRefusesRenamesGetsThePictureUnderItsNameAndIsToldOnce) {
  const std::wstring root = ftpRoot("/ftp-norename-root");
  const UploadOutcome first = uploadNow(job(L"First.png", kNoRename));
  EXPECT_TRUE(first) << fs::path(first.detail).string();
  EXPECT_NE(first.notice.find(L"127.0.0.6 refuses to rename"), std::wstring::npos);
  EXPECT_EQ(stored(L"First.png", "/ftp-norename-root"), kImageBytes);
  EXPECT_FALSE(exists(root + L"\\First.png.part"));

  const UploadOutcome second = uploadNow(job(L"Second.png", kNoRename));
  EXPECT_TRUE(second);
  EXPECT_EQ(second.notice, L"");
  EXPECT_EQ(stored(L"Second.png", "/ftp-norename-root"), kImageBytes);
}

// A stored password that is no cipher text of ours is not sent as the password: the upload
// stops before it connects, so even a server that never answers cannot hold it.
TEST_F(FtpUploadTest, APasswordThatDoesNotDecryptIsNeverSent) {
  UploadJob garbled = job(L"Garbled.png", kSilent);
  garbled.account.passwordCipherText = L"\x0100stored";
  const auto start = Clock::now();
  EXPECT_FALSE(uploadNow(garbled));
  EXPECT_LT(secondsSince(start), 2.0);
}

// Once its deadline has passed, a session's handles are gone: no step may follow.
TEST_F(FtpUploadTest, AnExpiredSessionRefusesAnotherStep) {
  win32::InternetSession session(L"Vemlix/1.0", std::chrono::milliseconds(50));
  ASSERT_TRUE(session);
  ASSERT_TRUE(waitFor([&] { return session.expired(); }, 5000));
  EXPECT_FALSE(session.restartClock(std::chrono::seconds(60)));
}

// The same safe file name locally and on the server, from a pattern whose date and time hold
// "/" and ":".
TEST_F(FtpUploadTest, UnsafePatternsGiveTheSameSafeNameLocallyAndOnTheServer) {
  WorkerGroup::workers().reopen();
  ShotStore::instance().reopen();
  auto shot = std::make_shared<ShotDefinition>();
  shot->NAME = L"Dated";
  shot->RECT_WIDTH = 32;
  shot->RECT_HEIGHT = 32;
  shot->FORMAT = 4;
  shot->TIMESTAMP = L"%x %X";
  shot->LOCAL_PATH = local_.path();
  shot->FTP_SERVER = kServer;
  shot->FTP_USER = L"vemlix";
  shot->FTP_PASS = cipherText(kPassword);
  ShotStore::instance().add(shot);
  ShotScheduler::instance().fireShot(shot);
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(30)));

  const std::set<std::wstring> saved = filesMatching(local_.path(), L"Dated-*.png");
  ASSERT_EQ(saved.size(), 1u);
  const std::wstring name = *saved.begin();
  EXPECT_EQ(name.find_first_of(L"/:"), std::wstring::npos) << fs::path(name).string();
  EXPECT_EQ(stored(name), readBytes(local_.file(name)));
  ShotScheduler::release();
  ShotStore::release();
  ScreenCapturer::release();
}

// The end of the program cancels uploads that hang, and every later one fails at once.
TEST_F(FtpUploadTest, CancellingEndsHangingUploadsAtOnce) {
  for (int i = 0; i < 3; ++i) {
    const std::wstring image = local_.file(L"vmpC" + std::to_wstring(i) + L".tmp");
    writeBytes(image, kImageBytes);
    UploadJob hanging = job(L"Hanging.png", kSilent);
    hanging.localPath = image;
    uploads_.upload(hanging);
  }
  Sleep(500);
  const auto start = Clock::now();
  servers_.cancelAll();
  ASSERT_TRUE(WorkerGroup::workers().waitIdle(std::chrono::seconds(30)));
  const double seconds = secondsSince(start);
  std::printf("cancelled uploads ended after %.2f s\n", seconds);
  EXPECT_LT(seconds, 1.0);
  EXPECT_FALSE(uploadNow(job(L"After-cancel.png")));
  EXPECT_EQ(stored(L"After-cancel.png"), "");
}

// Exit while uploads hang on a server that never answers: the program ends at once, and the
// temporary files of the cancelled uploads are gone.
TEST(FtpUploadExitTest, ExitCancelsUploadsInFlightAndLeavesNothingBehind) {
  removeVemlixData();
  const std::set<std::wstring> temporaryBefore = captureTemporaryFiles();
  TempFolder pictures;
  writeSettings(L"SCHED_ON=1");
  ShotDefinition shot;
  shot.NAME = L"Hanging";
  shot.AUTO_ENABLED = true;
  shot.RECT_WIDTH = 64;
  shot.RECT_HEIGHT = 64;
  shot.FORMAT = 4;
  shot.TIMESTAMP = L"%H_%M_%S";
  shot.LOCAL_PATH = pictures.path();
  shot.FTP_SERVER = kSilent;
  shot.FTP_USER = L"vemlix";
  writeBytes(sharedDataFolder() + L"\\" + kShotsFileName, formatShotsFile({shot}));

  VemlixProcess vemlix;
  HWND window = vemlix.waitForMainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(
      waitFor([&] { return filesMatching(pictures.path(), L"Hanging-*.png").size() >= 3; }, 15000));
  const auto start = Clock::now();
  PostMessageW(window, WM_COMMAND, 177, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(window); }, 10000));
  const auto windowGone = Clock::now();
  DWORD exitCode = 12345;
  ASSERT_TRUE(vemlix.waitForExit(10000, exitCode));
  std::printf("Exit with uploads hanging: window gone after %.2f s, process ended %.2f s later\n",
              std::chrono::duration<double>(windowGone - start).count(), secondsSince(windowGone));
  EXPECT_LT(secondsSince(start), 2.0);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(captureTemporaryFiles(), temporaryBefore) << "temporary capture files left";
  removeVemlixData();
}

// Through the server on 127.0.0.7, kept from taking the uploads by `marker`.
void expectFtpDeliveryAfterARestart(const char* marker, int format, const char* failure) {
  const std::wstring root = ftpRoot("/ftp-later-root");
  expectDeliveryAfterARestart(
      {kLater, L"vemlix", kPassword, ftpRoot(marker), format, failure,
       [root](const std::wstring& name) { return readBytes(root + L"\\" + name); },
       [root](const std::wstring& extension) {
         return filesMatching(root, L"*" + extension + L"*");
       }});
}

TEST(OutboxTest, PicturesForAServerThatIsDownArriveAfterARestart) {
  expectFtpDeliveryAfterARestart("/ftp-down", 4, "421 Service not available.");
}

// Bitmaps, so that every picture is larger than the 1000 bytes the server takes before the cut.
TEST(OutboxTest, TransfersCutOffMidwayArriveWholeAfterARestart) {
  expectFtpDeliveryAfterARestart("/ftp-cut", 0, "426");
}

}  // namespace
