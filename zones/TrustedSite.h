// Registers the PLM host as a Trusted Site (zone 2) in the current user's
// zone map: a domain entry for host names, rebuilt range slots for numeric
// addresses, in the normal list first and its enhanced-security twin second.
#pragma once

#include "config/Text.h"
#include "registry/RegisterKey.h"

namespace plm::zones {

void AddTrustedSite(reg::RegisterKey& registry, TextView scheme, TextView host);

}  // namespace plm::zones
