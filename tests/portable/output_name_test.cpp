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
  const std::wstring target = localTargetPath(desk(4), L"t").value();
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

// Name and stamp come from the user: whatever they hold, the result is one file name that stays
// in the shot's folder, and the same one locally and on the server.
TEST(OutputNameTest, UnsafeCharactersBecomeHyphens) {
  EXPECT_EQ(outputFileName(L"Desk", L"12/06/26 10:42:03", 4), L"Desk-12-06-26 10-42-03.png");
  EXPECT_EQ(outputFileName(L"..\\..\\x", L"", 4), L"..-..-x.png");
  EXPECT_EQ(outputFileName(L"a<b>c:d\"e|f?g*h/i", L"", 1), L"a-b-c-d-e-f-g-h-i.jpg");
  EXPECT_EQ(outputFileName(std::wstring(L"tab\there\0\x01", 10), L"", 0), L"tab-here--.bmp");
  EffectiveShot shot = desk(4);
  shot.name = L"..\\..\\x";
  shot.localFolder = L"shots";
  shot.ftp.folder = L"up";
  EXPECT_EQ(localTargetPath(shot, L"10:42"), underFolder(L"shots", L"..-..-x-10-42.png"));
  EXPECT_EQ(remoteFileName(shot, L"10:42"), L"/up/..-..-x-10-42.png");
}

TEST(OutputNameTest, DeviceNamesAndTrailingDotsAreMadeSafe) {
  EXPECT_EQ(outputFileName(L"CON", L"", 4), L"_CON.png");
  EXPECT_EQ(outputFileName(L"nul", L"", 4), L"_nul.png");
  EXPECT_EQ(outputFileName(L"Com1", L"", 4), L"_Com1.png");
  EXPECT_EQ(outputFileName(L"CONSOLE", L"", 4), L"CONSOLE.png");
  EXPECT_EQ(outputFileName(L"COM10", L"", 4), L"COM10.png");
  EXPECT_EQ(safeFileName(L"name. . ", L"", 255), L"name");
  EXPECT_EQ(safeFileName(L"LPT3 ", L"", 255), L"_LPT3");
}

TEST(OutputNameTest, LongNamesAreCutSoThePathStaysValid) {
  const std::wstring longName(400, L'n');
  EXPECT_EQ(outputFileName(longName, L"", 4), std::wstring(251, L'n') + L".png");
  EffectiveShot shot = desk(4);
  shot.name = longName;
  shot.localFolder = std::wstring(100, L'f');
  const std::wstring local = localTargetPath(shot, L"").value();
  EXPECT_EQ(local.size(), kMaxPathLength);
  EXPECT_TRUE(local.ends_with(L"nnn.png"));
  EXPECT_TRUE(remoteFileName(shot, L"").ends_with(local.substr(101)));
  // A pair of UTF-16 units is never split.
  const std::wstring emoji = L"\xD83D\xDCF7";
  EXPECT_EQ(safeFileName(L"ab" + emoji, L".png", 7), L"ab.png");
}

// The time text is what keeps one capture from replacing the last: only the name gives way.
TEST(OutputNameTest, ALongNameOrFolderNeverCutsTheTimeText) {
  const std::wstring stamp = L"07-Dec-2026_05_12_33_PM";
  const auto named = outputFileName(std::wstring(250, L'n'), stamp, 4);
  ASSERT_TRUE(named);
  EXPECT_EQ(*named, std::wstring(255 - 28, L'n') + L"-" + stamp + L".png");

  EffectiveShot shot = desk(4);
  shot.name = L"Desktop";
  shot.localFolder = std::wstring(225, L'f');
  const auto local = localTargetPath(shot, stamp);
  ASSERT_TRUE(local);
  EXPECT_EQ(*local, underFolder(shot.localFolder, L"Deskt-" + stamp + L".png"));
  EXPECT_EQ(local->size(), kMaxPathLength);
  EXPECT_EQ(remoteFileName(shot, stamp), L"Deskt-" + stamp + L".png");

  // No room for the time text: no local name at all, and the server gets the whole name.
  shot.localFolder = std::wstring(235, L'f');
  EXPECT_FALSE(localTargetPath(shot, stamp));
  EXPECT_EQ(remoteFileName(shot, stamp), L"Desktop-" + stamp + L".png");
  EXPECT_FALSE(outputFileName(L"Desk", stamp, 4, 28));
  EXPECT_EQ(outputFileName(L"Desk", stamp, 4, 29), L"D-" + stamp + L".png");
}
