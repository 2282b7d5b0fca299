#include "widgets/widgets.h"

#include <mutex>

#include "widgets/button_registry.h"
#include "widgets/image_button.h"
#include "widgets/tooltip_window.h"

namespace {

struct Toolkit {
  std::mutex lock;
  bool initialised = false;
  bool registered = false;
};

Toolkit& toolkit() {
  static Toolkit* const state = new Toolkit;
  return *state;
}

}  // namespace

bool InitWidgets(HINSTANCE module) {
  Toolkit& state = toolkit();
  std::lock_guard guard(state.lock);
  if (state.initialised) return state.registered;
  ShutdownWidgets();
  ImageButton::useModule(module);
  state.registered = ImageButton::registerClass(module) && TooltipWindow::registerClass(module);
  TooltipWindow::instance().createWindow();
  state.initialised = true;
  return state.registered;
}

void ShutdownWidgets() {
  TooltipWindow::release();
  ButtonRegistry::instance().clear();
}
