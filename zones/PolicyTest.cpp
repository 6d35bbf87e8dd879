// Which policy decides the trusted sites, and what in it puts the site
// into Trusted Sites, on every registry backend. The check only reads.
#include "zones/Policy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Sites.h"
#include "tests/support/TestBackends.h"
#include "tests/support/ZoneMapLists.h"
#include "zones/ZoneMap.h"

namespace plm::zones {
namespace {

struct PolicyCase {
    const char* label;
    std::string machinePolicy;  // below PolicySettingsKey in HKLM ("[ZoneMapKey]" is the computer list)
    std::string machineZoneMap;  // below the ZoneMap key in HKLM
    std::string userPolicy;     // below PolicySettingsKey in HKCU
    std::string userZoneMap;    // below the ZoneMap key in HKCU
    const char* scheme;
    const char* host;
    bool leftOut;
};

const std::string MachineOnly = "[]\n\"Security_HKLM_only\"=dword:00000001\n";

std::string List(const std::string& values) { return "[ZoneMapKey]\n" + values; }

class PolicyTest : public test::BackendTest {
protected:
    void Check(const std::vector<PolicyCase>& cases) {
        for (const PolicyCase& c : cases) {
            for (const reg::HKEY root : {reg::LocalMachine, reg::CurrentUser}) {
                Inspect().RemoveTree(root, PolicySettingsKey);
                Inspect().RemoveTree(root, ZoneMapKey);
            }
            test::Seed(Keys(), Inspect(), reg::LocalMachine, PolicySettingsKey, c.machinePolicy);
            test::Seed(Keys(), Inspect(), reg::LocalMachine, ZoneMapKey, c.machineZoneMap);
            test::Seed(Keys(), Inspect(), reg::CurrentUser, PolicySettingsKey, c.userPolicy);
            test::Seed(Keys(), Inspect(), reg::CurrentUser, ZoneMapKey, c.userZoneMap);
            test::RecordingRegistry recording(Api(), Backend().Codes());
            reg::RegisterKey keys(recording, Backend().Codes());

            EXPECT_EQ(PolicyLeavesOut(keys, test::Site(FromUtf8(c.scheme), FromUtf8(c.host))), c.leftOut) << c.label;
            EXPECT_EQ(recording.Writes(), std::vector<std::string>{}) << c.label;
            EXPECT_EQ(Backend().OpenHandles(), 0u) << c.label;
        }
    }
};

TEST_P(PolicyTest, WhatPutsTheSiteIntoTrustedSites) {
    const char* h = "plm.example.com";
    Check({
        {"the host itself, any letter case", List("\"PLM.Example.COM\"=\"2\"\n"), "", "", "", "http", h, false},
        {"a parent domain", List("\"example.com\"=\"2\"\n"), "", "", "", "http", h, false},
        {"only at a label boundary", List("\"ample.com\"=\"2\"\n"), "", "", "", "http", h, true},
        {"a sub-domain does not cover its parent", List("\"www.plm.example.com\"=\"2\"\n"), "", "", "", "http", h,
         true},
        {"*.", List("\"*.example.com\"=\"2\"\n"), "", "", "", "http", h, false},
        {"the site's scheme, any letter case", List("\"HTTPS://plm.example.com\"=\"2\"\n"), "", "", "", "https", h,
         false},
        {"another scheme", List("\"https://plm.example.com\"=\"2\"\n"), "", "", "", "http", h, true},
        {"any scheme, with *.", List("\"*://*.example.com\"=\"2\"\n"), "", "", "", "http", h, false},
        {"another host", List("\"other.example.com\"=\"2\"\n"), "", "", "", "http", h, true},
        {"a numeric host is its address", List("\"10.1.2.3\"=\"2\"\n"), "", "", "", "http", "10.1.2.3", false},
        {"an address has no parent domains", List("\"1.2.3\"=\"2\"\n"), "", "", "", "http", "10.1.2.3", true},
        {"a range", List("\"10.1.2.1-10.1.2.9\"=\"2\"\n"), "", "", "", "http", "10.1.2.3", true},
        {"a port, a path, a trailing /",
         List("\"plm.example.com:80\"=\"2\"\n\"example.com/plm\"=\"2\"\n\"http://plm.example.com/\"=\"2\"\n"), "", "",
         "", "http", h, true},
        {"zone 4", List("\"plm.example.com\"=\"4\"\n"), "", "", "", "http", h, true},
        {"zone 2 as a REG_DWORD", List("\"plm.example.com\"=dword:00000002\n"), "", "", "", "http", h, false},
        {"machine map: domain\\sub with the scheme", MachineOnly,
         "[Domains\\example.com\\plm]\n\"http\"=dword:00000002\n", "", "", "http", h, false},
        {"machine map: a parent domain with *", MachineOnly, "[Domains\\example.com]\n\"*\"=dword:00000002\n", "",
         "", "http", h, false},
        {"machine map: another scheme, another zone", MachineOnly,
         "[Domains\\plm.example.com]\n\"https\"=dword:00000002\n\"http\"=dword:00000004\n", "", "", "http", h, true},
        {"machine map: the address's range slot", MachineOnly,
         "[Ranges\\Range1]\n\":Range\"=\"10.1.2.4\"\n\"http\"=dword:00000002\n"
         "[Ranges\\Range7]\n\":Range\"=\"10.1.2.3\"\n\"*\"=dword:00000002\n",
         "", "", "http", "10.1.2.3", false},
        {"machine map: another address", MachineOnly,
         "[Ranges\\Range1]\n\":Range\"=\"10.1.2.4\"\n\"http\"=dword:00000002\n", "", "", "http", "10.1.2.3", true},
    });
}

TEST_P(PolicyTest, WhichListDecides) {
    const char* h = "plm.example.com";
    const std::string covers = List("\"example.com\"=\"2\"\n");
    const std::string other = List("\"other.example.com\"=\"2\"\n");
    const std::string userEntry = "[Domains\\example.com\\plm]\n\"http\"=dword:00000002\n";
    Check({
        {"no policy: the user's own entries count", "", "", "", userEntry, "http", h, false},
        {"no policy, no entries: nothing to tell", "", "", "", "", "http", h, false},
        {"machine settings switched off", "[]\n\"Security_HKLM_only\"=dword:00000000\n", "", "", "", "http", h,
         false},
        {"machine settings only, no machine entry", MachineOnly, "", "", userEntry, "http", h, true},
        {"machine settings only, a machine entry", MachineOnly, userEntry, "", "", "http", h, false},
        {"a user list that covers", "", "", covers, "", "http", h, false},
        {"a user list that does not", "", "", other, userEntry, "http", h, true},
        {"a computer list beside a user list: the computer's", other, "", covers, "", "http", h, true},
        {"a computer list that covers beside one that does not", covers, "", other, "", "http", h, false},
        {"the computer list before machine settings", MachineOnly + covers, "", "", "", "http", h, false},
        {"machine settings before the user list", MachineOnly, "", covers, "", "http", h, true},
        {"an empty computer list assigns nothing", "[ZoneMapKey]\n", "", other, "", "http", h, true},
    });
}

PLM_INSTANTIATE_FOR_BACKENDS(PolicyTest);

}  // namespace
}  // namespace plm::zones
