#include "config/SiteUrl.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "config/HostName.h"
#include "config/RunTimeError.h"
#include "zones/TrustedSite.h"

namespace plm::config {
namespace {

constexpr TextView HttpPrefix = u"http://";
constexpr TextView HttpsPrefix = u"https://";
constexpr std::uint32_t MaxPort = 65535;
constexpr std::size_t MaxPortDigits = 5;

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

}  // namespace

bool IsValidSiteUrl(TextView urlText, const CodePage& codePage) {
    const Text t = TrimSpaces(urlText);
    const auto length = static_cast<std::int32_t>(t.size());
    bool valid = true;
    if (length < 9) valid = false;
    if (t.size() > MaxUrlLength) valid = false;
    const std::size_t prefixLength = SchemePrefixLength(t);
    if (prefixLength == 0) valid = false;
    // Only U+0020 is a space here; other space characters cannot reach the
    // zone map either, since the host rule refuses them.
    if (InStr(t, u" ") > 0) valid = false;
    const std::int32_t slash = InStr(t, u"/", 9);
    if (slash == 0) valid = false;
    if (slash == length) valid = false;
    if (!HasOnlyWellFormedEscapes(t)) valid = false;
    if (valid && !HasAcceptableHostAndPort(t, prefixLength, codePage)) valid = false;
    return valid;
}

Text GetSiteRoot(TextView urlText) {
    // The host begins after the "//" that follows the scheme's ":". A text
    // without that shape is searched from where the scheme starts. Kept on
    // purpose: the position is a 16-bit number, and a "/" beyond 32767
    // overflows into "Err:", as it always has; no host that long is valid.
    const std::optional<std::int16_t> p = ToInt16(InStr(urlText, u"/", FindHostStart(urlText).position));
    if (!p) throw RunTimeError("overflow");
    if (*p > 0) return Text(urlText.substr(0, static_cast<std::size_t>(*p - 1)));
    return Text(urlText);
}

SiteAddress ParseSiteAddress(TextView siteRoot) {
    SiteAddress address;
    const std::int32_t c = InStr(siteRoot, u":");
    const std::optional<Text> scheme = Left(siteRoot, c - 1);
    if (!scheme) throw RunTimeError("invalid procedure call");
    address.Scheme = TrimSpaces(*scheme);
    address.Host = SiteHostAndPort(siteRoot);
    const std::int32_t portColon = InStr(address.Host, u":");
    if (portColon > 0) address.Host.resize(static_cast<std::size_t>(portColon - 1));
    return address;
}

Text SiteHostAndPort(TextView siteRoot) {
    return TrimSpaces(siteRoot.substr(static_cast<std::size_t>(InStrRev(siteRoot, u"/"))));
}

}  // namespace plm::config
