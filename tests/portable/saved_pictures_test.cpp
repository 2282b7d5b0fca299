#include "delivery/saved_pictures.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_folder.h"

namespace {

platform::LocalTime day(int dayOfMonth, int hour = 12) {
  platform::LocalTime time;
  time.year = 2026;
  time.month = 12;
  time.day = dayOfMonth;
  time.hour = hour;
  return time;
}

class SavedPicturesTest : public ::testing::Test {
 protected:
  std::wstring picture(const std::wstring& name) {
    const std::wstring path = folder_.file(name);
    writeBytes(path, "png");
    return path;
  }
  std::wstring journal() const { return folder_.file(kSavedPicturesFileName); }

  TempFolder folder_;
};

// Only what was recorded for the shot goes, oldest first, by count and by the records' dates;
// a look-alike file and another shot's pictures stay, and the record survives a restart.
TEST_F(SavedPicturesTest, TrimDeletesOnlyTheShotsOwnOldestPictures) {
  const std::wstring stranger = picture(L"Desk-01.png");  // looks like one, never recorded
  {
    SavedPictures saved(journal());
    for (int d = 1; d <= 5; ++d)
      saved.record(L"Desk", picture(L"Desk-0" + std::to_wstring(d + 1) + L".png"), day(d));
    saved.record(L"Door", picture(L"Door-01.png"), day(1));
    saved.record(L"Desk", folder_.file(L"Desk-06.png"), day(6));  // saved again: counts once
    EXPECT_EQ(saved.trim(L"Desk", 0, 3, day(6)), 2u);
  }
  EXPECT_TRUE(platform::fileExists(stranger));
  EXPECT_FALSE(platform::fileExists(folder_.file(L"Desk-02.png")));
  EXPECT_FALSE(platform::fileExists(folder_.file(L"Desk-03.png")));
  EXPECT_TRUE(platform::fileExists(folder_.file(L"Desk-04.png")));

  SavedPictures reloaded(journal());
  EXPECT_EQ(reloaded.count(L"Desk"), 3u);
  // Kept for 2 days on the 7th at noon: those of the 3rd and the 4th go, that of the 6th stays.
  EXPECT_EQ(reloaded.trim(L"Desk", 2, 0, day(7)), 2u);
  EXPECT_FALSE(platform::fileExists(folder_.file(L"Desk-05.png")));
  EXPECT_TRUE(platform::fileExists(folder_.file(L"Desk-06.png")));
  EXPECT_TRUE(platform::fileExists(folder_.file(L"Door-01.png")));
  EXPECT_TRUE(platform::fileExists(stranger));
}

// A deleted shot's pictures are never deleted, not even by a new shot of the same name; a
// picture the user removed is simply forgotten.
TEST_F(SavedPicturesTest, ForgottenShotsAndRemovedFilesAreLeftAlone) {
  SavedPictures saved(journal());
  saved.record(L"Desk", picture(L"a.png"), day(1));
  saved.record(L"Desk", picture(L"b.png"), day(2));
  saved.forget(L"Desk");
  saved.record(L"Desk", picture(L"c.png"), day(3));
  EXPECT_EQ(saved.trim(L"Desk", 0, 1, day(3)), 0u);
  platform::removeFile(folder_.file(L"c.png"));
  saved.record(L"Desk", picture(L"d.png"), day(4));
  EXPECT_EQ(saved.trim(L"Desk", 0, 1, day(4)), 0u);
  EXPECT_EQ(saved.count(L"Desk"), 1u);
  EXPECT_TRUE(platform::fileExists(folder_.file(L"a.png")));
  EXPECT_TRUE(platform::fileExists(folder_.file(L"b.png")));
  EXPECT_EQ(SavedPictures(journal()).count(L"Desk"), 1u);
}

}  // namespace
