#include "scheduler/program_deliveries_win.h"

#include <atomic>
#include <mutex>

#include "platform/files.h"
#include "platform/folders.h"
#include "settings/app_settings.h"
#include "shots/shot_store.h"

namespace {

// Beside the data files, in OpenSSH's format, so that a user can read and mend it.
constexpr wchar_t kKnownHostsName[] = L"known_hosts";

// Every shot's values now, by its lasting identity, for the retries.
RetrySender::Lookup lookUpShot(const std::wstring& guid, EffectiveShot& shot) {
  const ShotStore& store = ShotStore::instance();
  // Shots that could not be read at start are not deleted: nothing is decided about them.
  if (!store.unreadableFile().empty()) return RetrySender::Lookup::kUnknown;
  const ShotPtr record = store.findByGuid(guid);
  if (!record) return RetrySender::Lookup::kDeleted;
  shot = effectiveSettings(store.copy(record), AppSettings::instance());
  return RetrySender::Lookup::kFound;
}

DeliveriesSetup deliveriesSetup(const RetrySender::Report& report,
                                const std::function<void(const std::wstring&)>& log) {
  const AppSettings& settings = AppSettings::instance();
  DeliveriesSetup setup;
  setup.ledgerPath = platform::localAppDataFolder() + platform::kPathSeparator + L"Vemlix" +
                     platform::kPathSeparator + kLedgerFileName;
  // Without a documents folder there is no data folder, and so nothing older to take over.
  if (!settings.getString(SettingId::DOCS_PATH).empty()) {
    setup.dataFolder = settings.sharedDataFolder();
    setup.knownHostsPath = knownHostsPath(settings);
  }
  setup.shots = currentShots();
  setup.shotsKnown = ShotStore::instance().unreadableFile().empty();
  setup.lookup = lookUpShot;
  setup.report = report;
  setup.log = log;
  return setup;
}

std::atomic<Deliveries*> madeDeliveries{nullptr};

}  // namespace

std::wstring knownHostsPath(const AppSettings& settings) {
  if (settings.getString(SettingId::DOCS_PATH).empty()) return {};
  return settings.sharedDataFolder() + kKnownHostsName;
}

std::vector<EffectiveShot> currentShots() {
  std::vector<EffectiveShot> shots;
  ShotStore& store = ShotStore::instance();
  for (uint32_t slot = 0; slot < store.count(); ++slot) {
    if (const ShotPtr record = store.at(slot))
      shots.push_back(effectiveSettings(store.copy(record), AppSettings::instance()));
  }
  return shots;
}

Deliveries& programDeliveries(const RetrySender::Report& report,
                              const std::function<void(const std::wstring&)>& log) {
  static std::once_flag once;
  std::call_once(once, [&] { madeDeliveries = new Deliveries(deliveriesSetup(report, log)); });
  return *madeDeliveries;
}

Deliveries* madeProgramDeliveries() {
  return madeDeliveries;
}
