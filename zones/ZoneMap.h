// Where Internet Explorer keeps the settings this tool changes: the four
// lists of the current user's zone map, the Trusted Sites zone and the
// machine-wide Internet settings. Every literal key path and the names of
// the zone-map entries appear here once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/Text.h"

namespace plm::zones {

// The zone-map lists, under HKEY_CURRENT_USER, below the zone map itself.
// The Esc lists are the twins that the browser reads in its enhanced
// security configuration.
inline constexpr TextView ZoneMapKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap";
inline constexpr TextView DomainsKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains";
inline constexpr TextView EscDomainsKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscDomains";
inline constexpr TextView RangesKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges";
inline constexpr TextView EscRangesKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscRanges";

// The security zones of the current user, and its Trusted Sites zone
// (zone 2) among them, written through a path with a trailing "\", which
// names the same key.
inline constexpr TextView ZonesKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones";
inline constexpr TextView TrustedZoneKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2\\";

// The machine-wide Internet settings, under HKEY_LOCAL_MACHINE.
inline constexpr TextView MachineInternetSettingsKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
// The same key in the 32-bit view, as a 64-bit program names it: HKLM\SOFTWARE
// is redirected for 32-bit programs (SOFTWARE\Policies is shared), so what the
// 32-bit tool and the 32-bit browser see under MachineInternetSettingsKey
// lives here.
inline constexpr TextView MachineInternetSettingsKey32 =
    u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Group Policy's Internet settings, under HKEY_LOCAL_MACHINE (computer
// policy) or HKEY_CURRENT_USER (user policy). The Site to Zone Assignment
// List keeps one value per site in ZoneMapKey: the site as its name, the
// zone number as text. Security_HKLM_only = 1 ("use only machine settings")
// makes the browser go by the machine's zone map, under HKEY_LOCAL_MACHINE
// in the same layout as the user's (DomainsKey, RangesKey).
inline constexpr TextView PolicySettingsKey =
    u"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr TextView PolicyZoneMapKey =
    u"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMapKey";
inline constexpr TextView MachineSettingsOnlyValue = u"Security_HKLM_only";
// What Group Policy writes beside the list when it enables the Site to Zone
// Assignment List: this REG_DWORD = 1 under PolicySettingsKey.
inline constexpr TextView PolicyZoneMapSwitchValue = u"ListBox_Support_ZoneMapKey";
// Beside it, under either root: 1 keeps users from changing the zones'
// settings (options) or their sites (zones map) in Internet Options.
inline constexpr TextView SecurityOptionsEditValue = u"Security_options_edit";
inline constexpr TextView SecurityZonesMapEditValue = u"Security_zones_map_edit";
// The Trusted Sites zone's settings as computer policy: they win over the
// user's own Zones\2.
inline constexpr TextView PolicyTrustedZoneKey =
    u"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2";

// A zone-map entry maps a scheme to a zone: a REG_DWORD named after the
// scheme, holding the zone number.
inline constexpr TextView HttpScheme = u"http";
inline constexpr TextView HttpsScheme = u"https";
inline constexpr std::int32_t TrustedSitesZone = 2;
// A value named "*" maps every scheme.
inline constexpr TextView AnyScheme = u"*";

// Range slots are keys "Range1", "Range2", ... whose ":Range" REG_SZ holds
// the numeric address; every REG_DWORD beside it maps a scheme ("http",
// "https", "*" for every scheme, "ftp", ...) to a zone. Only the first 100
// slots are ever read.
inline constexpr TextView RangeSlotPrefix = u"Range";
inline constexpr TextView RangeAddressValue = u":Range";
inline constexpr std::int32_t RangeSlotsRead = 100;
// A slot with more values than this, or whose ":Range" is not a REG_SZ, was
// not written by a browser or an administrator's tool: it is left as it is,
// like a slot that cannot be read.
inline constexpr std::size_t MostRangeSlotValues = 64;

}  // namespace plm::zones
