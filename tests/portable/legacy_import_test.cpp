// The older records are taken over once, for the shots as they are now, and set aside.
#include "delivery/legacy_import.h"

#include <gtest/gtest.h>

#include "support/delivery_fakes.h"

namespace {

TEST_F(LedgerTest, OlderRecordsAreTakenOverOnlyForTheirOwnShotsFolder) {
  auto ledger = openLedger();
  TempFolder secrets;
  const std::wstring picture = pictures_.file(L"Desk-1.png");
  writeBytes(picture, "picture");
  writeBytes(secrets.file(L"private.txt"), "private");
  const std::wstring data = data_.path() + platform::kPathSeparator;
  writeBytes(data + kOldJournalName, encodeUtf8(L"+\t100\t" + picture + L"\tDesk\r\n", false));
  platform::createFolder(data + kOldOutboxName);
  const auto entry = [](const std::wstring& file) {
    return encodeUtf8(L"SHOT=Desk\r\nLOCAL_FILE=" + file +
                          L"\r\nSERVER=evil.example.com\r\nREMOTE_NAME=/up/x.png\r\n",
                      true);
  };
  writeBytes(data + kOldOutboxName + platform::kPathSeparator + L"1.upload", entry(picture));
  writeBytes(data + kOldOutboxName + platform::kPathSeparator + L"2.upload",
             entry(secrets.file(L"private.txt")));
  EffectiveShot desk;
  desk.name = L"Desk";
  desk.guid = L"{DESK}";
  desk.localFolder = pictures_.path();

  const LegacyImport imported = importLegacyRecords(*ledger, files_, data, {desk});
  EXPECT_EQ(imported.pictures, 1u);
  EXPECT_EQ(imported.waiting, 1u);
  ASSERT_EQ(imported.leftOut.size(), 1u);
  const std::vector<WaitingUpload> waiting = ledger->oldestWaitingPerShot();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_EQ(waiting[0].path, picture);
  EXPECT_EQ(waiting[0].remoteName, L"x.png");
  EXPECT_TRUE(platform::fileExists(data + kOldJournalAside));
  EXPECT_TRUE(platform::folderExists(data + kOldOutboxAside));
  EXPECT_EQ(importLegacyRecords(*ledger, files_, data, {desk}).waiting, 0u);
}

}  // namespace
