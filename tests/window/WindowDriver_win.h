// Drives the real PlmClientConfig.exe from outside, as a user would: starts
// it (tests/support/ProgramDriver_win.h) and finds its window and controls,
// types and clicks through SendInput, sets the clipboard and captures the
// window's pixels.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ProgramDriver_win.h"

namespace plm::windowtest {

using test::ClassOf;
using test::SetTextOf;
using test::TextOf;
using test::WaitFor;
using test::WindowsPath;

// Command-line options of the test program.
struct Options {
    std::wstring app;        // PlmClientConfig.exe
    std::wstring shots;      // where screenshots go; empty for none
    std::wstring reference;  // the screenshots to compare with, as 24-bit BMPs
};
Options& TheOptions();

// Lets go of Alt, Shift and Ctrl where a test left them down.
void ReleaseModifiers();

// One run of the program.
class App {
public:
    // Starts the program and waits until its window is shown and has put
    // the focus in the URL box. It inherits the locale of this process:
    // under Wine the system default locale follows LC_ALL of the Unix
    // environment, which a child takes from its parent (ctest sets it for
    // each language).
    App();
    ~App() { ReleaseModifiers(); }  // then the run ends the program if it still runs

    bool Started() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    bool Running() const { return run_.Running(); }
    std::optional<DWORD> WaitForExit(DWORD milliseconds = 5000) { return run_.WaitForExit(milliseconds); }
    // The window that has the keyboard focus in the program.
    HWND Focus() const;
    // A message box of the program that is shown, or nullptr.
    HWND MessageBoxWindow() const { return run_.MessageBoxNow(); }

private:
    test::ProgramRun run_;
    HWND window_ = nullptr;
    DWORD thread_ = 0;
};

// Places of another process's windows.
RECT RectIn(HWND window, HWND parent);  // client coordinates of `parent`
std::pair<int, int> SelectionOf(HWND edit);

// Keyboard and mouse, through SendInput.
void KeyDown(WORD key);
void KeyUp(WORD key);
void Tap(WORD key);
void Click(HWND window, POINT inWindow);
void DoubleClick(HWND window, POINT inWindow);
POINT CentreOf(HWND window);

// The clipboard, set for the program to read.
void SetClipboardText(const std::wstring& text);
void SetClipboardWithoutText();

// Holds the clipboard open until destroyed.
class ClipboardHold {
public:
    ClipboardHold();
    ~ClipboardHold();
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
    bool Held() const { return held_; }

private:
    bool held_ = false;
};

struct Pixel {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};
std::string Show(const Pixel& pixel);

// The pixels of a window as the screen shows them.
class Capture {
public:
    explicit Capture(HWND window);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Pixel At(int x, int y) const;
    // Counts pixels in the rectangle darker than `limit` in every channel.
    int CountDark(const RECT& rect, int limit) const;
    // Rows (top, bottom) holding pixels darker than `limit`; (-1, -1) if none.
    std::pair<int, int> DarkRows(const RECT& rect, int limit) const;
    void SaveBmp(const std::wstring& name) const;  // in TheOptions().shots
    // How the pixels differ from the reference picture of that name: empty
    // when they are the same, nullopt when there is no such picture.
    std::optional<std::string> DifferenceFrom(const std::wstring& name) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> bgra_;
};

}  // namespace plm::windowtest
