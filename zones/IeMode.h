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
// in the editions its retirement left out: the long-term servicing ones and
// the China Government Edition (an Edge update disabled it in the others).
inline constexpr std::int64_t FirstWindows11Build = 22000;
inline constexpr std::int64_t FirstWindows10Build = 10240;
inline constexpr std::array<TextView, 5> EditionsKeepingIe = {u"EnterpriseS", u"EnterpriseSN", u"IoTEnterpriseS",
                                                              u"EnterpriseG", u"EnterpriseGN"};

// Internet Explorer's policies, in HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
// Any NotifyDisableIEOptions is the policy "Disable Internet Explorer 11 as
// a standalone browser"; device management disables it with
// DisableInternetExplorerApp = 1. SiteList is where its Enterprise Mode Site
// List is.
inline constexpr TextView IePolicyKey = u"SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main";
inline constexpr TextView DisableIeValue = u"NotifyDisableIEOptions";
inline constexpr TextView DisableIeAppValue = u"DisableInternetExplorerApp";
inline constexpr TextView IeSiteListKey = u"SOFTWARE\\Policies\\Microsoft\\Internet Explorer\\Main\\EnterpriseMode";
inline constexpr TextView IeSiteListValue = u"SiteList";

// Edge's policies, in HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; a machine
// value wins over the user's. Edge shows a site in IE mode only when the
// integration level turns IE mode on (1; 2, "Internet Explorer", acts as IE
// mode where no standalone Internet Explorer runs) and a site list names the
// sites: a list alone does nothing. (Its rule "send all intranet sites to
// Internet Explorer" never covers the site: the tool has just made it a
// Trusted Site, no longer an intranet one.) Where the administrator allows
// it, the user may reload a page in IE mode from Edge's menu.
inline constexpr TextView EdgePolicyKey = u"SOFTWARE\\Policies\\Microsoft\\Edge";
inline constexpr TextView IntegrationLevelValue = u"InternetExplorerIntegrationLevel";
inline constexpr TextView EdgeSiteListValue = u"InternetExplorerIntegrationSiteList";
inline constexpr TextView EdgeCloudSiteListValue = u"InternetExplorerIntegrationCloudSiteList";
inline constexpr TextView ReloadInIeModeValue = u"InternetExplorerIntegrationReloadInIEModeAllowed";
inline constexpr std::int32_t IeModeLevel = 1;
inline constexpr std::int32_t InternetExplorerLevel = 2;

// True when Internet Explorer still runs as a browser of its own: on
// Windows Server, on the Windows 10 editions that keep it and on Windows
// before 10 (or where the version cannot be read), unless a policy
// disables it.
bool IeRunsOnItsOwn(reg::RegisterKey& registry);

// True when Edge may show the site in IE mode: the integration level turns
// IE mode on and a site list is configured (its content cannot be known
// here).
bool EdgeMayUseIeMode(reg::RegisterKey& registry);

// True when the administrator lets the user reload a page in IE mode from
// Edge's menu.
bool UserMayReloadInIeMode(reg::RegisterKey& registry);

// Where the login page will open, and so what the user needs to be told.
enum class LoginPageBrowser {
    InternetExplorer,   // Internet Explorer runs on its own
    EdgeInIeMode,       // Edge, set up to show the site in IE mode
    EdgeWithoutIeMode,  // Edge without IE mode: the site lacks what it needs
    EdgeUserMayReload,  // the same, but the user may reload the page in IE mode
};
LoginPageBrowser WhereLoginPageOpens(reg::RegisterKey& registry);

// True when the login page will open in Edge without IE mode, so that the
// site lacks the features it needs.
bool OpensWithoutIeMode(reg::RegisterKey& registry);

}  // namespace plm::zones
