#include "app/Dpi_win.h"

namespace plm::app {

int SystemWindowDpi(HWND window) {
    // GetDpiForWindow exists from Windows 10 1607 on; looked up so that the
    // program still starts on older systems.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        FARPROC proc = user32 != nullptr ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        // Through void(*)(), the one function type a cast may pass through.
        return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void (*)()>(proc));
    }();
    if (getDpiForWindow == nullptr || window == nullptr) return 0;
    return static_cast<int>(getDpiForWindow(window));
}

int WindowDpi(HWND window) {
    if (int dpi = SystemWindowDpi(window)) return dpi;
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace plm::app
