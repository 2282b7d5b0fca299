// What the picture ledger costs: a save with its record and its trim while 100 000 pictures are
// on record, a start with 100 000 pictures and 10 000 waiting uploads beside one with an empty
// ledger, and the database's size. Figures are printed, never judged.
//
//   ledger_bench FOLDER    (a folder of its own, emptied and used for the ledger and pictures)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "delivery/picture_ledger.h"
#include "delivery/retry_sender.h"
#include "delivery/sqlite_database.h"
#include "platform/files.h"
#include "platform/worker_group.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPictures = 100000;
constexpr int kWaiting = 10000;
constexpr wchar_t kShot[] = L"{8F1C2E4A-0B1D-4E5F-9A7B-3C2D1E0F9A8B}";

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The pictures as a year of Automatic Mode leaves them: one shot, paths of a usual length,
// the newest kWaiting still waiting for their server. Written in one statement, as no program
// would, so that the bench need not take a day.
bool fill(const std::wstring& ledgerPath, const std::wstring& pictures) {
  std::string error;
  auto db = sqlite::Database::open(ledgerPath, error);
  if (!db) return false;
  sqlite::Transaction transaction(*db);
  sqlite::Statement shot(db->get(), "INSERT INTO shot(guid, name) VALUES(?1, 'Desk')");
  shot.bind(1, kShot).run();
  sqlite::Statement rows(
      db->get(),
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?1) "
      "INSERT INTO picture(shot, path, path_key, taken_utc, taken_local, size, seq, saving) "
      "SELECT 1, ?2 || 'Desk-06-Dec-2026_05_12_33_PM-' || i || '.png', "
      "upper(?2 || 'Desk-06-Dec-2026_05_12_33_PM-' || i || '.png'), 1765000000 + i, "
      "'2026-12-06 17:12:33', 250000, i, 0 FROM n");
  rows.bind(1, kPictures).bind(2, pictures).run();
  sqlite::Statement waiting(
      db->get(),
      "INSERT INTO delivery(picture, shot, destination, remote_name, state, tries, queued_utc) "
      "SELECT id, 1, 'server', 'Desk-' || id || '.png', 0, 1, 1765000000 + id FROM picture "
      "WHERE id > ?1");
  waiting.bind(1, kPictures - kWaiting).run();
  return transaction.commit();
}

class NowClock : public SystemDeliveryClock {};

class NoServer : public Destination {
 public:
  UploadOutcome send(const FtpAccount&, const std::wstring&, const std::wstring&) override {
    return UploadOutcome::failed(L"421 bench");
  }
  void cancelAll() override {}
};

// What a start does with the ledger before the first picture: open it, look at what waits,
// and trim the shot.
double start(const std::wstring& ledgerPath, PictureFiles& files, const DeliveryClock& clock) {
  const auto began = Clock::now();
  std::wstring failure;
  auto ledger = PictureLedger::open(ledgerPath, files, clock, failure);
  if (!ledger) return -1;
  NoServer server;
  WorkerGroup workers;
  workers.close();  // the look alone: no send starts
  RetrySender sender(
      *ledger, server, files, clock, workers,
      [](const std::wstring&, EffectiveShot&) { return RetrySender::Lookup::kUnknown; }, nullptr);
  sender.sendDue();
  ledger->trim(kShot, 0, kPictures + 1);
  return msSince(began);
}

int run(const std::wstring& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder + L"/pictures");
  const std::wstring pictures =
      folder + platform::kPathSeparator + L"pictures" + platform::kPathSeparator;
  const std::wstring empty = folder + platform::kPathSeparator + L"empty.db";
  const std::wstring full = folder + platform::kPathSeparator + L"full.db";
  SystemPictureFiles files;
  NowClock clock;
  std::wstring failure;
  PictureLedger::open(empty, files, clock, failure);
  PictureLedger::open(full, files, clock, failure);
  if (!fill(full, pictures)) return 1;

  std::vector<double> emptyStarts, fullStarts;
  for (int i = 0; i < 5; ++i) {
    emptyStarts.push_back(start(empty, files, clock));
    fullStarts.push_back(start(full, files, clock));
  }
  std::printf(
      "ledger: start with an empty ledger %.1f ms; with %d pictures and %d waiting "
      "uploads %.1f ms (%.1f ms more; median of 5)\n",
      median(emptyStarts), kPictures, kWaiting, median(fullStarts),
      median(fullStarts) - median(emptyStarts));

  auto ledger = PictureLedger::open(full, files, clock, failure);
  const std::wstring source = folder + platform::kPathSeparator + L"captured.tmp";
  platform::writeFileAtomically(source, std::string(250000, 'p'));
  std::vector<double> saves, records;
  for (int i = 0; i < 200; ++i) {
    const std::wstring path = pictures + L"Desk-new-" + std::to_wstring(i) + L".png";
    const auto began = Clock::now();
    const PictureSlot slot = ledger->reserve(kShot, L"Desk", path);
    const auto copied = Clock::now();
    LocalSaver(files).copyIntoPlace(source, path);
    const auto recorded = Clock::now();
    ledger->saved(slot, {clock.utcSeconds(), {}, 250000}, std::wstring(L"x.png"));
    ledger->trim(kShot, 0, kPictures);  // every save pushes the oldest picture out
    saves.push_back(msSince(began));
    records.push_back(std::chrono::duration<double, std::milli>(copied - began).count() +
                      msSince(recorded));
  }
  std::printf(
      "ledger: a save of a 250 kB picture with its record and trim, %d on record: "
      "%.2f ms, of which the ledger %.2f ms (median of 200)\n",
      kPictures, median(saves), median(records));
  ledger.reset();

  std::string error;
  if (auto db = sqlite::Database::open(full, error)) db->execute("PRAGMA wal_checkpoint(TRUNCATE)");
  const double megabytes = static_cast<double>(platform::fileSize(full).value_or(0)) / 1e6;
  std::printf("ledger: %.1f MB for %d pictures (%d waiting)\n", megabytes, kPictures, kWaiting);
  fs::remove_all(folder, ignored);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ledger_bench FOLDER\n");
    return 2;
  }
  return run(fs::path(argv[1]).wstring());
}
