// The fixed Trusted Sites security template (HKCU Zones\2) and the
// machine-wide ActiveX code-base search path (HKLM).
#pragma once

#include <cstdint>
#include <span>

#include "text/Text.h"
#include "registry/RegisterKey.h"

namespace plm::zones {

// Where the browser looks for ActiveX components to download: the vendor's
// component service first, its codec service second. Written under
// MachineInternetSettingsKey.
inline constexpr TextView CodeBaseSearchPathValue = u"CodeBaseSearchPath";
inline constexpr TextView CodeBaseSearchPathText =
    u"CODEBASE;<http://activex.microsoft.com/objects/ocget.dll>;<http://codecs.microsoft.com/isapi/ocget.dll>";
static_assert(CodeBaseSearchPathText.size() == 103);

// One REG_DWORD of the Trusted Sites template.
struct ZoneSetting {
    TextView name;
    std::int32_t data;
};

// The 60 values of the template, in the order SetTrustedZoneSecurity writes
// them.
std::span<const ZoneSetting> TrustedZoneTemplate();

// True for the name of a URL action: four hexadecimal digits. The other
// values of the template ("CurrentLevel", "Flags") describe the zone itself,
// not what its sites may do.
bool IsUrlAction(TextView name);

// The write's status: ordinary users may not write there, so a refusal is
// the common case on locked-down machines.
reg::Status SetCodeBaseSearchPath(reg::RegisterKey& registry);
// The status of the first of the 60 writes that failed, Success when none.
reg::Status SetTrustedZoneSecurity(reg::RegisterKey& registry);

}  // namespace plm::zones
