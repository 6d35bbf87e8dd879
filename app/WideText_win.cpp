#include "app/WideText_win.h"

namespace plm::app {

Text WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return Text();
    // GetWindowTextW ends the text with a NUL, for which a Text keeps room.
    Text text(static_cast<std::size_t>(length), u'\0');
    int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void SetWindowTextOf(HWND window, TextView text) { SetWindowTextW(window, Wide(Text(text))); }

}  // namespace plm::app
