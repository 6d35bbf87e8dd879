// The yardstick for start-up: about the least a Win32 program can do to
// show a window like ours. A borderless popup of the same size with an edit
// box and two buttons, centred, no fonts, pictures, resources or manifest.
// Closes on WM_CLOSE like the real program.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
    WNDCLASSW cls{};
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = L"MinimalWindow";
    RegisterClassW(&cls);
    const int width = 490;
    const int height = 133;
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, cls.lpszClassName, L"Minimal", WS_POPUP,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                  instance, nullptr);
    CreateWindowExW(0, L"EDIT", L"http://", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 104, 40, 337, 22,
                    window, nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 240, 88, 105, 27, window, nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE, 352, 88, 105, 27, window, nullptr, instance,
                    nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
