#include "ui/new_shot_window.h"

#include <utility>

namespace {
NewShotWindow* overlays = nullptr;
}  // namespace

NewShotWindow& NewShotWindow::instance() {
  if (!overlays) overlays = new NewShotWindow();
  return *overlays;
}

void NewShotWindow::release() {
  delete std::exchange(overlays, nullptr);
}

bool NewShotWindow::registerClass(HINSTANCE module) {
  module_ = module;
  return true;
}

void NewShotWindow::open(const ShotPtr& /*shot*/) {}
