// The core's UTF-16 texts at the W API, and the texts of windows. The W API
// takes UTF-16 as wchar_t, which is 16 bits wide on Windows, so a Text goes
// to it as it is, with no copy into a std::wstring.
#pragma once

#include <windows.h>

#include "text/Text.h"

namespace plm::app {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W API's characters are UTF-16 code units");

// A text's characters as the W API takes them: NUL-terminated from a Text
// (valid while it lives), counted from a TextView.
inline const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline const wchar_t* WideData(TextView text) { return reinterpret_cast<const wchar_t*>(text.data()); }
inline int WideLength(TextView text) { return static_cast<int>(text.size()); }

// `length` characters from the W API as a Text.
inline Text FromWide(const wchar_t* chars, std::size_t length) {
    return Text(reinterpret_cast<const char16_t*>(chars), length);
}

Text WindowText(HWND window);
void SetWindowTextOf(HWND window, TextView text);

}  // namespace plm::app
