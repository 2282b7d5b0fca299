#include "widgets/dpi_scale.h"

#include <shellscalingapi.h>

namespace dpi {

UINT atPoint(POINT point) {
  UINT x = 0;
  UINT y = 0;
  HMONITOR monitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (!monitor || FAILED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y)) || x == 0) {
    return kBase;
  }
  return x;
}

}  // namespace dpi
