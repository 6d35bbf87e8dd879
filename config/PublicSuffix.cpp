#include "config/PublicSuffix.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plm::config {
namespace {

// Where the entries that begin with one byte start in the table.
struct PublicSuffixBlock {
    unsigned char first;
    std::uint32_t symbol;
};

#include "config/PublicSuffixRules.inc"

// The labels of a host from right to left, "." between them: how the table
// spells its rules.
using Labels = std::vector<std::string>;

// Punycode (RFC 3492), the ASCII form of a label with other characters:
// the code points of "xn--" + `encoded`, or nullopt for a text that is not
// valid Punycode.
std::optional<std::u32string> DecodePunycode(std::u16string_view encoded) {
    constexpr std::uint32_t Base = 36, TMin = 1, TMax = 26, Skew = 38, Damp = 700, Limit = 0x10FFFF;
    const auto adapt = [](std::uint32_t delta, std::uint32_t points, bool first) {
        delta = first ? delta / Damp : delta / 2;
        delta += delta / points;
        std::uint32_t k = 0;
        while (delta > ((Base - TMin) * TMax) / 2) {
            delta /= Base - TMin;
            k += Base;
        }
        return k + (Base - TMin + 1) * delta / (delta + Skew);
    };
    const auto digit = [](char16_t c) -> std::optional<std::uint32_t> {
        if (c >= u'a' && c <= u'z') return c - u'a';
        if (c >= u'A' && c <= u'Z') return c - u'A';
        if (c >= u'0' && c <= u'9') return c - u'0' + 26;
        return std::nullopt;
    };
    std::u32string out;
    const std::size_t delimiter = encoded.rfind(u'-');
    std::size_t at = 0;
    if (delimiter != std::u16string_view::npos) {
        for (const char16_t c : encoded.substr(0, delimiter)) out.push_back(ToLowerChar(c));
        at = delimiter + 1;
    }
    std::uint32_t n = 128, i = 0, bias = 72;
    while (at < encoded.size()) {
        const std::uint32_t old = i;
        std::uint32_t weight = 1;
        for (std::uint32_t k = Base;; k += Base) {
            if (at >= encoded.size()) return std::nullopt;
            const auto d = digit(encoded[at++]);
            if (!d || *d > (Limit - i) / weight) return std::nullopt;
            i += *d * weight;
            const std::uint32_t t = k <= bias ? TMin : k >= bias + TMax ? TMax : k - bias;
            if (*d < t) break;
            if (weight > Limit / (Base - t)) return std::nullopt;
            weight *= Base - t;
        }
        const auto points = static_cast<std::uint32_t>(out.size() + 1);
        bias = adapt(i - old, points, old == 0);
        n += i / points;
        i %= points;
        if (n > Limit || IsSurrogate(n)) return std::nullopt;
        out.insert(out.begin() + i, static_cast<char32_t>(n));
        ++i;
    }
    return out;
}

// One label as the table spells it: ASCII in lower case, the rest in UTF-8.
std::string TableLabel(TextView label) {
    Text lower;
    for (const char16_t c : label) lower.push_back(c < 0x80 ? ToLowerChar(c) : c);
    if (lower.size() > 4 && lower.compare(0, 4, u"xn--") == 0) {
        if (const auto decoded = DecodePunycode(TextView(lower).substr(4))) {
            Text unicode;
            for (const char32_t c : *decoded) {
                if (c < 0x10000) {
                    unicode.push_back(static_cast<char16_t>(c));
                } else {
                    unicode.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                    unicode.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
                }
            }
            return ToUtf8(unicode);
        }
    }
    return ToUtf8(lower);
}

// The table's 6-bit symbols from the one numbered `first` on, up to `end`
// (cmake/PublicSuffixTable.cmake).
class Symbols {
public:
    Symbols(std::uint32_t first, std::uint32_t end) : next_(first), end_(end) {}
    bool More() const { return next_ < end_; }
    unsigned Next() {
        const std::size_t bit = std::size_t{next_++} * 6;
        const std::size_t at = bit / 8;
        unsigned window = static_cast<unsigned>(PublicSuffixRules[at]) << 8;
        if (at + 1 < sizeof(PublicSuffixRules)) window |= PublicSuffixRules[at + 1];
        return (window >> (10 - bit % 8)) & 0x3Fu;
    }

private:
    std::uint32_t next_;
    std::uint32_t end_;
};

// The entries of the table that begin with `first`, in order, each given
// whole to `visit`, which returns false to stop.
template <typename Visit>
void ForEachRule(char first, Visit visit) {
    static_assert(sizeof(PublicSuffixRules) * 8 >= PublicSuffixSymbols * 6, "the table holds every symbol");
    const auto block = std::find_if(std::begin(PublicSuffixBlocks), std::end(PublicSuffixBlocks),
                                    [&](const PublicSuffixBlock& b) { return b.first == static_cast<unsigned char>(first); });
    if (block == std::end(PublicSuffixBlocks)) return;
    const std::uint32_t end = block + 1 == std::end(PublicSuffixBlocks) ? PublicSuffixSymbols : block[1].symbol;
    // 62 and 63 come before the bits of a UTF-8 lead byte and of a following one.
    constexpr unsigned FirstDrop = 40, LastDrop = 61, LeadByte = 62;
    constexpr char Characters[] = "abcdefghijklmnopqrstuvwxyz0123456789-.*!";
    std::string rule;
    std::size_t drop = 0;
    bool dropping = false;
    for (Symbols symbols(block->symbol, end); symbols.More();) {
        const unsigned symbol = symbols.Next();
        if (symbol >= FirstDrop && symbol <= LastDrop) {
            if (!dropping && !rule.empty() && !visit(std::string_view(rule))) return;
            dropping = true;
            drop += symbol - FirstDrop;
            continue;
        }
        if (dropping) {
            rule.resize(rule.size() > drop ? rule.size() - drop : 0);
            drop = 0;
            dropping = false;
        }
        if (symbol < FirstDrop) {
            rule.push_back(Characters[symbol]);
        } else if (symbols.More()) {
            const unsigned value = symbols.Next();
            rule.push_back(static_cast<char>((symbol == LeadByte ? 0xC0 : 0x80) + value));
        }
    }
    if (!rule.empty()) visit(std::string_view(rule));
}

// The rightmost `count` labels, as the table spells a rule of that many.
std::string Suffix(const Labels& labels, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += '.';
        out += labels[i];
    }
    return out;
}

}  // namespace

bool IsPublicSuffix(TextView host) {
    if (!host.empty() && host.back() == u'.') host.remove_suffix(1);
    if (host.empty()) return false;
    Labels labels;
    for (std::size_t end = host.size();;) {
        const std::size_t dot = end == 0 ? TextView::npos : host.rfind(u'.', end - 1);
        const std::size_t start = dot == TextView::npos ? 0 : dot + 1;
        labels.push_back(TableLabel(host.substr(start, end - start)));
        if (dot == TextView::npos) break;
        end = dot;
    }
    const std::size_t n = labels.size();
    // The rules that would make the whole host the public suffix: the host
    // itself, or a wildcard standing for its leftmost label.
    const std::string whole = Suffix(labels, n);
    const std::string wildcard = n > 1 ? Suffix(labels, n - 1) + ".*" : std::string();
    // An exception rule for the host or any name it lies under makes the
    // public suffix shorter than the host. (An exception is always below a
    // rule of its own: none stands for a whole top-level name.) Every rule
    // asked for begins with the top-level name.
    std::vector<std::string> exceptions;
    for (std::size_t k = 2; k <= n; ++k) exceptions.push_back(Suffix(labels, k - 1) + ".!" + labels[k - 1]);
    if (labels[0].empty()) return false;
    // The entries are sorted: none after the last key asked for can match.
    std::string last = std::max(whole, wildcard);
    for (const std::string& exception : exceptions) last = std::max(last, exception);
    bool named = false;
    bool excepted = false;
    ForEachRule(labels[0][0], [&](std::string_view rule) {
        if (rule > last) return false;
        if (rule == whole || rule == wildcard) named = true;
        for (const std::string& exception : exceptions) {
            if (rule == exception) excepted = true;
        }
        return !excepted;
    });
    return named && !excepted;
}

}  // namespace plm::config
