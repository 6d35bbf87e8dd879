#include "app/WideText_win.h"

namespace plm::app {

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

}  // namespace plm::app
