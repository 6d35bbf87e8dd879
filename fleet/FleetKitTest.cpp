// The kit against the tool itself: its policy file, read back as regedit
// reads it, holds what the tool writes for one user, and the tool's own
// policy reader takes its entry for the site. A run that cannot finish
// leaves no file of its own. Windows builds run this under Wine, on the
// Win32 file operations.
#include "fleet/FleetKit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "registry/MemoryRegistry.h"
#include "registry/RegisterKey.h"
#include "zones/Policy.h"
#include "zones/ZoneTemplate.h"

namespace plm::fleet {
namespace {

namespace fs = std::filesystem;

// The keys, spelled out on their own.
const std::string PolicyKey = "Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const std::string MachineKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// ---- a small .reg reader: what regedit needs to find in the file ----

struct RegValue {
    std::string name;
    bool isDword = false;
    std::string text;
    std::uint32_t dword = 0;
};
struct RegFile {
    std::vector<std::string> keys;  // in file order, root included
    std::map<std::string, std::vector<RegValue>> values;
};

// A quoted .reg string from `at` (its opening quote), unescaped; `at` ends
// behind the closing quote.
std::string Unquote(const std::string& line, std::size_t& at) {
    std::string out;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] == '\\') ++at;
        if (at < line.size()) out += line[at];
    }
    ++at;
    return out;
}

RegFile ReadRegFile(const std::string& bytes) {
    RegFile reg;
    if (bytes.size() % 2 != 0 || bytes.substr(0, 2) != "\xFF\xFE") {
        ADD_FAILURE() << "not UTF-16 LE with BOM";
        return reg;
    }
    Text text;
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::string all = ToUtf8(text);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < all.size(); start = end + 2) {
        end = all.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "the file does not end in CRLF";
            break;
        }
        lines.push_back(all.substr(start, end - start));
        if (lines.back().find_first_of("\r\n") != std::string::npos) ADD_FAILURE() << "a bare CR or LF";
    }
    EXPECT_EQ(lines.at(0), "Windows Registry Editor Version 5.00");
    EXPECT_EQ(lines.back(), "") << "regedit ends the file with an empty line";
    std::string key;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            EXPECT_EQ(lines[i - 1], "") << "an empty line before each key";
            reg.keys.push_back(key = line.substr(1, line.size() - 2));
            continue;
        }
        RegValue value;
        std::size_t at = 0;
        if (line.front() == '"') value.name = Unquote(line, at);
        const std::string data = line.substr(at);
        if (data.size() == 15 && data.substr(0, 7) == "=dword:" && data.find_first_not_of("0123456789abcdef", 7) == std::string::npos) {
            value.isDword = true;
            value.dword = static_cast<std::uint32_t>(std::stoul(data.substr(7), nullptr, 16));
        } else if (data.size() >= 3 && data.substr(0, 2) == "=\"") {
            at = 1;
            value.text = Unquote(data, at);
            EXPECT_EQ(at, data.size()) << line;
        } else {
            ADD_FAILURE() << "regedit cannot read: " << line;
        }
        reg.values[key].push_back(value);
    }
    return reg;
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
    // What the tool writes for one user, on the in-memory registry.
    reg::MemoryRegistry memory;
    reg::RegisterKey tool(memory, SystemCodePage());
    const Text userZone = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2";
    tool.CreateKey(reg::CurrentUser, userZone);
    zones::SetTrustedZoneSecurity(tool);
    zones::SetCodeBaseSearchPath(tool);
    std::map<std::string, std::uint32_t> urlActions;
    for (const reg::ValueEntry& value : tool.EnumValues(reg::CurrentUser, userZone)) {
        if (value.name == u"CurrentLevel" || value.name == u"Flags") continue;
        urlActions[ToUtf8(value.name)] = static_cast<std::uint32_t>(*tool.FindDwordValue(reg::CurrentUser, userZone, value.name));
    }
    ASSERT_EQ(urlActions.size(), 58u);
    const std::string codeBase = ToUtf8(tool.GetStringValue(reg::LocalMachine, FromUtf8(MachineKey), u"CodeBaseSearchPath"));

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

        RegFile reg = ReadRegFile(folder.Read("PlmPolicy.reg"));
        const std::string listKey = "HKEY_LOCAL_MACHINE\\" + PolicyKey + "\\ZoneMapKey";
        const std::string zoneKey = "HKEY_LOCAL_MACHINE\\" + PolicyKey + "\\Zones\\2";
        const std::string machineKey = "HKEY_LOCAL_MACHINE\\" + MachineKey;
        ASSERT_EQ(reg.keys, (std::vector<std::string>{listKey, zoneKey, machineKey}));
        std::map<std::string, std::uint32_t> policyActions;
        for (const RegValue& value : reg.values[zoneKey]) {
            EXPECT_TRUE(value.isDword) << value.name;
            policyActions[value.name] = value.dword;
        }
        EXPECT_EQ(reg.values[zoneKey].size(), policyActions.size()) << "a name twice";
        EXPECT_EQ(policyActions, urlActions);
        ASSERT_EQ(reg.values[machineKey].size(), 1u);
        EXPECT_EQ(reg.values[machineKey][0].name, "CodeBaseSearchPath");
        EXPECT_EQ(reg.values[machineKey][0].text, codeBase);

        ASSERT_EQ(reg.values[listKey].size(), 1u);
        const RegValue& entry = reg.values[listKey][0];
        EXPECT_EQ(entry.name, row.entryName);
        EXPECT_FALSE(entry.isDword);
        EXPECT_EQ(entry.text, "2");
        // Planted as written, the entry puts the site into Trusted Sites for
        // the tool's own policy reader.
        reg::MemoryRegistry machine;
        machine.PutValue(reg::LocalMachine, FromUtf8(listKey.substr(19)), FromUtf8(entry.name), reg::TypeString,
                         entry.text + '\0');
        reg::RegisterKey planted(machine, SystemCodePage());
        EXPECT_FALSE(zones::PolicyLeavesOut(planted, FromUtf8(row.scheme), FromUtf8(row.host)));

        EXPECT_EQ(folder.Read("PlmSiteList.xml"), std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                                              "<site-list version=\"1\">\r\n"
                                                              "  <site url=\"") +
                                                      row.siteUrl +
                                                      "\">\r\n"
                                                      "    <compat-mode>Default</compat-mode>\r\n"
                                                      "    <open-in>IE11</open-in>\r\n"
                                                      "  </site>\r\n"
                                                      "</site-list>\r\n");
    }
}

TEST(FleetKit, ARunThatCannotFinishLeavesNoFileOfItsOwn) {
    const Text address = u"http://plm.example.com/plm";
    struct Row {
        const char* label;
        const char* blocker;     // a file, or with "/" at its end a folder, made first
        std::vector<Text> args;  // "*" stands for the test's folder, "*x" for x in it
        int status;
        Text err;                // the start of stderr; "*x" for "cannot write" x in the folder
    };
    const Row rows[] = {
        {"refused address", nullptr, {u"http://plm.example.com/", u"*"}, KitRefused,
         u"Please input PLM URL.\n\nFor exsample (http://127.0.0.1/plm)\n"},
        {"no address", nullptr, {}, KitRefused, u"Usage: PlmFleetKit.exe "},
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
