// The seam where text crosses to the ANSI registry API: Unicode to the
// system code page and back. On Windows this is CP_ACP; elsewhere a
// stand-in. A text the code page cannot hold exactly is refused, never
// turned into "?" or a best-fit look-alike (a full-width "＼" must not
// become a key separator). The same seam answers whether a text is in
// Unicode normalisation form KC, with the platform's own tables on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plm {

class CodePage {
public:
    virtual ~CodePage() = default;
    // Converts into `out`, replacing what it held (its room is kept for the
    // next conversion); false when some character has no exact
    // representation, leaving `out` unspecified.
    virtual bool ToAnsiInto(std::u16string_view text, std::string& out) const = 0;
    virtual void FromAnsiInto(std::string_view ansi, std::u16string& out) const = 0;

    // nullopt when some character has no exact representation.
    std::optional<std::string> ToAnsi(std::u16string_view text) const {
        std::string out;
        if (!ToAnsiInto(text, out)) return std::nullopt;
        return out;
    }
    std::u16string FromAnsi(std::string_view ansi) const {
        std::u16string out;
        FromAnsiInto(ansi, out);
        return out;
    }
    bool CanRepresent(std::u16string_view text) const { return ToAnsi(text).has_value(); }
    // True when the text is in normalisation form KC (NFKC): normalising it
    // would not change it.
    virtual bool IsNormalizedKC(std::u16string_view text) const = 0;
};

// The NFKC check of the stand-in code pages, for machines without the
// platform's tables. It knows only a few common cases and takes every other
// text as normalised: the half-width and full-width forms (U+FF01..U+FFEE,
// all of which have compatibility decompositions), and an ASCII letter
// followed by one of thirteen common accents (grave, acute, circumflex,
// tilde, macron, breve, dot above, diaeresis, ring above, double acute,
// caron, cedilla, ogonek) where the pair composes into one precomposed
// letter. Other compatibility characters (ligatures, letterlike symbols,
// CJK compatibility ideographs, decomposed Hangul) and marks out of their
// canonical order pass here, while Windows refuses them.
bool IsNormalizedKCStandIn(std::u16string_view text);

// Stand-in for a single-byte western code page: U+0000..U+00FF as bytes.
class Latin1CodePage final : public CodePage {
public:
    bool ToAnsiInto(std::u16string_view text, std::string& out) const override;
    void FromAnsiInto(std::string_view ansi, std::u16string& out) const override;
    bool IsNormalizedKC(std::u16string_view text) const override { return IsNormalizedKCStandIn(text); }
};

// Stand-in for a code page that holds every character (as UTF-8 bytes, so
// that multi-byte sequences and trail bytes show up as on a DBCS system).
class Utf8CodePage final : public CodePage {
public:
    bool ToAnsiInto(std::u16string_view text, std::string& out) const override;
    void FromAnsiInto(std::string_view ansi, std::u16string& out) const override;
    bool IsNormalizedKC(std::u16string_view text) const override { return IsNormalizedKCStandIn(text); }
};

// The system code page: CP_ACP on Windows, Latin-1 elsewhere.
const CodePage& SystemCodePage();

}  // namespace plm
