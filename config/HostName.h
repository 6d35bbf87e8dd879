// What a host name in the typed address may hold, so that the zone-map key
// written for it is one the browser can match: labels of letters and digits
// of any script (with their combining marks), "-" and "_", separated by ".".
#pragma once

#include <cstddef>
#include <vector>

#include "text/Text.h"
#include "text/CodePage.h"

namespace plm::config {

// Longest host name and longest label, as DNS limits them. A longer name
// would also exceed what the registry takes as one key name.
inline constexpr std::size_t MaxHostLength = 253;
inline constexpr std::size_t MaxLabelLength = 63;

// True for a code point that may stand in a host label: an ASCII letter or
// digit, "-", "_", or a letter, combining mark or decimal digit of another
// script. Spaces of every kind, controls, punctuation and symbols (the
// full-width look-alikes of "/", "\", "." and ":" among them), invisible
// fillers and selectors, private-use and unpaired surrogate code points are
// not.
bool IsHostCharacter(char32_t c);

// The whole host, such that the browser visits it exactly as it is written
// to the zone map: non-empty, every character allowed, within the lengths
// above (counted in UTF-16 units, as the registry counts key names), no
// empty label (".a", "a..b", "."; one "." at the end of a name is fine), a
// number-like host only as a canonical dotted quad (see below), exactly
// representable in the code page the registry calls use, and in Unicode
// normalisation form KC.
bool IsAcceptableHost(TextView host, const CodePage& codePage);

// True when the host, one "." at its end set aside, is made only of number
// labels: ASCII decimal digits, or "0x"/"0X" and any number of hex digits.
// The browser reads such a host as an IPv4 address in one of its many
// spellings ("127.1", "2130706433", "0x7f.0.0.1"), not as a name.
bool LooksNumeric(TextView host);

// Four decimal parts 0 to 255 joined by ".", without leading zeros ("0"
// alone is one) and without a "." at the end: the one spelling the browser
// keeps as typed.
bool IsCanonicalDottedQuad(TextView host);

// The zone map's numeric rule, for the labels of a host split at every ".":
// three or more labels, each a non-empty run of ASCII decimal digits. Such a
// host is registered as an address range, never as a name. No sign,
// separator, exponent or full-width digit makes an address the browser
// treats as a numeric range. A host this rule takes and IsAcceptableHost
// accepts is a canonical dotted quad.
bool IsNumericAddress(const std::vector<Text>& labels);

}  // namespace plm::config
