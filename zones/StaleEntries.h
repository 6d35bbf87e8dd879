// Removes the zone-map entries that an address with a port leaves behind
// (keys named host:port), before the host is registered again.
#pragma once

#include "text/Text.h"
#include "registry/RegisterKey.h"

namespace plm::zones {

// Never fails: every error inside is absorbed step by step.
void RemoveWrongKey(reg::RegisterKey& registry, Text siteRoot);

}  // namespace plm::zones
