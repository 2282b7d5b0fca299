// Automatic Mode over time: how closely shots keep to their intervals, and whether a long run
// leaves GDI objects, handles, memory or temporary files behind. Figures are printed, never
// judged.
//
//   scheduler_bench accuracy [seconds]                       (default 60)
//   scheduler_bench soak [firings] [server user password]   (default 500, no upload)
//   scheduler_bench drain-fill captures server user password   (while the server is down)
//   scheduler_bench drain-send                                 (a restart, with it back)
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "capture/screen_capturer_win.h"
#include "platform/folders.h"
#include "platform/worker_group.h"
#include "scheduler/shot_scheduler_win.h"
#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "shots/shot_store.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A folder of the bench's own under the temporary folder, removed at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name)
      : path_(platform::tempFolder() + L"vemlix-bench-" + name + L"-" +
              std::to_wstring(GetCurrentProcessId())) {
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

size_t filesMatching(const std::wstring& folder, const std::wstring& prefix) {
  size_t count = 0;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    if (entry.path().filename().wstring().rfind(prefix, 0) == 0) ++count;
  }
  return count;
}

size_t captureTemporaryFiles() {
  size_t count = 0;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(platform::tempFolder(), ignored)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.rfind(L"vmp", 0) == 0 && entry.path().extension() == L".tmp") ++count;
  }
  return count;
}

// Last-write times, in milliseconds, of the files in `folder` whose names start with `prefix`.
std::vector<double> fileTimes(const std::wstring& folder, const std::wstring& prefix) {
  std::vector<double> times;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    if (entry.path().filename().wstring().rfind(prefix, 0) != 0) continue;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(entry.path().c_str(), GetFileExInfoStandard, &data)) continue;
    ULARGE_INTEGER time{};
    time.LowPart = data.ftLastWriteTime.dwLowDateTime;
    time.HighPart = data.ftLastWriteTime.dwHighDateTime;
    times.push_back(static_cast<double>(time.QuadPart) / 10000.0);
  }
  std::sort(times.begin(), times.end());
  return times;
}

ShotPtr addShot(const std::wstring& name, int32_t interval, const std::wstring& folder) {
  auto shot = std::make_shared<ShotDefinition>();
  shot->NAME = name;
  shot->AUTO_ENABLED = true;
  shot->AUTO_INTERVAL = interval;
  shot->FULL_SCREEN = true;
  shot->RECT_WIDTH = GetSystemMetrics(SM_CXSCREEN);
  shot->RECT_HEIGHT = GetSystemMetrics(SM_CYSCREEN);
  shot->FORMAT = 4;
  // Milliseconds are not in any pattern; seconds keep the names of one shot apart.
  shot->TIMESTAMP = L"%Y%m%d_%H%M%S";
  shot->LOCAL_PATH = folder;
  ShotStore::instance().add(shot);
  return shot;
}

void printSpread(const wchar_t* name, int32_t interval, double seconds,
                 const std::vector<double>& times) {
  const double expected = seconds / std::max(interval, 1);
  std::wprintf(L"  %-8ls interval %2d s: %3zu shots (about %.0f expected)", name, interval,
               times.size(), expected);
  if (times.size() < 2) {
    std::wprintf(L"\n");
    return;
  }
  std::vector<double> gaps;
  for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
  double sum = 0;
  for (double gap : gaps) sum += gap;
  const double mean = sum / static_cast<double>(gaps.size());
  double squares = 0;
  for (double gap : gaps) squares += (gap - mean) * (gap - mean);
  const auto [lowest, highest] = std::minmax_element(gaps.begin(), gaps.end());
  std::wprintf(L"; gap mean %.1f ms, min %.1f, max %.1f, std dev %.1f\n", mean, *lowest, *highest,
               std::sqrt(squares / static_cast<double>(gaps.size())));
}

int accuracy(int seconds) {
  ScratchFolder folder(L"accuracy");
  addShot(L"every1", 1, folder.path());
  addShot(L"every5", 5, folder.path());
  std::wprintf(
      L"accuracy: Automatic Mode for %d s, one full-screen PNG shot at 1 s and one at "
      L"5 s\n",
      seconds);
  ShotScheduler::instance().start();
  Sleep(static_cast<DWORD>(seconds) * 1000 + 500);
  ShotScheduler::instance().stop();
  WorkerGroup::workers().waitIdle(60s);
  printSpread(L"every1", 1, seconds, fileTimes(folder.path(), L"every1-"));
  printSpread(L"every5", 5, seconds, fileTimes(folder.path(), L"every5-"));
  return 0;
}

// Wine answers 0 to GetProcessHandleCount; its handles are small multiples of 4, so they can be
// counted by asking each value whether it is one.
DWORD probeHandles() {
  DWORD count = 0;
  for (uintptr_t value = 4; value < 0x20000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

struct Resources {
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  DWORD handles = 0;
  SIZE_T privateBytes = 0;
  SIZE_T commitBytes = 0;
  SIZE_T workingSet = 0;
  size_t temporaryFiles = 0;

  static Resources now() {
    Resources r;
    const HANDLE process = GetCurrentProcess();
    r.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    r.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    if (!GetProcessHandleCount(process, &r.handles) || r.handles == 0) r.handles = probeHandles();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
      r.privateBytes = memory.PrivateUsage;
      r.commitBytes = memory.PagefileUsage;
      r.workingSet = memory.WorkingSetSize;
    }
    r.temporaryFiles = captureTemporaryFiles();
    return r;
  }
  void print(const wchar_t* when) const {
    std::wprintf(
        L"  %-6ls GDI objects %ls, USER objects %ls, handles %lu, private %ls, commit %.1f "
        L"MiB, working set %.1f MiB, vmp*.tmp files %zu\n",
        when, orNone(gdiObjects).c_str(), orNone(userObjects).c_str(), handles,
        orNone(privateBytes / 1048576.0).c_str(), commitBytes / 1048576.0, workingSet / 1048576.0,
        temporaryFiles);
  }

  // Wine reports 0 for what it does not count.
  template <typename T>
  static std::wstring orNone(T value) {
    if (value == 0) return L"n/a";
    wchar_t text[32];
    std::swprintf(text, 32, std::is_integral_v<T> ? L"%.0f" : L"%.1f MiB",
                  static_cast<double>(value));
    return text;
  }
};

// One firing of every shot, so that what GDI+ and the upload set up once is not counted as
// growth; its files are removed again.
void warmUp(const std::wstring& folder) {
  for (uint32_t slot = 0; slot < ShotStore::instance().count(); ++slot) {
    ShotScheduler::instance().fireShot(ShotStore::instance().at(slot));
  }
  WorkerGroup::workers().waitIdle(60s);
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) fs::remove(entry, ignored);
}

// Ten shots at interval 0 fire ten times a second, so a few hundred firings take a minute.
int soak(int firings, const std::wstring& server, const std::wstring& user, std::wstring password) {
  constexpr int kShots = 10;
  ScratchFolder folder(L"soak");
  if (!server.empty()) PasswordCipher::instance().encrypt(password, password.size());
  for (int i = 0; i < kShots; ++i) {
    const ShotPtr shot = addShot(L"soak" + std::to_wstring(i), 0, folder.path());
    ShotStore::instance().update(shot, [&](ShotDefinition& s) {
      s.FULL_SCREEN = false;
      s.RECT_WIDTH = 320;
      s.RECT_HEIGHT = 240;
      s.FTP_SERVER = server;
      s.FTP_USER = user;
      s.FTP_PASS = password;
      s.FTP_FOLDER = L"soak";
    });
  }
  std::wprintf(L"soak: %d firings of %d shots at interval 0, 320x240 PNG, upload %ls\n", firings,
               kShots, server.empty() ? L"off" : (L"to " + server).c_str());

  warmUp(folder.path());
  const Resources start = Resources::now();
  const auto began = std::chrono::steady_clock::now();
  ShotScheduler::instance().start();
  const auto limit = began + std::chrono::seconds(firings / kShots * 3 + 30);
  while (filesMatching(folder.path(), L"soak") < static_cast<size_t>(firings) &&
         std::chrono::steady_clock::now() < limit) {
    Sleep(200);
  }
  ShotScheduler::instance().stop();
  const bool drained = WorkerGroup::workers().waitIdle(120s);
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  const Resources end = Resources::now();

  std::wprintf(L"  %zu firings in %.1f s; workers %ls\n", filesMatching(folder.path(), L"soak"),
               took, drained ? L"drained" : L"still running after 120 s");
  start.print(L"start");
  end.print(L"end");
  return 0;
}

// Where the pictures of the drain wait between its two runs.
std::wstring drainFolder() {
  return platform::tempFolder() + L"vemlix-bench-drain";
}

// A burst of captures while the server is down waits in the ledger, across the end of this run.
int drainFill(int captures, const std::wstring& server, const std::wstring& user,
              std::wstring password) {
  AppSettings::instance().prepareFolders();
  std::error_code ignored;
  fs::remove(AppSettings::instance().sharedDataFolder() + L"ShotsData.idx", ignored);
  for (const wchar_t* suffix : {L"", L"-wal", L"-shm"})
    fs::remove(platform::localAppDataFolder() + L"\\Vemlix\\Vemlix.db" + suffix, ignored);
  fs::remove_all(drainFolder(), ignored);
  fs::create_directories(drainFolder());
  PasswordCipher::instance().encrypt(password, password.size());
  std::vector<ShotPtr> shots;
  // A shot each, so that no two captures share a name within one second.
  for (int i = 0; i < captures; ++i) {
    shots.push_back(addShot(L"drain" + std::to_wstring(i), 0, drainFolder()));
    ShotStore::instance().update(shots.back(), [&](ShotDefinition& s) {
      s.AUTO_ENABLED = false;
      s.FULL_SCREEN = false;
      s.RECT_WIDTH = 320;
      s.RECT_HEIGHT = 240;
      std::tie(s.FTP_SERVER, s.FTP_USER, s.FTP_PASS, s.FTP_FOLDER) =
          std::tuple(server, user, password, L"drain");
    });
  }
  ShotStore::instance().save();
  ShotScheduler::openDeliveries();
  for (const ShotPtr& shot : shots) ShotScheduler::instance().fireShot(shot);
  WorkerGroup::workers().waitIdle(120s);
  std::wprintf(L"drain: %d captures, 320x240 PNG, while %ls was down\n", captures, server.c_str());
  std::wprintf(L"  %zu waited in the ledger at the end of the run\n",
               ShotScheduler::waitingUploads());
  ShotScheduler::stopRetries();
  return 0;
}

// The next start, with the server back, sends everything due at once. The time is from the
// start to nothing waiting.
int drainSend() {
  AppSettings::instance().prepareFolders();
  ShotStore::instance().load();
  const auto began = std::chrono::steady_clock::now();
  ShotScheduler::openDeliveries();
  const size_t waited = ShotScheduler::waitingUploads();
  while (ShotScheduler::waitingUploads() > 0 && std::chrono::steady_clock::now() < began + 300s)
    Sleep(20);
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  const size_t left = ShotScheduler::waitingUploads();
  ShotScheduler::stopRetries();
  WorkerGroup::workers().waitIdle(60s);
  std::wprintf(L"  after a restart with the server back, %zu sent in %.1f s (%zu left)\n",
               waited - left, took, left);
  std::error_code ignored;
  fs::remove_all(drainFolder(), ignored);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"accuracy";
  AppSettings::instance().setBool(SettingId::DISABLE_IDLE, false);
  int result = 2;
  if (mode == L"accuracy") {
    result = accuracy(argc > 2 ? std::stoi(argv[2]) : 60);
  } else if (mode == L"soak") {
    result = soak(argc > 2 ? std::stoi(argv[2]) : 500, argc > 5 ? argv[3] : L"",
                  argc > 5 ? argv[4] : L"", argc > 5 ? argv[5] : L"");
  } else if (mode == L"drain-fill" && argc > 5) {
    result = drainFill(std::stoi(argv[2]), argv[3], argv[4], argv[5]);
  } else if (mode == L"drain-send") {
    result = drainSend();
  } else {
    std::fwprintf(stderr,
                  L"usage: scheduler_bench accuracy [seconds] | soak [firings] "
                  L"[server user password] | drain-fill captures server user password | "
                  L"drain-send\n");
  }
  std::fflush(stdout);
  ShotScheduler::release();
  WorkerGroup::workers().closeAndWait(60s);
  ShotStore::release();
  ScreenCapturer::release();
  AppSettings::release();
  return result;
}
