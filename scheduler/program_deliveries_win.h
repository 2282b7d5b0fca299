#pragma once
// The delivery of the running program, made from its settings and shots: the ledger in
// %LOCALAPPDATA%\Vemlix, the data folder's older records and known_hosts file, and the
// retries, which find each shot by its lasting identity in the store.
#include <functional>
#include <string>
#include <vector>

#include "delivery/deliveries_win.h"
#include "shots/shot_settings.h"

class AppSettings;

// Made at the first call, once the shots are loaded (a shot can fire only once there is one),
// with `report` hearing every retry. Never deleted: a worker may still deliver while the
// program ends.
// `log` writes a line of its own to the activity log.
Deliveries& programDeliveries(const RetrySender::Report& report,
                              const std::function<void(const std::wstring&)>& log);
// The same once it has been made; null before.
Deliveries* madeProgramDeliveries();

// The SFTP host keys the uploads and the account checks share: beside the data files, or none
// without a documents folder.
std::wstring knownHostsPath(const AppSettings& settings);

// Every stored shot's values as they are now.
std::vector<EffectiveShot> currentShots();
