// The product's UTF-16 texts as the tests' W calls take them, and back, and
// UTF-8 for what a test prints or compares readably.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace plm::test {

inline std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string FromWide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

inline std::string Utf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace plm::test
