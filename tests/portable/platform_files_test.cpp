#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include "platform/win32_handles.h"
#endif

namespace {

namespace fs = std::filesystem;
constexpr wchar_t kSep = platform::kPathSeparator;

// The test helpers' std::filesystem paths take wide names in the C locale, so a name outside
// ASCII is read back through the platform layer itself.
std::string contentOf(const std::wstring& path) {
  std::string bytes;
  EXPECT_EQ(platform::readWholeFile(path, bytes), platform::ReadResult::kRead);
  return bytes;
}

size_t entriesIn(const std::wstring& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(fs::path(folder))) ++count;
  return count;
}

TEST(PlatformFiles, ReadsEveryByteIncludingNulAndHighBytes) {
  TempFolder folder;
  const std::string bytes(
      "\xEF\xBB\xBF"
      "a\0\xFF\r\n",
      8);
  writeBytes(folder.file(L"data.bin"), bytes);
  std::string read = "old";
  ASSERT_EQ(platform::readWholeFile(folder.file(L"data.bin"), read), platform::ReadResult::kRead);
  EXPECT_EQ(read, bytes);
}

// Only a file that is not there counts as missing; one that is there but cannot be read (here
// a folder in its place, which even root cannot read as a file) is unreadable.
TEST(PlatformFiles, ReadingAMissingFileOrAFolderFailsAndLeavesTheBufferAlone) {
  TempFolder folder;
  std::string read = "old";
  EXPECT_EQ(platform::readWholeFile(folder.file(L"absent"), read), platform::ReadResult::kMissing);
  EXPECT_EQ(platform::readWholeFile(folder.file(L"absent") + kSep + L"f", read),
            platform::ReadResult::kMissing);
  EXPECT_EQ(platform::readWholeFile(folder.path(), read), platform::ReadResult::kUnreadable);
  EXPECT_EQ(read, "old");
}

// Keeps a file unreadable until free() makes it readable in one step: on Windows a handle that
// shares nothing, elsewhere a symbolic link to itself that a rename replaces.
class HeldFile {
 public:
  explicit HeldFile(const std::wstring& path) : path_(path) {
    writeBytes(path_ + L".new", "free");
#ifdef _WIN32
    writeBytes(path_, "free");
    handle_.reset(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
#else
    fs::create_symlink(fs::path(path_).filename(), fs::path(path_));
#endif
  }
  void free() {
#ifdef _WIN32
    handle_.reset();
#else
    fs::rename(fs::path(path_ + L".new"), fs::path(path_));
#endif
  }

 private:
  std::wstring path_;
#ifdef _WIN32
  win32::UniqueFileHandle handle_;
#endif
};

// A file held for a moment by another program is read once it is free again.
TEST(PlatformFiles, PatientReadWaitsForAFileThatBecomesReadable) {
  TempFolder folder;
  const std::wstring path = folder.file(L"held");
  HeldFile held(path);
  std::string bytes;
  ASSERT_EQ(platform::readWholeFile(path, bytes), platform::ReadResult::kUnreadable);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.free();
  });
  EXPECT_EQ(platform::readWholeFilePatiently(path, bytes, std::chrono::seconds(5)),
            platform::ReadResult::kRead);
  release.join();
  EXPECT_EQ(bytes, "free");
}

TEST(PlatformFiles, AtomicWriteCreatesAndReplacesWithoutLeavingTemporaries) {
  TempFolder folder;
  const std::wstring target = folder.path() + kSep + L"f\x00E9.idx";
  ASSERT_TRUE(platform::writeFileAtomically(target, "first, longer content"));
  ASSERT_TRUE(platform::writeFileAtomically(target, std::string("se\0cond", 7)));
  EXPECT_EQ(contentOf(target), std::string("se\0cond", 7));
  ASSERT_TRUE(platform::writeFileAtomically(target, ""));
  EXPECT_EQ(contentOf(target), "");
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

#ifdef _WIN32
// An indexer or antivirus holding the file for a moment does not make a save fail. (Elsewhere a
// rename replaces a file whoever has it open.)
TEST(PlatformFiles, AtomicWriteWaitsForATargetHeldOpenForAMoment) {
  TempFolder folder;
  const std::wstring target = folder.file(L"held");
  HeldFile held(target);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.free();
  });
  EXPECT_TRUE(platform::writeFileAtomically(target, "saved"));
  release.join();
  EXPECT_EQ(contentOf(target), "saved");
}
#endif

TEST(PlatformFiles, AtomicWriteIntoAMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(platform::writeFileAtomically(folder.file(L"absent") + kSep + L"f", "x"));
  EXPECT_EQ(entriesIn(folder.path()), 0u);
}

TEST(PlatformFiles, FailedReplaceLeavesTheTargetAndNoTemporary) {
  TempFolder folder;
  const std::wstring target = folder.file(L"taken");
  fs::create_directories(fs::path(target) / "inside");
  EXPECT_FALSE(platform::writeFileAtomically(target, "x"));
  EXPECT_TRUE(fs::is_directory(fs::path(target) / "inside"));
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(PlatformFiles, CopyReplacesAnExistingFile) {
  TempFolder folder;
  writeBytes(folder.file(L"from"), "new bytes");
  writeBytes(folder.file(L"to"), "old bytes, longer than the new ones");
  ASSERT_TRUE(platform::copyFile(folder.file(L"from"), folder.file(L"to")));
  EXPECT_EQ(readBytes(folder.file(L"to")), "new bytes");
  EXPECT_EQ(readBytes(folder.file(L"from")), "new bytes");
  EXPECT_FALSE(platform::copyFile(folder.file(L"absent"), folder.file(L"to")));
  EXPECT_EQ(readBytes(folder.file(L"to")), "new bytes");
}

TEST(PlatformFiles, ExistsRemoveAndCreateFolder) {
  TempFolder folder;
  const std::wstring file = folder.file(L"f");
  EXPECT_FALSE(platform::fileExists(file));
  writeBytes(file, "x");
  EXPECT_TRUE(platform::fileExists(file));
  EXPECT_FALSE(platform::fileExists(folder.path()));
  EXPECT_TRUE(platform::removeFile(file));
  EXPECT_FALSE(platform::fileExists(file));
  EXPECT_FALSE(platform::removeFile(file));

  const std::wstring sub = folder.file(L"sub") + kSep;
  EXPECT_TRUE(platform::createFolder(sub));
  EXPECT_TRUE(platform::createFolder(sub));  // already there
  EXPECT_TRUE(fs::is_directory(fs::path(sub)));
  EXPECT_FALSE(platform::createFolder(folder.file(L"no") + kSep + L"parent"));
  writeBytes(folder.file(L"plain"), "x");
  EXPECT_FALSE(platform::createFolder(folder.file(L"plain")));
}

TEST(PlatformFolders, UserFoldersCanBeRedirectedForTests) {
  TempFolder documents;
  TempFolder pictures;
  platform::overrideFolderForTests(platform::UserFolder::kDocuments, documents.path());
  platform::overrideFolderForTests(platform::UserFolder::kPictures, pictures.path());
  EXPECT_EQ(platform::documentsFolder(), documents.path());
  EXPECT_EQ(platform::picturesFolder(), pictures.path());
  platform::overrideFolderForTests(platform::UserFolder::kDocuments, L"");
  platform::overrideFolderForTests(platform::UserFolder::kPictures, L"");
  EXPECT_NE(platform::documentsFolder(), documents.path());
}

TEST(PlatformFolders, ProgramAndTemporaryFolders) {
  const std::wstring program = platform::modulePath();
  ASSERT_FALSE(program.empty());
  EXPECT_TRUE(platform::fileExists(program));

  const std::wstring temp = platform::tempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), kSep);
  EXPECT_TRUE(fs::is_directory(fs::path(temp)));
}

TEST(PlatformClock, LocalTimeIsInRange) {
  const platform::LocalTime now = platform::localNow();
  EXPECT_GE(now.year, 2024);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.weekday >= 0 && now.weekday <= 6);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
  EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
  EXPECT_TRUE(now.second >= 0 && now.second <= 59);
  EXPECT_EQ(platform::standardTimeZoneName(), platform::standardTimeZoneName());
}

}  // namespace
