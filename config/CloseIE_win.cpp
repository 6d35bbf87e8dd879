#include "config/CloseIE_win.h"

#include <cwchar>
#include <iterator>

#include "config/LoginPage.h"

namespace plm::config::CloseIE {
namespace {

// GetWindowTextW copies at most 254 characters and a NUL into it; only the
// start of a title matters.
constexpr int TitleBufferSize = 255;

// The frame window class of Internet Explorer. Other programs' windows
// titled "Login..." (a browser's whole window with its tabs, an editor's
// "Login.txt", hidden helper windows) are theirs to keep.
constexpr wchar_t InternetExplorerFrame[] = L"IEFrame";

bool IsInternetExplorerFrame(HWND window) {
    wchar_t name[std::size(InternetExplorerFrame) + 1] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return length == static_cast<int>(std::size(InternetExplorerFrame)) - 1 &&
           std::wmemcmp(name, InternetExplorerFrame, static_cast<std::size_t>(length)) == 0;
}

}  // namespace

BOOL CALLBACK CloseLoginWindowsProc(HWND window, LPARAM /*unused*/) {
    if (!IsWindowVisible(window) || !IsInternetExplorerFrame(window)) return TRUE;
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
