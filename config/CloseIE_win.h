// CloseIE: asks every top-level window whose title begins with "Login" to
// close (WM_CLOSE, posted, not waited for), before the browser is started
// on the login page. Wraps user32 EnumWindows, GetWindowTextW, PostMessageW.
#pragma once

#include <windows.h>

namespace plm::config::CloseIE {

// The EnumWindows callback: reads the title of one window as Unicode text,
// posts WM_CLOSE when it begins with "Login", and
// always returns TRUE so that every window is visited.
BOOL CALLBACK CloseLoginWindowsProc(HWND window, LPARAM unused);

// Runs CloseLoginWindowsProc over all top-level windows.
void CloseLoginWindows();

}  // namespace plm::config::CloseIE
