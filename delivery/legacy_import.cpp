#include "delivery/legacy_import.h"

#include <string_view>

#include "capture/output_name.h"
#include "delivery/legacy_records.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

// Gathers what the older records hold for the shots as they are now.
class Importer {
 public:
  Importer(PictureFiles& files, const std::vector<EffectiveShot>& shots)
      : files_(files), shots_(shots) {}

  void journal(std::wstring_view text);
  void outboxEntry(std::wstring_view text, const std::wstring& fileName);

  LegacyImport result;
  std::vector<AdoptedPicture> adopted;

 private:
  const EffectiveShot* owner(const std::wstring& name, const std::wstring& path) const;

  PictureFiles& files_;
  const std::vector<EffectiveShot>& shots_;
};

// The shot of that name whose folder holds `path`; the only shot of that name when none does.
const EffectiveShot* Importer::owner(const std::wstring& name, const std::wstring& path) const {
  const std::wstring folder = files_.comparable(platform::folderOf(path));
  const EffectiveShot* only = nullptr;
  size_t named = 0;
  for (const EffectiveShot& shot : shots_) {
    if (shot.name != name) continue;
    if (files_.comparable(localFolderOf(shot)) == folder) return &shot;
    only = &shot;
    ++named;
  }
  return named == 1 ? only : nullptr;
}

void Importer::journal(std::wstring_view text) {
  // The journal kept local time; the ledger keeps UTC.
  const int64_t offset = platform::secondsOf(platform::localNow()) - platform::utcSeconds();
  for (const auto& [name, pictures] : replayOldJournal(text)) {
    for (const auto& [path, localSeconds] : pictures) {
      const EffectiveShot* shot = owner(name, path);
      if (!shot) {
        result.leftOut.push_back(L"not taken over: " + path + L" (no shot " + name + L" holds it)");
        continue;
      }
      adopted.push_back({shot->guid, shot->name, path, localSeconds - offset, std::nullopt});
      ++result.pictures;
    }
  }
}

void Importer::outboxEntry(std::wstring_view text, const std::wstring& fileName) {
  const OldWaitingUpload entry = parseOldOutboxEntry(text);
  const EffectiveShot* shot = entry.path.empty() ? nullptr : owner(entry.shotName, entry.path);
  const bool inItsFolder = shot && files_.comparable(platform::folderOf(entry.path)) ==
                                       files_.comparable(localFolderOf(*shot));
  if (!inItsFolder || entry.fileName.empty()) {
    result.leftOut.push_back(L"not taken over: the waiting upload " + fileName +
                             L" names no picture in the folder of a shot of its name");
    return;
  }
  adopted.push_back({shot->guid, shot->name, entry.path,
                     entry.queuedUtc.value_or(platform::utcSeconds()), entry.fileName});
  ++result.waiting;
}

}  // namespace

LegacyImport importLegacyRecords(PictureLedger& ledger, PictureFiles& files,
                                 const std::wstring& dataFolder,
                                 const std::vector<EffectiveShot>& shots) {
  Importer importer(files, shots);
  const std::wstring journal = dataFolder + kOldJournalName;
  std::string bytes;
  // A file that cannot be read now (locked by a backup) stays, for the next start.
  const bool journalRead = platform::readWholeFile(journal, bytes) == platform::ReadResult::kRead;
  if (journalRead) importer.journal(decodeTextFile(bytes));
  const std::wstring outbox = dataFolder + kOldOutboxName;
  const bool outboxThere = files.folderExists(outbox);
  bool outboxRead = outboxThere;
  for (const std::wstring& name : platform::filesEndingWith(outbox, L".upload")) {
    if (platform::readWholeFile(outbox + platform::kPathSeparator + name, bytes) ==
        platform::ReadResult::kRead)
      importer.outboxEntry(decodeTextFile(bytes), name);
    else
      outboxRead = false;
  }
  // Set aside only once the ledger holds what they said.
  if (!ledger.adopt(importer.adopted)) return {};
  if (journalRead) platform::renameUnused(journal, dataFolder + kOldJournalAside);
  if (outboxRead) platform::renameUnused(outbox, dataFolder + kOldOutboxAside);
  return importer.result;
}
