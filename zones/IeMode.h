// Where the login page will open: in Internet Explorer itself, or in
// Microsoft Edge, and then whether Edge shows the site with Internet
// Explorer's engine (IE mode). Only there do the zone map and the Trusted
// Sites template the tool writes take effect. Only reads.
#pragma once

#include <array>
#include <cstdint>

#include "text/Text.h"
#include "registry/RegisterKey.h"

namespace plm::zones {

// The machine's Windows identity, under HKEY_LOCAL_MACHINE. A 32-bit
// program reads its own view of this key, which Windows fills alike.
inline constexpr TextView WindowsVersionKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr TextView BuildNumberValue = u"CurrentBuildNumber";  // REG_SZ, decimal
inline constexpr TextView EditionValue = u"EditionID";
inline constexpr TextView InstallationTypeValue = u"InstallationType";
inline constexpr TextView ServerInstallation = u"Server";

// Windows 11 has no Internet Explorer application; Windows 10 keeps it only
// in its long-term servicing editions (an Edge update disabled it in the
// others).
inline constexpr std::int64_t FirstWindows11Build = 22000;
inline constexpr std::int64_t FirstWindows10Build = 10240;
inline constexpr std::array<TextView, 3> LongTermEditions = {u"EnterpriseS", u"EnterpriseSN", u"IoTEnterpriseS"};

// Internet Explorer's policies, in HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
// Any NotifyDisableIEOptions is the policy "Disable Internet Explorer 11 as
// a standalone browser". SiteList is where its Enterprise Mode Site List is.
inline constexpr TextView IePolicyKey = u"SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main";
inline constexpr TextView DisableIeValue = u"NotifyDisableIEOptions";
inline constexpr TextView IeSiteListKey = u"SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main\\EnterpriseMode";
inline constexpr TextView IeSiteListValue = u"SiteList";

// Edge's policies, in HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; a machine
// value wins over the user's. An integration level of 0 switches IE mode
// off; the two site lists name the sites it shows in IE mode. (Its rule
// "send all intranet sites to Internet Explorer" never covers the site:
// the tool has just made it a Trusted Site, no longer an intranet one.)
inline constexpr TextView EdgePolicyKey = u"SOFTWARE\\Policies\\Microsoft\\Edge";
inline constexpr TextView IntegrationLevelValue = u"InternetExplorerIntegrationLevel";
inline constexpr TextView EdgeSiteListValue = u"InternetExplorerIntegrationSiteList";
inline constexpr TextView EdgeCloudSiteListValue = u"InternetExplorerIntegrationCloudSiteList";
inline constexpr std::int32_t IeModeOff = 0;

// True when Internet Explorer still runs as a browser of its own: on
// Windows Server, on the long-term editions of Windows 10 and on Windows
// before 10 (or where the version cannot be read), unless a policy
// disables it.
bool IeRunsOnItsOwn(reg::RegisterKey& registry);

// True when Edge may show the site in IE mode: a site list is configured
// (its content cannot be known here) and IE mode is not switched off.
bool EdgeMayUseIeMode(reg::RegisterKey& registry);

// True when the login page will open in Edge without IE mode, so that the
// site lacks the features it needs.
bool OpensWithoutIeMode(reg::RegisterKey& registry);

}  // namespace plm::zones
