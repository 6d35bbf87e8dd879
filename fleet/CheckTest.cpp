// The help desk's check on the in-memory registry, set up by the tool's own
// steps; the browser's zone answer and URL action policies are a double
// that reads the user's zone settings, as urlmon does.
#include "fleet/Check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "config/AutoSetting.h"
#include "config/Languages.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RegistrySnapshot.h"
#include "tests/support/Sites.h"
#include "zones/IeMode.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

class FakeBrowser final : public BrowserZones {
public:
    explicit FakeBrowser(reg::RegisterKey& registry) : registry_(registry) {}
    std::optional<std::int32_t> zone = 2;

    Zone ZoneOf(TextView) override { return {zone, zone ? Text() : Text(u"MapUrlToZone failed (0x80004005)")}; }
    std::optional<std::uint32_t> ActionPolicy(std::int32_t inZone, std::uint32_t action) override {
        char name[8];
        std::snprintf(name, sizeof name, "%04X", static_cast<unsigned>(action));
        const auto policy = registry_.GetDwordValue(reg::CurrentUser, Text(zones::ZonesKey) + u'\\' +
                                                                          DecimalText(inZone), FromUtf8(name));
        if (policy.status != reg::Success) return std::nullopt;
        return static_cast<std::uint32_t>(policy.value);
    }

private:
    reg::RegisterKey& registry_;
};

struct Machine {
    test::MemoryRegistry registry;
    test::MemoryRegistry otherView;
    reg::RegisterKey keys{registry, SystemCodePage()};
    FakeBrowser browser{keys};

    // Windows 10 LTSC, where Internet Explorer runs on its own.
    Machine() { Put(reg::LocalMachine, zones::WindowsVersionKey, u"EditionID", u"EnterpriseS"); }
    void Put(reg::HKEY root, TextView key, TextView name, TextView text) {
        registry.PutValue(root, key, name, reg::TypeString, test::StringBytes(ToUtf8(text)));
    }
    void Put(reg::HKEY root, TextView key, TextView name, std::uint32_t data) {
        registry.PutValue(root, key, name, reg::TypeDword, test::DwordBytes(data));
    }
    // What one run of PlmClientConfig writes for `scheme`://`host`.
    void RunTool(TextView scheme, TextView host) {
        static_cast<void>(keys.CreateKey(reg::CurrentUser, zones::TrustedZoneKey));
        static_cast<void>(zones::AddTrustedSite(keys, test::Site(scheme, host)));
        static_cast<void>(zones::SetTrustedZoneSecurity(keys));
        static_cast<void>(zones::SetCodeBaseSearchPath(keys));
    }
    std::u16string Everything() { return registry.Snapshot(reg::CurrentUser, u"") + registry.Snapshot(reg::LocalMachine, u""); }
    KitRun Check(TextView url) {
        CheckMachine machine{registry, otherView, u"this view", u"other view", browser, SystemCodePage()};
        const Text args[] = {Text(url)};
        return RunCheck(args, machine);
    }
};

std::string LastLine(const Text& out) {
    const std::string text = ToUtf8(out);
    const std::size_t end = text.find_last_not_of('\n');
    return text.substr(text.rfind('\n', end) + 1, end - text.rfind('\n', end));
}

TEST(Check, TellsWhetherTheSiteIsReadyAndWhyNot) {
    struct Row {
        const char* label;
        const char* url;
        std::function<void(Machine&)> setUp;
        std::int32_t zone;  // what Windows answers
        int status;
        const char* fact;   // a line of the report
        const char* last;
    };
    const Row rows[] = {
        {"ready", "http://plm.example.com/plm", [](Machine& m) { m.RunTool(u"http", u"plm.example.com"); }, 2,
         CheckReady, "User's zone map: Domains\\example.com\\plm, http = 2 Trusted sites", "ready"},
        {"ready, numeric", "https://10.1.2.3:8443/plm", [](Machine& m) { m.RunTool(u"https", u"10.1.2.3"); }, 2,
         CheckReady, "User's zone map, enhanced security: EscRanges\\Range1, https = 2 Trusted sites", "ready"},
        {"user entry missing", "http://plm.example.com/plm", [](Machine&) {}, 3, CheckNotReady,
         "Zone of http://plm.example.com/plm/login.aspx (Windows): 3 Internet",
         "not ready: no zone-map entry Domains\\example.com\\plm for the user: run PlmClientConfig"},
        {"policy list decides and leaves the host out", "http://plm.example.com/plm",
         [](Machine& m) {
             m.RunTool(u"http", u"plm.example.com");
             m.Put(reg::LocalMachine, zones::PolicyZoneMapKey, u"http://other.example", u"2");
         },
         3, CheckNotReady,
         "Site to Zone Assignment List (computer policy): 1 entry; \"http://plm.example.com\" not among them",
         "not ready: a policy decides the trusted sites and leaves plm.example.com out: add it to the Site to Zone "
         "Assignment List"},
        {"template value changed", "http://plm.example.com/plm",
         [](Machine& m) {
             m.RunTool(u"http", u"plm.example.com");
             m.Put(reg::CurrentUser, zones::TrustedZoneKey, u"1201", 3u);
             m.Put(reg::CurrentUser, zones::TrustedZoneKey, u"1C00", 0u);
         },
         2, CheckNotReady,
         "  1201 Initialize and script ActiveX controls not marked as safe for scripting: 3, the tool's 0",
         "not ready: 2 of the template's URL actions differ in zone 2 (first: 1201 Initialize and script ActiveX "
         "controls not marked as safe for scripting): run PlmClientConfig"},
        {"Edge without IE mode", "http://plm.example.com/plm",
         [](Machine& m) {
             m.RunTool(u"http", u"plm.example.com");
             m.Put(reg::LocalMachine, zones::WindowsVersionKey, u"CurrentBuildNumber", u"22631");
         },
         2, CheckNotReady,
         "Browser: Edge without Internet Explorer mode (",
         "not ready: Edge opens the site without Internet Explorer mode: put plm.example.com on the Enterprise Mode "
         "Site List, with InternetExplorerIntegrationLevel 1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Machine machine;
        row.setUp(machine);
        machine.browser.zone = row.zone;
        const std::u16string before = machine.Everything();
        const KitRun run = machine.Check(FromUtf8(row.url));
        EXPECT_EQ(machine.Everything(), before) << "nothing is written";
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.err, u"");
        EXPECT_NE(ToUtf8(run.out).find(row.fact), std::string::npos) << ToUtf8(run.out);
        EXPECT_EQ(LastLine(run.out), row.last);
    }
}

TEST(Check, ReportsTheValuesTheBrowserDecisionReadAndBothViewsOfTheSearchPath) {
    Machine machine;
    machine.RunTool(u"http", u"plm");
    machine.Put(reg::LocalMachine, zones::WindowsVersionKey, u"CurrentBuildNumber", u"22631");
    machine.Put(reg::CurrentUser, zones::EdgePolicyKey, zones::EdgeSiteListValue, u"https://intranet/sites.xml");
    machine.Put(reg::CurrentUser, zones::EdgePolicyKey, zones::IntegrationLevelValue, 1u);
    machine.otherView.PutValue(reg::LocalMachine, zones::MachineInternetSettingsKey, zones::CodeBaseSearchPathValue,
                               reg::TypeString, test::StringBytes("CODEBASE;<http://old/x.dll>"));
    const KitRun run = machine.Check(u"http://plm/plm");
    const std::string out = ToUtf8(run.out);
    EXPECT_EQ(run.status, CheckReady) << out;
    // What the decision reads depends on the rules of the day; these it reads.
    for (const char* fact : {"\nBrowser: Edge, with Internet Explorer mode (", "HKLM CurrentBuildNumber = \"22631\"",
                             "HKCU InternetExplorerIntegrationSiteList = \"https://intranet/sites.xml\"",
                             "CodeBaseSearchPath (this view): the tool's text\n",
                             "CodeBaseSearchPath (other view): another text: CODEBASE;<http://old/x.dll>\n",
                             "Site to Zone Assignment List (user policy): not set\n",
                             "Security_options_edit: computer not set, user not set\n"}) {
        EXPECT_NE(out.find(fact), std::string::npos) << fact << "\nin\n" << out;
    }
}

TEST(Check, RefusesWhatTheToolRefusesAndFailsWhenWindowsCannotBeAsked) {
    Machine machine;
    // In the tool's words, in English, a line of their own.
    const auto toolsWords = [](TextView url) {
        return config::RefusalOf(url, SystemCodePage(), config::LanguageOf(config::English)).value_or(u"?") + u"\n";
    };
    for (TextView url : {u"http://.example.com/plm", u"http://co.uk/plm"}) {
        const KitRun refused = machine.Check(url);
        EXPECT_EQ(refused.status, CheckRefused);
        EXPECT_EQ(refused.err, toolsWords(url));
        EXPECT_EQ(refused.out, u"");
    }
    machine.browser.zone.reset();
    const KitRun failed = machine.Check(u"http://plm/plm");
    EXPECT_EQ(failed.status, CheckFailed);
    EXPECT_EQ(failed.err, u"PlmFleetKit: cannot ask Windows for the zone of http://plm/plm/login.aspx: "
                          u"MapUrlToZone failed (0x80004005)\n");
    EXPECT_TRUE(IsCheckSwitch(u"/CHECK") && IsCheckSwitch(u"--check") && !IsCheckSwitch(u"-check"));
}

}  // namespace
}  // namespace plm::fleet
