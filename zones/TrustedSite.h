// Registers the PLM host as a Trusted Site (zone 2) in the current user's
// zone map: a domain entry for host names, rebuilt range slots for numeric
// addresses, in the normal list first and its enhanced-security twin second.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "text/Text.h"
#include "registry/RegisterKey.h"
#include "zones/SiteAddress.h"

namespace plm::zones {

// Then reads back what it wrote for the site: the scheme value 2 of its
// entry in both domain lists, or its slot in both range lists (":Range" the
// host, the scheme value 2). Success when the site is registered, else the
// status to report: that of the first open, create or set of the
// site's own writes that failed; else that of the read-back that found an
// entry missing or wrong (ERROR_INVALID_DATA for a value that reads back
// other than written); else, for a numeric host, when a key of either range
// list still maps the host's scheme to another zone, the status of the call
// that kept that slot from being rebuilt (ERROR_INVALID_DATA when none did)
// or of the read that could not tell; else, when another address's range
// slot could not be written back, that write's status. Another address's write-back failing
// never stops the rebuild: the remaining pairs of both lists are written
// first.
// A numeric site (SiteAddress::Numeric) gets range slots, any other a
// domain entry.
reg::Status AddTrustedSite(reg::RegisterKey& registry, const SiteAddress& site);

// Whether the zone map can take the entries of `host`: the registration
// writes through the ANSI registry calls, which refuse sub-key paths longer
// than MAX_PATH, and its longest path is the EscDomains entry.
bool ZoneMapCanHold(TextView host, const CodePage& codePage);

// The parts of the registration that other code and tests use on their
// own.

// An obsolete range slot is named "Range" followed directly by this fixed
// private address; every run removes it from both range lists.
inline constexpr TextView ObsoleteRangeAddress = u"192.168.10.250";

// The key of a host name's domain entry below a domain list: list\host for
// a host of one label or two, else list\rest-of-host\first-label (the first
// label becomes a sub-key of the rest: p.q.r is q.r\p, and o.p.q.r is
// p.q.r\o).
Text DomainEntryPath(TextView listPath, const SiteAddress& site);

// What one range rebuild did.
struct RangeRebuild {
    // The slot it wrote the host into: 1, unless the lowest slots are keys
    // that still map schemes without an address, which are skipped.
    std::int32_t siteSlot = 0;
    // The status of the first failing write of the host's own slot, and of
    // the other addresses' slots.
    reg::Status siteFailure;
    reg::Status otherFailure;
    // For each slot number up to 100, the status of the call that made the
    // rebuild leave that slot as it was (the read that failed, or the
    // delete); Success for the others.
    std::vector<reg::Status> kept;
};
// Rebuilds the list's range slots from slots 1..100, the host first.
RangeRebuild AddRangeKey(reg::RegisterKey& registry, TextView listPath, TextView scheme, TextView host);

}  // namespace plm::zones
