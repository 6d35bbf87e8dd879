// Removes the zone-map entries that an address with a port leaves behind
// (keys named host:port), before the host is registered again.
#pragma once

#include <optional>

#include "text/Text.h"
#include "registry/RegisterKey.h"
#include "zones/SiteAddress.h"

namespace plm::zones {

// The stale key below a domain list and the first-label sub-key below it,
// named after the site root: for p.q.r with port n, q.r:n and p. None when
// the root carries no port.
struct StaleEntry {
    Text key;
    Text firstLabel;
};
std::optional<StaleEntry> StaleEntryOf(const SiteAddress& site);

// Every deletion is tried, whatever became of the others. The status is
// that of the first one the registry refused, for the record (a key that
// was not there is no failure; a stale key that still holds other entries
// is refused, and stays): stale entries left behind do not keep the site
// from working.
reg::Status RemoveWrongKey(reg::RegisterKey& registry, const SiteAddress& site);

}  // namespace plm::zones
