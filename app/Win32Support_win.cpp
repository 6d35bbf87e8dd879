#include "app/Win32Support_win.h"

#include <cstring>

#include "app/Resources.h"

namespace plm::app {

GdiObject& GdiObject::operator=(GdiObject&& other) noexcept {
    if (this != &other) {
        Reset();
        object_ = other.object_;
        other.object_ = nullptr;
    }
    return *this;
}

void GdiObject::Reset() {
    if (object_ != nullptr) DeleteObject(object_);
    object_ = nullptr;
}

std::wstring ToWide(TextView text) {
    std::wstring out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(static_cast<wchar_t>(c));
    return out;
}

Text FromWide(std::wstring_view text) {
    Text out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(static_cast<char16_t>(c));
    return out;
}

Text WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return Text();
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return FromWide(buffer);
}

void SetWindowTextOf(HWND window, TextView text) { SetWindowTextW(window, ToWide(text).c_str()); }

COLORREF ToColorRef(Rgb colour) { return RGB(colour.r, colour.g, colour.b); }

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

GdiObject MakeBitmap(const art::Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.Width();
    info.bmiHeader.biHeight = -image.Height();  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return GdiObject(bitmap);
    auto* bytes = static_cast<unsigned char*>(bits);
    std::size_t stride = (static_cast<std::size_t>(image.Width()) * 3 + 3) & ~std::size_t{3};
    for (int y = 0; y < image.Height(); ++y) {
        unsigned char* row = bytes + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < image.Width(); ++x) {
            Rgb c = image.At(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    GdiFlush();
    return GdiObject(bitmap);
}

CommonControlsScope::CommonControlsScope(HINSTANCE instance) {
    // Made once, when first needed, and kept until the program ends.
    static const HANDLE context = [instance] {
        wchar_t path[MAX_PATH];
        DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.lpSource = path;
        request.lpResourceName = MAKEINTRESOURCEW(IDR_COMMON_CONTROLS);
        request.hModule = instance;
        return CreateActCtxW(&request);
    }();
    if (context != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

CommonControlsScope::~CommonControlsScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

namespace {

Text ReadOpenClipboard() {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return Text();
    const void* locked = GlobalLock(data);
    if (locked == nullptr) return Text();
    // The text ends at its NUL, or at the end of the block if a careless
    // program left the NUL out.
    std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    const auto* chars = static_cast<const wchar_t*>(locked);
    std::size_t length = 0;
    while (length < capacity && chars[length] != L'\0') ++length;
    Text text = FromWide(std::wstring_view(chars, length));
    GlobalUnlock(data);
    return text;
}

}  // namespace

Text ReadClipboardText(HWND owner) {
    constexpr ULONGLONG patience = 100;  // milliseconds
    ULONGLONG start = GetTickCount64();
    for (;;) {
        if (OpenClipboard(owner)) {
            Text text = ReadOpenClipboard();
            CloseClipboard();
            return text;
        }
        if (GetTickCount64() - start >= patience) return Text();
        Sleep(10);
    }
}

}  // namespace plm::app
