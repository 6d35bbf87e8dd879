#include "config/PublicSuffix.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
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

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
        return;
    }
    int following = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    // The lead byte: 110xxxxx, 1110xxxx or 11110xxx.
    out.push_back(static_cast<char>(((0xFF00u >> (following + 1)) & 0xFFu) | (c >> (6 * following))));
    while (following-- > 0) out.push_back(static_cast<char>(0x80 | ((c >> (6 * following)) & 0x3F)));
}

// Punycode (RFC 3492), the ASCII form of a label with other characters:
// appends to `out` the label whose form is "xn--" + `encoded`, in UTF-8.
// False, with nothing appended, for a text that is not valid Punycode.
bool AppendPunycodeLabel(std::string& out, std::u16string_view encoded) {
    constexpr std::uint32_t Base = 36, TMin = 1, TMax = 26, Limit = 0x10FFFF;
    // A label holds at most 63 characters, so it decodes to at most 63.
    constexpr std::size_t Most = 63;
    char32_t points[Most];
    std::size_t count = 0;
    const std::size_t delimiter = encoded.rfind(u'-');
    std::size_t at = 0;
    if (delimiter != std::u16string_view::npos && delimiter > 0) {
        if (delimiter > Most) return false;
        for (const char16_t c : encoded.substr(0, delimiter)) points[count++] = ToLowerChar(c);
        at = delimiter + 1;
    }
    std::uint32_t n = 128, i = 0, bias = 72;
    while (at < encoded.size()) {
        const std::uint32_t old = i;
        std::uint32_t weight = 1;
        for (std::uint32_t k = Base;; k += Base) {
            if (at >= encoded.size()) return false;
            const char16_t c = ToLowerChar(encoded[at++]);
            const std::uint32_t digit = c >= u'a' && c <= u'z' ? c - u'a' : c >= u'0' && c <= u'9' ? c - u'0' + 26 : Base;
            if (digit >= Base || digit > (Limit - i) / weight) return false;
            i += digit * weight;
            const std::uint32_t t = k <= bias ? TMin : k >= bias + TMax ? TMax : k - bias;
            if (digit < t) break;
            weight *= Base - t;  // at most 35 * 35 * ... while i stays within Limit
        }
        if (count == Most) return false;
        const auto points1 = static_cast<std::uint32_t>(count + 1);
        // Bias adaptation (RFC 3492, 6.1).
        std::uint32_t delta = old == 0 ? (i - old) / 700 : (i - old) / 2;
        delta += delta / points1;
        std::uint32_t k = 0;
        for (; delta > ((Base - TMin) * TMax) / 2; k += Base) delta /= Base - TMin;
        bias = k + (Base - TMin + 1) * delta / (delta + 38);
        n += i / points1;
        i %= points1;
        if (n > Limit || IsSurrogate(n)) return false;
        std::copy_backward(points + i, points + count, points + count + 1);
        points[i++] = static_cast<char32_t>(n);
        ++count;
    }
    for (std::size_t p = 0; p < count; ++p) AppendUtf8(out, points[p]);
    return true;
}

// One label as the table spells it: ASCII in lower case, "xn--" labels in
// their Unicode form, all in UTF-8.
void AppendLabel(std::string& out, TextView label) {
    if (label.size() > 4 && EqualsNoCase(label.substr(0, 4), u"xn--") && AppendPunycodeLabel(out, label.substr(4))) {
        return;
    }
    for (std::size_t i = 0; i < label.size();) {
        const CodePoint point = CodePointAt(label, i);
        i += point.units;
        AppendUtf8(out, point.value < 0x80 ? ToLowerChar(static_cast<char16_t>(point.value)) : point.value);
    }
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

// Whether `name` is `prefix` or lies under it ("jp.kawasaki" under "jp").
bool IsOrUnder(std::string_view name, std::string_view prefix) {
    return name.substr(0, prefix.size()) == prefix && (name.size() == prefix.size() || name[prefix.size()] == '.');
}

}  // namespace

bool IsPublicSuffix(TextView host) {
    if (!host.empty() && host.back() == u'.') host.remove_suffix(1);
    if (host.empty() || host.front() == u'.') return false;
    // The labels from right to left, "." between them: how the table spells
    // its rules ("kawasaki.jp" is "jp.kawasaki").
    std::string name;
    const std::vector<TextView> labels = SplitAt(host, u'.');
    for (std::size_t i = labels.size(); i-- > 0;) {
        if (!name.empty()) name.push_back('.');
        AppendLabel(name, labels[i]);
    }
    if (name.empty() || name.front() == '.') return false;
    bool named = false;
    bool excepted = false;
    // Every rule that can apply begins with the top-level name; the entries
    // are sorted, and none after the name itself can apply.
    ForEachRule(name.front(), [&](std::string_view rule) {
        if (rule > name) return false;
        if (rule == name) {
            named = true;  // a normal rule names the host
        } else if (rule.size() >= 2 && rule.substr(rule.size() - 2) == ".*") {
            // A wildcard stands for one label: the host's leftmost.
            const std::string_view under = rule.substr(0, rule.size() - 1);
            named = named || (name.substr(0, under.size()) == under && name.find('.', under.size()) == name.npos &&
                              name.size() > under.size());
        } else if (const std::size_t bang = rule.find('!'); bang != rule.npos) {
            // An exception for the host or a name it lies under makes the
            // public suffix shorter than the host.
            const std::string exception = std::string(rule.substr(0, bang)) + std::string(rule.substr(bang + 1));
            excepted = excepted || IsOrUnder(name, exception);
        }
        return !excepted;
    });
    return named && !excepted;
}

}  // namespace plm::config
