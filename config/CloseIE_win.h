// CloseIE: asks Internet Explorer's login windows to close (WM_CLOSE,
// posted, not waited for), before the browser is started on the login page:
// the visible top-level windows of class "IEFrame" whose title begins with
// "Login". Wraps user32 EnumWindows, GetClassNameW, GetWindowTextW,
// PostMessageW.
#pragma once

#include <windows.h>

namespace plm::config::CloseIE {

// The EnumWindows callback: for a visible "IEFrame" window, reads its title
// as Unicode text and posts WM_CLOSE when it begins with "Login"; it
// always returns TRUE so that every window is visited.
BOOL CALLBACK CloseLoginWindowsProc(HWND window, LPARAM unused);

// Runs CloseLoginWindowsProc over all top-level windows.
void CloseLoginWindows();

}  // namespace plm::config::CloseIE
