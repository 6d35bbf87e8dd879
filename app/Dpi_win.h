// The DPI a window is shown at.
#pragma once

#include <windows.h>

namespace plm::app {

// The DPI the window is shown at: the window's own where the system can
// tell it (per-monitor awareness), else the screen's.
int WindowDpi(HWND window);
// The window's own DPI, or 0 where the system cannot tell it.
int SystemWindowDpi(HWND window);

}  // namespace plm::app
