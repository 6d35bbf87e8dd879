// Where the login page opens, from the Windows identity and the browser
// policies, on every registry backend. The check only reads.
#include "zones/IeMode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestBackends.h"
#include "tests/support/ZoneMapLists.h"
#include "zones/ZoneMap.h"

namespace plm::zones {
namespace {

constexpr TextView Software = u"SOFTWARE";

std::string Windows(const char* build, const char* edition, const char* installation = "Client") {
    return std::string("[Microsoft\\Windows NT\\CurrentVersion]\n\"CurrentBuildNumber\"=\"") + build +
           "\"\n\"EditionID\"=\"" + edition + "\"\n\"InstallationType\"=\"" + installation + "\"\n";
}
const std::string Windows11 = Windows("22631", "Professional");
const std::string NoIe = "[Policies\\Microsoft\\Internet Explorer\\Main]\n\"NotifyDisableIEOptions\"=dword:00000000\n";
const std::string Edge = "[Policies\\Microsoft\\Edge]\n";
std::string Level(int level) { return "\"InternetExplorerIntegrationLevel\"=dword:0000000" + std::to_string(level) + "\n"; }
const std::string LevelOff = Edge + Level(0);
const std::string SiteList = Edge + "\"InternetExplorerIntegrationSiteList\"=\"https://intranet/sites.xml\"\n";
const std::string IeMode = SiteList + Level(1);
std::string Reload(int allowed) {
    return Edge + "\"InternetExplorerIntegrationReloadInIEModeAllowed\"=dword:0000000" + std::to_string(allowed) + "\n";
}

class IeModeTest : public test::BackendTest {};

TEST_P(IeModeTest, WhereTheLoginPageOpens) {
    using enum LoginPageBrowser;
    struct Row {
        const char* label;
        std::string machine;  // below HKLM\SOFTWARE
        std::string user;     // below HKCU\SOFTWARE
        LoginPageBrowser where;
    };
    const Row rows[] = {
        {"Windows 11, even a long-term edition", Windows("26100", "EnterpriseS"), "", EdgeWithoutIeMode},
        {"Windows 10 Pro", Windows("19045", "Professional"), "", EdgeWithoutIeMode},
        {"Windows 10 EnterpriseS", Windows("17763", "enterprises"), "", InternetExplorer},
        {"Windows 10 China Government Edition", Windows("19044", "EnterpriseG"), "", InternetExplorer},
        {"Server, whatever its build", Windows("26100", "ServerStandard", "Server"), "", InternetExplorer},
        {"EnterpriseS, IE disabled for the machine", Windows("17763", "EnterpriseS") + NoIe, "", EdgeWithoutIeMode},
        {"EnterpriseS, IE app disabled by device management", Windows("17763", "EnterpriseS") +
         "[Policies\\Microsoft\\Internet Explorer\\Main]\n\"DisableInternetExplorerApp\"=dword:00000001\n", "",
         EdgeWithoutIeMode},
        {"EnterpriseS, the IE app policy as text for the user", Windows("17763", "EnterpriseS"),
         "[Policies\\Microsoft\\Internet Explorer\\Main]\n\"DisableInternetExplorerApp\"=\"1\"\n", InternetExplorer},
        {"Server, IE disabled for the user", Windows("20348", "ServerStandard", "Server"), NoIe, EdgeWithoutIeMode},
        {"unreadable version", "[Microsoft\\Windows NT\\CurrentVersion]\n\"CurrentBuildNumber\"=\"10.0\"\n", "",
         InternetExplorer},
        {"Edge's IE mode switched off", Windows11 + LevelOff, "", EdgeWithoutIeMode},
        {"a site list without a level", Windows11 + SiteList, "", EdgeWithoutIeMode},
        {"a site list and level 1 in HKLM", Windows11 + IeMode, "", EdgeInIeMode},
        {"a site list and level 2", Windows11 + SiteList + Level(2), "", EdgeInIeMode},
        {"a site list and level 3", Windows11 + SiteList + Level(3), "", EdgeWithoutIeMode},
        {"a cloud site list in HKCU, level 1 in HKLM", Windows11 + Edge + Level(1),
         Edge + "\"InternetExplorerIntegrationCloudSiteList\"=\"https://c/l\"\n", EdgeInIeMode},
        {"IE's own site list",
         Windows11 + Edge + Level(1) + "[Policies\\Microsoft\\Internet Explorer\\Main\\EnterpriseMode]\n\"SiteList\"=\"C:\\s.xml\"\n",
         "", EdgeInIeMode},
        {"intranet sites to IE only", Windows11 + Edge + "\"SendIntranetToInternetExplorer\"=dword:00000001\n", "",
         EdgeWithoutIeMode},
        {"nothing configured, an empty list", Windows11 + Edge + Level(1) + "\"InternetExplorerIntegrationSiteList\"=\"\"\n",
         "", EdgeWithoutIeMode},
        {"HKLM level 0 beside an HKCU site list", Windows11 + LevelOff, IeMode, EdgeWithoutIeMode},
        {"HKCU level 1 beside an HKLM level 0: the machine's", Windows11 + LevelOff + SiteList, Edge + Level(1),
         EdgeWithoutIeMode},
        {"no IE mode, reload allowed for the user", Windows11, Reload(1), EdgeUserMayReload},
        {"no IE mode, HKLM forbids the reload HKCU allows", Windows11 + Reload(0), Reload(1), EdgeWithoutIeMode},
        {"IE mode configured: reloading changes nothing", Windows11 + IeMode + Reload(1), "", EdgeInIeMode},
    };
    for (const Row& row : rows) {
        for (const reg::HKEY root : {reg::LocalMachine, reg::CurrentUser}) Inspect().RemoveTree(root, Software);
        test::Seed(Keys(), Inspect(), reg::LocalMachine, Software, row.machine);
        test::Seed(Keys(), Inspect(), reg::CurrentUser, Software, row.user);
        test::RecordingRegistry recording(Api(), Backend().Codes());
        reg::RegisterKey keys(recording, Backend().Codes());

        EXPECT_EQ(WhereLoginPageOpens(keys), row.where) << row.label;
        EXPECT_EQ(OpensWithoutIeMode(keys), row.where == EdgeWithoutIeMode || row.where == EdgeUserMayReload)
            << row.label;
        EXPECT_EQ(recording.Writes(), std::vector<std::string>{}) << row.label;
        EXPECT_EQ(Backend().OpenHandles(), 0u) << row.label;
    }
}

PLM_INSTANTIATE_FOR_BACKENDS(IeModeTest);

}  // namespace
}  // namespace plm::zones
