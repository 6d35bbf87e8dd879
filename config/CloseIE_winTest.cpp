// The enumeration callback against real top-level windows of this test.
// Only our own windows are handed to it, so that login windows of other
// programs on the same desktop are never asked to close.
#include "config/CloseIE_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plm::config {
namespace {

UINT closeRequests = 0;
HWND lastClosed = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ++closeRequests;
        lastClosed = window;
        return 0;  // recorded, not acted upon
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class CloseIETest : public ::testing::Test {
protected:
    // Internet Explorer's frame class, and another program's.
    static constexpr const wchar_t* ClassName = L"IEFrame";
    static constexpr const wchar_t* OtherClassName = L"PlmCloseIETestWindow";

    void SetUp() override {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        for (const wchar_t* name : {ClassName, OtherClassName}) {
            wc.lpszClassName = name;
            RegisterClassW(&wc);
        }
        closeRequests = 0;
        lastClosed = nullptr;
    }
    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        for (const wchar_t* name : {ClassName, OtherClassName}) UnregisterClassW(name, GetModuleHandleW(nullptr));
    }

    // A top-level window; nullptr where no display driver loads.
    HWND MakeWindow(const std::wstring& title, const wchar_t* className, bool visible) {
        HWND w = CreateWindowExW(0, className, title.c_str(), WS_OVERLAPPED | (visible ? WS_VISIBLE : 0), 0, 0, 10,
                                 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (w) windows_.push_back(w);
        return w;
    }

    // Handles what was posted; WM_CLOSE reaches RecordingProc.
    static void Drain() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

private:
    std::vector<HWND> windows_;
};

TEST_F(CloseIETest, PostsCloseOnlyToLoginTitles) {
    struct Case {
        const char* label;
        std::wstring title;
        bool closed;
        const wchar_t* className = ClassName;
        bool visible = true;
    };
    // The title rule itself is IsLoginWindowTitle's table; here, what reading
    // the windows adds to it.
    const std::vector<Case> cases = {
        {"Login and more", L"Login - test", true},
        {"title read truncated", L"Login" + std::wstring(400, L'x'), true},
        {"lower case", L"login other", false},
        {"empty", L"", false},
        // The ANSI title of either is "Login" in code page 1252.
        {"full-width look-alike", L"\uFF2C\uFF4F\uFF47\uFF49\uFF4E", false},
        {"accented look-alike", L"Logi\u0144 - test", false},
        {"another program's window", L"Login - Contoso", false, OtherClassName},
        {"hidden", L"LoginHelperWnd", false, ClassName, false},
    };
    for (const auto& c : cases) {
        HWND w = MakeWindow(c.title, c.className, c.visible);
        if (!w) GTEST_SKIP() << "no window could be created (no display?)";
        closeRequests = 0;
        lastClosed = nullptr;
        EXPECT_EQ(CloseIE::CloseLoginWindowsProc(w, 0), TRUE) << c.label;
        Drain();
        EXPECT_EQ(closeRequests, c.closed ? 1u : 0u) << c.label;
        EXPECT_EQ(lastClosed, c.closed ? w : nullptr) << c.label;
    }
}

}  // namespace
}  // namespace plm::config
