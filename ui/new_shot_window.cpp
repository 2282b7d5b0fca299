#include "ui/new_shot_window.h"

#include <memory>
#include <utility>

#include "platform/detached_thread.h"
#include "ui/shot_overlay.h"

namespace {

NewShotWindow* overlays = nullptr;
std::mutex overlaysLock;

}  // namespace

NewShotWindow& NewShotWindow::instance() {
  std::lock_guard guard(overlaysLock);
  if (!overlays) overlays = new NewShotWindow();
  return *overlays;
}

void NewShotWindow::release() {
  NewShotWindow* released = nullptr;
  {
    std::lock_guard guard(overlaysLock);
    released = overlays;
  }
  if (!released) return;
  // The overlays' threads go on until their windows are gone; the object stays for them.
  std::set<HWND> open;
  {
    std::lock_guard guard(released->lock_);
    released->closing_ = true;
    open = released->windows_;
  }
  for (HWND window : open) PostMessageW(window, WM_CLOSE, 0, 0);
}

bool NewShotWindow::waitForOverlays(std::chrono::milliseconds limit) {
  NewShotWindow* current = nullptr;
  {
    std::lock_guard guard(overlaysLock);
    current = overlays;
  }
  if (!current) return true;
  std::unique_lock guard(current->lock_);
  return current->ended_.wait_for(guard, limit, [current] { return current->running_ == 0; });
}

bool NewShotWindow::registerClass(HINSTANCE module) {
  {
    std::lock_guard guard(lock_);
    closing_ = false;  // a new run of the program's windows, as tests make one after another
  }
  module_ = module;
  return ShotOverlay::registerClass(module);
}

void NewShotWindow::open(const ShotPtr& shot, HWND owner) {
  if (!shot) return;
  auto overlay = std::make_shared<ShotOverlay>(
      shot,
      OverlayEvents{[this](HWND window) { opened(window); },
                    [this](HWND window) { closed(window); }, [this] { saved(); }},
      knownHostsPath());
  const HINSTANCE module = module_;
  // A new shot's name is taken from now on: a second New Shot must not propose it again.
  const std::wstring reserved = shot->isNew ? shot->NAME : std::wstring();
  if (shot->isNew) reserve(reserved);
  {
    std::lock_guard guard(lock_);
    ++running_;
  }
  const bool started = platform::startDetachedThread([this, overlay, module, owner, reserved] {
    overlay->run(module, owner);
    if (!reserved.empty()) unreserve(reserved);
    overlayEnded();
  });
  if (started) return;
  if (!reserved.empty()) unreserve(reserved);
  overlayEnded();
}

void NewShotWindow::overlayEnded() {
  std::lock_guard guard(lock_);
  --running_;
  ended_.notify_all();
}

std::set<std::wstring> NewShotWindow::pendingNames() const {
  std::lock_guard guard(lock_);
  return {pending_.begin(), pending_.end()};
}

void NewShotWindow::reserve(const std::wstring& name) {
  std::lock_guard guard(lock_);
  pending_.insert(name);
}

void NewShotWindow::unreserve(const std::wstring& name) {
  std::lock_guard guard(lock_);
  if (auto found = pending_.find(name); found != pending_.end()) pending_.erase(found);
}

std::set<HWND> NewShotWindow::openWindows() const {
  std::lock_guard guard(lock_);
  return windows_;
}

void NewShotWindow::setSavedListener(std::function<void()> listener) {
  std::lock_guard guard(lock_);
  savedListener_ = std::move(listener);
}

void NewShotWindow::setKnownHostsPath(std::wstring path) {
  std::lock_guard guard(lock_);
  knownHostsPath_ = std::move(path);
}

std::wstring NewShotWindow::knownHostsPath() const {
  std::lock_guard guard(lock_);
  return knownHostsPath_;
}

void NewShotWindow::saved() const {
  std::function<void()> listener;
  {
    std::lock_guard guard(lock_);
    listener = savedListener_;
  }
  if (listener) listener();
}

void NewShotWindow::opened(HWND window) {
  std::lock_guard guard(lock_);
  windows_.insert(window);
  if (closing_) PostMessageW(window, WM_CLOSE, 0, 0);  // made as the program was ending
}

void NewShotWindow::closed(HWND window) {
  std::lock_guard guard(lock_);
  windows_.erase(window);
}
