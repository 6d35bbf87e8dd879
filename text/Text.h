// Text helpers shared by every layer of the portable core.
//
// Text is UTF-16, as in a Windows text box, so that lengths and positions
// count what the user's text box counts. Positions are 1-based: the first
// character is at 1, and a search that finds nothing gives 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// 1-based search of `what` in `s` from position `start`; 0 when not found
// (also when start is beyond the end).
std::int32_t InStr(TextView s, TextView what, std::int32_t start = 1);
// 1-based position of the last `what` in `s`; 0 when not found.
std::int32_t InStrRev(TextView s, TextView what);

// The checked cuts: an invalid cut gives nullopt, and the caller decides
// what the failure means (the command reports it, the stale-entry removal
// skips the statement).
// The first n characters (all of s when n exceeds its length); nullopt for
// a negative n.
[[nodiscard]] std::optional<Text> Left(TextView s, std::int32_t n);
// Characters from 1-based `start`, at most `length` of them (all when no
// length is given); nullopt for a start below 1 or a negative length.
[[nodiscard]] std::optional<Text> Mid(TextView s, std::int32_t start);
[[nodiscard]] std::optional<Text> Mid(TextView s, std::int32_t start, std::int32_t length);

// A position held in a signed 16-bit integer; nullopt beyond its range, the
// overflow the configuration steps report as a failure.
[[nodiscard]] std::optional<std::int16_t> ToInt16(std::int32_t position);

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

// Where the host of a typed address starts, 1-based, counted in the text as
// typed. After "scheme://" the host starts right behind the "//"; a text
// without "//" behind its scheme is read as a bare host from its first
// character that is not a space. 0 for a text of spaces only.
struct HostStart {
    std::int32_t position = 0;
    bool afterScheme = false;  // true when a "scheme://" comes before it
};
HostStart FindHostStart(TextView address);

// UTF-8 conversions, for tests, logs and the Linux side.
Text FromUtf8(std::string_view s);
std::string ToUtf8(TextView s);

// Decimal text of a signed number, without sign for non-negative values.
Text DecimalText(std::int64_t n);

}  // namespace plm
