#include "tests/window/WindowDriver_win.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace plm::windowtest {

Options& TheOptions() {
    static Options options;
    return options;
}

App::App() : run_(TheOptions().app) {
    window_ = run_.WaitForMainWindow();
    if (window_ == nullptr) return;
    thread_ = GetWindowThreadProcessId(window_, nullptr);
    // The program puts the focus in the URL box right after showing.
    WaitFor([&] { return Focus() != nullptr; }, 3000);
    if (GetForegroundWindow() != window_) SetForegroundWindow(window_);
}

HWND App::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (thread_ == 0 || !GetGUIThreadInfo(thread_, &info)) return nullptr;
    return info.hwndFocus;
}

RECT RectIn(HWND window, HWND parent) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::pair<int, int> SelectionOf(HWND edit) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    return {LOWORD(result), HIWORD(result)};
}

namespace {

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

INPUT MouseInput(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = MulDiv(screen.x, 65536, width) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, height) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

void Clicks(HWND window, POINT inWindow, int count) {
    POINT screen = inWindow;
    ClientToScreen(window, &screen);
    std::vector<INPUT> inputs{MouseInput(0, screen)};
    for (int i = 0; i < count; ++i) {
        inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN, screen));
        inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP, screen));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void KeyDown(WORD key) { SendKey(key, false); }
void KeyUp(WORD key) { SendKey(key, true); }
void Tap(WORD key) {
    KeyDown(key);
    KeyUp(key);
}

void ReleaseModifiers() {
    for (WORD key : {VK_MENU, VK_SHIFT, VK_CONTROL}) {
        if (GetAsyncKeyState(key) < 0) KeyUp(key);
    }
}

void Click(HWND window, POINT inWindow) { Clicks(window, inWindow, 1); }
void DoubleClick(HWND window, POINT inWindow) { Clicks(window, inWindow, 2); }

POINT CentreOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right / 2, rect.bottom / 2};
}

void SetClipboardText(const std::wstring& text) {
    WaitFor([] { return OpenClipboard(nullptr) != FALSE; });
    EmptyClipboard();
    std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

void SetClipboardWithoutText() {
    WaitFor([] { return OpenClipboard(nullptr) != FALSE; });
    EmptyClipboard();
    UINT format = RegisterClipboardFormatW(L"PLM window test data");
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(memory), "data", 4);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
    CloseClipboard();
}

ClipboardHold::ClipboardHold() { held_ = WaitFor([] { return OpenClipboard(nullptr) != FALSE; }); }

ClipboardHold::~ClipboardHold() {
    if (held_) CloseClipboard();
}

std::string Show(const Pixel& pixel) {
    char text[48];
    std::snprintf(text, sizeof(text), "(%d,%d,%d)", pixel.r, pixel.g, pixel.b);
    return text;
}

Capture::Capture(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* bytes = static_cast<const unsigned char*>(bits);
    bgra_.assign(bytes, bytes + static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

Pixel Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {-1, -1, -1};
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
    return {bgra_[at + 2], bgra_[at + 1], bgra_[at]};
}

int Capture::CountDark(const RECT& rect, int limit) const {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            Pixel p = At(x, y);
            if (p.r >= 0 && p.r < limit && p.g < limit && p.b < limit) ++count;
        }
    }
    return count;
}

std::pair<int, int> Capture::DarkRows(const RECT& rect, int limit) const {
    int top = -1;
    int bottom = -1;
    for (int y = rect.top; y < rect.bottom; ++y) {
        RECT row{rect.left, y, rect.right, y + 1};
        if (CountDark(row, limit) > 0) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    return {top, bottom};
}

void Capture::SaveBmp(const std::wstring& name) const {
    if (TheOptions().shots.empty()) return;
    CreateDirectoryW(TheOptions().shots.c_str(), nullptr);
    std::wstring path = TheOptions().shots;
    path += L"\\";
    path += name;
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) return;
    DWORD rowBytes = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    DWORD imageBytes = rowBytes * static_cast<DWORD>(height_);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width_;
    info.biHeight = height_;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = imageBytes;
    std::fwrite(&header, sizeof(header), 1, file);
    std::fwrite(&info, sizeof(info), 1, file);
    std::vector<unsigned char> row(rowBytes, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            Pixel p = At(x, y);
            row[3 * static_cast<std::size_t>(x)] = static_cast<unsigned char>(p.b);
            row[3 * static_cast<std::size_t>(x) + 1] = static_cast<unsigned char>(p.g);
            row[3 * static_cast<std::size_t>(x) + 2] = static_cast<unsigned char>(p.r);
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    std::fclose(file);
}

std::optional<std::string> Capture::DifferenceFrom(const std::wstring& name) const {
    FILE* file = _wfopen((TheOptions().reference + L"\\" + name).c_str(), L"rb");
    if (file == nullptr) return std::nullopt;
    std::vector<unsigned char> bmp;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) bmp.push_back(static_cast<unsigned char>(c));
    std::fclose(file);
    BITMAPFILEHEADER header{};
    BITMAPINFOHEADER info{};
    if (bmp.size() < sizeof(header) + sizeof(info)) return "the reference is no BMP";
    std::memcpy(&header, bmp.data(), sizeof(header));
    std::memcpy(&info, bmp.data() + sizeof(header), sizeof(info));
    if (info.biBitCount != 24 || info.biCompression != BI_RGB || info.biHeight <= 0) return "the reference is no 24-bit BMP";
    if (info.biWidth != width_ || info.biHeight != height_) {
        return "the reference is " + std::to_string(info.biWidth) + " x " + std::to_string(info.biHeight);
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(width_) * 3 + 3) & ~std::size_t{3};
    if (bmp.size() < header.bfOffBits + rowBytes * static_cast<std::size_t>(height_)) return "the reference is cut short";
    int differing = 0;
    std::string first;
    for (int y = 0; y < height_; ++y) {
        const unsigned char* row = bmp.data() + header.bfOffBits + rowBytes * static_cast<std::size_t>(height_ - 1 - y);
        for (int x = 0; x < width_; ++x) {
            const Pixel want{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            if (At(x, y) == want) continue;
            if (differing++ == 0) {
                first = " (the first at " + std::to_string(x) + "," + std::to_string(y) + ": " + Show(At(x, y)) +
                        " instead of " + Show(want) + ")";
            }
        }
    }
    return differing == 0 ? std::string() : std::to_string(differing) + " pixels differ" + first;
}

}  // namespace plm::windowtest
