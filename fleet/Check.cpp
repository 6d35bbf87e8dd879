#include "fleet/Check.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "config/Languages.h"
#include "fleet/FleetKit.h"
#include "config/LoginPage.h"
#include "config/SiteUrl.h"
#include "registry/RegisterKey.h"
#include "zones/IeMode.h"
#include "zones/Policy.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

constexpr TextView CheckUsage =
    u"Usage: PlmFleetKit.exe /check http://plm.example.com/plm\n"
    u"Tells whether the PLM site is ready for the current user on this machine, and if not, why. Changes nothing.\n";

// How many of the URL actions that differ from the template are named.
constexpr std::size_t DifferencesNamed = 3;

// The published names of the URL actions of the template, for people to
// read; the template itself (zones/ZoneTemplate) holds the names and data.
struct UrlActionMeaning {
    TextView name;
    TextView meaning;
};
constexpr std::array<UrlActionMeaning, 52> UrlActionMeanings{{
    {u"1001", u"Download signed ActiveX controls"},
    {u"1004", u"Download unsigned ActiveX controls"},
    {u"1200", u"Run ActiveX controls and plug-ins"},
    {u"1201", u"Initialize and script ActiveX controls not marked as safe for scripting"},
    {u"1206", u"Allow scripting of the Internet Explorer web browser control"},
    {u"1208", u"Allow previously unused ActiveX controls to run without prompt"},
    {u"1209", u"Allow scriptlets"},
    {u"120B", u"Per-site (domain-based) ActiveX restrictions"},
    {u"1400", u"Active scripting"},
    {u"1402", u"Scripting of Java applets"},
    {u"1405", u"Script ActiveX controls marked safe for scripting"},
    {u"1406", u"Access data sources across domains"},
    {u"1407", u"Allow programmatic clipboard access"},
    {u"1409", u"Enable XSS filter"},
    {u"1601", u"Submit non-encrypted form data"},
    {u"1604", u"Font download"},
    {u"1606", u"Userdata persistence"},
    {u"1607", u"Navigate windows and frames across different domains"},
    {u"1608", u"Allow META REFRESH"},
    {u"160A", u"Include local directory path when uploading files to a server"},
    {u"1800", u"Installation of desktop items"},
    {u"1802", u"Drag and drop or copy and paste files"},
    {u"1803", u"File download"},
    {u"1804", u"Launching programs and files in an IFRAME"},
    {u"1806", u"Launching applications and unsafe files"},
    {u"1809", u"Use Pop-up Blocker"},
    {u"1A00", u"User authentication logon"},
    {u"1A02", u"Allow persistent cookies"},
    {u"1A03", u"Allow per-session cookies"},
    {u"1A04", u"Don't prompt for client certificate selection when no or only one certificate exists"},
    {u"1A05", u"Allow 3rd party persistent cookies"},
    {u"1A06", u"Allow 3rd party session cookies"},
    {u"1C00", u"Java permissions"},
    {u"1E05", u"Software channel permissions"},
    {u"2000", u"Binary and script behaviors"},
    {u"2001", u"Run .NET Framework components signed with Authenticode"},
    {u"2004", u"Run .NET Framework components not signed with Authenticode"},
    {u"2007", u"Permissions for .NET Framework components with manifests"},
    {u"2100", u"Open files based on content, not file extension"},
    {u"2101", u"Websites in less privileged web content zone can navigate into this zone"},
    {u"2102", u"Allow script-initiated windows without size or position constraints"},
    {u"2103", u"Allow status bar updates via script"},
    {u"2104", u"Allow websites to open windows without address or status bars"},
    {u"2105", u"Allow websites to prompt for information using scripted windows"},
    {u"2200", u"Automatic prompting for file downloads"},
    {u"2201", u"Automatic prompting for ActiveX controls"},
    {u"2300", u"Allow web pages to use restricted protocols for active content"},
    {u"2301", u"Use Phishing Filter"},
    {u"2400", u".NET Framework: XAML browser applications"},
    {u"2401", u".NET Framework: XPS documents"},
    {u"2402", u".NET Framework: Loose XAML"},
    {u"2600", u"Enable .NET Framework setup"},
}};

TextView MeaningOf(TextView action) {
    for (const UrlActionMeaning& known : UrlActionMeanings) {
        if (EqualsNoCase(known.name, action)) return known.meaning;
    }
    return u"no published name";
}

// The parts one after the other: one allocation, and far less code than a
// chain of "+".
Text Cat(std::initializer_list<TextView> parts) {
    std::size_t size = 0;
    for (const TextView part : parts) size += part.size();
    Text text;
    text.reserve(size);
    for (const TextView part : parts) text += part;
    return text;
}

Text ZoneName(std::int32_t zone) {
    static constexpr std::array<TextView, 5> names{u"My Computer", u"Local intranet", u"Trusted sites", u"Internet",
                                                   u"Restricted sites"};
    const Text number = DecimalText(zone);
    if (zone < 0 || static_cast<std::size_t>(zone) >= names.size()) return Cat({number, u" (a zone of its own)"});
    return Cat({number, u" ", names[static_cast<std::size_t>(zone)]});
}

std::uint32_t HexNumber(TextView digits) {
    std::uint32_t number = 0;
    for (const char16_t c : digits) {
        const char16_t upper = ToUpperChar(c);
        number = number * 16 + static_cast<std::uint32_t>(upper <= u'9' ? upper - u'0' : upper - u'A' + 10);
    }
    return number;
}

// ---- the registry, read only ----

// Passes the reads on and refuses every write, so that nothing the check
// calls can change the machine. While `recording`, it keeps the values
// that were read, with the root they came from: what the browser decision
// went by, whatever values that decision comes to read.
class ReadOnlyRegistry final : public reg::ForwardingRegistry {
public:
    ReadOnlyRegistry(reg::RegistryApi& inner, const CodePage& codePage) : ForwardingRegistry(inner), codePage_(codePage) {}

    struct ValueRead {
        Text root;
        Text name;
        Text data;
    };
    bool recording = false;
    std::vector<ValueRead> read;

    reg::LONG RegOpenKeyA(reg::HKEY key, const char* subKey, reg::HKEY* result) override {
        const reg::LONG status = Inner().RegOpenKeyA(key, subKey, result);
        if (status == reg::Success && result != nullptr) roots_.emplace_back(*result, key);
        return status;
    }
    reg::LONG RegCreateKeyA(reg::HKEY, const char*, reg::HKEY* result) override {
        if (result != nullptr) *result = reg::NullKey;
        return reg::ErrorAccessDenied;
    }
    reg::LONG RegQueryValueExA(reg::HKEY key, const char* valueName, reg::DWORD* reserved, reg::DWORD* type,
                               reg::BYTE* data, reg::DWORD* dataSize) override {
        const reg::LONG status = Inner().RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
        if (recording && status == reg::Success && data != nullptr && dataSize != nullptr && type != nullptr) {
            Keep(key, valueName, *type, data, *dataSize);
        }
        return status;
    }
    reg::LONG RegSetValueExA(reg::HKEY, const char*, reg::DWORD, reg::DWORD, const reg::BYTE*, reg::DWORD) override {
        return reg::ErrorAccessDenied;
    }
    reg::LONG RegDeleteKeyA(reg::HKEY, const char*) override { return reg::ErrorAccessDenied; }
    reg::LONG RegCloseKey(reg::HKEY key) override {
        const auto at = std::find_if(roots_.begin(), roots_.end(), [&](const auto& known) { return known.first == key; });
        if (at != roots_.end()) roots_.erase(at);
        return Inner().RegCloseKey(key);
    }

private:
    Text RootName(reg::HKEY key) const {
        const auto at = std::find_if(roots_.begin(), roots_.end(), [&](const auto& known) { return known.first == key; });
        const reg::HKEY root = at != roots_.end() ? at->second : key;
        if (root == reg::LocalMachine) return u"HKLM";
        if (root == reg::CurrentUser) return u"HKCU";
        return u"?";
    }
    void Keep(reg::HKEY key, const char* valueName, reg::DWORD type, const reg::BYTE* data, reg::DWORD size) {
        ValueRead value{RootName(key), codePage_.FromAnsi(valueName != nullptr ? valueName : ""), {}};
        if (type == reg::TypeDword && size == 4) {
            const std::uint32_t number = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
            value.data = DecimalText(number);
        } else if (type == reg::TypeString) {
            std::string bytes(reinterpret_cast<const char*>(data), size);
            if (const std::size_t nul = bytes.find('\0'); nul != std::string::npos) bytes.resize(nul);
            value.data = Cat({u"\"", codePage_.FromAnsi(bytes), u"\""});
        } else {
            value.data = Cat({u"(type ", DecimalText(type), u")"});
        }
        for (ValueRead& known : read) {
            if (known.root == value.root && EqualsNoCase(known.name, value.name)) {
                known = std::move(value);
                return;
            }
        }
        read.push_back(std::move(value));
    }

    const CodePage& codePage_;
    std::vector<std::pair<reg::HKEY, reg::HKEY>> roots_;  // an open handle and the root it was opened from
};

// ---- the report ----

struct Report {
    Text lines;
    Text firstReason;

    void Fact(std::initializer_list<TextView> parts) {
        for (const TextView part : parts) lines += part;
        lines += u'\n';
    }
    void NotReadyIf(bool condition, std::initializer_list<TextView> reason) {
        if (condition && firstReason.empty()) firstReason = Cat(reason);
    }
};

// A REG_DWORD as text, "not set" when there is none.
Text DwordOrNotSet(reg::RegisterKey& registry, reg::HKEY root, TextView keyPath, TextView name) {
    const auto value = registry.GetDwordValue(root, keyPath, name);
    return value.status.Succeeded() ? DecimalText(value.value) : Text(u"not set");
}

// The user's own entry for the site in one list pair: its key, and the
// zone it maps the scheme to (nullopt: no entry).
struct UserEntry {
    Text key;
    std::optional<std::int32_t> zone;
};

UserEntry FindUserEntry(reg::RegisterKey& registry, TextView domains, TextView ranges, const config::SiteAddress& site) {
    const auto zoneIn = [&](const Text& key) -> std::optional<std::int32_t> {
        const auto zone = registry.GetDwordValue(reg::CurrentUser, key, site.Scheme);
        if (zone.status.Failed()) return std::nullopt;
        return zone.value;
    };
    if (!site.Numeric) {
        Text key = zones::DomainEntryPath(domains, site);
        auto zone = zoneIn(key);
        return {std::move(key), zone};
    }
    // A numeric address has a range slot of its own; the registration reads
    // slots 1 to 100.
    for (std::int32_t n = 1; n <= zones::RangeSlotsRead; ++n) {
        Text slot = Cat({ranges, u"\\", zones::RangeSlotPrefix, DecimalText(n)});
        if (TrimSpaces(registry.GetStringValue(reg::CurrentUser, slot, zones::RangeAddressValue).value) != site.Host) continue;
        if (auto zone = zoneIn(slot)) return {std::move(slot), zone};
    }
    return {Cat({ranges, u"\\Range? (", site.Host, u")"}), std::nullopt};
}

// The key below the zone map, as people read it in regedit.
TextView BelowZoneMap(TextView key) {
    return key.substr(std::min(key.size(), zones::ZoneMapKey.size() + 1));
}

Text EntryFact(TextView caption, const UserEntry& entry, TextView scheme) {
    return Cat({caption, u": ", BelowZoneMap(entry.key), u", ", scheme, u" ",
                entry.zone ? Cat({u"= ", ZoneName(*entry.zone)}) : Text(u"missing")});
}

void PolicyFacts(Report& report, reg::RegisterKey& registry, const config::SiteAddress& site) {
    const Text entryName = ZoneMapEntryName(site);
    for (const auto& [root, who] : {std::pair{reg::LocalMachine, u"computer"}, std::pair{reg::CurrentUser, u"user"}}) {
        const auto list = registry.EnumValues(root, zones::PolicyZoneMapKey).value;
        if (list.empty()) {
            report.Fact({u"Site to Zone Assignment List (", who, u" policy): not set"});
            continue;
        }
        const auto entry = registry.GetStringValue(root, zones::PolicyZoneMapKey, entryName);
        report.Fact({u"Site to Zone Assignment List (", who, u" policy): ",
                     DecimalText(static_cast<std::int64_t>(list.size())), list.size() == 1 ? u" entry" : u" entries",
                     u"; \"", entryName, u"\" ",
                     entry.status.Succeeded() ? Cat({u"= ", TrimSpaces(entry.value)}) : Text(u"not among them")});
    }
    report.Fact({zones::MachineSettingsOnlyValue, u" (use only machine settings): ",
                 DwordOrNotSet(registry, reg::LocalMachine, zones::PolicySettingsKey, zones::MachineSettingsOnlyValue)});
    for (const TextView name : {zones::SecurityOptionsEditValue, zones::SecurityZonesMapEditValue}) {
        report.Fact({name, u": computer ", DwordOrNotSet(registry, reg::LocalMachine, zones::PolicySettingsKey, name),
                     u", user ", DwordOrNotSet(registry, reg::CurrentUser, zones::PolicySettingsKey, name)});
    }
}

void TemplateFacts(Report& report, BrowserZones& browser, std::int32_t zone) {
    std::int64_t actions = 0;
    std::int64_t inForce = 0;
    Text differences;
    Text first;
    std::size_t named = 0;
    for (const zones::ZoneSetting& setting : zones::TrustedZoneTemplate()) {
        if (!zones::IsUrlAction(setting.name)) continue;
        ++actions;
        const auto policy = browser.ActionPolicy(zone, HexNumber(setting.name));
        if (policy && *policy == static_cast<std::uint32_t>(setting.data)) {
            ++inForce;
            continue;
        }
        if (first.empty()) first = Cat({setting.name, u" ", MeaningOf(setting.name)});
        if (named++ >= DifferencesNamed) continue;
        differences += Cat({u"\n  ", setting.name, u" ", MeaningOf(setting.name), u": ",
                            policy ? DecimalText(*policy) : Text(u"not set"), u", the tool's ", DecimalText(setting.data)});
    }
    report.Fact({u"Template in zone ", DecimalText(zone), u": ", DecimalText(inForce), u" of ", DecimalText(actions),
                 u" URL actions in force with the tool's value", differences});
    report.NotReadyIf(inForce != actions, {DecimalText(actions - inForce), u" of the template's URL actions differ in zone ",
                                           DecimalText(zone), u" (first: ", first, u"): run PlmClientConfig"});
}

void CodeBaseFacts(Report& report, reg::RegisterKey& registry, TextView view) {
    const auto path = registry.GetStringValue(reg::LocalMachine, zones::MachineInternetSettingsKey,
                                              zones::CodeBaseSearchPathValue);
    report.Fact({zones::CodeBaseSearchPathValue, u" (", view, u"): ",
                 path.status.Failed()                          ? TextView(u"missing")
                 : path.value == zones::CodeBaseSearchPathText ? TextView(u"the tool's text")
                                                               : TextView(u"another text: "),
                 path.status.Succeeded() && path.value != zones::CodeBaseSearchPathText ? TextView(path.value)
                                                                                             : TextView()});
}

void BrowserFacts(Report& report, ReadOnlyRegistry& api, reg::RegisterKey& registry, TextView host) {
    // The same decision as the one behind the main program's notice; the
    // values it read come from the registry on the way.
    api.recording = true;
    const zones::LoginPageBrowser where = zones::WhereLoginPageOpens(registry);
    api.recording = false;
    using enum zones::LoginPageBrowser;
    const bool opensWithout = where == EdgeWithoutIeMode || where == EdgeUserMayReload;
    Text values;
    for (const ReadOnlyRegistry::ValueRead& value : api.read) {
        values += Cat({values.empty() ? u" (" : u", ", value.root, u" ", value.name, u" = ", value.data});
    }
    report.Fact({u"Browser: ",
                 where == InternetExplorer    ? u"Internet Explorer runs on its own"
                 : where == EdgeInIeMode      ? u"Edge, with Internet Explorer mode"
                 : where == EdgeUserMayReload ? u"Edge without Internet Explorer mode; the user may reload in it"
                                              : u"Edge without Internet Explorer mode",
                 values, values.empty() ? u"" : u")"});
    report.NotReadyIf(opensWithout, {u"Edge opens the site without Internet Explorer mode: put ", host,
                                     u" on the Enterprise Mode Site List, with InternetExplorerIntegrationLevel 1"});
}

}  // namespace

bool IsCheckSwitch(TextView arg) { return EqualsNoCase(arg, u"/check") || EqualsNoCase(arg, u"--check"); }

KitRun RunCheck(std::span<const Text> args, CheckMachine& machine) {
    if (args.size() != 1) return {CheckRefused, {}, Text(CheckUsage)};
    const Text url = TrimSpaces(args[0]);
    if (auto refusal = RefusalOf(url, machine.codePage)) return {CheckRefused, {}, std::move(*refusal)};
    const config::SiteAddress site = config::ReadSiteAddress(url);
    const Text loginPage = config::BuildLoginUrl(url);

    ReadOnlyRegistry api(machine.registry, machine.codePage);
    reg::RegisterKey registry(api, machine.codePage);
    ReadOnlyRegistry otherApi(machine.otherView, machine.codePage);
    reg::RegisterKey otherView(otherApi, machine.codePage);

    const BrowserZones::Zone zone = machine.browser.ZoneOf(loginPage);
    if (!zone.zone) {
        return {CheckFailed, {}, Cat({u"PlmFleetKit: cannot ask Windows for the zone of ", loginPage, u": ", zone.failure, u"\n"})};
    }

    Report report;
    report.Fact({u"Check of ", url, u" for this user (nothing is changed)"});
    report.Fact({u"Zone of ", loginPage, u" (Windows): ", ZoneName(*zone.zone)});

    const UserEntry entry = FindUserEntry(registry, zones::DomainsKey, zones::RangesKey, site);
    const UserEntry esc = FindUserEntry(registry, zones::EscDomainsKey, zones::EscRangesKey, site);
    report.Fact({EntryFact(u"User's zone map", entry, site.Scheme)});
    report.Fact({EntryFact(u"User's zone map, enhanced security", esc, site.Scheme)});
    PolicyFacts(report, registry, site);
    const bool leftOut = zones::PolicyLeavesOut(registry, site);
    if (leftOut) {
        report.Fact({u"Policy: decides the trusted sites and leaves ", site.Host, u" out"});
    } else {
        report.Fact({u"Policy: does not keep the site out of Trusted sites"});
    }

    // The first reason is the one the help desk acts on: the policy, then
    // the user's entry the tool writes, then Windows' answer itself.
    report.NotReadyIf(leftOut, {u"a policy decides the trusted sites and leaves ", site.Host,
                                u" out: add it to the Site to Zone Assignment List"});
    const bool trusted = *zone.zone == zones::TrustedSitesZone;
    report.NotReadyIf(!trusted && !entry.zone,
                      {u"no zone-map entry ", BelowZoneMap(entry.key), u" for the user: run PlmClientConfig"});
    report.NotReadyIf(!trusted && entry.zone && *entry.zone != zones::TrustedSitesZone,
                      {u"the zone-map entry ", BelowZoneMap(entry.key), u" puts the site into zone ",
                       entry.zone ? ZoneName(*entry.zone) : Text(), u": run PlmClientConfig"});
    report.NotReadyIf(!trusted, {u"Windows puts the login page into zone ", ZoneName(*zone.zone), u", not ",
                                 ZoneName(zones::TrustedSitesZone)});

    TemplateFacts(report, machine.browser, *zone.zone);
    CodeBaseFacts(report, registry, machine.viewName);
    CodeBaseFacts(report, otherView, machine.otherViewName);
    BrowserFacts(report, api, registry, site.Host);

    if (report.firstReason.empty()) {
        report.Fact({u"ready"});
        return {CheckReady, std::move(report.lines), {}};
    }
    report.Fact({u"not ready: ", report.firstReason});
    return {CheckNotReady, std::move(report.lines), {}};
}

}  // namespace plm::fleet
