// The command over the real configuration steps, on every registry backend:
// what an accepted address leaves in the registry, and that a rejected one
// leaves nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "config/AutoSetting.h"
#include "config/Notice.h"
#include "config/RegistrySteps.h"
#include "config/SiteUrl.h"
#include "tests/support/MemoryRegistry.h"
#include "text/CodePage.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/RunOracle.h"
#include "tests/support/TestBackends.h"
#include "tests/support/ZoneMapLists.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::config {
namespace {

using test::DwordBytes;
using test::RecordingUi;
using test::StringBytes;
using zones::TrustedZoneKey;
constexpr TextView ZoneMapPath = zones::ZoneMapKey;
constexpr TextView MachinePath = zones::MachineInternetSettingsKey;

class RegistryStepsTest : public test::BackendTest {
protected:
    std::string State() {
        return Snap(reg::CurrentUser, ZoneMapPath) + "--\n" + Snap(reg::CurrentUser, TrustedZoneKey) + "--\n" +
               Snap(reg::LocalMachine, MachinePath);
    }
};

// A key's values as its snapshot prints them, sorted without letter case.
std::string KeyWith(std::vector<std::pair<TextView, std::string>> values, const CodePage& codes) {
    std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return ToUpper(a.first) < ToUpper(b.first); });
    std::string out = "[]\n";
    for (const auto& [name, bytes] : values) {
        out += ToUtf8(test::FormatRegistryValue(name, bytes.size() == 4 ? reg::TypeDword : reg::TypeString, bytes, codes)) + "\n";
    }
    return out;
}

TEST_P(RegistryStepsTest, AcceptedAddressIsConfiguredBeforeTheLoginPageOpens) {
    // The template goes only into a zone the browser has set up.
    Inspect().PutValue(reg::CurrentUser, TrustedZoneKey, u"1200", reg::TypeDword, DwordBytes(3));
    RecordingUi ui(u"http://plm.example.com:8080/plm");
    std::string atLoginPage;
    RegistrySteps steps(Keys(), [&](TextView) {
        atLoginPage = State();
        return reg::Status();
    });
    AutoSettingCommand().Run(ui, steps, Backend().Codes());

    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(ui.ended);
    EXPECT_EQ(atLoginPage, State());
    // The host without its port, in both lists (the range lists are opened
    // for their stale slots); the template over the zone's earlier value;
    // the machine-wide path.
    EXPECT_EQ(Snap(reg::CurrentUser, ZoneMapPath),
              "[]\n" + test::DomainLists(test::Block("example.com\nexample.com\\plm http=2")) + "[EscRanges]\n[Ranges]\n");
    std::vector<std::pair<TextView, std::string>> zone;
    for (const zones::ZoneSetting& setting : zones::TrustedZoneTemplate()) {
        zone.emplace_back(setting.name, DwordBytes(static_cast<std::uint32_t>(setting.data)));
    }
    EXPECT_EQ(Snap(reg::CurrentUser, TrustedZoneKey), KeyWith(zone, Backend().Codes()));
    EXPECT_EQ(Snap(reg::LocalMachine, MachinePath),
              KeyWith({{zones::CodeBaseSearchPathValue, StringBytes(ToUtf8(zones::CodeBaseSearchPathText))}},
                      Backend().Codes()));
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

TEST_P(RegistryStepsTest, RejectedAddressesChangeNothing) {
    Inspect().PutValue(reg::CurrentUser, Text(zones::DomainsKey) + u"\\plm:8080", u"http", reg::TypeDword,
                       DwordBytes(2));
    Inspect().PutValue(reg::CurrentUser, TrustedZoneKey, u"1200", reg::TypeDword, DwordBytes(3));
    test::MemoryRegistry* memory = Backend().Memory();
    std::size_t callsBefore = 0;
    if (memory != nullptr) callsBefore = memory->CallCount();
    const std::string before = State();
    ASSERT_EQ(before, "[]\n" + test::UnderLists(test::Block("plm:8080 http=2"), {"Domains"}) + "--\n" +
                          KeyWith({{u"1200", DwordBytes(3)}}, Backend().Codes()) + "--\n");
    // Which addresses are refused is IsValidSiteUrl's table; here, one
    // without a path and one whose host has stale entries.
    for (TextView url : {TextView(u"http://plm.example.com"), TextView(u"http://plm:99999/plm")}) {
        RecordingUi ui{Text(url)};
        bool opened = false;
        RegistrySteps steps(Keys(), [&](TextView) {
            opened = true;
            return reg::Status();
        });
        AutoSettingCommand().Run(ui, steps, Backend().Codes());
        EXPECT_EQ(ui.shown.size(), 1u) << ToUtf8(url);
        EXPECT_FALSE(opened) << ToUtf8(url);
        EXPECT_FALSE(ui.ended) << ToUtf8(url);
    }
    EXPECT_EQ(State(), before);
    if (memory != nullptr) {
        EXPECT_EQ(memory->CallCount(), callsBefore);
    }
}

TEST_P(RegistryStepsTest, APolicyNoticeChangesNothingTheRunWrites) {
    Inspect().PutValue(reg::CurrentUser, TrustedZoneKey, u"1200", reg::TypeDword, DwordBytes(3));
    std::vector<std::string> states;
    for (const bool policy : {false, true}) {
        if (policy) {
            Inspect().PutValue(reg::LocalMachine, zones::PolicySettingsKey, zones::MachineSettingsOnlyValue,
                               reg::TypeDword, DwordBytes(1));
        }
        RecordingUi ui(u"http://plm.example.com/plm");
        bool opened = false;
        RegistrySteps steps(Keys(), [&](TextView) {
            opened = true;
            return reg::Status();
        });
        AutoSettingCommand().Run(ui, steps, Backend().Codes());
        ASSERT_EQ(ui.shown.size(), policy ? 1u : 0u);
        if (policy) {
            EXPECT_EQ(ui.shown[0], ToUtf8(WithHost(NoticeOf(ui.WindowLanguage(), Notice::Policy), u"plm.example.com")));
        }
        EXPECT_TRUE(opened && ui.ended);
        states.push_back(State());
    }
    EXPECT_EQ(states[0], states[1]);
}

PLM_INSTANTIATE_FOR_BACKENDS(RegistryStepsTest);

// Whether one of the first slots of a range list holds exactly the address
// and the one mapping of its scheme to the zone, nothing else.
bool HasSlot(test::MemoryRegistry& registry, TextView list, const std::string& address, const std::string& scheme,
             int zone) {
    char expected[96];
    std::snprintf(expected, sizeof expected, "[]\n\":Range\"=\"%s\"\n\"%s\"=dword:%08x\n", address.c_str(), scheme.c_str(),
                  static_cast<unsigned>(zone));
    for (int n = 1; n <= 5; ++n) {
        const Text slot = Text(ZoneMapPath) + u"\\" + Text(list) + u"\\Range" + DecimalText(n);
        if (ToUtf8(registry.Snapshot(reg::CurrentUser, slot)) == expected) return true;
    }
    return false;
}

// A refused write of the site's own entries, or of another address's range
// slot, ends in "Err:" with that call's status and no login page; so does a
// refused read or delete that leaves the site mapped to another zone in a
// slot it kept from being rebuilt. Refused writes elsewhere stay silent. On
// the in-memory registry, which can refuse.
TEST(RegistryStepsFailures, ARefusedWriteOfTheSiteIsReportedOthersStaySilent) {
    constexpr TextView Domain = u"http://plm.example.com/plm";
    constexpr TextView Numeric = u"http://10.0.0.9/plm";
    // The address that Range1 of both lists maps to Restricted Sites.
    constexpr TextView Restricted = u"http://10.0.0.1/plm";
    struct Row {
        const char* label;
        TextView url;
        test::RegCall call;
        TextView pathPart;
        std::vector<std::string> shown;  // empty: the run completes
        // The lists where 10.0.0.1 is still mapped to 4 afterwards.
        std::vector<TextView> restrictedIn = {u"Ranges", u"EscRanges"};
        int times = -1;  // how many such calls are refused; -1: all
        // What a second run shows, with the refusals that are left.
        std::vector<std::string> shownAgain = shown;
    };
    const std::vector<Row> rows = {
        {"create of the Domains entry", Domain, test::RegCall::Create, u"ZoneMap\\Domains\\example.com\\plm", {"Err:5"}},
        {"open of the EscDomains entry for its value", Domain, test::RegCall::Open, u"EscDomains\\example.com", {"Err:5"}},
        {"set of the EscDomains value", Domain, test::RegCall::Set, u"EscDomains\\example.com", {"Err:5"}},
        {"the read-back cannot read what was written", Domain, test::RegCall::Query, u"\\example.com\\plm", {"Err:5"}},
        {"set of the site's EscRanges slot", Numeric, test::RegCall::Set, u"EscRanges\\Range1", {"Err:5"}},
        {"another address's write-back, after every other pair", Numeric, test::RegCall::Set,
         u"ZoneMap\\Ranges\\Range2", {"Err:5"}, {u"EscRanges"}},
        {"the first read of a slot that maps the site elsewhere; the next run rebuilds it", Restricted,
         test::RegCall::Open, u"ZoneMap\\Ranges\\Range1", {"Err:5"}, {u"Ranges"}, 1, {}},
        {"every delete of a slot that maps the site elsewhere; the next run changes nothing", Restricted,
         test::RegCall::Delete, u"ZoneMap\\Ranges\\Range1", {"Err:5"}, {u"Ranges"}},
        {"the machine-wide value (no administrator rights)", Domain, test::RegCall::Set, u"HKEY_LOCAL_MACHINE", {}},
        {"the zone template", Numeric, test::RegCall::Set, u"Zones\\2", {}},
        {"the stale-entry removal", u"http://plm.example.com:8080/plm", test::RegCall::Delete, u"Domains", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Latin1CodePage codes;
        test::MemoryRegistry registry(codes);
        reg::RegisterKey keys(registry, codes);
        registry.PutValue(reg::CurrentUser, TrustedZoneKey, u"1200", reg::TypeDword, DwordBytes(3));
        for (TextView list : {zones::RangesKey, zones::EscRangesKey}) {
            const Text slot = Text(list) + u"\\Range1";
            registry.PutValue(reg::CurrentUser, slot, zones::RangeAddressValue, reg::TypeString,
                              StringBytes("10.0.0.1"));
            registry.PutValue(reg::CurrentUser, slot, u"http", reg::TypeDword, DwordBytes(4));
        }
        registry.Faults().Fail(test::Fault().Of(row.call).On(row.pathPart).Times(row.times));
        const auto run = [&](const std::vector<std::string>& shown) {
            RecordingUi ui{Text(row.url)};
            bool opened = false;
            RegistrySteps steps(keys, [&](TextView) {
            opened = true;
            return reg::Status();
        });
            AutoSettingCommand().Run(ui, steps, codes);
            EXPECT_EQ(ui.shown, shown);
            EXPECT_EQ(opened, shown.empty());
            EXPECT_EQ(ui.ended, shown.empty());
        };
        run(row.shown);
        // 10.0.0.1 keeps its mapping in Restricted Sites in every list that
        // did not take it as the site, nor had its write-back of it refused.
        const auto zoneMap = [&] { return ToUtf8(registry.Snapshot(reg::CurrentUser, ZoneMapPath)); };
        const std::string before = zoneMap();
        for (TextView list : {TextView(u"Ranges"), TextView(u"EscRanges")}) {
            const bool restricted = std::count(row.restrictedIn.begin(), row.restrictedIn.end(), list) > 0;
            EXPECT_EQ(HasSlot(registry, list, "10.0.0.1", "http", 4), restricted) << ToUtf8(list) << "\n" << before;
        }
        if (row.url != Restricted) continue;
        SCOPED_TRACE("second run");
        run(row.shownAgain);
        // Changes nothing while the refusal lasts, else rebuilds the slot.
        EXPECT_EQ(zoneMap() == before, row.shownAgain == row.shown) << zoneMap();
    }
}

}  // namespace
}  // namespace plm::config

namespace plm::config {
namespace {

// Every registry call of one run fails in turn. Whatever fails, the stale-
// entry removal goes on with its next statement, the silent steps stay
// silent, a failure of the site's own entries takes the failure path, no
// run completes without the site's entries, no other range address loses
// a mapping without a word, and nothing outside the allowed keys changes:
// the fuzz targets' oracle judges the registry.
TEST(RegistryStepsFaults, EachCallOfARunFailingInTurn) {
    struct Row {
        const char* label;
        TextView url;
        std::string siteEntry;  // the path part of the site's own entry
    };
    const std::vector<Row> rows = {
        {"domain host with a port: stale entries, template, code-base path", u"http://plm.example.com:8080/plm",
         "Domains\\example.com\\plm"},
        // Seeded as the fuzz finding was: a refused read of a filled slot
        // once rebuilt it without its "ftp" and "rtsp" mappings.
        {"numeric host over filled range lists", u"http://10.0.0.9/plm", "Ranges\\Range1"},
    };
    const auto seed = [](test::MemoryRegistry& registry) {
        registry.PutValue(reg::CurrentUser, TrustedZoneKey, u"1200", reg::TypeDword, DwordBytes(3));
        registry.PutValue(reg::CurrentUser, u"Software\\Other", u"kept", reg::TypeDword, DwordBytes(7));
        registry.PutValue(reg::LocalMachine, u"SOFTWARE\\Other", u"kept", reg::TypeDword, DwordBytes(7));
        for (TextView list : {zones::DomainsKey, zones::EscDomainsKey}) {
            registry.PutValue(reg::CurrentUser, Text(list) + u"\\plm.example.com:8080", u"http", reg::TypeDword,
                              DwordBytes(2));
        }
        for (TextView list : {zones::RangesKey, zones::EscRangesKey}) {
            for (int n = 1; n <= 3; ++n) {
                const Text slot = Text(list) + u"\\Range" + DecimalText(n);
                const std::string address = "10.0.0." + std::to_string(n);
                registry.PutValue(reg::CurrentUser, slot, zones::RangeAddressValue, reg::TypeString,
                                  StringBytes(address));
                registry.PutValue(reg::CurrentUser, slot, n == 2 ? u"ftp" : u"rtsp", reg::TypeDword,
                                  DwordBytes(static_cast<std::uint32_t>(n)));
            }
        }
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Latin1CodePage codes;
        // The calls of a run that nothing disturbs, by number.
        std::vector<std::string> calls;
        {
            test::MemoryRegistry registry(codes);
            seed(registry);
            test::RecordingRegistry recording(registry, codes);
            reg::RegisterKey keys(recording, codes);
            RecordingUi ui{Text(row.url)};
            RegistrySteps steps(keys, [](TextView) { return reg::Status(); });
            AutoSettingCommand().Run(ui, steps, codes);
            ASSERT_TRUE(ui.ended);
            calls = recording.Log();
        }
        const auto staleDeletes = [](const std::vector<std::string>& log) {
            return std::count_if(log.begin(), log.end(), [](const std::string& call) {
                // On a parent it could not open, the delete is still made
                // (on no key): "Delete (null) "plm"".
                return call.rfind("Delete ", 0) == 0 &&
                       (call.find(":8080") != std::string::npos || call.ends_with("\"plm\""));
            });
        };
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const std::string& call = calls[i];
            SCOPED_TRACE("call " + std::to_string(i) + ": " + call);
            test::MemoryRegistry registry(codes);
            seed(registry);
            const test::RegistryState before = test::StateOf(registry);
            test::RecordingRegistry recording(registry, codes);
            reg::RegisterKey keys(recording, codes);
            registry.Faults().Fail(test::Fault().Number(registry.CallCount() + i));
            RecordingUi ui{Text(row.url)};
            bool loginPage = false;
            RegistrySteps steps(keys, [&](TextView) {
                loginPage = true;
                return reg::Status();
            });
            AutoSettingCommand().Run(ui, steps, codes);
            registry.Faults().Clear();

            EXPECT_EQ(staleDeletes(recording.Log()), staleDeletes(calls)) << "every stale-entry statement runs";
            const bool completed = ui.ended && loginPage && ui.shown.empty();
            if (!completed) {
                EXPECT_EQ(ui.shown, std::vector<std::string>{"Err:5"}) << "a failure is told, with the call's status";
                EXPECT_FALSE(loginPage || ui.ended) << "and the run stops there";
            }
            const bool silentStep = call.find("Zones\\2") != std::string::npos || call.find("HKLM") != std::string::npos ||
                                    call.find(":8080") != std::string::npos || call.rfind("Close ", 0) == 0;
            EXPECT_TRUE(completed || !silentStep) << "a silent step stays silent";
            const bool siteWrite = call.find(row.siteEntry) != std::string::npos &&
                                   (call.rfind("Create ", 0) == 0 || call.rfind("SetValue ", 0) == 0);
            EXPECT_FALSE(completed && siteWrite) << "a refused write of the site is reported";
            // Nothing outside what a run may change; a completed run has the
            // site's entries and every other range address's mappings.
            const zones::SiteAddress site = ReadSiteAddress(row.url);
            EXPECT_EQ(test::RunProblems(before, test::StateOf(registry), completed ? &site : nullptr),
                      std::vector<std::string>{});
        }
    }
}

}  // namespace
}  // namespace plm::config
