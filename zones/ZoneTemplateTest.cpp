#include "zones/ZoneTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/TestBackends.h"
#include "tests/support/ZoneMapSeed.h"

namespace plm::zones {
namespace {

using test::MachineSettingsPath;
using test::ZonesPath;

struct TemplateValue {
    const char* name;
    std::uint32_t data;
};

// The Trusted Sites template in the order it is written: 50 URL actions
// (and the zone level) set to 0, then the 10 settings with their own data.
const std::vector<TemplateValue> Template = {
    {"1001", 0}, {"1004", 0}, {"1200", 0}, {"1201", 0}, {"1206", 0}, {"1209", 0}, {"1400", 0}, {"1402", 0},
    {"1405", 0}, {"1406", 0}, {"1407", 0}, {"1601", 0}, {"1604", 0}, {"1606", 0}, {"1607", 0}, {"1608", 0},
    {"1800", 0}, {"1802", 0}, {"1803", 0}, {"1804", 0}, {"1806", 0}, {"1A00", 0}, {"1A02", 0}, {"1A03", 0},
    {"1A04", 0}, {"1A05", 0}, {"1A06", 0}, {"2000", 0}, {"2001", 0}, {"2004", 0}, {"2100", 0}, {"2102", 0},
    {"2107", 0}, {"2200", 0}, {"2201", 0}, {"CurrentLevel", 0}, {"1207", 0}, {"1208", 0}, {"120B", 0},
    {"1408", 0}, {"160A", 0}, {"2005", 0}, {"2103", 0}, {"2104", 0}, {"2105", 0}, {"2106", 0}, {"2400", 0},
    {"2401", 0}, {"2402", 0}, {"2600", 0},
    {"2101", 1}, {"1809", 3}, {"1C00", 196608}, {"1E05", 196608}, {"2007", 65536}, {"2300", 1}, {"Flags", 67},
    {"2700", 3}, {"1409", 3}, {"2301", 3},
};

// The 103-character search path: the component service, then the codec
// service.
const std::string CodeBaseText =
    "CODEBASE;<http://activex.microsoft.com/objects/ocget.dll>;<http://codecs.microsoft.com/isapi/ocget.dll>";

std::string DwordLine(std::string_view name, std::uint32_t data) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(data));
    return "\"" + std::string(name) + "\"=dword:" + hex;
}

// A key's snapshot from its value lines, in the order a snapshot prints
// them (by name, without letter case).
std::string KeySnapshot(std::vector<std::pair<std::string, std::string>> values) {
    std::sort(values.begin(), values.end(),
              [](const auto& a, const auto& b) { return ToUpper(FromUtf8(a.first)) < ToUpper(FromUtf8(b.first)); });
    std::string out = "[]\n";
    for (const auto& [name, line] : values) out += line + "\n";
    return out;
}

class ZoneTemplateTest : public plm::test::BackendTest {
protected:
    Text Zone2() const { return Text(ZonesPath) + u"\\2"; }
    std::string Zones() { return Snap(reg::CurrentUser, ZonesPath); }
    void SeedZones(std::string_view text) { plm::test::Seed(Keys(), Inspect(), reg::CurrentUser, ZonesPath, text); }
};

TEST_P(ZoneTemplateTest, WritesAllSixtyOverEarlierDataAndLeavesOtherValues) {
    // Every template value starts out wrong; the zone also holds values and
    // a sub-key the template does not name, and zone 1 sits beside it.
    std::vector<std::pair<std::string, std::string>> others = {
        {"DisplayName", "\"DisplayName\"=\"Trusted sites\""},
        {"MinLevel", DwordLine("MinLevel", 0x10000)},
        {"RecommendedLevel", DwordLine("RecommendedLevel", 0x10500)},
        {"1A10", DwordLine("1A10", 1)},
        {"2500", DwordLine("2500", 3)},
    };
    std::vector<std::pair<std::string, std::string>> before = others;
    std::vector<std::pair<std::string, std::string>> after = others;
    for (const TemplateValue& value : Template) {
        before.emplace_back(value.name, DwordLine(value.name, value.data + 0x11500));
        after.emplace_back(value.name, DwordLine(value.name, value.data));
    }
    const std::string zone1 = "[1]\n" + DwordLine("1001", 1) + "\n";
    const std::string sub = "[2\\Extra]\n" + DwordLine("1001", 3) + "\n";
    auto asZones = [&](const std::string& zone2) { return "[]\n" + zone1 + "[2]\n" + zone2.substr(3) + sub; };

    SeedZones(asZones(KeySnapshot(before)));
    ASSERT_EQ(Zones(), asZones(KeySnapshot(before)));

    SetTrustedZoneSecurity(Keys());
    EXPECT_EQ(Zones(), asZones(KeySnapshot(after)));
    EXPECT_FALSE(Inspect().KeyExists(reg::LocalMachine, u"SOFTWARE"));

    SetTrustedZoneSecurity(Keys());
    EXPECT_EQ(Zones(), asZones(KeySnapshot(after)));
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

TEST_P(ZoneTemplateTest, WritesInTableOrderThroughTheZoneKeyAndCreatesNothing) {
    SeedZones("[]\n[2]\n");
    plm::test::RecordingRegistry recording(Api(), Backend().Codes());
    reg::RegisterKey keys(recording, Backend().Codes());

    SetTrustedZoneSecurity(keys);

    std::vector<std::string> expected;
    for (const TemplateValue& value : Template) {
        expected.push_back(
            "SetValue HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2\\ \"" +
            std::string(value.name) + "\"");
    }
    EXPECT_EQ(recording.Writes(), expected);
}

TEST_P(ZoneTemplateTest, AMissingZoneKeyStaysMissing) {
    struct Row {
        const char* label;
        std::string zones;  // below the Zones key; empty: no Zones key at all
    };
    const std::vector<Row> rows = {
        {"other zones exist", "[]\n[1]\n" + DwordLine("1001", 1) + "\n[3]\n" + DwordLine("1001", 3) + "\n"},
        {"no Zones key", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Inspect().RemoveTree(reg::CurrentUser, u"Software");
        SeedZones(row.zones);
        EXPECT_NO_THROW(SetTrustedZoneSecurity(Keys()));
        EXPECT_EQ(Zones(), row.zones);
        EXPECT_FALSE(Inspect().KeyExists(reg::CurrentUser, Zone2()));
        if (row.zones.empty()) {
            EXPECT_EQ(Snap(reg::CurrentUser, u"Software"), "");
        }
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

TEST_P(ZoneTemplateTest, CodeBaseSearchPathReplacesAnyEarlierValueWhole) {
    ASSERT_EQ(CodeBaseText.size(), 103u);
    const std::string written = "\"CodeBaseSearchPath\"=\"" + CodeBaseText + "\"\n";
    struct Row {
        const char* label;
        std::string before;
        std::string after;
    };
    const std::vector<Row> rows = {
        {"no key yet", "", "[]\n" + written},
        {"a longer earlier text, other values beside it",
         "[]\n\"ActiveXCache\"=\"Downloaded Program Files\"\n"
         "\"CodeBaseSearchPath\"=\"CODEBASE;<http://old.example/a/long/path/that/is/longer/than/the/new/one/"
         "ocget.dll>;<http://old.example/two/ocget.dll>;<http://old.example/three/ocget.dll>\"\n",
         "[]\n\"ActiveXCache\"=\"Downloaded Program Files\"\n" + written},
        {"a shorter earlier text", "[]\n\"CodeBaseSearchPath\"=\"x\"\n", "[]\n" + written},
        {"an empty earlier text", "[]\n\"CodeBaseSearchPath\"=\"\"\n", "[]\n" + written},
        {"an earlier number", "[]\n\"CodeBaseSearchPath\"=dword:00000001\n", "[]\n" + written},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Inspect().RemoveTree(reg::LocalMachine, u"SOFTWARE");
        plm::test::Seed(Keys(), Inspect(), reg::LocalMachine, MachineSettingsPath, row.before);
        ASSERT_EQ(Snap(reg::LocalMachine, MachineSettingsPath), row.before);
        SetCodeBaseSearchPath(Keys());
        EXPECT_EQ(Snap(reg::LocalMachine, MachineSettingsPath), row.after);
        EXPECT_EQ(Snap(reg::CurrentUser, u"Software"), "");
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

// Refusing writes needs the in-memory registry.
class ZoneTemplateFailureTest : public ZoneTemplateTest {};

TEST_P(ZoneTemplateFailureTest, ARefusedMachineWriteIsSilent) {
    plm::test::MemoryRegistry* memory = Backend().Memory();
    ASSERT_NE(memory, nullptr);
    struct Row {
        const char* label;
        plm::test::RegCall refused;
        std::string before;
    };
    const std::vector<Row> rows = {
        {"the value write is refused", plm::test::RegCall::Set, "[]\n\"CodeBaseSearchPath\"=\"CODEBASE;<http://old/x.dll>\"\n"},
        {"the key can be neither opened nor created", plm::test::RegCall::Create, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        memory->Faults().Clear();
        Inspect().RemoveTree(reg::LocalMachine, u"SOFTWARE");
        plm::test::Seed(Keys(), Inspect(), reg::LocalMachine, MachineSettingsPath, row.before);
        memory->Faults().Fail(plm::test::Fault().Of(row.refused).On(u"HKEY_LOCAL_MACHINE"));
        if (row.refused == plm::test::RegCall::Create) {
            memory->Faults().Fail(plm::test::Fault().Of(plm::test::RegCall::Open).On(u"HKEY_LOCAL_MACHINE"));
        }
        EXPECT_NO_THROW(SetCodeBaseSearchPath(Keys()));
        EXPECT_EQ(Snap(reg::LocalMachine, MachineSettingsPath), row.before);
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

PLM_INSTANTIATE_FOR_BACKENDS(ZoneTemplateTest);
INSTANTIATE_TEST_SUITE_P(Backends, ZoneTemplateFailureTest, ::testing::Values(std::string("Memory")),
                         [](const ::testing::TestParamInfo<std::string>& backend) { return backend.param; });

}  // namespace
}  // namespace plm::zones
