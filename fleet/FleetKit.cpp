#include "fleet/FleetKit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "config/AutoSetting.h"
#include "config/Languages.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

constexpr TextView Usage =
    u"Usage: PlmFleetKit.exe http://plm.example.com/plm [output folder]\n"
    u"Writes the PLM site's settings for many machines into the folder (default: the current one):\n"
    u"PlmSite.reg, PlmTrustedZone.reg, their removal files, PlmPolicy.ps1, PlmSiteList.xml and PlmSiteEntry.xml.\n"
    u"       PlmFleetKit.exe /check http://plm.example.com/plm\n"
    u"Tells whether the site is ready for the user who runs it on this machine, and if not, why; changes nothing.\n";

// ---- the values, from the tool's own tables ----

// One value the kit sets, under HKEY_LOCAL_MACHINE.
struct PolicyValue {
    TextView key;
    Text name;
    bool isDword = false;
    Text text;                 // a REG_SZ's data
    std::uint32_t number = 0;  // a REG_DWORD's data
};

PolicyValue StringValue(TextView key, TextView name, TextView text) { return {key, Text(name), false, Text(text), 0}; }
PolicyValue DwordValue(TextView key, TextView name, std::int32_t number) {
    return {key, Text(name), true, {}, static_cast<std::uint32_t>(number)};
}

// The site in the computer's Site to Zone Assignment List, switched on as
// Group Policy switches it on, and the code-base search path in both
// registry views: a 64-bit import writes the 64-bit view only, and the
// 32-bit tool and the 32-bit browser use the other.
std::vector<PolicyValue> SiteValues(const config::SiteAddress& site) {
    return {
        DwordValue(zones::PolicySettingsKey, zones::PolicyZoneMapSwitchValue, 1),
        StringValue(zones::PolicyZoneMapKey, ZoneMapEntryName(site), DecimalText(zones::TrustedSitesZone)),
        StringValue(zones::MachineInternetSettingsKey, zones::CodeBaseSearchPathValue, zones::CodeBaseSearchPathText),
        StringValue(zones::MachineInternetSettingsKey32, zones::CodeBaseSearchPathValue, zones::CodeBaseSearchPathText),
    };
}

// The template's URL actions as the Trusted Sites zone's computer policy.
// "CurrentLevel" and "Flags" belong to each user's own zone; as policy they
// would pin the level and the zone's flags for everyone.
std::vector<PolicyValue> TrustedZoneValues() {
    std::vector<PolicyValue> values;
    for (const zones::ZoneSetting& setting : zones::TrustedZoneTemplate()) {
        if (zones::IsUrlAction(setting.name)) values.push_back(DwordValue(zones::PolicyTrustedZoneKey, setting.name, setting.data));
    }
    return values;
}

// The URL actions of the template that take a protection away from every
// trusted site, in plain words for the administrator who imports it. The
// data shown beside them comes from the template.
struct Protection {
    TextView action;
    TextView words;
};
constexpr Protection Protections[] = {
    {u"1004", u"unsigned ActiveX controls are downloaded"},
    {u"1201", u"ActiveX controls not marked as safe for scripting are run and scripted"},
    {u"1806", u"applications and unsafe files are launched without a prompt"},
    {u"1A00", u"Windows logs on automatically with the user's name and password"},
    {u"1409", u"the XSS filter is off"},
    {u"2301", u"SmartScreen (the phishing filter) is off"},
    {u"1809", u"the pop-up blocker is off"},
};

std::int32_t TemplateData(TextView action) {
    for (const zones::ZoneSetting& setting : zones::TrustedZoneTemplate()) {
        if (setting.name == action) return setting.data;
    }
    return -1;
}

// ---- the formats ----

// Each line of `text` after `prefix`, a lone prefix trimmed for an empty
// line, with `newline` at its end.
Text Commented(TextView text, TextView prefix, TextView newline) {
    Text out;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        const TextView line = text.substr(start, end - start);
        out += line.empty() ? TrimSpaces(prefix) : Text(prefix) + Text(line);
        out += newline;
        start = end + 1;
    }
    return out;
}

std::string Utf16LeWithBom(TextView text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

// A Registry Editor 5.00 file as regedit writes it: UTF-16 LE with BOM,
// CRLF, the values under their keys, an empty line at the end; the comment
// as ";" lines after the header. A removal file names the same values with
// "=-", which deletes the value and leaves its key to whoever else uses it.
std::string RegFile(TextView comment, const std::vector<PolicyValue>& values, bool removal) {
    Text reg = u"Windows Registry Editor Version 5.00\r\n\r\n" + Commented(comment, u"; ", u"\r\n");
    TextView key;
    for (const PolicyValue& value : values) {
        if (value.key != key) {
            key = value.key;
            reg += u"\r\n[HKEY_LOCAL_MACHINE\\" + Text(key) + u"]\r\n";
        }
        reg += RegQuoted(value.name) + u'=';
        if (removal) {
            reg += u'-';
        } else if (value.isDword) {
            reg += u"dword:" + HexDigits(value.number, HexCase::Lower);
        } else {
            reg += RegQuoted(value.text);
        }
        reg += u"\r\n";
    }
    return Utf16LeWithBom(reg + u"\r\n");
}

Text SiteComment() {
    return u"PlmSite.reg, from PlmFleetKit: the PLM site as a Trusted Site, by computer policy.\n"
           u"It puts the site into the Site to Zone Assignment List and switches the list on, as Group Policy does,\n"
           u"and sets the ActiveX code-base search path for 64-bit and 32-bit programs.\n"
           u"Undo: import PlmSiteRemove.reg.";
}

Text TrustedZoneComment() {
    Text comment =
        u"PlmTrustedZone.reg, from PlmFleetKit: the PLM tool's Trusted Sites template as computer policy.\n"
        u"Import it only as a deliberate choice for the whole machine. It applies to EVERY site in the\n"
        u"Trusted Sites zone, not only the PLM site, for every user of this machine, and users cannot change it.\n"
        u"It switches off these protections in that zone:\n";
    for (const Protection& protection : Protections) {
        comment += u"  " + Text(protection.action) + u" = " + DecimalText(TemplateData(protection.action)) + u"  " +
                   Text(protection.words) + u"\n";
    }
    return comment + u"and allows most other URL actions (ActiveX controls, scripts, downloads) without a prompt.\n"
                     u"Undo: import PlmTrustedZoneRemove.reg.";
}

Text SiteRemoveComment() {
    return u"PlmSiteRemove.reg, from PlmFleetKit: removes the values PlmSite.reg adds, and no key.\n"
           u"It also removes ListBox_Support_ZoneMapKey, which switches the Site to Zone Assignment List on;\n"
           u"where the list holds other sites too, delete that line before importing.";
}

Text TrustedZoneRemoveComment() {
    return u"PlmTrustedZoneRemove.reg, from PlmFleetKit: removes the values PlmTrustedZone.reg adds, and no key.";
}

Text PowerShellCall(TextView verb, const PolicyValue& value) {
    Text call = Text(verb) + u"-GPRegistryValue -Name $GpoName -Key " + PowerShellQuoted(u"HKLM\\" + Text(value.key)) +
                u" -ValueName " + PowerShellQuoted(value.name);
    if (verb == u"Remove") return call + u" -ErrorAction SilentlyContinue | Out-Null";
    if (value.isDword) return call + u" -Type DWord -Value " + DecimalText(value.number) + u" | Out-Null";
    return call + u" -Type String -Value " + PowerShellQuoted(value.text) + u" | Out-Null";
}

// The site's values, then the template's behind the switch, as calls of
// one verb, indented by four spaces.
Text PowerShellCalls(TextView verb, const std::vector<PolicyValue>& site, const std::vector<PolicyValue>& zone) {
    Text calls;
    for (const PolicyValue& value : site) calls += u"    " + PowerShellCall(verb, value) + u"\r\n";
    calls += u"    if ($IncludeTrustedZoneTemplate) {\r\n";
    for (const PolicyValue& value : zone) calls += u"        " + PowerShellCall(verb, value) + u"\r\n";
    return calls + u"    }\r\n";
}

// PlmPolicy.ps1: Windows PowerShell 5.1 reads UTF-8 only with a BOM.
std::string PowerShellFile(const std::vector<PolicyValue>& site, const std::vector<PolicyValue>& zone) {
    const Text comment =
        u"PlmPolicy.ps1, from PlmFleetKit: the PLM site's settings as registry-based policy in a Group Policy\n"
        u"Object (Computer Configuration): the values of PlmSite.reg, and with -IncludeTrustedZoneTemplate\n"
        u"those of PlmTrustedZone.reg.\n"
        u"  .\\PlmPolicy.ps1 -GpoName 'PLM clients'\n"
        u"  .\\PlmPolicy.ps1 -GpoName 'PLM clients' -IncludeTrustedZoneTemplate\n"
        u"  .\\PlmPolicy.ps1 -GpoName 'PLM clients' -Remove [-IncludeTrustedZoneTemplate]\n"
        u"The template is a deliberate choice: it applies to every trusted site of every user on the machines the\n"
        u"GPO reaches and switches protections off (see PlmTrustedZone.reg). -Remove takes the same values out of\n"
        u"the GPO again. CodeBaseSearchPath lies outside Software\\Policies: machines keep it after the GPO is gone\n"
        u"(PlmSiteRemove.reg removes it). Needs the GroupPolicy module and the right to edit the GPO.";
    const Text script = Commented(comment, u"# ", u"\r\n") +
                        u"[CmdletBinding()]\r\n"
                        u"param(\r\n"
                        u"    [Parameter(Mandatory = $true)] [string] $GpoName,\r\n"
                        u"    [switch] $IncludeTrustedZoneTemplate,\r\n"
                        u"    [switch] $Remove\r\n"
                        u")\r\n"
                        u"$ErrorActionPreference = 'Stop'\r\n"
                        u"Import-Module GroupPolicy\r\n"
                        u"$null = Get-GPO -Name $GpoName\r\n"
                        u"\r\n"
                        u"if ($Remove) {\r\n" +
                        PowerShellCalls(u"Remove", site, zone) +
                        u"    Write-Output ('Removed the PLM site''s values from the GPO ' + $GpoName + '.')\r\n"
                        u"} else {\r\n" +
                        PowerShellCalls(u"Set", site, zone) +
                        u"    Write-Output ('Wrote the PLM site''s values into the GPO ' + $GpoName + '.')\r\n"
                        u"}\r\n";
    return "\xEF\xBB\xBF" + ToUtf8(script);
}

// The site's element of an Enterprise Mode Site List (schema v.2), each
// line after `indent`.
Text SiteElement(TextView hostAndPort, TextView indent) {
    const Text in(indent);
    return in + u"<site url=\"" + XmlEscaped(hostAndPort) + u"\">\r\n" + in +
           u"  <compat-mode>Default</compat-mode>\r\n" + in + u"  <open-in>IE11</open-in>\r\n" + in + u"</site>\r\n";
}

std::string SiteListFile(TextView hostAndPort) {
    return ToUtf8(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<site-list version=\"1\">\r\n" +
                  SiteElement(hostAndPort, u"  ") + u"</site-list>\r\n");
}

// ---- the run ----

Text JoinPath(TextView folder, TextView name, TextView separators) {
    Text path(folder);
    if (!path.empty() && separators.find(path.back()) == TextView::npos) path += separators.front();
    return path + Text(name);
}

}  // namespace

std::optional<Text> RefusalOf(TextView url, const CodePage& codePage) {
    std::optional<Text> refusal = config::RefusalOf(url, codePage, config::LanguageOf(config::English));
    if (refusal) *refusal += u'\n';
    return refusal;
}

namespace {

struct KitFile {
    TextView name;
    std::string bytes;
    Text path;
    Text temporary;  // once this run has created it
};

// Tries names "<final name>.<tag>-<n>.tmp" until one is free: a name that
// is taken (by a file, a folder or a link) is never opened.
std::optional<Text> WriteTemporary(FileSystem& files, KitFile& file, TextView tag) {
    constexpr int Tries = 100;
    for (int n = 0; n < Tries; ++n) {
        const Text candidate = file.path + u'.' + Text(tag) + u'-' + DecimalText(n) + u".tmp";
        const FileSystem::Creation creation = files.CreateNew(candidate, file.bytes);
        if (creation.outcome == FileSystem::Created::Yes) {
            file.temporary = candidate;
            return std::nullopt;
        }
        if (creation.outcome == FileSystem::Created::Failed) return creation.reason;
    }
    return u"no free temporary name (" + DecimalText(Tries) + u" taken)";
}

void RemoveTemporaries(FileSystem& files, std::span<const KitFile> kit) {
    for (const KitFile& file : kit) {
        if (!file.temporary.empty()) files.Remove(file.temporary);
    }
}

Text PathList(std::span<const KitFile> kit) {
    if (kit.empty()) return u"none";
    Text list;
    for (const KitFile& file : kit) list += (list.empty() ? u"" : u", ") + file.path;
    return list;
}

// Takes the final names in order. When one cannot be taken, the rest keep
// what they held, and the message says which files are new and which not.
KitRun ReplaceAll(FileSystem& files, std::span<KitFile> kit) {
    for (std::size_t i = 0; i < kit.size(); ++i) {
        if (auto reason = files.Replace(kit[i].temporary, kit[i].path)) {
            RemoveTemporaries(files, kit.subspan(i));
            return {KitNotWritten, {},
                    u"PlmFleetKit: cannot replace " + kit[i].path + u": " + *reason + u"\n  Replaced: " +
                        PathList(kit.first(i)) + u"\n  Not replaced (as they were before): " + PathList(kit.subspan(i)) +
                        u"\n  Run the kit again once the cause is mended: the folder holds files of two runs.\n"};
        }
        kit[i].temporary.clear();
    }
    return {KitWritten, {}, {}};
}

Text WhatWasWritten(std::span<const KitFile> kit, const config::SiteAddress& site, TextView hostAndPort) {
    const auto line = [&](TextView name) {
        for (const KitFile& file : kit) {
            if (file.name == name) return u"Wrote " + file.path + u"\n";
        }
        return Text();
    };
    return line(SiteFileName) + u"  The site as computer policy: \"" + ZoneMapEntryName(site) +
           u"\" in the Site to Zone Assignment List as a\n"
           u"  Trusted Site, the list switched on, and the ActiveX code-base search path for 64-bit and 32-bit programs.\n"
           u"  Import it (reg import) or deploy its values with device management.\n" +
           line(TrustedZoneFileName) + u"  The tool's Trusted Sites template as computer policy (" +
           DecimalText(static_cast<std::int64_t>(TrustedZoneValues().size())) +
           u" URL actions). A deliberate, machine-wide choice:\n"
           u"  it applies to every trusted site for every user and switches protections off (listed at its top).\n" +
           line(SiteRemoveFileName) + line(TrustedZoneRemoveFileName) +
           u"  The way back: each removes exactly the values of its file above, and no key.\n" +
           line(PowerShellFileName) +
           u"  The same values as true Group Policy in a GPO (Set-GPRegistryValue); the template only with a switch:\n"
           u"  .\\PlmPolicy.ps1 -GpoName NAME [-IncludeTrustedZoneTemplate] [-Remove]\n" +
           line(SiteListFileName) + u"  An Enterprise Mode Site List with " + Text(hostAndPort) +
           u" alone, opening in Internet Explorer mode:\n"
           u"  for machines without a site list. Edge reads one list: never point it at this file instead of yours.\n" +
           line(SiteEntryFileName) + u"  The site's <site> element alone: merge it into your organisation's site list.\n";
}

}  // namespace

Text RegQuoted(TextView text) {
    Text quoted = u"\"";
    for (const char16_t c : text) {
        if (c == u'\\' || c == u'"') quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

Text PowerShellQuoted(TextView text) {
    Text quoted = u"'";
    for (const char16_t c : text) {
        // PowerShell ends a single-quoted string at any of these four.
        if (c == u'\'' || c == u'\u2018' || c == u'\u2019' || c == u'\u201A' || c == u'\u201B') quoted += c;
        quoted += c;
    }
    return quoted + u'\'';
}

Text XmlEscaped(TextView text) {
    Text escaped;
    for (const char16_t c : text) {
        switch (c) {
            case u'&': escaped += u"&amp;"; break;
            case u'<': escaped += u"&lt;"; break;
            case u'>': escaped += u"&gt;"; break;
            case u'"': escaped += u"&quot;"; break;
            case u'\'': escaped += u"&apos;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

Text ZoneMapEntryName(const config::SiteAddress& site) {
    if (site.Numeric) return site.Host;
    return site.Scheme + u"://" + site.Host;
}

KitRun RunFleetKit(std::span<const Text> args, FileSystem& files, const CodePage& codePage) {
    if (args.size() == 1 && (args[0] == u"/?" || args[0] == u"-h" || args[0] == u"--help")) {
        return {KitWritten, Text(Usage), {}};
    }
    if (args.empty() || args.size() > 2) return {KitRefused, {}, Text(Usage)};
    // Spaces the shell passed around the address mean nothing; without them
    // the site root is short (the host's length is bounded), so cutting it
    // cannot overflow.
    const Text url = TrimSpaces(args[0]);
    if (auto refusal = RefusalOf(url, codePage)) return {KitRefused, {}, std::move(*refusal)};
    const config::SiteAddress site = config::ReadSiteAddress(url);
    const Text& hostAndPort = site.HostAndPort;

    const std::vector<PolicyValue> siteValues = SiteValues(site);
    const std::vector<PolicyValue> zoneValues = TrustedZoneValues();
    std::vector<KitFile> kit;
    kit.push_back({SiteFileName, RegFile(SiteComment(), siteValues, false), {}, {}});
    kit.push_back({TrustedZoneFileName, RegFile(TrustedZoneComment(), zoneValues, false), {}, {}});
    kit.push_back({SiteRemoveFileName, RegFile(SiteRemoveComment(), siteValues, true), {}, {}});
    kit.push_back({TrustedZoneRemoveFileName, RegFile(TrustedZoneRemoveComment(), zoneValues, true), {}, {}});
    kit.push_back({PowerShellFileName, PowerShellFile(siteValues, zoneValues), {}, {}});
    kit.push_back({SiteListFileName, SiteListFile(hostAndPort), {}, {}});
    kit.push_back({SiteEntryFileName, ToUtf8(SiteElement(hostAndPort, u"")), {}, {}});

    const TextView folder = args.size() == 2 ? TextView(args[1]) : TextView(u".");
    for (KitFile& file : kit) {
        file.path = JoinPath(folder, file.name, files.Separators());
        // A link at a final name would carry the file elsewhere for whoever
        // follows it; a folder there cannot be replaced at all.
        if (auto reason = files.CannotReplace(file.path)) {
            return {KitNotWritten, {}, u"PlmFleetKit: cannot write " + file.path + u": " + *reason + u"\n"};
        }
    }
    // Nothing takes a final name until every file is whole.
    const Text tag = files.RunTag();
    for (KitFile& file : kit) {
        if (auto reason = WriteTemporary(files, file, tag)) {
            RemoveTemporaries(files, kit);
            return {KitNotWritten, {}, u"PlmFleetKit: cannot write " + file.path + u": " + *reason + u"\n"};
        }
    }
    KitRun run = ReplaceAll(files, kit);
    if (run.status != KitWritten) return run;
    run.out = WhatWasWritten(kit, site, hostAndPort);
    if (site.Numeric) {
        run.err = u"PlmFleetKit: note: " + site.Host +
                  u" is an IP address; Microsoft advises against IP addresses in the Enterprise Mode Site List.\n"
                  u"  Both site list files name it all the same; prefer the site's host name where it has one.\n";
    }
    return run;
}

}  // namespace plm::fleet
