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

bool Latin1CodePage::ToAnsiInto(std::u16string_view text, std::string& out) const {
    out.resize(text.size());
    char* bytes = out.data();
    for (const char16_t c : text) {
        if (c > 0xFF) return false;
        *bytes++ = static_cast<char>(c);
    }
    return true;
}

void Latin1CodePage::FromAnsiInto(std::string_view ansi, std::u16string& out) const {
    out.resize(ansi.size());
    char16_t* units = out.data();
    for (const char c : ansi) *units++ = static_cast<char16_t>(static_cast<unsigned char>(c));
}

bool Utf8CodePage::ToAnsiInto(std::u16string_view text, std::string& out) const {
    for (std::size_t i = 0; i < text.size();) {
        const CodePoint point = CodePointAt(text, i);
        if (IsSurrogate(point.value)) return false;  // unpaired: no UTF-8 form
        i += point.units;
    }
    out = ToUtf8(text);
    return true;
}

void Utf8CodePage::FromAnsiInto(std::string_view ansi, std::u16string& out) const { out = FromUtf8(ansi); }

#ifndef _WIN32
const CodePage& SystemCodePage() {
    static const Latin1CodePage page;
    return page;
}
#endif

}  // namespace plm
