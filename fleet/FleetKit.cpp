#include "fleet/FleetKit.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "config/Languages.h"
#include "config/Notice.h"
#include "config/PublicSuffix.h"
#include "zones/TrustedSite.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

constexpr TextView Usage =
    u"Usage: PlmFleetKit.exe http://plm.example.com/plm [output folder]\n"
    u"Writes PlmPolicy.reg and PlmSiteList.xml for the PLM site into the folder (default: the current one).\n";

// ---- PlmPolicy.reg ----

void AddKey(Text& reg, TextView path) {
    reg += u"\r\n[HKEY_LOCAL_MACHINE\\";
    reg += path;
    reg += u"]\r\n";
}

void AddString(Text& reg, TextView name, TextView data) {
    reg += RegQuoted(name) + u'=' + RegQuoted(data) + u"\r\n";
}

// dword:0000002a, eight hexadecimal digits in lower case.
void AddDword(Text& reg, TextView name, std::int32_t data) {
    reg += RegQuoted(name) + u"=dword:";
    const auto bits = static_cast<std::uint32_t>(data);
    for (int shift = 28; shift >= 0; shift -= 4) reg += u"0123456789abcdef"[(bits >> shift) & 0xFu];
    reg += u"\r\n";
}

std::string Utf16LeWithBom(TextView text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

// ---- the run ----

Text JoinPath(TextView folder, TextView name, TextView separators) {
    Text path(folder);
    if (!path.empty() && separators.find(path.back()) == TextView::npos) path += separators.front();
    return path + Text(name);
}

// The prompt the window shows for a refused address, in English.
Text InvalidAddressText() {
    const config::Language& english = config::LanguageOf(config::English);
    return Text(config::MessageOf(english, config::Message::Prompt)) + u"\n\n" +
           Text(config::MessageOf(english, config::Message::Example)) + u"\n";
}

struct KitFile {
    Text path;
    Text temporary;
    std::string bytes;
};

KitRun NotWritten(FileSystem& files, std::span<const KitFile> kit, const Text& path, const Text& reason) {
    for (const KitFile& file : kit) files.Remove(file.temporary);
    return {KitNotWritten, {}, u"PlmFleetKit: cannot write " + path + u": " + reason + u"\n"};
}

Text WhatWasWritten(const std::array<KitFile, 2>& kit, const config::SiteAddress& site, TextView hostAndPort) {
    const auto values = zones::TrustedZoneTemplate();
    const auto urlActions = std::count_if(values.begin(), values.end(),
                                          [](const zones::ZoneSetting& value) { return zones::IsUrlAction(value.name); });
    return u"Wrote " + kit[0].path + u"\n  Computer policy: \"" + ZoneMapEntryName(site) +
           u"\" in the Site to Zone Assignment List as a Trusted Site,\n  the " + DecimalText(urlActions) +
           u" URL actions of the Trusted Sites template, and the ActiveX code-base search path.\n"
           u"  Import it into a Group Policy Object's registry settings, or set the same values in device management.\n"
           u"Wrote " + kit[1].path + u"\n  Enterprise Mode Site List: " + Text(hostAndPort) +
           u" opens in Internet Explorer mode.\n"
           u"  Host it where the Edge policy InternetExplorerIntegrationSiteList points,\n"
           u"  with InternetExplorerIntegrationLevel = 1.\n";
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
    if (zones::IsNumericAddress(site.Host)) return site.Host;
    return site.Scheme + u"://" + site.Host;
}

std::string PolicyFile(const config::SiteAddress& site) {
    Text reg = u"Windows Registry Editor Version 5.00\r\n";
    AddKey(reg, zones::PolicyZoneMapKey);
    AddString(reg, ZoneMapEntryName(site), DecimalText(zones::TrustedSitesZone));
    // "CurrentLevel" and "Flags" belong to each user's own zone; as policy
    // they would pin the level and the zone's flags for everyone.
    AddKey(reg, zones::PolicyTrustedZoneKey);
    for (const zones::ZoneSetting& setting : zones::TrustedZoneTemplate()) {
        if (zones::IsUrlAction(setting.name)) AddDword(reg, setting.name, setting.data);
    }
    AddKey(reg, zones::MachineInternetSettingsKey);
    AddString(reg, zones::CodeBaseSearchPathValue, zones::CodeBaseSearchPathText);
    reg += u"\r\n";
    return Utf16LeWithBom(reg);
}

std::string SiteListFile(TextView hostAndPort) {
    return ToUtf8(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                  u"<site-list version=\"1\">\r\n"
                  u"  <site url=\"" + XmlEscaped(hostAndPort) + u"\">\r\n"
                  u"    <compat-mode>Default</compat-mode>\r\n"
                  u"    <open-in>IE11</open-in>\r\n"
                  u"  </site>\r\n"
                  u"</site-list>\r\n");
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
    if (!config::IsValidSiteUrl(url, codePage)) return {KitRefused, {}, InvalidAddressText()};
    const Text siteRoot = config::GetSiteRoot(url);
    const config::SiteAddress site = config::ParseSiteAddress(siteRoot);
    if (config::IsPublicSuffix(site.Host)) {
        const auto& text = config::MessageOf(config::LanguageOf(config::English), config::Message::PublicSuffix);
        return {KitNotWritten, {}, config::WithHost(text, site.Host) + u"\n"};
    }
    const Text hostAndPort = config::SiteHostAndPort(siteRoot);

    const TextView folder = args.size() == 2 ? TextView(args[1]) : TextView(u".");
    const auto inFolder = [&](TextView name, std::string bytes) {
        Text path = JoinPath(folder, name, files.Separators());
        return KitFile{path, path + u".tmp", std::move(bytes)};
    };
    const std::array<KitFile, 2> kit{inFolder(PolicyFileName, PolicyFile(site)),
                                     inFolder(SiteListFileName, SiteListFile(hostAndPort))};
    // Nothing takes the final names until both files are whole.
    for (const KitFile& file : kit) {
        if (auto reason = files.Write(file.temporary, file.bytes)) return NotWritten(files, kit, file.path, *reason);
    }
    for (const KitFile& file : kit) {
        if (auto reason = files.Replace(file.temporary, file.path)) return NotWritten(files, kit, file.path, *reason);
    }
    return {KitWritten, WhatWasWritten(kit, site, hostAndPort), {}};
}

}  // namespace plm::fleet
