// The log line and tray tip of a firing, and the log file's roll-over.
#include "scheduler/activity_log.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_folder.h"

namespace {

TEST(ActivityLogTest, LineAndTipSayWhatBecameOfTheShotOnOneLine) {
  FiringReport report{
      {2026, 5, 1, 5, 10, 42, 3}, L"Desk", true,
      L"C:\\P\\Desk-1.png",       L"",     UploadOutcome::uploaded(L"ftp.example.com")};
  EXPECT_EQ(logLine(report),
            L"2026-05-01 10:42:03 | Desk | saved C:\\P\\Desk-1.png | uploaded to ftp.example.com");
  EXPECT_EQ(tipText(report), L"Desk 10:42:03 saved and uploaded");
  EXPECT_FALSE(report.failed());
  report.upload.notice = L"ftp.example.com refuses renames";
  EXPECT_EQ(logLine(report),
            L"2026-05-01 10:42:03 | Desk | saved C:\\P\\Desk-1.png | uploaded to "
            L"ftp.example.com | ftp.example.com refuses renames");

  report.upload = UploadOutcome::failed(L"530 Login\r\nincorrect.");
  EXPECT_EQ(tipText(report), L"Desk 10:42:03 upload failed: 530 Login  incorrect.");
  EXPECT_TRUE(report.failed());
  report.upload = UploadOutcome::failed(std::wstring(200, L'x'));
  EXPECT_EQ(tipText(report).size(), kMaxTipLength);

  report = {{2026, 12, 6, 0, 7, 5, 9}, L"Left", false, L"", L"not captured: off every screen", {}};
  EXPECT_EQ(logLine(report),
            L"2026-12-06 07:05:09 | Left | not captured: off every screen | nothing to upload");
  EXPECT_TRUE(report.failed());
}

TEST(ActivityLogTest, RollsOverAtOneMebibyteKeepingOneOlderFile) {
  TempFolder folder;
  const ActivityLog log(folder.path() + platform::kPathSeparator);
  ASSERT_TRUE(log.create());
  EXPECT_EQ(platform::fileSize(log.path()), 0u);

  const std::string full(kActivityLogLimit - 10, 'a');
  writeBytes(log.path(), full);
  writeBytes(log.olderPath(), "oldest");
  ASSERT_TRUE(log.write(L"fits"));
  ASSERT_TRUE(log.write(L"\u00fcber"));
  EXPECT_EQ(readBytes(log.olderPath()), full + "fits\r\n");
  EXPECT_EQ(readBytes(log.path()),
            "\xc3\xbc"
            "ber\r\n");
  EXPECT_FALSE(ActivityLog(L"").write(L"nowhere"));
}

}  // namespace
