#pragma once
// Sends what waits in the outbox again, on a timer of its own, whether Automatic Mode runs or
// not: the oldest first for each server once its wait is over, and the rest of a server's at
// once when one gets through. Each try is reported like a firing.
#include <functional>
#include <string>

#include "delivery/outbox.h"
#include "delivery/upload_outcome.h"
#include "scheduler/activity_log.h"

namespace outbox_sender {

// Opens the outbox in `folder` (SharedData\Outbox), everything in it due at once, and starts
// the timer. `report` hears each try on the worker that ended it; it outlives close().
void open(std::wstring folder, std::function<void(const FiringReport&)> report);
// Stops the timer; what waits stays for the next start. Tries under way end by themselves.
void close();

// Keeps a failed upload; false when there is no outbox or its file could not be written.
bool keep(OutboxEntry entry, const UploadOutcome& failure);
// An upload to this server got through.
void reached(const FtpAccount& account);

size_t waiting();
bool holds(const std::wstring& localPath);

}  // namespace outbox_sender
