#include "app/remote_protocol_win.h"

#include "scheduler/shot_scheduler_win.h"
#include "shots/shot_store.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

bool sameText(const std::wstring& a, const std::wstring& b, bool ignoreCase) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), ignoreCase) == CSTR_EQUAL;
}

// The first shot of exactly that name; failing that, the first whose name differs only in case.
ShotPtr shotNamed(const std::wstring& name) {
  ShotPtr exact;
  ShotPtr folded;
  ShotStore::instance().forEach([&](const ShotPtr& shot, ShotDefinition& record) {
    if (!exact && record.NAME == name) exact = shot;
    if (!folded && sameText(record.NAME, name, true)) folded = shot;
  });
  return exact ? exact : folded;
}

LRESULT takeShotNamed(const std::wstring& name) {
  if (name.empty()) return kRemoteRefused;
  const ShotPtr shot = shotNamed(name);
  if (!shot) return kRemoteNoSuchShot;
  ShotScheduler::instance().fireShot(shot);
  return kRemoteDone;
}

}  // namespace

LRESULT answerCopyData(MainWindow& window, const COPYDATASTRUCT& data) {
  const auto command = static_cast<RemoteCommand>(data.dwData);
  if (command < RemoteCommand::kTake || command > RemoteCommand::kExit) return kRemoteRefused;
  if (data.cbData % sizeof(wchar_t) != 0 || (data.cbData && !data.lpData)) return kRemoteRefused;
  const size_t length = data.cbData / sizeof(wchar_t);
  if (length > kMaxRemoteShotName) return kRemoteRefused;
  const std::wstring name(static_cast<const wchar_t*>(data.lpData), length);
  return runRemoteCommand(window, command, name);
}

LRESULT runRemoteCommand(MainWindow& window, RemoteCommand command, const std::wstring& shotName) {
  switch (command) {
    case RemoteCommand::kTake:
      return takeShotNamed(shotName);
    case RemoteCommand::kAutoOn:
    case RemoteCommand::kAutoOff:
      window.commands().setAutomaticMode(command == RemoteCommand::kAutoOn);
      return kRemoteDone;
    case RemoteCommand::kShow:
      window.commands().activate();
      return kRemoteDone;
    case RemoteCommand::kHide:
      if (IsWindowVisible(window.window())) window.commands().minimize();
      return kRemoteDone;
    case RemoteCommand::kExit:
      // After the answer: the sender waits for it, and the window is gone once Exit has run.
      PostMessageW(window.window(), WM_COMMAND, CMD_EXIT, 0);
      return kRemoteDone;
  }
  return kRemoteRefused;
}
