// Registers the PLM host as a Trusted Site (zone 2) in the current user's
// zone map: a domain entry for host names, rebuilt range slots for numeric
// addresses, in the normal list first and its enhanced-security twin second.
#pragma once

#include <cstdint>

#include "text/Text.h"
#include "registry/RegisterKey.h"

namespace plm::zones {

// Throws plm::RunTimeError when the first "." of the host stands at position
// 32767 or later (the dot positions are 16-bit numbers).
void AddTrustedSite(reg::RegisterKey& registry, TextView scheme, TextView host);

// Whether the zone map can take the entries of `host`: the registration
// writes through the ANSI registry calls, which refuse sub-key paths longer
// than MAX_PATH, and its longest path is the EscDomains entry.
bool ZoneMapCanHold(TextView host, const CodePage& codePage);

// The steps of the registration, each usable on its own.

// An obsolete range slot is named "Range" followed directly by this fixed
// private address; every run removes it from both range lists.
inline constexpr TextView ObsoleteRangeAddress = u"192.168.10.250";

// True when every "."-separated part of the host is a non-empty run of ASCII
// decimal digits.
bool IsNumericAddress(TextView host);
// Deletes the slot "Range" + address from Ranges and EscRanges.
void RemoveFixedRangeKey(reg::RegisterKey& registry, TextView address);
// list\host with the scheme value 2.
void AddDomainKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host);
// list\rest-of-host\first-label with the scheme value 2.
void AddSubDomainKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host);
// Rebuilds the list's range slots from slots 1..100, the host first, and
// returns the slot it wrote the host into: Range1, unless the lowest slots
// are keys that still map schemes without an address, which are skipped.
std::int32_t AddRangeKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host);

}  // namespace plm::zones
