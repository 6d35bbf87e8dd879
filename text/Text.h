// Text helpers shared by every layer of the portable core.
//
// Text is UTF-16, as in a Windows text box, so that lengths and positions
// count what the user's text box counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plm {

using Text = std::u16string;
using TextView = std::u16string_view;

// Removes leading and trailing U+0020 only; tabs and line breaks stay.
Text TrimSpaces(TextView s);

// Lower/upper case for the letters a Windows text comparison folds: ASCII,
// Latin-1, Latin Extended-A, Greek, Cyrillic and the full-width Latin letters.
// ASCII, by far the most common, is decided inline.
char16_t ToLowerCharBeyondAscii(char16_t c);
char16_t ToUpperCharBeyondAscii(char16_t c);
inline char16_t ToLowerChar(char16_t c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    return ToLowerCharBeyondAscii(c);
}
inline char16_t ToUpperChar(char16_t c) {
    if (c < 0x80) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    return ToUpperCharBeyondAscii(c);
}
Text ToLower(TextView s);
Text ToUpper(TextView s);
bool EqualsNoCase(TextView a, TextView b);

// The parts of `s` between the separators: n separators give n + 1
// parts, empty ones included. The parts are views into `s`.
std::vector<TextView> SplitAt(TextView s, char16_t separator);

constexpr bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool IsAsciiHexDigit(char16_t c) {
    return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// UTF-16 surrogates: a code point beyond U+FFFF takes a high unit followed
// by a low one.
constexpr bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// The code point that starts at index `i` of `s` and the number of units it
// takes: 2 for a surrogate pair, else 1. An unpaired surrogate stands for
// itself (check with IsSurrogate).
struct CodePoint {
    char32_t value;
    std::size_t units;
};
CodePoint CodePointAt(TextView s, std::size_t i);

// UTF-8 conversions, for tests, logs and the Linux side.
Text FromUtf8(std::string_view s);
std::string ToUtf8(TextView s);

// Decimal text of a signed number, without sign for non-negative values.
Text DecimalText(std::int64_t n);

// The eight hexadecimal digits of a 32-bit number, leading zeros kept: as
// .reg files spell a DWORD ("0000abcd", lower case) and Windows an HRESULT
// ("8007000E", upper case).
enum class HexCase { Lower, Upper };
Text HexDigits(std::uint32_t n, HexCase letters);

}  // namespace plm
