#include "config/SiteUrl.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "config/HostName.h"
#include "zones/TrustedSite.h"

namespace plm::config {
namespace {

constexpr TextView HttpPrefix = u"http://";
constexpr TextView HttpsPrefix = u"https://";
constexpr std::uint32_t MaxPort = 65535;
constexpr std::size_t MaxPortDigits = 5;
// The first 0-based index a 16-bit position cannot hold.
constexpr std::size_t MaxInt16Position = 32767;

// Where the host of a typed address starts (0-based). After "scheme://" the
// host starts right behind the "//"; a text without "//" behind its scheme
// is read as a bare host from its first character that is not a space (the
// end for a text of spaces only).
struct HostStart {
    std::size_t index = 0;
    bool afterScheme = false;
};
HostStart FindHostStart(TextView address) {
    const std::size_t first = address.find_first_not_of(u' ');
    if (first == TextView::npos) return {address.size(), false};
    const std::size_t colon = address.find(u':', first);
    if (colon != TextView::npos && address.substr(colon + 1, 2) == u"//") return {colon + 3, true};
    return {first, false};
}

// 1 to 5 ASCII digits up to 65535 ("0" included, leading zeros allowed).
bool IsPort(TextView port) {
    if (port.empty() || port.size() > MaxPortDigits) return false;
    std::uint32_t value = 0;
    for (char16_t c : port) {
        if (!IsAsciiDigit(c)) return false;
        value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return value <= MaxPort;
}

// Every "%" starts an escape: "%" and two hex digits. The browser cannot
// parse an address with any other "%", and finds no zone for it.
bool HasOnlyWellFormedEscapes(TextView s) {
    for (std::size_t i = s.find(u'%'); i != TextView::npos; i = s.find(u'%', i + 1)) {
        if (i + 2 >= s.size() || !IsAsciiHexDigit(s[i + 1]) || !IsAsciiHexDigit(s[i + 2])) return false;
    }
    return true;
}

// Length of the "http://" or "https://" that `s` starts with, in any letter
// case; 0 when it starts with neither.
std::size_t SchemePrefixLength(TextView s) {
    if (EqualsNoCase(s.substr(0, HttpPrefix.size()), HttpPrefix)) return HttpPrefix.size();
    if (EqualsNoCase(s.substr(0, HttpsPrefix.size()), HttpsPrefix)) return HttpsPrefix.size();
    return 0;
}

// The host and the optional port of a trimmed text that starts with one of
// the two prefixes: the text after the prefix up to the first "/" (or the
// end), split at its first ":".
bool HasAcceptableHostAndPort(TextView trimmed, std::size_t prefixLength, const CodePage& codePage) {
    TextView rest = trimmed.substr(prefixLength);
    TextView authority = rest.substr(0, rest.find(u'/'));
    std::size_t colon = authority.find(u':');
    TextView host = authority.substr(0, colon);
    if (!IsAcceptableHost(host, codePage)) return false;
    // A host the registry cannot take would be "registered" without a trace.
    if (!zones::ZoneMapCanHold(host, codePage)) return false;
    return colon == TextView::npos || IsPort(authority.substr(colon + 1));
}

// Where the site root ends: the first "/" after the host start.
std::size_t SiteRootEnd(TextView urlText) { return urlText.find(u'/', FindHostStart(urlText).index); }

}  // namespace

bool IsValidSiteUrl(TextView urlText, const CodePage& codePage) {
    const Text t = TrimSpaces(urlText);
    bool valid = true;
    if (t.size() < 9) valid = false;
    if (t.size() > MaxUrlLength) valid = false;
    const std::size_t prefixLength = SchemePrefixLength(t);
    if (prefixLength == 0) valid = false;
    // Only U+0020 is a space here; other space characters cannot reach the
    // zone map either, since the host rule refuses them.
    if (t.find(u' ') != Text::npos) valid = false;
    // A "/" from the 9th character on, and not the last one.
    const std::size_t slash = t.find(u'/', 8);
    if (slash == Text::npos) valid = false;
    if (slash + 1 == t.size()) valid = false;
    if (!HasOnlyWellFormedEscapes(t)) valid = false;
    if (valid && !HasAcceptableHostAndPort(t, prefixLength, codePage)) valid = false;
    return valid;
}

bool SiteRootOverflows(TextView urlText) {
    const std::size_t slash = SiteRootEnd(urlText);
    return slash != TextView::npos && slash >= MaxInt16Position;
}

Text GetSiteRoot(TextView urlText) { return Text(urlText.substr(0, SiteRootEnd(urlText))); }

SiteAddress ParseSiteAddress(TextView siteRoot) {
    SiteAddress site;
    const std::size_t colon = siteRoot.find(u':');
    if (colon != TextView::npos) site.Scheme = TrimSpaces(siteRoot.substr(0, colon));
    const std::size_t slash = siteRoot.rfind(u'/');
    site.HostAndPort = TrimSpaces(siteRoot.substr(slash == TextView::npos ? 0 : slash + 1));
    site.Host = site.HostAndPort.substr(0, site.HostAndPort.find(u':'));
    site.Root = Text(siteRoot);
    const HostStart start = FindHostStart(siteRoot);
    site.HostStart = start.index;
    site.AfterScheme = start.afterScheme;
    for (const TextView label : SplitAt(site.Host, u'.')) site.Labels.emplace_back(label);
    site.Numeric = IsNumericAddress(site.Labels);
    return site;
}

SiteAddress ReadSiteAddress(TextView urlText) { return ParseSiteAddress(GetSiteRoot(urlText)); }

}  // namespace plm::config
