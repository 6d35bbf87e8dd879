// The seam where text crosses to the ANSI registry API: Unicode to the
// system code page and back. On Windows this is CP_ACP; elsewhere a
// stand-in. A text the code page cannot hold exactly is refused, never
// turned into "?" or a best-fit look-alike (a full-width "＼" must not
// become a key separator).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace plm {

class CodePage {
public:
    virtual ~CodePage() = default;
    // nullopt when some character has no exact representation.
    virtual std::optional<std::string> ToAnsi(std::u16string_view text) const = 0;
    virtual std::u16string FromAnsi(std::string_view ansi) const = 0;
    bool CanRepresent(std::u16string_view text) const { return ToAnsi(text).has_value(); }
};

// Stand-in for a single-byte western code page: U+0000..U+00FF as bytes.
class Latin1CodePage final : public CodePage {
public:
    std::optional<std::string> ToAnsi(std::u16string_view text) const override;
    std::u16string FromAnsi(std::string_view ansi) const override;
};

// Stand-in for a code page that holds every character (as UTF-8 bytes, so
// that multi-byte sequences and trail bytes show up as on a DBCS system).
class Utf8CodePage final : public CodePage {
public:
    std::optional<std::string> ToAnsi(std::u16string_view text) const override;
    std::u16string FromAnsi(std::string_view ansi) const override;
};

// The system code page: CP_ACP on Windows, Latin-1 elsewhere.
const CodePage& SystemCodePage();

}  // namespace plm
