#include "config/CloseIE_win.h"

#include "config/LoginPage.h"

namespace plm::config::CloseIE {
namespace {

// GetWindowTextW copies at most 254 characters and a NUL into it; only the
// start of a title matters.
constexpr int TitleBufferSize = 255;

}  // namespace

BOOL CALLBACK CloseLoginWindowsProc(HWND window, LPARAM /*unused*/) {
    // Read as Unicode: the ANSI call would turn look-alikes such as a
    // full-width "Ｌｏｇｉｎ" or "Logiń" into "Login", and close those
    // windows too.
    wchar_t buffer[TitleBufferSize] = {};
    GetWindowTextW(window, buffer, TitleBufferSize);
    const Text title = TrimAtNull(TextView(reinterpret_cast<const char16_t*>(buffer), TitleBufferSize));
    if (IsLoginWindowTitle(title)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void CloseLoginWindows() { EnumWindows(CloseLoginWindowsProc, 0); }

}  // namespace plm::config::CloseIE
