#include "zones/ZoneTemplate.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "text/Text.h"
#include "zones/ZoneMap.h"

namespace plm::zones {

namespace {

// URL actions of the Trusted Sites zone that are all set to 0 (allow), and
// "CurrentLevel" 0, which marks the zone's level as Custom. Names as the
// browser spells them, hexadecimal letters in upper case.
constexpr std::array<TextView, 50> ZoneEnableList = {
    u"1001", u"1004", u"1200", u"1201", u"1206", u"1209", u"1400", u"1402", u"1405", u"1406",
    u"1407", u"1601", u"1604", u"1606", u"1607", u"1608", u"1800", u"1802", u"1803", u"1804",
    u"1806", u"1A00", u"1A02", u"1A03", u"1A04", u"1A05", u"1A06", u"2000", u"2001", u"2004",
    u"2100", u"2102", u"2107", u"2200", u"2201", u"CurrentLevel", u"1207", u"1208", u"120B", u"1408",
    u"160A", u"2005", u"2103", u"2104", u"2105", u"2106", u"2400", u"2401", u"2402", u"2600",
};

// The zone's settings that are not a plain "allow", written after the list
// above.
constexpr std::array<ZoneSetting, 10> ZoneSettingList = {{
    {u"2101", 1},        // less privileged zones navigating into this one: prompt
    {u"1809", 3},        // pop-up blocker: off
    {u"1C00", 0x30000},  // Java permissions: low safety
    {u"1E05", 0x30000},  // software channel permissions: low safety
    {u"2007", 0x10000},  // .NET components with manifests
    {u"2300", 1},        // restricted protocols for active content: prompt
    {u"Flags", 0x43},    // custom edit, add sites, supports verification; no https required
    {u"2700", 3},
    {u"1409", 3},  // XSS filter: off
    {u"2301", 3},  // phishing filter: off
}};

// Both lists in writing order: the plain "allow"s, then the rest.
constexpr auto Template = [] {
    std::array<ZoneSetting, ZoneEnableList.size() + ZoneSettingList.size()> all{};
    std::size_t i = 0;
    for (const TextView name : ZoneEnableList) all[i++] = {name, 0};
    for (const ZoneSetting& setting : ZoneSettingList) all[i++] = setting;
    return all;
}();

}  // namespace

std::span<const ZoneSetting> TrustedZoneTemplate() { return Template; }

bool IsUrlAction(TextView name) {
    return name.size() == 4 && std::all_of(name.begin(), name.end(), IsAsciiHexDigit);
}

reg::Status SetCodeBaseSearchPath(reg::RegisterKey& registry) {
    return registry.SetStringValue(reg::LocalMachine, MachineInternetSettingsKey, CodeBaseSearchPathValue,
                                   CodeBaseSearchPathText);
}

reg::Status SetTrustedZoneSecurity(reg::RegisterKey& registry) {
    // SetDwordValue never creates the key: a zone the browser has not set up
    // is not invented here, and then every write simply fails. Each value
    // is written whatever became of the one before.
    reg::Status failure;
    for (const ZoneSetting& setting : Template) {
        failure.KeepFirstFailure(
            registry.SetDwordValue(reg::CurrentUser, TrustedZoneKey, setting.name, setting.data));
    }
    return failure;
}

}  // namespace plm::zones
