#pragma once
// The records older versions kept beside the data files, taken into the ledger once:
// SavedPictures.idx (the pictures saved under a shot's limits, by shot name) and the Outbox
// folder (one file per upload waiting to be sent again). Afterwards both are renamed aside,
// kept and never deleted, so that nothing is taken over twice.
#include <string>
#include <vector>

#include "delivery/picture_files.h"
#include "delivery/picture_ledger.h"
#include "shots/shot_settings.h"

inline constexpr wchar_t kOldJournalName[] = L"SavedPictures.idx";
inline constexpr wchar_t kOldJournalAside[] = L"SavedPictures.imported.idx";
inline constexpr wchar_t kOldOutboxName[] = L"Outbox";
inline constexpr wchar_t kOldOutboxAside[] = L"Outbox.imported";

struct LegacyImport {
  size_t pictures = 0;  // pictures taken over
  size_t waiting = 0;   // waiting uploads taken over
  // One line per record left out, and why, for the log.
  std::vector<std::wstring> leftOut;
};

// Takes what `dataFolder` (with its trailing separator) holds of the older records into the
// ledger, for the shots as they are now. A picture belongs to the shot of its name; when several
// shots share the name, to the one whose folder holds it. A waiting upload is taken only when
// its shot exists and its picture lies in that shot's folder: the server and account are the
// shot's own, never what the file names.
LegacyImport importLegacyRecords(PictureLedger& ledger, PictureFiles& files,
                                 const std::wstring& dataFolder,
                                 const std::vector<EffectiveShot>& shots);
