// Small Win32 helpers of the window: GDI objects that delete themselves,
// text between the core's UTF-16 and the W API, the screen DPI, pictures
// drawn by the core turned into bitmaps, and the clipboard's text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/art/Artwork.h"
#include "text/Text.h"

namespace plm::app {

// Owns one GDI object (font, bitmap, brush). Move-only.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept;
    ~GdiObject() { Reset(); }

    void Reset();
    HGDIOBJ Get() const { return object_; }
    HFONT Font() const { return static_cast<HFONT>(object_); }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(object_); }
    HBRUSH Brush() const { return static_cast<HBRUSH>(object_); }

private:
    HGDIOBJ object_ = nullptr;
};

// Device contexts and selections that give themselves back.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC and puts the earlier one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

std::wstring ToWide(TextView text);
Text FromWide(std::wstring_view text);
Text WindowText(HWND window);
void SetWindowTextOf(HWND window, TextView text);

COLORREF ToColorRef(Rgb colour);

// The DPI the window is shown at: the window's own where the system can
// tell it (per-monitor awareness), else the screen's.
int WindowDpi(HWND window);
// The window's own DPI, or 0 where the system cannot tell it.
int SystemWindowDpi(HWND window);

// A 24-bit DIB section with the picture's pixels.
GdiObject MakeBitmap(const art::Image& image);

// While it lives, windows made on this thread use the common controls with
// visual styles (the manifest IDR_COMMON_CONTROLS). The process itself does
// not ask for them: the window's controls are drawn by the window or look
// the same without them, and loading them at start-up cost time. Message
// boxes keep their styled buttons this way.
class CommonControlsScope {
public:
    explicit CommonControlsScope(HINSTANCE instance);
    ~CommonControlsScope();
    CommonControlsScope(const CommonControlsScope&) = delete;
    CommonControlsScope& operator=(const CommonControlsScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// The clipboard's plain text in its Unicode form, or empty text when it
// holds none. Another program may hold the clipboard open for a moment:
// opening is retried for at most about 100 ms before giving up.
Text ReadClipboardText(HWND owner);

}  // namespace plm::app
