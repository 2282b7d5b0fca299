// The log line and tray tip of a firing, and the log file's roll-over.
#include "scheduler/activity_log.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/temp_folder.h"

namespace {

FiringReport savedShot() {
  FiringReport report;
  report.time = {2026, 5, 1, 5, 10, 42, 3};
  report.shotName = L"Desk";
  report.captured = true;
  report.localFile = L"C:\\Pictures\\Desk-1.png";
  report.upload = UploadOutcome::uploaded(L"ftp.example.com");
  return report;
}

TEST(ActivityLogTest, LineAndTipSayWhatBecameOfTheShot) {
  FiringReport report = savedShot();
  EXPECT_EQ(logLine(report),
            L"2026-05-01 10:42:03 | Desk | saved C:\\Pictures\\Desk-1.png | uploaded to "
            L"ftp.example.com");
  EXPECT_EQ(tipText(report), L"Desk 10:42:03 saved and uploaded");
  EXPECT_FALSE(report.failed());

  report.upload = UploadOutcome::noServer();
  EXPECT_EQ(tipText(report), L"Desk 10:42:03 saved");
  EXPECT_NE(logLine(report).find(L"| not uploaded (no FTP server)"), std::wstring::npos);
  EXPECT_FALSE(report.failed());

  // A server's reply may span lines; the log keeps one line per firing.
  report.upload = UploadOutcome::failed(L"530 Login\r\nincorrect.");
  EXPECT_EQ(tipText(report), L"Desk 10:42:03 upload failed: 530 Login  incorrect.");
  EXPECT_NE(logLine(report).find(L"| upload failed: 530 Login  incorrect."), std::wstring::npos);
  EXPECT_TRUE(report.failed());

  report = {};
  report.time = {2026, 12, 6, 0, 7, 5, 9};
  report.shotName = L"Left";
  report.whyNoFile = L"not captured: the rectangle lies on no screen";
  EXPECT_EQ(logLine(report),
            L"2026-12-06 07:05:09 | Left | not captured: the rectangle lies on no screen | "
            L"nothing to upload");
  EXPECT_TRUE(report.failed());

  report = savedShot();
  report.localFile.clear();
  report.whyNoFile = L"not saved: could not write X:\\" + std::wstring(200, L'x');
  report.upload = UploadOutcome::failed(L"no answer from ftp.example.com");
  const std::wstring tip = tipText(report);
  EXPECT_EQ(tip, L"Desk 10:42:03 not saved, upload failed: no answer from ftp.example.com");
  report.upload = UploadOutcome::uploaded(L"ftp.example.com");
  EXPECT_EQ(tipText(report).size(), kMaxTipLength);
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
  ASSERT_TRUE(log.write(L"short"));  // still fits
  EXPECT_EQ(platform::fileSize(log.path()), kActivityLogLimit - 3);
  ASSERT_TRUE(log.write(L"Bild \u00fcber der Grenze"));
  EXPECT_EQ(readBytes(log.path()),
            "Bild \xc3\xbc"
            "ber der Grenze\r\n");
  EXPECT_EQ(readBytes(log.olderPath()), full + "short\r\n");

  ASSERT_TRUE(log.write(L"next"));
  EXPECT_EQ(readBytes(log.path()),
            "Bild \xc3\xbc"
            "ber der Grenze\r\nnext\r\n");
  EXPECT_FALSE(ActivityLog(L"").write(L"nowhere"));
}

}  // namespace
