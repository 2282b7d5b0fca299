#include "shots/shot_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/folders.h"
#include "settings/app_settings.h"
#include "shots/new_shot_name.h"
#include "shots/shot_fields.h"
#include "shots/shots_file.h"
#include "support/data_folder_test.h"
#include "support/temp_folder.h"

namespace {

// Points the documents folder, and with it ShotsData.idx, into a fresh temporary folder.
class ShotStoreTest : public DataFolderTest {
 protected:
  std::wstring shotsFile() const {
    return AppSettings::instance().sharedDataFolder() + kShotsFileName;
  }
  std::string fileBytes() const { return readBytes(shotsFile()); }
  void writeFile(const std::string& bytes) const { writeBytes(shotsFile(), bytes); }

  static ShotPtr named(const std::wstring& name) {
    auto shot = std::make_shared<ShotDefinition>();
    shot->NAME = name;
    shot->isNew = true;
    return shot;
  }
  static std::vector<std::wstring> names() {
    std::vector<std::wstring> result;
    ShotStore::instance().forEach(
        [&](const ShotPtr&, ShotDefinition& shot) { result.push_back(shot.NAME); });
    return result;
  }
  // What the file must hold for the store as it is now.
  static std::string expectedFile() {
    std::vector<ShotDefinition> shots;
    ShotStore::instance().forEach(
        [&](const ShotPtr&, ShotDefinition& shot) { shots.push_back(shot); });
    return formatShotsFile(shots);
  }
};

TEST_F(ShotStoreTest, AddNumbersSlotsAndSaves) {
  ShotStore& store = ShotStore::instance();
  const ShotPtr first = named(L"first");
  EXPECT_EQ(store.add(first), 1u);
  EXPECT_EQ(store.add(named(L"second")), 2u);
  EXPECT_EQ(store.count(), 2u);
  EXPECT_EQ(store.at(0), first);
  EXPECT_EQ(store.copy(store.at(1)).SHOT_ID, 1);
  EXPECT_FALSE(store.copy(first).isNew);
  EXPECT_EQ(fileBytes(), expectedFile());
  // The same record added again keeps its one slot.
  EXPECT_EQ(store.add(first), 2u);
}

TEST_F(ShotStoreTest, AtOutsideTheSlotsGivesNone) {
  ShotStore& store = ShotStore::instance();
  store.add(named(L"only"));
  EXPECT_EQ(store.at(store.count()), nullptr);
  EXPECT_EQ(store.at(-1), nullptr);
  EXPECT_EQ(store.at(int64_t{1} << 32), nullptr);
  EXPECT_EQ(store.copy(nullptr), ShotDefinition{});
}

TEST_F(ShotStoreTest, AddWithoutARecordStillSaves) {
  EXPECT_EQ(ShotStore::instance().add(nullptr), 0u);
  EXPECT_EQ(fileBytes(), "\xEF\xBB\xBF");
}

TEST_F(ShotStoreTest, RemoveClosesTheGapAndRenumbers) {
  ShotStore& store = ShotStore::instance();
  for (const wchar_t* name : {L"first", L"second", L"third"}) store.add(named(name));
  const ShotPtr second = store.at(1);
  store.remove(1);
  EXPECT_EQ(store.count(), 2u);
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"first", L"third"}));
  for (uint32_t slot = 0; slot < store.count(); ++slot) {
    EXPECT_EQ(store.copy(store.at(slot)).SHOT_ID, static_cast<int32_t>(slot));
  }
  EXPECT_EQ(fileBytes(), expectedFile());
  // Whoever still held the removed record can go on reading it.
  EXPECT_EQ(store.copy(second).NAME, L"second");
  EXPECT_EQ(store.add(named(L"New Shot - 3")), 3u);
  EXPECT_EQ(store.copy(store.at(2)).SHOT_ID, 2);
}

TEST_F(ShotStoreTest, RemoveOutsideTheSlotsStillSaves) {
  ShotStore& store = ShotStore::instance();
  store.add(named(L"kept"));
  writeFile("stale");
  store.remove(1);
  store.remove(-1);
  EXPECT_EQ(store.count(), 1u);
  EXPECT_EQ(fileBytes(), expectedFile());
}

TEST_F(ShotStoreTest, NoFileLoadsNothingAndCreatesNone) {
  ShotStore::instance().load();
  EXPECT_EQ(ShotStore::instance().count(), 0u);
  EXPECT_FALSE(platform::fileExists(shotsFile()));
}

TEST_F(ShotStoreTest, FileWithoutSectionsLoadsNothingAndStaysAsItIs) {
  for (const std::string bytes : {"", "\xEF\xBB\xBF", "\xEF\xBB\xBFNAME=x\r\n"}) {
    writeFile(bytes);
    ShotStore::instance().load();
    EXPECT_EQ(ShotStore::instance().count(), 0u);
    EXPECT_EQ(fileBytes(), bytes);
  }
}

TEST_F(ShotStoreTest, LoadRenumbersAndRewritesTheFile) {
  writeFile(
      "[SHOT_SETTINGS]\nSHOT_ID=7\nNAME=seven\nRECT_X=-20\n\n"
      "[SHOT_SETTINGS]\nSHOT_ID=3\nNAME=three\n");
  ShotStore& store = ShotStore::instance();
  store.load();
  ASSERT_EQ(store.count(), 2u);
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"seven", L"three"}));
  EXPECT_EQ(store.copy(store.at(0)).SHOT_ID, 0);
  EXPECT_EQ(store.copy(store.at(0)).RECT_X, -20);
  EXPECT_EQ(store.copy(store.at(1)).SHOT_ID, 1);
  EXPECT_EQ(fileBytes(), expectedFile());
  EXPECT_NE(fileBytes().find("SHOT_ID=1\r\nAUTO_ENABLED=0\r\nFULL_SCREEN=0\r\nNAME=three\r\n"),
            std::string::npos);
}

// A shot keeps one identity for good: given when it is made, or, for a file from an older
// version, derived from its section so that a start that cannot write the file gives the same
// one again. A section copied by hand gets one of its own; an edit never changes it.
TEST_F(ShotStoreTest, EveryShotHasALastingIdentityOfItsOwn) {
  writeFile(
      "[SHOT_SETTINGS]\nNAME=old\n\n[SHOT_SETTINGS]\nNAME=copy\nSHOT_GUID={SAME}\n\n"
      "[SHOT_SETTINGS]\nNAME=copied\nSHOT_GUID={SAME}\n");
  const std::string older = fileBytes();
  ShotStore& store = ShotStore::instance();
  store.load();
  const std::wstring derived = store.copy(store.at(0)).SHOT_GUID;
  EXPECT_EQ(derived.size(), 38u);
  EXPECT_EQ(store.copy(store.at(1)).SHOT_GUID, L"{SAME}");
  EXPECT_NE(store.copy(store.at(2)).SHOT_GUID, L"{SAME}");
  EXPECT_EQ(parseShotsFile(fileBytes())[0].SHOT_GUID, derived);

  ShotStore::release();
  store.reopen();
  writeFile(older);
  store.load();
  EXPECT_EQ(store.copy(store.at(0)).SHOT_GUID, derived);
  store.add(named(L"new"));
  const std::wstring made = store.copy(store.at(3)).SHOT_GUID;
  EXPECT_NE(made, derived);
  const ShotDefinition base = store.copy(store.at(3));
  ShotDefinition edited = base;
  edited.SHOT_GUID = L"{EDITED}";
  store.update(store.at(3), [&](ShotDefinition& shot) { mergeChangedFields(shot, base, edited); });
  EXPECT_EQ(store.copy(store.at(3)).SHOT_GUID, made);
}

TEST_F(ShotStoreTest, LoadKeepsASectionThatLacksRequiredKeys) {
  writeFile(
      "[SHOT_SETTINGS]\nNAME=first\nFORMAT=1\n"
      "[SHOT_SETTINGS]\nNAME=second\n"
      "[SHOT_SETTINGS]\nNAME=third\nFORMAT=3\n");
  ShotStore::instance().load();
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"first", L"second", L"third"}));
  EXPECT_EQ(parseShotsFile(fileBytes()).size(), 3u);
  EXPECT_EQ(fileBytes(), expectedFile());
}

TEST_F(ShotStoreTest, UnwritableFileLeavesTheStoreAsItIs) {
  AppSettings::instance().setString(SettingId::DOCS_PATH,
                                    temp_.file(L"missing") + platform::kPathSeparator);
  EXPECT_EQ(ShotStore::instance().add(named(L"kept in memory")), 1u);
  EXPECT_EQ(names(), std::vector<std::wstring>{L"kept in memory"});
  EXPECT_FALSE(platform::fileExists(shotsFile()));
}

TEST_F(ShotStoreTest, ReleaseEmptiesTheStoreButNotTheRecordsStillHeld) {
  ShotStore::instance().add(named(L"held"));
  const ShotPtr held = ShotStore::instance().at(0);
  ShotStore::release();
  EXPECT_EQ(ShotStore::instance().count(), 0u);
  EXPECT_EQ(held->NAME, L"held");
  // Releasing twice is harmless.
  ShotStore::release();
}

// Text with no key and no section in it is some other program's idea of the file (or a form
// this one cannot read): it counts as unreadable, never as empty.
TEST_F(ShotStoreTest, DataFilesHoldingNothingRecognisableAreNeverOverwritten) {
  AppSettings& settings = AppSettings::instance();
  const std::wstring settingsFile = settings.settingsFilePath();
  for (const std::wstring& file : {settingsFile, shotsFile()}) writeBytes(file, "notes\r\n");
  EXPECT_FALSE(settings.load());
  settings.applyDefaults();
  EXPECT_EQ(ShotStore::instance().load(), ShotStore::LoadResult::kUnreadable);
  EXPECT_EQ(settings.unreadableReason(), platform::UnreadableReason::kNotUnderstood);
  EXPECT_EQ(ShotStore::instance().unreadableReason(), platform::UnreadableReason::kNotUnderstood);
  ShotStore::instance().add(named(L"added in this run"));
  EXPECT_EQ(readBytes(settingsFile), "notes\r\n");
  EXPECT_EQ(fileBytes(), "notes\r\n");
}

// A store released at the end of the program stays empty and writes nothing, so a late save
// (an overlay saving as the program ends) cannot empty the user's file.
TEST_F(ShotStoreTest, AReleasedStoreNeitherChangesNorWrites) {
  ShotStore::instance().add(named(L"kept"));
  const std::string before = fileBytes();
  ShotStore::release();
  EXPECT_EQ(ShotStore::instance().add(named(L"late")), 0u);
  EXPECT_FALSE(ShotStore::instance().save());
  EXPECT_EQ(fileBytes(), before);
}

// Files that exist but cannot be read (here a folder in each one's place) are neither
// mistaken for missing nor written over once they can be read again.
TEST_F(ShotStoreTest, UnreadableDataFilesAreNeverOverwritten) {
  AppSettings& settings = AppSettings::instance();
  const std::wstring settingsFile = settings.settingsFilePath();
  for (const std::wstring& file : {settingsFile, shotsFile()}) {
    ASSERT_TRUE(platform::createFolder(file));
  }
  EXPECT_FALSE(settings.load());
  settings.applyDefaults();
  EXPECT_EQ(ShotStore::instance().load(), ShotStore::LoadResult::kUnreadable);
  EXPECT_EQ(settings.unreadableFile(), settingsFile);
  EXPECT_EQ(ShotStore::instance().unreadableFile(), shotsFile());

  // Whatever unlocked them, the user's files stay as they were for the rest of the run.
  for (const std::wstring& file : {settingsFile, shotsFile()}) {
    std::filesystem::remove(std::filesystem::path(file));
    writeBytes(file, "the user's own");
  }
  settings.setInt(SettingId::WND_XPOS, 7);
  EXPECT_FALSE(settings.save());
  ShotStore::instance().add(named(L"added in this run"));
  EXPECT_FALSE(ShotStore::instance().save());
  EXPECT_EQ(readBytes(settingsFile), "the user's own");
  EXPECT_EQ(fileBytes(), "the user's own");
}

TEST_F(ShotStoreTest, UpdateChangesTheStoredRecord) {
  ShotStore& store = ShotStore::instance();
  store.add(named(L"before"));
  store.update(store.at(0), [](ShotDefinition& shot) { shot.AUTO_ENABLED = true; });
  store.update(nullptr, [](ShotDefinition&) { FAIL() << "called without a record"; });
  store.save();
  ShotStore::release();
  store.reopen();
  store.load();
  EXPECT_TRUE(store.copy(store.at(0)).AUTO_ENABLED);
}

// After a deletion, or while another new shot waits in its overlay, count + 1 may be taken.
TEST(NewShotName, IsTheFirstNumberFromCountPlusOneThatNoShotUses) {
  EXPECT_EQ(newShotName(0, {}), L"New Shot - 1");
  EXPECT_EQ(newShotName(2, {L"New Shot - 3", L"New Shot - 4", L"New Shot - 6"}), L"New Shot - 5");
  EXPECT_EQ(newShotName(1, {L"New Shot - 1", L"Desk"}), L"New Shot - 2");
}

// An overlay's edit goes back over the stored record without undoing what others changed
// meanwhile (the list's check box, another overlay's save).
TEST(MergeChangedFields, TakesOnlyTheFieldsTheEditChanged) {
  ShotDefinition base;
  base.SHOT_ID = 3;
  base.NAME = L"Desk";
  base.RECT_X = 10;
  ShotDefinition record = base;
  record.AUTO_ENABLED = true;  // changed in the list while the edit was open
  record.SHOT_ID = 1;          // renumbered by a deletion
  ShotDefinition edited = base;
  edited.NAME = L"Desk 2";
  edited.RECT_X = 20;
  edited.SHOT_ID = 9;
  mergeChangedFields(record, base, edited);
  EXPECT_EQ(record.NAME, L"Desk 2");
  EXPECT_EQ(record.RECT_X, 20);
  EXPECT_TRUE(record.AUTO_ENABLED);
  EXPECT_EQ(record.SHOT_ID, 1);
}

TEST_F(ShotStoreTest, UpdateIfStoredRefusesARemovedRecord) {
  ShotStore& store = ShotStore::instance();
  store.add(named(L"kept"));
  const ShotPtr shot = store.at(0);
  EXPECT_TRUE(store.updateIfStored(shot, [](ShotDefinition& s) { s.FORMAT = 2; }));
  store.remove(shot);
  EXPECT_FALSE(store.updateIfStored(shot, [](ShotDefinition&) { FAIL() << "changed"; }));
  EXPECT_EQ(shot->FORMAT, 2);
}

class ShotStoreConcurrencyTest : public ShotStoreTest {};

// One thread adds, removes and saves while others walk the store and read records, as the
// user interface does while the scheduler's workers run.
TEST_F(ShotStoreConcurrencyTest, ChangesAndReadsStayConsistent) {
  ShotStore& store = ShotStore::instance();
  for (int i = 0; i < 4; ++i) store.add(named(L"seed"));
  std::atomic<bool> done{false};
  std::atomic<int> inconsistencies{0};

  auto reader = [&] {
    while (!done) {
      int32_t expected = 0;
      store.forEach([&](const ShotPtr&, ShotDefinition& shot) {
        if (shot.SHOT_ID != expected++) ++inconsistencies;
        ++shot.tickCount;
      });
      const ShotPtr shot = store.at(store.count() / 2);
      if (shot) {
        const ShotDefinition copy = store.copy(shot);
        if (copy.NAME.empty()) ++inconsistencies;
        store.update(shot, [](ShotDefinition& s) { s.capturedFile = L"/tmp/capture.png"; });
      }
    }
  };
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) readers.emplace_back(reader);
  std::thread saver([&] {
    while (!done) store.save();
  });

  for (int round = 0; round < 40; ++round) {
    store.add(named(L"shot " + std::to_wstring(round)));
    if (round % 3 != 0) store.remove(round % static_cast<int>(store.count()));
    if (const ShotPtr shot = store.at(0)) {
      store.update(shot, [](ShotDefinition& s) { s.AUTO_ENABLED = !s.AUTO_ENABLED; });
    }
  }
  done = true;
  for (auto& thread : readers) thread.join();
  saver.join();

  EXPECT_EQ(inconsistencies, 0);
  store.save();
  EXPECT_EQ(fileBytes(), expectedFile());
  EXPECT_EQ(parseShotsFile(fileBytes()).size(), store.count());
}

}  // namespace
