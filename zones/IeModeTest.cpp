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
const std::string LevelOff = Edge + "\"InternetExplorerIntegrationLevel\"=dword:00000000\n";
const std::string SiteList = Edge + "\"InternetExplorerIntegrationSiteList\"=\"https://intranet/sites.xml\"\n";

class IeModeTest : public test::BackendTest {};

TEST_P(IeModeTest, WhereTheLoginPageOpens) {
    struct Row {
        const char* label;
        std::string machine;  // below HKLM\SOFTWARE
        std::string user;     // below HKCU\SOFTWARE
        bool withoutIeMode;   // the notice shows
    };
    const Row rows[] = {
        {"Windows 11, even a long-term edition", Windows("26100", "EnterpriseS"), "", true},
        {"Windows 10 Pro", Windows("19045", "Professional"), "", true},
        {"Windows 10 EnterpriseS", Windows("17763", "enterprises"), "", false},
        {"Server, whatever its build", Windows("26100", "ServerStandard", "Server"), "", false},
        {"EnterpriseS, IE disabled for the machine", Windows("17763", "EnterpriseS") + NoIe, "", true},
        {"Server, IE disabled for the user", Windows("20348", "ServerStandard", "Server"), NoIe, true},
        {"unreadable version", "[Microsoft\\Windows NT\\CurrentVersion]\n\"CurrentBuildNumber\"=\"10.0\"\n", "", false},
        {"Edge's IE mode switched off", Windows11 + LevelOff, "", true},
        {"a site list in HKLM", Windows11 + SiteList, "", false},
        {"a cloud site list in HKCU", Windows11, Edge + "\"InternetExplorerIntegrationCloudSiteList\"=\"https://c/l\"\n",
         false},
        {"IE's own site list",
         Windows11 + "[Policies\\Microsoft\\Internet Explorer\\Main\\EnterpriseMode]\n\"SiteList\"=\"C:\\s.xml\"\n", "",
         false},
        {"intranet sites to IE only", Windows11 + Edge + "\"SendIntranetToInternetExplorer\"=dword:00000001\n", "", true},
        {"nothing configured, an empty list", Windows11 + Edge + "\"InternetExplorerIntegrationSiteList\"=\"\"\n", "",
         true},
        {"HKLM level 0 beside an HKCU site list", Windows11 + LevelOff, SiteList, true},
        {"HKCU level 1 beside an HKLM level 0: the machine's", Windows11 + LevelOff + SiteList,
         Edge + "\"InternetExplorerIntegrationLevel\"=dword:00000001\n", true},
    };
    for (const Row& row : rows) {
        for (const reg::HKEY root : {reg::LocalMachine, reg::CurrentUser}) Inspect().RemoveTree(root, Software);
        test::Seed(Keys(), Inspect(), reg::LocalMachine, Software, row.machine);
        test::Seed(Keys(), Inspect(), reg::CurrentUser, Software, row.user);
        test::RecordingRegistry recording(Api(), Backend().Codes());
        reg::RegisterKey keys(recording, Backend().Codes());

        EXPECT_EQ(OpensWithoutIeMode(keys), row.withoutIeMode) << row.label;
        EXPECT_EQ(recording.Writes(), std::vector<std::string>{}) << row.label;
        EXPECT_EQ(Backend().OpenHandles(), 0u) << row.label;
    }
}

PLM_INSTANTIATE_FOR_BACKENDS(IeModeTest);

}  // namespace
}  // namespace plm::zones
