#include "support/restart_delivery_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "capture/image_format.h"
#include "platform/text_codec.h"
#include "settings/password_cipher.h"
#include "shots/shot_store.h"
#include "shots/shots_file.h"
#include "support/temp_folder.h"
#include "support/vemlix_process_win.h"

namespace {

std::wstring cipherText(std::wstring plain) {
  PasswordCipher::instance().encrypt(plain, plain.size());
  return plain;
}

}  // namespace

void expectDeliveryAfterARestart(const RestartDelivery& run) {
  removeVemlixData();
  TempFolder pictures;
  writeBytes(run.blocked, "on");
  writeSettings(L"SCHED_ON=1");
  ShotDefinition shot;
  shot.NAME = L"Later";
  shot.AUTO_ENABLED = true;
  shot.AUTO_INTERVAL = 1;
  shot.RECT_WIDTH = 64;
  shot.RECT_HEIGHT = 64;
  shot.FORMAT = run.format;
  shot.TIMESTAMP = L"%H_%M_%S";
  shot.LOCAL_PATH = pictures.path();
  shot.FTP_SERVER = run.server;
  shot.FTP_USER = run.user;
  shot.FTP_PASS = cipherText(run.password);
  shot.KEEP_COUNT = 1;
  writeBytes(sharedDataFolder() + L"\\" + kShotsFileName, formatShotsFile({shot}));
  const char* waitingSql = "SELECT count(*) FROM delivery WHERE state = 0 AND tries > 0";
  // Waiting or being sent: a picture whose send Exit cut off has waited without a try.
  const char* unsentSql = "SELECT count(*) FROM delivery WHERE state < 2";
  const std::wstring extension(ImageFormat::byIndex(run.format).extension);
  DWORD exitCode = 1;
  {
    VemlixProcess vemlix;
    HWND window = vemlix.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return ledgerCount(waitingSql) >= 5; }, 20000));
    PostMessageW(window, WM_COMMAND, 177, 0);
    ASSERT_TRUE(vemlix.waitForExit(10000, exitCode));
  }
  const std::set<std::wstring> saved = filesMatching(pictures.path(), L"Later-*" + extension);
  EXPECT_EQ(ledgerCount(unsentSql), static_cast<int64_t>(saved.size()));
  for (const wchar_t* suffix : {L"", L"-wal"})
    EXPECT_EQ(readBytes(ledgerPath() + suffix).find(encodeUtf8(run.password, false)),
              std::string::npos);
  const std::string log = readBytes(sharedDataFolder() + L"\\Vemlix.log");
  EXPECT_NE(log.find(" | upload failed: " + run.failure), std::string::npos) << log;
  EXPECT_NE(log.find(", waiting to upload again"), std::string::npos) << log;
  EXPECT_EQ(log.find(encodeUtf8(run.password, false)), std::string::npos);

  DeleteFileW(run.blocked.c_str());
  writeSettings(L"SCHED_ON=0");
  {
    VemlixProcess vemlix;
    HWND window = vemlix.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(waitFor([&] { return ledgerCount(unsentSql) == 0; }, 20000))
        << readBytes(sharedDataFolder() + L"\\Vemlix.log");
    PostMessageW(window, WM_COMMAND, 177, 0);
    ASSERT_TRUE(vemlix.waitForExit(10000, exitCode));
  }
  if (run.listed) EXPECT_EQ(run.listed(extension), saved);  // no .part, no doubles
  for (const std::wstring& name : saved)
    EXPECT_EQ(run.arrived(name), readBytes(pictures.file(name))) << name;
  removeVemlixData();
}
