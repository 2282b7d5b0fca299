#include "delivery/local_saver.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

namespace {

class LocalSaverTest : public testing::Test {
 protected:
  LocalSaverTest() {
    captured_ = temp_.file(L"vmp1A2B.tmp");
    writeBytes(captured_, "\x89PNG picture bytes");
    output_ = temp_.file(L"out");
    platform::createFolder(output_);
    shot_.name = L"Desk";
    shot_.format = 1;
    shot_.localFolder = output_;
  }

  TempFolder temp_;
  std::wstring captured_;
  std::wstring output_;
  EffectiveShot shot_;
};

}  // namespace

TEST_F(LocalSaverTest, CopiesUnderTheOutputNameAndKeepsTheCapturedFile) {
  EXPECT_TRUE(LocalSaver().saveLocalCopy(shot_, captured_, L"06-Dec-2026_05_05_09_PM"));
  const std::wstring target =
      output_ + platform::kPathSeparator + L"Desk-06-Dec-2026_05_05_09_PM.jpg";
  EXPECT_EQ(readBytes(target), "\x89PNG picture bytes");
  EXPECT_TRUE(platform::fileExists(captured_));
}

TEST_F(LocalSaverTest, ReplacesACopyOfTheSameName) {
  const std::wstring target = output_ + platform::kPathSeparator + L"Desk.jpg";
  writeBytes(target, "an older capture, longer than the new one");
  EXPECT_TRUE(LocalSaver().saveLocalCopy(shot_, captured_, L""));
  EXPECT_EQ(readBytes(target), "\x89PNG picture bytes");
}

TEST_F(LocalSaverTest, FailsWithoutLeavingAFile) {
  shot_.localFolder = temp_.file(L"missing");
  EXPECT_FALSE(LocalSaver().saveLocalCopy(shot_, captured_, L"t"));
  EXPECT_FALSE(platform::fileExists(temp_.file(L"missing")));

  shot_.localFolder = output_;
  EXPECT_FALSE(LocalSaver().saveLocalCopy(shot_, temp_.file(L"gone.tmp"), L"t"));
  EXPECT_FALSE(platform::fileExists(output_ + platform::kPathSeparator + L"Desk-t.jpg"));
}

TEST_F(LocalSaverTest, ShotWithoutFolderGoesToPictures) {
  TempFolder pictures;
  platform::overrideFolderForTests(platform::UserFolder::kPictures, pictures.path());
  shot_.localFolder.clear();
  const bool saved = LocalSaver().saveLocalCopy(shot_, captured_, L"t");
  platform::overrideFolderForTests(platform::UserFolder::kPictures, L"");
  EXPECT_TRUE(saved);
  EXPECT_EQ(readBytes(pictures.file(L"Desk-t.jpg")), "\x89PNG picture bytes");
}
