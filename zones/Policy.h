// Whether a Group Policy decides the zones of sites on this machine, and
// if so, whether it puts the PLM site into Trusted Sites. Under such a
// policy the browser ignores the user's own zone map, so what the tool
// registers there does not count until the policy is lifted. Only reads.
#pragma once

#include "text/Text.h"
#include "registry/RegisterKey.h"
#include "zones/SiteAddress.h"

namespace plm::zones {

// True when a policy decides the zones and none of its entries puts the
// site (its scheme and host) into Trusted Sites. The list that decides, first found:
//  1. the computer policy's Site to Zone Assignment List;
//  2. with "use only machine settings", the machine's own zone map;
//  3. the user policy's Site to Zone Assignment List.
// Without any of them the user's own zone map counts: false.
//
// An entry of a policy list puts the site into Trusted Sites when its data
// is 2 (the text "2", as the policy stores it, or a REG_DWORD) and its name
// is, after an optional "scheme://" (the site's scheme in any letter case,
// or "*") and an optional "*.", the host or a parent domain of it in any
// letter case; for a numeric host, the address itself. Names holding an
// address range ("a-b"), a port or a path never cover. In the machine's
// zone map the same goes for the domain entries and their sub-keys, with a
// REG_DWORD named after the scheme or "*" holding 2, and for a numeric host
// for the range slots whose ":Range" is the address.
bool PolicyLeavesOut(reg::RegisterKey& registry, const SiteAddress& site);

}  // namespace plm::zones
