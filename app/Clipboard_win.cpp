#include "app/Clipboard_win.h"

#include "app/WideText_win.h"

namespace plm::app {
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
    Text text = FromWide(chars, length);
    GlobalUnlock(data);
    return text;
}

}  // namespace

Text ReadClipboardText(HWND owner) {
    // Asked without opening the clipboard, which costs more (under Wine a
    // round trip to the program that owns it).
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return Text();
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
