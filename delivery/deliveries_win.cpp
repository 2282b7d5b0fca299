#include "delivery/deliveries_win.h"

#include <utility>

#include "delivery/legacy_import.h"
#include "delivery/transports_win.h"
#include "platform/files.h"
#include "platform/periodic_timer_win.h"
#include "platform/worker_group.h"

namespace {

constexpr DWORD kFirstLookMs = 100;
constexpr DWORD kLookEveryMs = 1000;

}  // namespace

Deliveries::Deliveries(DeliveriesSetup setup)
    : setup_(std::move(setup)), destination_(makeServerDestination(setup_.knownHostsPath)) {
  openLedger();
  if (ledger_) {
    retries_ = std::make_unique<RetrySender>(*ledger_, destination_, files_, clock_,
                                             WorkerGroup::workers(), setup_.lookup, setup_.report);
  }
  delivery_ = std::make_unique<PictureDelivery>(
      DeliveryParts{ledger_.get(), &destination_, &files_, &clock_, retries_.get(), nullptr});
  if (retries_) {
    timer_ = std::make_unique<PeriodicTimer>(kFirstLookMs, kLookEveryMs,
                                             [sender = retries_.get()] { sender->sendDue(); });
  }
}

Deliveries::~Deliveries() {
  stopRetries();
}

void Deliveries::openLedger() {
  std::wstring failure;
  platform::createFolder(platform::folderOf(setup_.ledgerPath));
  ledger_ = PictureLedger::open(setup_.ledgerPath, files_, clock_, failure);
  if (!ledger_) {
    tell(failure +
         L"; pictures are saved and sent, but old ones are not deleted and failed "
         L"uploads are not sent again until it can be opened");
    return;
  }
  if (setup_.dataFolder.empty() || !setup_.shotsKnown) return;
  const LegacyImport imported =
      importLegacyRecords(*ledger_, files_, setup_.dataFolder, setup_.shots);
  for (const std::wstring& line : imported.leftOut) tell(line);
  if (imported.pictures + imported.waiting > 0) {
    tell(L"took over " + std::to_wstring(imported.pictures) + L" saved pictures and " +
         std::to_wstring(imported.waiting) + L" waiting uploads from the older records");
  }
}

void Deliveries::stopRetries() {
  if (retries_) retries_->close();
  timer_.reset();  // waits for a look in progress
}

void Deliveries::tell(const std::wstring& note) const {
  if (setup_.log) setup_.log(note);
}
