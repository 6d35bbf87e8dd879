// The kit against the tool itself: each file it writes, read back in its
// own format, holds what the tool writes for one user, the removal files
// and the script name the same values, and the tool's own policy reader
// takes the site's entry. A run that cannot finish leaves no file of its
// own and never touches a file through a link. Windows builds run this
// under Wine, on the Win32 file operations.
#include "fleet/FleetKit.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "registry/RegisterKey.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/Sites.h"
#include "zones/Policy.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

namespace fs = std::filesystem;

// A value as the readers give it back: key (from HKEY_LOCAL_MACHINE),
// name, type ("sz", "dword" or "delete") and data (a number in decimal).
using Value = std::tuple<std::string, std::string, std::string, std::string>;
using Values = std::set<Value>;

Values Removals(const Values& values) {
    Values removals;
    for (const auto& [key, name, type, data] : values) removals.insert({key, name, "delete", ""});
    return removals;
}

// ---- a .reg reader, as regedit reads the file ----

struct RegFile {
    Values values;
    std::vector<std::string> comment;  // the ";" lines
};

RegFile ReadRegFile(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16 LE with BOM";
    Text text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::string all = ToUtf8(text);
    const std::string header = "Windows Registry Editor Version 5.00\r\n";
    EXPECT_EQ(all.substr(0, header.size()), header);
    EXPECT_EQ(all.substr(all.size() - 4), "\r\n\r\n") << "regedit ends the file with an empty line";
    EXPECT_EQ(std::regex_replace(all, std::regex("\r\n"), "").find_first_of("\r\n"), std::string::npos) << "a bare CR or LF";

    const std::regex key(R"(\[HKEY_LOCAL_MACHINE\\(.+)\]\r)");
    const std::regex value(R"re("((?:[^"\\]|\\.)*)"=(?:(-)|dword:([0-9a-f]{8})|"((?:[^"\\]|\\.)*)")\r)re");
    const std::regex escape(R"(\\(.))");
    RegFile file;
    std::string current;
    std::istringstream lines(all.substr(header.size()));
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (line == "\r") continue;
        if (line[0] == ';') {
            file.comment.push_back(line.substr(0, line.size() - 1));
        } else if (std::regex_match(line, m, key)) {
            current = m[1];
        } else if (std::regex_match(line, m, value) && !current.empty()) {
            const std::string name = std::regex_replace(m[1].str(), escape, "$1");
            if (m[2].matched) file.values.insert({current, name, "delete", ""});
            if (m[3].matched) file.values.insert({current, name, "dword", std::to_string(std::stoul(m[3], nullptr, 16))});
            if (m[4].matched) file.values.insert({current, name, "sz", std::regex_replace(m[4].str(), escape, "$1")});
        } else {
            ADD_FAILURE() << "regedit cannot read: " << line;
        }
    }
    return file;
}

// ---- a reader of the script's calls ----

struct Script {
    Values set;
    Values removed;
    Values templateOnly;  // the calls behind -IncludeTrustedZoneTemplate
};

Script ReadScript(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << "UTF-8 with BOM";
    const std::string quoted = "'((?:[^']|'')*)'";
    const std::regex call("( *)(Set|Remove)-GPRegistryValue -Name \\$GpoName -Key 'HKLM\\\\" + quoted.substr(1) +
                          " -ValueName " + quoted + "(?: -Type (String|DWord) -Value (?:" + quoted +
                          "|(\\d+)))?(?: -ErrorAction SilentlyContinue)? \\| Out-Null\r");
    const auto unquote = [](const std::string& s) { return std::regex_replace(s, std::regex("''"), "'"); };
    Script script;
    bool guarded = false;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (line == "    if ($IncludeTrustedZoneTemplate) {\r") guarded = true;
        if (line == "    }\r") guarded = false;
        if (line.find("GPRegistryValue") == std::string::npos || line[0] == '#') continue;
        if (!std::regex_match(line, m, call)) {
            ADD_FAILURE() << "not a call of the expected shape: " << line;
            continue;
        }
        EXPECT_EQ(m[1].length(), guarded ? 8 : 4) << line;
        const bool set = m[2] == "Set";
        const Value value{unquote(m[3]), unquote(m[4]), !set ? "delete" : m[5] == "DWord" ? "dword" : "sz",
                          !set ? "" : m[7].matched ? m[7].str() : unquote(m[6])};
        (set ? script.set : script.removed).insert(value);
        if (guarded && set) script.templateOnly.insert(value);
    }
    return script;
}

// ---- a folder of its own for each run ----

class KitFolder {
public:
    KitFolder() : path_(fs::temp_directory_path() / ("plm-fleet-" + std::to_string(std::random_device{}()))) {
        fs::create_directory(path_);
    }
    ~KitFolder() { fs::remove_all(path_); }
    KitFolder(const KitFolder&) = delete;
    KitFolder& operator=(const KitFolder&) = delete;

    fs::path Path(const std::string& name = {}) const { return name.empty() ? path_ : path_ / name; }
    Text PathOf(const std::string& name = {}) const { return Path(name).u16string(); }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    void Put(const std::string& name, const std::string& bytes) const { std::ofstream(path_ / name) << bytes; }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.insert(entry.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

const std::set<std::string> KitNames{"PlmSite.reg",   "PlmTrustedZone.reg", "PlmSiteRemove.reg", "PlmTrustedZoneRemove.reg",
                                     "PlmPolicy.ps1", "PlmSiteList.xml",    "PlmSiteEntry.xml"};

KitRun RunKit(const std::vector<Text>& args, FileSystem& files = SystemFiles()) {
    return RunFleetKit(args, files, SystemCodePage());
}

TEST(FleetKit, EachFileHoldsWhatTheToolWritesForOneUser) {
    // What the tool writes for one user, on the in-memory registry, under
    // the keys of the policy files.
    test::MemoryRegistry memory;
    reg::RegisterKey tool(memory, SystemCodePage());
    const TextView userZone = zones::TrustedZoneKey;
    ASSERT_EQ(tool.CreateKey(reg::CurrentUser, userZone).status, reg::Success);
    ASSERT_EQ(zones::SetTrustedZoneSecurity(tool), reg::Success);
    ASSERT_EQ(zones::SetCodeBaseSearchPath(tool), reg::Success);
    Values zone;
    for (const reg::ValueEntry& value : tool.EnumValues(reg::CurrentUser, userZone).value) {
        if (value.name == u"CurrentLevel" || value.name == u"Flags") continue;
        const auto data = static_cast<std::uint32_t>(tool.GetDwordValue(reg::CurrentUser, userZone, value.name).value);
        zone.insert({ToUtf8(zones::PolicyTrustedZoneKey), ToUtf8(value.name), "dword", std::to_string(data)});
    }
    const std::string codeBase =
        ToUtf8(tool.GetStringValue(reg::LocalMachine, zones::MachineInternetSettingsKey, zones::CodeBaseSearchPathValue).value);
    const std::string listKey = ToUtf8(zones::PolicyZoneMapKey);

    struct Row {
        const char* address;
        const char* scheme;
        const char* host;
        const char* entryName;  // in the Site to Zone Assignment List
        const char* siteUrl;    // in the site list
    };
    const Row rows[] = {
        {"http://plm.example.com/plm", "http", "plm.example.com", "http://plm.example.com", "plm.example.com"},
        {"http://plm/plm", "http", "plm", "http://plm", "plm"},
        {"HTTPS://10.1.2.3/plm", "HTTPS", "10.1.2.3", "10.1.2.3", "10.1.2.3"},
        {"  http://plmhost:8080/plm/  ", "http", "plmhost", "http://plmhost", "plmhost:8080"},
        {"https://plm.example.com/plm", "https", "plm.example.com", "https://plm.example.com", "plm.example.com"},
        // Hostile text in the path reaches no file; in the host the tool's
        // own rules refuse it (IsHostCharacter's table; the refusal of the
        // kit, in ARunThatCannotFinishLeavesNoFileOfItsOwnAndFollowsNoLink).
        {"http://plm.example.com/it's\"a];b%41\n", "http", "plm.example.com", "http://plm.example.com", "plm.example.com"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.address);
        KitFolder folder;
        const KitRun run = RunKit({FromUtf8(row.address), folder.PathOf()});
        ASSERT_EQ(run.status, KitWritten) << ToUtf8(run.err);
        for (const std::string& name : KitNames) {
            EXPECT_NE(run.out.find(u"Wrote " + folder.PathOf(name) + u"\n"), Text::npos) << name << ToUtf8(run.out);
        }
        EXPECT_EQ(folder.Names(), KitNames);
        EXPECT_EQ(run.err.empty(), std::string(row.host) != "10.1.2.3") << "a note for an IP address only";

        const Values site{{ToUtf8(zones::PolicySettingsKey), "ListBox_Support_ZoneMapKey", "dword", "1"},
                          {listKey, row.entryName, "sz", "2"},
                          {ToUtf8(zones::MachineInternetSettingsKey), "CodeBaseSearchPath", "sz", codeBase},
                          {ToUtf8(zones::MachineInternetSettingsKey32), "CodeBaseSearchPath", "sz", codeBase}};
        EXPECT_EQ(ReadRegFile(folder.Read("PlmSite.reg")).values, site);
        const RegFile trustedZone = ReadRegFile(folder.Read("PlmTrustedZone.reg"));
        EXPECT_EQ(trustedZone.values, zone);
        EXPECT_EQ(ReadRegFile(folder.Read("PlmSiteRemove.reg")).values, Removals(site));
        EXPECT_EQ(ReadRegFile(folder.Read("PlmTrustedZoneRemove.reg")).values, Removals(zone));
        // The protections the comment names, with the template's data.
        std::size_t named = 0;
        const std::regex protection(R"(;   ([0-9A-F]{4}) = (\d+)  .+)");
        for (const std::string& line : trustedZone.comment) {
            std::smatch m;
            if (!std::regex_match(line, m, protection)) continue;
            ++named;
            EXPECT_EQ(zone.count({ToUtf8(zones::PolicyTrustedZoneKey), m[1], "dword", m[2]}), 1u) << line;
        }
        EXPECT_GE(named, 5u) << "the comment names what the template switches off";

        const Script script = ReadScript(folder.Read("PlmPolicy.ps1"));
        Values both = site;
        both.insert(zone.begin(), zone.end());
        EXPECT_EQ(script.set, both);
        EXPECT_EQ(script.templateOnly, zone) << "the template only behind its switch";
        EXPECT_EQ(script.removed, Removals(both));

        // Planted as written, the list puts the site into Trusted Sites for
        // the tool's own policy reader.
        test::MemoryRegistry machine;
        machine.PutValue(reg::LocalMachine, zones::PolicyZoneMapKey, FromUtf8(row.entryName), reg::TypeString,
                         std::string("2") + '\0');
        reg::RegisterKey planted(machine, SystemCodePage());
        EXPECT_FALSE(zones::PolicyLeavesOut(planted, test::Site(FromUtf8(row.scheme), FromUtf8(row.host))));

        const std::string entry = "<site url=\"" + std::string(row.siteUrl) +
                                  "\">\r\n  <compat-mode>Default</compat-mode>\r\n  <open-in>IE11</open-in>\r\n</site>\r\n";
        EXPECT_EQ(folder.Read("PlmSiteEntry.xml"), entry);
        EXPECT_EQ(folder.Read("PlmSiteList.xml"), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<site-list version=\"1\">\r\n" +
                                                      std::regex_replace(entry, std::regex("(^|\n)(.)"), "$1  $2") +
                                                      "</site-list>\r\n");
    }
}

// The system's files, with a fixed tag for temporary names and, on demand,
// one final name that cannot be taken.
class TestFiles final : public FileSystem {
public:
    explicit TestFiles(std::string refuse = {}) : refuse_(FromUtf8(refuse)) {}
    TextView Separators() const override { return real_.Separators(); }
    Creation CreateNew(TextView path, std::string_view bytes) override { return real_.CreateNew(path, bytes); }
    std::optional<Text> CannotReplace(TextView path) override { return real_.CannotReplace(path); }
    std::optional<Text> Replace(TextView from, TextView to) override {
        if (!refuse_.empty() && to.ends_with(refuse_)) return Text(u"refused by the test");
        return real_.Replace(from, to);
    }
    void Remove(TextView path) override { real_.Remove(path); }
    Text RunTag() override { return u"tag"; }

private:
    FileSystem& real_ = SystemFiles();
    Text refuse_;
};

TEST(FleetKit, ARunThatCannotFinishLeavesNoFileOfItsOwnAndFollowsNoLink) {
    const Text address = u"http://plm.example.com/plm";
    // The refusal in the words the check's table pins.
    const auto refusal = [](TextView url) { return RefusalOf(url, SystemCodePage()).value_or(u"?"); };
    const std::set<std::string> old = {"PlmSite.reg", "PlmTrustedZone.reg", "PlmSiteRemove.reg", "PlmPolicy.ps1", "PlmSiteEntry.xml"};
    struct Row {
        const char* label;
        std::string blocker;     // made first: a file, with "/" at its end a folder, with "@" a link to a file outside
        std::vector<Text> args;  // "*" stands for the test's folder, "*x" for x in it
        std::string refuse;      // the final name whose replacement fails
        int status;
        Text err;                   // the start of stderr; "*x" for "cannot write" x in the folder
        std::set<std::string> fresh;  // the files of this run afterwards (the others as before)
    };
    const Row rows[] = {
        {"refused address", "", {u"http://plm.example.com/", u"*"}, "", KitRefused, refusal(u"http://plm.example.com/"), {}},
        {"no address", "", {}, "", KitRefused, u"Usage: PlmFleetKit.exe ", {}},
        {"folder is a file", "file", {address, u"*file"}, "", KitNotWritten, u"*file/PlmSite.reg", {}},
        {"final name is a folder", "PlmTrustedZoneRemove.reg/", {address, u"*"}, "", KitNotWritten, u"*PlmTrustedZoneRemove.reg", {}},
        {"a link at a final name", "PlmSiteList.xml@", {address, u"*"}, "", KitNotWritten, u"*PlmSiteList.xml", {}},
        {"a link at the temporary name", "PlmSite.reg.tag-0.tmp@", {address, u"*"}, "", KitWritten, u"", KitNames},
        {"a replacement fails midway", "", {address, u"*"}, "PlmPolicy.ps1", KitNotWritten,
         u"PlmFleetKit: cannot replace *PlmPolicy.ps1: refused by the test\n  Replaced: *PlmSite.reg, *PlmTrustedZone.reg, "
         u"*PlmSiteRemove.reg, *PlmTrustedZoneRemove.reg\n  Not replaced (as they were before): *PlmPolicy.ps1, "
         u"*PlmSiteList.xml, *PlmSiteEntry.xml\n",
         {"PlmSite.reg", "PlmTrustedZone.reg", "PlmSiteRemove.reg", "PlmTrustedZoneRemove.reg"}},
        {"public suffix", "", {u"http://github.io/plm", u"*"}, "", KitRefused, refusal(u"http://github.io/plm"), {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        KitFolder folder;
        KitFolder outside;
        outside.Put("target", "outside");
        for (const std::string& name : old) folder.Put(name, "old");
        if (row.blocker.ends_with('/')) {
            fs::create_directory(folder.Path(row.blocker.substr(0, row.blocker.size() - 1)));
        } else if (row.blocker.ends_with('@')) {
            const fs::path link = folder.Path(row.blocker.substr(0, row.blocker.size() - 1));
            std::error_code error;
            fs::create_symlink(outside.Path("target"), link, error);
            if (!fs::is_symlink(link)) {
#ifdef _WIN32
                // Wine 8 makes no links (its CreateSymbolicLinkW does nothing);
                // the POSIX build runs these rows.
                std::printf("[ SKIPPED  ] %s: this system makes no links (%s)\n", row.label, error.message().c_str());
                continue;
#else
                FAIL() << "cannot make a link: " << error.message();
#endif
            }
        } else if (!row.blocker.empty()) {
            folder.Put(row.blocker, "not a folder");
        }
        const std::set<std::string> before = folder.Names();
        const auto inFolder = [&](const Text& text) {
            return std::regex_replace(ToUtf8(text), std::regex(R"(\*([^ ,:\n]*))"), ToUtf8(folder.PathOf()) + "/$1");
        };
        std::vector<Text> args;
        for (const Text& arg : row.args) args.push_back(FromUtf8(inFolder(arg)));
        TestFiles files(row.refuse);
        const KitRun run = RunKit(args, files);
        EXPECT_EQ(run.status, row.status);
        const std::string err = row.err.starts_with(u"*") ? "PlmFleetKit: cannot write " + inFolder(row.err) + ": "
                                                          : inFolder(row.err);
        EXPECT_EQ(fs::path(ToUtf8(run.err.substr(0, FromUtf8(err).size()))).make_preferred(), fs::path(err).make_preferred())
            << ToUtf8(run.err);
        EXPECT_EQ(run.out.empty(), row.status != KitWritten);
        std::set<std::string> after = before;
        after.insert(row.fresh.begin(), row.fresh.end());
        EXPECT_EQ(folder.Names(), after) << "no temporary file left, the link left where it was";
        for (const std::string& name : old) EXPECT_EQ(folder.Read(name) == "old", !row.fresh.contains(name)) << name;
        EXPECT_EQ(outside.Read("target"), "outside");
        EXPECT_EQ(outside.Names(), std::set<std::string>{"target"});
    }
}

TEST(FleetKit, EscapesWhatEachFormatNeeds) {
    EXPECT_EQ(ToUtf8(RegQuoted(u"a\\b\"c")), "\"a\\\\b\\\"c\"");
    EXPECT_EQ(ToUtf8(PowerShellQuoted(u"a'b\u2018c\u2019d\u201Ae\u201Bf\"$g`h")),
              ToUtf8(u"'a''b\u2018\u2018c\u2019\u2019d\u201A\u201Ae\u201B\u201Bf\"$g`h'"));
    EXPECT_EQ(ToUtf8(XmlEscaped(u"a&b<c>d\"e'f")), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
}

}  // namespace
}  // namespace plm::fleet
