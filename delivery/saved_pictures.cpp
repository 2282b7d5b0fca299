#include "delivery/saved_pictures.h"

#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "settings/app_settings.h"

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";
// Journal lines: "+<TAB>seconds<TAB>path<TAB>shot name" for a save, "-<TAB>path<TAB>shot name"
// for a deletion, "x<TAB>shot name" for a shot the user deleted. Paths hold no tab on Windows,
// so everything after the path's tab is the name, whatever it holds.
constexpr wchar_t kSaved = L'+', kDeleted = L'-', kForgotten = L'x', kTab = L'\t';

// Splits off the text up to the next tab; false when there is none.
bool takeField(std::wstring_view& rest, std::wstring_view& field) {
  const size_t tab = rest.find(kTab);
  if (tab == std::wstring_view::npos) return false;
  field = rest.substr(0, tab);
  rest.remove_prefix(tab + 1);
  return true;
}

}  // namespace

SavedPictures& SavedPictures::instance() {
  // Never deleted: a shot worker may still use it while the program ends.
  static SavedPictures* const pictures =
      new SavedPictures(AppSettings::instance().sharedDataFolder() + kSavedPicturesFileName);
  return *pictures;
}

SavedPictures::SavedPictures(std::wstring journalPath) : path_(std::move(journalPath)) {}

void SavedPictures::record(const std::wstring& shotName, const std::wstring& path,
                           const platform::LocalTime& time) {
  std::lock_guard guard(lock_);
  loadOnce();
  const int64_t second = platform::secondsOf(time);
  add(shotName, {second, path});
  append(std::wstring(1, kSaved) + kTab + std::to_wstring(second) + kTab + path + kTab + shotName);
}

size_t SavedPictures::trim(const std::wstring& shotName, int32_t keepDays, int32_t keepCount,
                           const platform::LocalTime& now,
                           const std::function<bool(const std::wstring& path)>& stillNeeded) {
  if (keepDays <= 0 && keepCount <= 0) return 0;
  std::lock_guard guard(lock_);
  loadOnce();
  const auto found = shots_.find(shotName);
  if (found == shots_.end()) return 0;
  Shot& shot = found->second;
  const int64_t oldestKept =
      keepDays > 0 ? platform::secondsOf(now) - keepDays * platform::kSecondsPerDay : INT64_MIN;
  size_t deleted = 0;
  size_t left = shot.oldestFirst.size();
  for (auto picture = shot.oldestFirst.begin(); picture != shot.oldestFirst.end();) {
    const bool tooMany = keepCount > 0 && left > static_cast<size_t>(keepCount);
    if (!tooMany && picture->second >= oldestKept) break;
    const bool gone = !platform::fileExists(picture->path);
    const bool needed = !gone && stillNeeded && stillNeeded(picture->path);
    if (needed || (!gone && !platform::removeFile(picture->path))) {
      ++picture;  // still to be uploaded, or held open by someone: next time
      --left;
      continue;
    }
    if (!gone) ++deleted;
    append(std::wstring(1, kDeleted) + kTab + picture->path + kTab + shotName);
    shot.byPath.erase(picture->path);
    picture = shot.oldestFirst.erase(picture);
    --left;
  }
  compactIfWasteful();
  return deleted;
}

void SavedPictures::forget(const std::wstring& shotName) {
  std::lock_guard guard(lock_);
  loadOnce();
  if (shots_.erase(shotName) == 0) return;
  append(std::wstring(1, kForgotten) + kTab + shotName);
  compactIfWasteful();
}

size_t SavedPictures::count(const std::wstring& shotName) {
  std::lock_guard guard(lock_);
  loadOnce();
  const auto found = shots_.find(shotName);
  return found == shots_.end() ? 0 : found->second.oldestFirst.size();
}

void SavedPictures::loadOnce() {
  if (loaded_) return;
  loaded_ = true;
  std::string bytes;
  if (platform::readWholeFile(path_, bytes) != platform::ReadResult::kRead) return;
  const std::wstring text = decodeTextFile(bytes);
  std::wstring_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find(L'\n');
    std::wstring_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    if (!line.empty()) {
      replay(line);
      ++journalLines_;
    }
    rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
  }
}

// A line cut short by a crash, or one this version does not know, is passed over.
void SavedPictures::replay(std::wstring_view line) {
  if (line.size() < 2 || line[1] != kTab) return;
  const wchar_t kind = line[0];
  std::wstring_view rest = line.substr(2), first, second;
  if (kind == kForgotten) {
    shots_.erase(std::wstring(rest));
  } else if (kind == kDeleted && takeField(rest, first)) {
    const auto shot = shots_.find(std::wstring(rest));
    if (shot == shots_.end()) return;
    const auto picture = shot->second.byPath.find(std::wstring(first));
    if (picture == shot->second.byPath.end()) return;
    shot->second.oldestFirst.erase(picture->second);
    shot->second.byPath.erase(picture);
  } else if (kind == kSaved && takeField(rest, first) && takeField(rest, second)) {
    int64_t seconds = 0;
    for (wchar_t digit : first) {
      if (digit < L'0' || digit > L'9') return;
      seconds = seconds * 10 + (digit - L'0');
    }
    add(std::wstring(rest), {seconds, std::wstring(second)});
  }
}

void SavedPictures::add(const std::wstring& shotName, Picture picture) {
  Shot& shot = shots_[shotName];
  if (const auto again = shot.byPath.find(picture.path); again != shot.byPath.end()) {
    shot.oldestFirst.erase(again->second);
    shot.byPath.erase(again);
  }
  shot.oldestFirst.push_back(std::move(picture));
  shot.byPath[shot.oldestFirst.back().path] = std::prev(shot.oldestFirst.end());
}

void SavedPictures::append(const std::wstring& line) {
  std::wstring text = line;
  text.append(kLineEnd);
  if (platform::appendToFile(path_, encodeUtf8(text, false))) ++journalLines_;
}

// Rewrites the journal as the pictures now on record once most of its lines are spent.
void SavedPictures::compactIfWasteful() {
  size_t live = 0;
  for (const auto& [name, shot] : shots_) live += shot.oldestFirst.size();
  if (journalLines_ < 2 * live + 1024) return;
  std::wstring text;
  for (const auto& [name, shot] : shots_) {
    for (const Picture& picture : shot.oldestFirst) {
      text.append(1, kSaved).append(1, kTab).append(std::to_wstring(picture.second));
      text.append(1, kTab).append(picture.path).append(1, kTab).append(name).append(kLineEnd);
    }
  }
  if (platform::writeFileAtomically(path_, encodeUtf8(text, false))) journalLines_ = live;
}
