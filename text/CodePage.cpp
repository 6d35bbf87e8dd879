#include "text/CodePage.h"

#include "text/Text.h"

namespace plm {

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
