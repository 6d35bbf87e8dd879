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

// Never fails: every error inside is absorbed step by step.
void RemoveWrongKey(reg::RegisterKey& registry, const SiteAddress& site);

}  // namespace plm::zones
