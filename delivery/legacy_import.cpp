#include "delivery/legacy_import.h"

#include <map>
#include <optional>
#include <string_view>

#include "capture/output_name.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace {

// The lines of a text file, without their line ends.
std::vector<std::wstring_view> linesOf(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  while (!text.empty()) {
    const size_t end = text.find(L'\n');
    std::wstring_view line = text.substr(0, end);
    if (line.ends_with(L'\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
  }
  return lines;
}

std::optional<int64_t> decimal(std::wstring_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

// Splits "a<TAB>b<TAB>rest" into its first `count` fields and the rest.
bool splitTabs(std::wstring_view line, size_t count, std::vector<std::wstring_view>& fields) {
  fields.clear();
  for (size_t i = 0; i < count; ++i) {
    const size_t tab = line.find(L'\t');
    if (tab == std::wstring_view::npos) return false;
    fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  fields.push_back(line);
  return true;
}

struct OldPicture {
  int64_t localSeconds = 0;
  std::wstring path;
};

// The journal replayed: "+ seconds path name" saved, "- path name" deleted, "x name" a shot
// deleted by the user. By shot name, then by path.
std::map<std::wstring, std::map<std::wstring, OldPicture>> replayJournal(std::wstring_view text) {
  std::map<std::wstring, std::map<std::wstring, OldPicture>> shots;
  std::vector<std::wstring_view> f;
  for (std::wstring_view line : linesOf(text)) {
    if (line.size() < 2 || line[1] != L'\t') continue;
    const std::wstring_view rest = line.substr(2);
    if (line[0] == L'x') {
      shots.erase(std::wstring(rest));
    } else if (line[0] == L'-' && splitTabs(rest, 1, f)) {
      shots[std::wstring(f[1])].erase(std::wstring(f[0]));
    } else if (line[0] == L'+' && splitTabs(rest, 2, f)) {
      if (const auto seconds = decimal(f[0]))
        shots[std::wstring(f[2])][std::wstring(f[1])] = {*seconds, std::wstring(f[1])};
    }
  }
  return shots;
}

class Importer {
 public:
  Importer(PictureLedger& ledger, PictureFiles& files, const std::vector<EffectiveShot>& shots)
      : ledger_(ledger), files_(files), shots_(shots) {}

  void journal(std::wstring_view text);
  void outboxEntry(std::wstring_view text, const std::wstring& fileName);

  LegacyImport result;

 private:
  const EffectiveShot* owner(const std::wstring& name, const std::wstring& path) const;

  PictureLedger& ledger_;
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
  for (const auto& [name, pictures] : replayJournal(text)) {
    for (const auto& [path, picture] : pictures) {
      const EffectiveShot* shot = owner(name, path);
      if (!shot) {
        result.leftOut.push_back(L"not taken over: " + path + L" (no shot " + name + L" holds it)");
        continue;
      }
      ledger_.adoptPicture(shot->guid, shot->name, path, picture.localSeconds - offset);
      ++result.pictures;
    }
  }
}

void Importer::outboxEntry(std::wstring_view text, const std::wstring& fileName) {
  std::map<std::wstring, std::wstring> values;
  for (std::wstring_view line : linesOf(text)) {
    const size_t equals = line.find(L'=');
    if (equals != std::wstring_view::npos)
      values.emplace(std::wstring(line.substr(0, equals)), std::wstring(line.substr(equals + 1)));
  }
  const std::wstring& path = values[L"LOCAL_FILE"];
  const std::wstring& remote = values[L"REMOTE_NAME"];
  const EffectiveShot* shot = path.empty() ? nullptr : owner(values[L"SHOT"], path);
  const bool inItsFolder = shot && files_.comparable(platform::folderOf(path)) ==
                                       files_.comparable(localFolderOf(*shot));
  if (!inItsFolder || remote.empty()) {
    result.leftOut.push_back(L"not taken over: the waiting upload " + fileName +
                             L" names no picture in the folder of a shot of its name");
    return;
  }
  const int64_t queued = decimal(values[L"QUEUED_AT"]).value_or(platform::utcSeconds());
  ledger_.adoptWaiting(shot->guid, shot->name, path, remote.substr(remote.rfind(L'/') + 1),
                       queued);
  ++result.waiting;
}

}  // namespace

LegacyImport importLegacyRecords(PictureLedger& ledger, PictureFiles& files,
                                 const std::wstring& dataFolder,
                                 const std::vector<EffectiveShot>& shots) {
  Importer importer(ledger, files, shots);
  const std::wstring journal = dataFolder + kOldJournalName;
  std::string bytes;
  if (platform::readWholeFile(journal, bytes) == platform::ReadResult::kRead) {
    importer.journal(decodeTextFile(bytes));
    platform::renameUnused(journal, dataFolder + kOldJournalAside);
  }
  const std::wstring outbox = dataFolder + kOldOutboxName;
  if (!files.folderExists(outbox)) return importer.result;
  for (const std::wstring& name : platform::filesEndingWith(outbox, L".upload")) {
    if (platform::readWholeFile(outbox + platform::kPathSeparator + name, bytes) ==
        platform::ReadResult::kRead)
      importer.outboxEntry(decodeTextFile(bytes), name);
  }
  platform::renameUnused(outbox, dataFolder + kOldOutboxAside);
  return importer.result;
}
