#include "text/CodePage.h"

#include <string_view>

#include "text/Text.h"

namespace plm {
namespace {

struct ComposingAccent {
    char16_t mark;
    std::string_view bases;  // the ASCII letters it composes with
};

// From the Unicode character database: for each accent, the ASCII letters
// that it and the letter before it compose into one precomposed letter.
constexpr ComposingAccent ComposingAccents[] = {
    {0x0300, "aeinouwyAEINOUWY"},
    {0x0301, "acegiklmnoprsuwyzACEGIKLMNOPRSUWYZ"},
    {0x0302, "aceghijosuwyzACEGHIJOSUWYZ"},
    {0x0303, "aeinouvyAEINOUVY"},
    {0x0304, "aegiouyAEGIOUY"},
    {0x0306, "aegiouAEGIOU"},
    {0x0307, "abcdefghmnoprstwxyzABCDEFGHIMNOPRSTWXYZ"},
    {0x0308, "aehiotuwxyAEHIOUWXY"},
    {0x030A, "auwyAU"},
    {0x030B, "ouOU"},
    {0x030C, "acdeghijklnorstuzACDEGHIKLNORSTUZ"},
    {0x0327, "cdeghklnrstCDEGHKLNRST"},
    {0x0328, "aeiouAEIOU"},
};

bool Composes(char16_t letter, char16_t mark) {
    if (letter >= 0x80) return false;
    for (const auto& accent : ComposingAccents) {
        if (accent.mark == mark) return accent.bases.find(static_cast<char>(letter)) != std::string_view::npos;
    }
    return false;
}

}  // namespace

bool IsNormalizedKCStandIn(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xFF01 && c <= 0xFFEE) return false;
        if (i > 0 && Composes(text[i - 1], c)) return false;
    }
    return true;
}

std::optional<std::string> Latin1CodePage::ToAnsi(std::u16string_view text) const {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c > 0xFF) return std::nullopt;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::u16string Latin1CodePage::FromAnsi(std::string_view ansi) const {
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8CodePage::ToAnsi(std::u16string_view text) const {
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint point = CodePointAt(text, i);
        if (IsSurrogate(point.value)) return std::nullopt;  // unpaired: no UTF-8 form
        i += point.units;
    }
    return ToUtf8(text);
}

std::u16string Utf8CodePage::FromAnsi(std::string_view ansi) const { return FromUtf8(ansi); }

#ifndef _WIN32
const CodePage& SystemCodePage() {
    static const Latin1CodePage page;
    return page;
}
#endif

}  // namespace plm
