#include "config/CloseIE_win.h"

#include <string_view>

#include "config/LoginPage.h"
#include "text/CodePage.h"

namespace plm::config::CloseIE {
namespace {

// GetWindowTextA copies at most 254 bytes and a NUL into it; only the start
// of a title matters.
constexpr int TitleBufferSize = 255;

}  // namespace

BOOL CALLBACK CloseLoginWindowsProc(HWND window, LPARAM /*unused*/) {
    char buffer[TitleBufferSize] = {};
    GetWindowTextA(window, buffer, TitleBufferSize);
    const Text title = TrimAtNull(SystemCodePage().FromAnsi(std::string_view(buffer, TitleBufferSize)));
    if (IsLoginWindowTitle(title)) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

void CloseLoginWindows() { EnumWindows(CloseLoginWindowsProc, 0); }

}  // namespace plm::config::CloseIE
