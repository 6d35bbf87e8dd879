// The fixed Trusted Sites security template (HKCU Zones\2) and the
// machine-wide ActiveX code-base search path (HKLM).
#pragma once

#include "registry/RegisterKey.h"

namespace plm::zones {

void SetCodeBaseSearchPath(reg::RegisterKey& registry);
void SetTrustedZoneSecurity(reg::RegisterKey& registry);

}  // namespace plm::zones
