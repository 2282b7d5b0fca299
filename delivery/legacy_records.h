#pragma once
// What older versions' records say, read from their text: the journal of saved pictures
// (SavedPictures.idx) and one waiting upload of the Outbox folder. Whatever a file holds,
// reading it never fails; what it cannot make sense of it passes over.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// The pictures the journal holds at its end, by shot name, then by path: when each was saved,
// in seconds of the local clock since 1970. Lines: "+<TAB>seconds<TAB>path<TAB>name" saved,
// "-<TAB>path<TAB>name" deleted, "x<TAB>name" a shot the user deleted.
using OldPictures = std::map<std::wstring, std::map<std::wstring, int64_t>>;
OldPictures replayOldJournal(std::wstring_view text);

struct OldWaitingUpload {
  std::wstring shotName;
  std::wstring path;                 // the local copy
  std::wstring fileName;             // its name on the server, without the folder
  std::optional<int64_t> queuedUtc;  // when it first failed
};
OldWaitingUpload parseOldOutboxEntry(std::wstring_view text);
