#include "capture/output_name.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

namespace {

constexpr wchar_t kStamp[] = L"06-Dec-2026_05_05_09_PM";

EffectiveShot desk(int32_t format) {
  EffectiveShot shot;
  shot.name = L"Desk";
  shot.format = format;
  return shot;
}

std::wstring underFolder(const std::wstring& folder, const std::wstring& fileName) {
  return folder + platform::kPathSeparator + fileName;
}

}  // namespace

TEST(OutputNameTest, FileNameJoinsNameStampAndExtension) {
  EXPECT_EQ(outputFileName(L"Desk", kStamp, 1), L"Desk-06-Dec-2026_05_05_09_PM.jpg");
  EXPECT_EQ(outputFileName(L"Desk", L"morning", 0), L"Desk-morning.bmp");
  EXPECT_EQ(outputFileName(L"Desk", L"", 4), L"Desk.png");
  EXPECT_EQ(outputFileName(L"Desk", L"x", 2), L"Desk-x.gif");
  EXPECT_EQ(outputFileName(L"Desk", L"x", 3), L"Desk-x.tiff");
}

TEST(OutputNameTest, UnknownFormatIsSavedAndUploadedAsPng) {
  EffectiveShot shot = desk(9);
  shot.localFolder = L"shots";
  shot.ftp.folder = L"a";
  EXPECT_EQ(localTargetPath(shot, L"t"), underFolder(L"shots", L"Desk-t.png"));
  EXPECT_EQ(remoteFileName(shot, L"t"), L"/a/Desk-t.png");
  shot.format = -1;
  EXPECT_EQ(remoteFileName(shot, L"t"), L"/a/Desk-t.png");
}

TEST(OutputNameTest, LocalTargetIsInTheShotsFolder) {
  EffectiveShot shot = desk(1);
  shot.localFolder = L"/srv/shots";
  EXPECT_EQ(localTargetPath(shot, kStamp),
            underFolder(L"/srv/shots", L"Desk-06-Dec-2026_05_05_09_PM.jpg"));
  EXPECT_EQ(localTargetPath(shot, L""), underFolder(L"/srv/shots", L"Desk.jpg"));
}

TEST(OutputNameTest, TrailingSeparatorIsDoubledNotStripped) {
  EffectiveShot shot = desk(4);
  shot.localFolder = std::wstring(L"shots") + platform::kPathSeparator;
  EXPECT_EQ(localTargetPath(shot, L"t"), std::wstring(L"shots") + platform::kPathSeparator +
                                             platform::kPathSeparator + L"Desk-t.png");
}

TEST(OutputNameTest, LocalTargetWithoutFolderIsInPictures) {
  TempFolder pictures;
  platform::overrideFolderForTests(platform::UserFolder::kPictures, pictures.path());
  const std::wstring target = localTargetPath(desk(4), L"t");
  platform::overrideFolderForTests(platform::UserFolder::kPictures, L"");
  EXPECT_EQ(target, pictures.file(L"Desk-t.png"));
}

TEST(OutputNameTest, RemoteNameUsesTheFolderAsTyped) {
  EffectiveShot shot = desk(1);
  EXPECT_EQ(remoteFileName(shot, kStamp), L"Desk-06-Dec-2026_05_05_09_PM.jpg");
  shot.ftp.folder = L"a/b";
  EXPECT_EQ(remoteFileName(shot, kStamp), L"/a/b/Desk-06-Dec-2026_05_05_09_PM.jpg");
  shot.ftp.folder = L"/a/";
  EXPECT_EQ(remoteFileName(shot, kStamp), L"//a//Desk-06-Dec-2026_05_05_09_PM.jpg");
  shot.format = 4;
  EXPECT_EQ(remoteFileName(shot, L""), L"//a//Desk.png");
}

TEST(OutputNameTest, RemoteNameIgnoresTheLocalFolderAndViceVersa) {
  EffectiveShot shot = desk(4);
  shot.localFolder = L"local";
  shot.ftp.folder = L"remote";
  EXPECT_EQ(remoteFileName(shot, L"t"), L"/remote/Desk-t.png");
  EXPECT_EQ(localTargetPath(shot, L"t"), underFolder(L"local", L"Desk-t.png"));
}
