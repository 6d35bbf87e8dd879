// The typed site address: whether it is acceptable, its site root (scheme,
// "//", host and optional port, cut before the path) and its SiteAddress.
// Pure functions over text.
#pragma once

#include <cstddef>

#include "text/Text.h"
#include "text/CodePage.h"
#include "zones/SiteAddress.h"

namespace plm::config {

// The longest address Internet Explorer opens (in UTF-16 units): a longer
// one is cut or not opened at all, after the settings were written.
inline constexpr std::size_t MaxUrlLength = 2083;

// The site as the steps take it (defined below the steps' layer, filled
// here).
using SiteAddress = zones::SiteAddress;

// True when the text, trimmed of spaces, is an http or https address with a
// path: at least 9 characters, "http://" or "https://" in any letter case,
// no space, and a "/" from position 9 on that is not the last character.
// Beyond that the host (between the "//" and the first "/" or ":") must be
// one the zone map can hold (see IsAcceptableHost and ZoneMapCanHold, checked
// against `codePage`, the code page of the registry calls), and a ":" after the host
// must be followed by a port of 1 to 5 decimal digits no larger than 65535.
// Every "%" in the text must be followed by two hex digits, and the trimmed
// text is at most MaxUrlLength characters long.
bool IsValidSiteUrl(TextView urlText, const CodePage& codePage);

// The text as typed up to the first "/" after the "//" that follows the
// scheme, the search starting where the scheme starts (after any leading
// spaces, which stay in the result). The whole text when there is no such
// "/".
Text GetSiteRoot(TextView urlText);

// Whether that "/" lies beyond position 32767. The command finds it by a
// 16-bit position, as it always has, and such an address fails its run
// (leading spaces, which the validation trims, can put it there).
bool SiteRootOverflows(TextView urlText);

// The whole SiteAddress from the site root, computed once. Scheme: before
// the root's first ":", trimmed. HostAndPort: after its last "/", trimmed;
// Host: that, cut before a ":". A site root without ":" (an accepted
// address never gives one) has no scheme.
SiteAddress ParseSiteAddress(TextView siteRoot);

// Both in one: the site of a text IsValidSiteUrl accepted.
SiteAddress ReadSiteAddress(TextView urlText);

}  // namespace plm::config
