// The kit against the tool itself: its policy file, read back as regedit
// reads it, holds what the tool writes for one user, and the tool's own
// policy reader takes its entry for the site. A run that cannot finish
// leaves no file of its own. Windows builds run this under Wine, on the
// Win32 file operations.
#include "fleet/FleetKit.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "config/Languages.h"
#include "registry/RegisterKey.h"
#include "tests/support/Golden.h"
#include "tests/support/MemoryRegistry.h"
#include "zones/Policy.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

namespace fs = std::filesystem;


// ---- a small .reg reader ----

// Key -> value name -> data, read as regedit reads them: "name"="text" with
// "\\" and "\"" escaped, or "name"=dword: and eight hex digits, kept here
// as "dword:" and the number in decimal.
using RegKeys = std::map<std::string, std::map<std::string, std::string>>;

RegKeys ReadRegFile(const std::string& bytes) {
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16 LE with BOM";
    Text text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        text += static_cast<char16_t>(low | static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::string all = ToUtf8(text);
    const std::string header = "Windows Registry Editor Version 5.00\r\n";
    EXPECT_EQ(all.substr(0, header.size()), header);
    EXPECT_EQ(all.substr(all.size() - 4), "\r\n\r\n") << "regedit ends the file with an empty line";
    EXPECT_EQ(std::regex_replace(all, std::regex("\r\n"), "").find_first_of("\r\n"), std::string::npos)
        << "a bare CR or LF";

    const std::regex key(R"(\[(.+)\]\r)");
    const std::regex value(R"re("((?:[^"\\]|\\.)*)"=(?:dword:([0-9a-f]{8})|"((?:[^"\\]|\\.)*)")\r)re");
    const std::regex escape(R"(\\(.))");
    RegKeys keys;
    std::string current;
    std::istringstream lines(all.substr(header.size()));
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (line == "\r") continue;
        if (std::regex_match(line, m, key)) {
            current = m[1];
        } else if (std::regex_match(line, m, value)) {
            keys[current][std::regex_replace(m[1].str(), escape, "$1")] =
                m[2].matched ? "dword:" + std::to_string(std::stoul(m[2], nullptr, 16))
                             : std::regex_replace(m[3].str(), escape, "$1");
        } else {
            ADD_FAILURE() << "regedit cannot read: " << line;
        }
    }
    return keys;
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

    Text PathOf(const char* name = nullptr) const { return (name ? path_ / name : path_).u16string(); }
    std::string Read(const char* name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.insert(entry.path().filename().string());
        return names;
    }

private:
    fs::path path_;
};

KitRun RunKit(const std::vector<Text>& args) { return RunFleetKit(args, SystemFiles(), SystemCodePage()); }

TEST(FleetKit, PolicyFileHoldsWhatTheToolWritesForOneUser) {
    // What the tool writes for one user, on the in-memory registry, under
    // the keys of the policy file.
    test::MemoryRegistry memory;
    reg::RegisterKey tool(memory, SystemCodePage());
    const TextView userZone = zones::TrustedZoneKey;
    ASSERT_EQ(tool.CreateKey(reg::CurrentUser, userZone).status, reg::Success);
    zones::SetTrustedZoneSecurity(tool);
    zones::SetCodeBaseSearchPath(tool);
    const std::string listKey = "HKEY_LOCAL_MACHINE\\" + ToUtf8(zones::PolicyZoneMapKey);
    RegKeys expected;
    for (const reg::ValueEntry& value : tool.EnumValues(reg::CurrentUser, userZone).value) {
        if (value.name == u"CurrentLevel" || value.name == u"Flags") continue;
        const auto data = static_cast<std::uint32_t>(tool.GetDwordValue(reg::CurrentUser, userZone, value.name).value);
        expected["HKEY_LOCAL_MACHINE\\" + ToUtf8(zones::PolicyTrustedZoneKey)][ToUtf8(value.name)] =
            "dword:" + std::to_string(data);
    }
    const auto codeBase = tool.GetStringValue(reg::LocalMachine, zones::MachineInternetSettingsKey,
                                              zones::CodeBaseSearchPathValue);
    expected["HKEY_LOCAL_MACHINE\\" + ToUtf8(zones::MachineInternetSettingsKey)][ToUtf8(zones::CodeBaseSearchPathValue)] =
        ToUtf8(codeBase.value);

    struct Row {
        const char* address;
        const char* scheme;
        const char* host;
        const char* entryName;  // in the Site to Zone Assignment List
        const char* siteUrl;    // in the site list
    };
    const Row rows[] = {
        {"http://plm.example.com/plm", "http", "plm.example.com", "http://plm.example.com", "plm.example.com"},
        {"HTTPS://10.1.2.3/plm", "HTTPS", "10.1.2.3", "10.1.2.3", "10.1.2.3"},
        {"  http://plmhost:8080/plm/  ", "http", "plmhost", "http://plmhost", "plmhost:8080"},
    };
    // One folder for all three: each run replaces the files of the last.
    KitFolder folder;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.address);
        const KitRun run = RunKit({FromUtf8(row.address), folder.PathOf()});
        ASSERT_EQ(run.status, KitWritten) << ToUtf8(run.err);
        EXPECT_NE(run.out.find(u"Wrote " + folder.PathOf("PlmPolicy.reg") + u"\n"), Text::npos) << ToUtf8(run.out);
        EXPECT_NE(run.out.find(u"Wrote " + folder.PathOf("PlmSiteList.xml") + u"\n"), Text::npos);
        EXPECT_EQ(folder.Names(), (std::set<std::string>{"PlmPolicy.reg", "PlmSiteList.xml"}));

        RegKeys site = expected;
        site[listKey][row.entryName] = "2";
        const RegKeys written = ReadRegFile(folder.Read("PlmPolicy.reg"));
        EXPECT_EQ(written, site);
        // Planted as written, the list puts the site into Trusted Sites for
        // the tool's own policy reader.
        const auto list = written.find(listKey);
        ASSERT_NE(list, written.end());
        test::MemoryRegistry machine;
        for (const auto& [name, data] : list->second) {
            machine.PutValue(reg::LocalMachine, FromUtf8(listKey.substr(19)), FromUtf8(name), reg::TypeString,
                             data + '\0');
        }
        reg::RegisterKey planted(machine, SystemCodePage());
        EXPECT_FALSE(zones::PolicyLeavesOut(planted, FromUtf8(row.scheme), FromUtf8(row.host)));

        EXPECT_EQ(folder.Read("PlmSiteList.xml"),
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<site-list version=\"1\">\r\n  <site url=\"" +
                      std::string(row.siteUrl) +
                      "\">\r\n    <compat-mode>Default</compat-mode>\r\n    <open-in>IE11</open-in>\r\n"
                      "  </site>\r\n</site-list>\r\n");
    }
}

TEST(FleetKit, ARunThatCannotFinishLeavesNoFileOfItsOwn) {
    const Text address = u"http://plm.example.com/plm";
    const test::golden::LanguageTexts& english = test::golden::TextsOf(config::English);
    struct Row {
        const char* label;
        const char* blocker;     // a file, or with "/" at its end a folder, made first
        std::vector<Text> args;  // "*" stands for the test's folder, "*x" for x in it
        int status;
        Text err;                // the start of stderr; "*x" for "cannot write" x in the folder
    };
    const Row rows[] = {
        {"refused address", nullptr, {u"http://plm.example.com/", u"*"}, KitRefused,
         Text(english.messages[0]) + u"\n\n" + Text(english.messages[1]) + u"\n"},
        {"no address", nullptr, {}, KitRefused, u"Usage: PlmFleetKit.exe "},
        {"public suffix", nullptr, {u"http://github.io/plm", u"*"}, KitNotWritten, u"github.io is a public suffix"},
        {"folder is a file", "file", {address, u"*file"}, KitNotWritten, u"*file/PlmPolicy.reg"},
        {"final name is a folder", "PlmPolicy.reg/", {address, u"*"}, KitNotWritten, u"*PlmPolicy.reg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        KitFolder folder;
        std::set<std::string> before;
        if (row.blocker) {
            const std::string name = row.blocker;
            if (name.back() == '/') {
                fs::create_directory(fs::path(folder.PathOf()) / name.substr(0, name.size() - 1));
            } else {
                std::ofstream(fs::path(folder.PathOf()) / name) << "not a folder";
            }
            before = folder.Names();
        }
        const auto inFolder = [&](const Text& text) {
            return (fs::path(folder.PathOf()) / fs::path(text.substr(1)).make_preferred()).u16string();
        };
        std::vector<Text> args;
        for (const Text& arg : row.args) args.push_back(arg[0] == u'*' ? inFolder(arg) : arg);
        const KitRun run = RunKit(args);
        EXPECT_EQ(run.status, row.status);
        const Text err = row.err[0] == u'*' ? u"PlmFleetKit: cannot write " + inFolder(row.err) + u": " : row.err;
        EXPECT_EQ(ToUtf8(run.err.substr(0, err.size())), ToUtf8(err)) << ToUtf8(run.err);
        EXPECT_EQ(run.out, u"");
        EXPECT_EQ(folder.Names(), before);
    }
}

TEST(FleetKit, EscapesWhatEachFormatNeeds) {
    EXPECT_EQ(ToUtf8(RegQuoted(u"a\\b\"c")), "\"a\\\\b\\\"c\"");
    EXPECT_EQ(ToUtf8(XmlEscaped(u"a&b<c>d\"e'f")), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
}

}  // namespace
}  // namespace plm::fleet
