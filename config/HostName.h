// What a host name in the typed address may hold, so that the zone-map key
// written for it is one the browser can match: labels of letters and digits
// of any script (with their combining marks), "-" and "_", separated by ".".
#pragma once

#include <cstddef>

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

// The whole host: non-empty, every character allowed, within the lengths
// above (counted in UTF-16 units, as the registry counts key names) and
// exactly representable in the code page the registry calls use. Empty
// labels (".a", "a..b") are left alone.
bool IsAcceptableHost(TextView host, const CodePage& codePage);

}  // namespace plm::config
