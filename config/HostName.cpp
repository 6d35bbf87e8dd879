#include "config/HostName.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace plm::config {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// Letters (all kinds), combining marks (non-spacing and spacing) and decimal
// digits of the Basic Multilingual Plane above ASCII, from the Unicode 14
// character database, with unassigned code points between two members
// folded into one range. Left out on purpose: the spacing modifier letters
// U+02B0..U+02FF (primes and apostrophes that look like quotes), the marks
// for symbols U+20D0..U+20FF and the variation selectors (invisible).
constexpr Range LetterRanges[] = {
    {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA}, {0x00C0, 0x00D6}, {0x00D8, 0x00F6},
    {0x00F8, 0x02AF}, {0x0300, 0x0374}, {0x0376, 0x037D}, {0x037F, 0x037F}, {0x0386, 0x0386},
    {0x0388, 0x03F5}, {0x03F7, 0x0481}, {0x0483, 0x0487}, {0x048A, 0x0559}, {0x0560, 0x0588},
    {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2}, {0x05C4, 0x05C5}, {0x05C7, 0x05F2},
    {0x0610, 0x061A}, {0x0620, 0x0669}, {0x066E, 0x06D3}, {0x06D5, 0x06DC}, {0x06DF, 0x06E8},
    {0x06EA, 0x06FC}, {0x06FF, 0x06FF}, {0x0710, 0x07F5}, {0x07FA, 0x07FD}, {0x0800, 0x082D},
    {0x0840, 0x085B}, {0x0860, 0x0887}, {0x0889, 0x088E}, {0x0898, 0x08E1}, {0x08E3, 0x0963},
    {0x0966, 0x096F}, {0x0971, 0x09F1}, {0x09FC, 0x09FC}, {0x09FE, 0x0A75}, {0x0A81, 0x0AEF},
    {0x0AF9, 0x0B6F}, {0x0B71, 0x0B71}, {0x0B82, 0x0BEF}, {0x0C00, 0x0C6F}, {0x0C80, 0x0C83},
    {0x0C85, 0x0D4E}, {0x0D54, 0x0D57}, {0x0D5F, 0x0D6F}, {0x0D7A, 0x0DF3}, {0x0E01, 0x0E3A},
    {0x0E40, 0x0E4E}, {0x0E50, 0x0E59}, {0x0E81, 0x0F00}, {0x0F18, 0x0F19}, {0x0F20, 0x0F29},
    {0x0F35, 0x0F35}, {0x0F37, 0x0F37}, {0x0F39, 0x0F39}, {0x0F3E, 0x0F84}, {0x0F86, 0x0FBC},
    {0x0FC6, 0x0FC6}, {0x1000, 0x1049}, {0x1050, 0x109D}, {0x10A0, 0x10FA}, {0x10FC, 0x135F},
    {0x1380, 0x138F}, {0x13A0, 0x13FD}, {0x1401, 0x166C}, {0x166F, 0x167F}, {0x1681, 0x169A},
    {0x16A0, 0x16EA}, {0x16F1, 0x1734}, {0x1740, 0x17D3}, {0x17D7, 0x17D7}, {0x17DC, 0x17E9},
    {0x1810, 0x193B}, {0x1946, 0x19D9}, {0x1A00, 0x1A1B}, {0x1A20, 0x1A99},
    {0x1AA7, 0x1AA7}, {0x1AB0, 0x1ABD}, {0x1ABF, 0x1B59}, {0x1B6B, 0x1B73}, {0x1B80, 0x1BF3},
    {0x1C00, 0x1C37}, {0x1C40, 0x1C7D}, {0x1C80, 0x1CBF}, {0x1CD0, 0x1CD2}, {0x1CD4, 0x1FBC},
    {0x1FBE, 0x1FBE}, {0x1FC2, 0x1FCC}, {0x1FD0, 0x1FDB}, {0x1FE0, 0x1FEC}, {0x1FF2, 0x1FFC},
    {0x2071, 0x2071}, {0x207F, 0x207F}, {0x2090, 0x209C}, {0x2102, 0x2102}, {0x2107, 0x2107},
    {0x210A, 0x2113}, {0x2115, 0x2115}, {0x2119, 0x211D}, {0x2124, 0x2124}, {0x2126, 0x2126},
    {0x2128, 0x2128}, {0x212A, 0x212D}, {0x212F, 0x2139}, {0x213C, 0x213F}, {0x2145, 0x2149},
    {0x214E, 0x214E}, {0x2183, 0x2184}, {0x2C00, 0x2CE4}, {0x2CEB, 0x2CF3}, {0x2D00, 0x2D6F},
    {0x2D7F, 0x2DFF}, {0x2E2F, 0x2E2F}, {0x3005, 0x3006}, {0x302A, 0x302F}, {0x3031, 0x3035},
    {0x303B, 0x303C}, {0x3041, 0x309A}, {0x309D, 0x309F}, {0x30A1, 0x30FA}, {0x30FC, 0x318E},
    {0x31A0, 0x31BF}, {0x31F0, 0x31FF}, {0x3400, 0x4DBF}, {0x4E00, 0xA48C}, {0xA4D0, 0xA4FD},
    {0xA500, 0xA60C}, {0xA610, 0xA66F}, {0xA674, 0xA67D}, {0xA67F, 0xA6E5}, {0xA6F0, 0xA6F1},
    {0xA717, 0xA71F}, {0xA722, 0xA788}, {0xA78B, 0xA827}, {0xA82C, 0xA82C}, {0xA840, 0xA873},
    {0xA880, 0xA8C5}, {0xA8D0, 0xA8F7}, {0xA8FB, 0xA8FB}, {0xA8FD, 0xA92D}, {0xA930, 0xA953},
    {0xA960, 0xA9C0}, {0xA9CF, 0xA9D9}, {0xA9E0, 0xAA59}, {0xAA60, 0xAA76}, {0xAA7A, 0xAADD},
    {0xAAE0, 0xAAEF}, {0xAAF2, 0xAB5A}, {0xAB5C, 0xAB69}, {0xAB70, 0xABEA}, {0xABEC, 0xD7FB},
    {0xF900, 0xFB28}, {0xFB2A, 0xFBB1}, {0xFBD3, 0xFD3D}, {0xFD50, 0xFDC7}, {0xFDF0, 0xFDFB},
    {0xFE20, 0xFE2F}, {0xFE70, 0xFEFC}, {0xFF10, 0xFF19}, {0xFF21, 0xFF3A},
    {0xFF41, 0xFF5A}, {0xFF66, 0xFFDC},
};

// Letters by category that show nothing: Hangul fillers and the combining
// grapheme joiner.
constexpr std::array<char32_t, 5> InvisibleLetters = {0x034F, 0x115F, 0x1160, 0x3164, 0xFFA0};

// A label the browser reads as a number: decimal digits, or "0x" or "0X"
// followed by hex digits, none at all included ("0x" is zero).
bool IsNumberLabel(TextView label) {
    if (label.size() >= 2 && label[0] == u'0' && (label[1] == u'x' || label[1] == u'X')) {
        return std::all_of(label.begin() + 2, label.end(), IsAsciiHexDigit);
    }
    return !label.empty() && std::all_of(label.begin(), label.end(), IsAsciiDigit);
}

bool InLetterRanges(char32_t c) {
    auto it = std::upper_bound(std::begin(LetterRanges), std::end(LetterRanges), c,
                               [](char32_t value, const Range& r) { return value < r.first; });
    if (it == std::begin(LetterRanges)) return false;
    --it;
    return c <= it->last;
}

}  // namespace

bool IsHostCharacter(char32_t c) {
    if (c < 0x80) {
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') ||
               c == U'-' || c == U'_';
    }
    const auto* invisible = std::find(InvisibleLetters.begin(), InvisibleLetters.end(), c);
    if (invisible != InvisibleLetters.end()) return false;
    if (c < 0x10000) return InLetterRanges(c);
    // Beyond the BMP only the ideographs of planes 2 and 3 (CJK extensions);
    // historic scripts, emoji and private use are refused.
    return c >= 0x20000 && c <= 0x3FFFD;
}

bool LooksNumeric(TextView host) {
    if (!host.empty() && host.back() == u'.') host.remove_suffix(1);
    if (host.empty()) return false;
    const std::vector<TextView> labels = SplitAt(host, u'.');
    return std::all_of(labels.begin(), labels.end(), IsNumberLabel);
}

bool IsCanonicalDottedQuad(TextView host) {
    const std::vector<TextView> parts = SplitAt(host, u'.');
    return parts.size() == 4 && std::all_of(parts.begin(), parts.end(), [](TextView part) {
               if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == u'0')) return false;
               int value = 0;
               for (const char16_t c : part) {
                   if (!IsAsciiDigit(c)) return false;
                   value = value * 10 + (c - u'0');
               }
               return value <= 255;
           });
}

bool IsNumericAddress(const std::vector<Text>& labels) {
    return labels.size() >= 3 && std::all_of(labels.begin(), labels.end(), [](const Text& label) {
               return !label.empty() && std::all_of(label.begin(), label.end(), IsAsciiDigit);
           });
}

bool IsAcceptableHost(TextView host, const CodePage& codePage) {
    if (host.empty() || host.size() > MaxHostLength) return false;
    std::size_t label = 0;
    for (std::size_t i = 0; i < host.size();) {
        const CodePoint point = CodePointAt(host, i);
        i += point.units;
        if (point.value == U'.') {
            // An empty label vanishes from the entry written, or leaves one
            // the browser never looks up: ".example.com" would trust
            // example.com and every host below it instead.
            if (label == 0) return false;
            label = 0;
            continue;
        }
        if (IsSurrogate(point.value)) return false;  // an unpaired surrogate
        if (!IsHostCharacter(point.value)) return false;
        label += point.units;
        if (label > MaxLabelLength) return false;
    }
    // The browser reads a number-like host as an IPv4 address and looks it
    // up as that address, never under the text typed.
    if (LooksNumeric(host) && !IsCanonicalDottedQuad(host)) return false;
    // The key is written through the ANSI registry calls: a character the
    // code page would replace by "?" or a look-alike names another key.
    // The browser maps a host to its normalised form (full-width letters to
    // ASCII, a letter and its accent to one letter) before the zone lookup,
    // so a key in any other form is never matched.
    return codePage.CanRepresent(host) && codePage.IsNormalizedKC(host);
}

}  // namespace plm::config
