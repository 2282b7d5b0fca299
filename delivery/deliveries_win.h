#pragma once
// The delivery of pictures in the running program: the ledger, the older records taken over
// once, the transports, and the retries on a timer of their own. Everything is handed its
// paths and settings here, when it is made.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "delivery/delivery_clock.h"
#include "delivery/picture_delivery.h"
#include "delivery/picture_files.h"
#include "delivery/picture_ledger.h"
#include "delivery/retry_sender.h"
#include "delivery/server_destination.h"

class PeriodicTimer;

struct DeliveriesSetup {
  std::wstring ledgerPath;      // %LOCALAPPDATA%\Vemlix\Vemlix.db
  std::wstring dataFolder;      // SharedData with its separator; empty when there is none
  std::wstring knownHostsPath;  // the SFTP servers' host keys
  // The shots as they are now, for taking over the older records; nothing is taken over when
  // the shots could not be read.
  std::vector<EffectiveShot> shots;
  bool shotsKnown = true;
  RetrySender::ShotLookup lookup;
  // Hears every retry's report.
  RetrySender::Report report;
  // Writes a line of its own to the log: what became of the ledger and the older records.
  std::function<void(const std::wstring& line)> log;
};

class Deliveries {
 public:
  // Opens the ledger (a ledger that cannot be opened is reported, and pictures are then saved
  // and sent but nothing is kept for later), takes the older records over and starts the
  // retries.
  explicit Deliveries(DeliveriesSetup setup);
  ~Deliveries();
  Deliveries(const Deliveries&) = delete;
  Deliveries& operator=(const Deliveries&) = delete;

  const PictureDelivery& delivery() const { return *delivery_; }
  // Every server a shot can name, and the end of the program's uploads: cancelAll() and
  // waitForCleanup().
  Destination& destination() { return destination_; }
  // Null when it could not be opened.
  PictureLedger* ledger() const { return ledger_.get(); }

  // No retry starts any more; the ones under way end by themselves.
  void stopRetries();

 private:
  void openLedger();
  void tell(const std::wstring& note) const;

  DeliveriesSetup setup_;
  SystemDeliveryClock clock_;
  SystemPictureFiles files_;
  ServerDestination destination_;
  std::unique_ptr<PictureLedger> ledger_;
  std::unique_ptr<RetrySender> retries_;
  std::unique_ptr<PictureDelivery> delivery_;
  std::unique_ptr<PeriodicTimer> timer_;
};
