#include "zones/ZoneTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/Golden.h"
#include "tests/support/TestBackends.h"
#include "zones/ZoneMap.h"

namespace plm::zones {
namespace {


namespace golden = test::golden;

std::string DwordLine(std::string_view name, std::uint32_t data) {
    char line[96];
    std::snprintf(line, sizeof line, "\"%.*s\"=dword:%08x", static_cast<int>(name.size()), name.data(),
                  static_cast<unsigned>(data));
    return line;
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

class ZoneTemplateTest : public test::BackendTest {
protected:
    Text Zone2() const { return Text(ZonesKey) + u"\\2"; }
    std::string Zones() { return Snap(reg::CurrentUser, ZonesKey); }
    void SeedZones(std::string_view text) { test::Seed(Keys(), Inspect(), reg::CurrentUser, ZonesKey, text); }
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
    for (const golden::TemplateValue& value : golden::TrustedZoneTemplate) {
        const std::string name = ToUtf8(value.name);
        before.emplace_back(name, DwordLine(name, static_cast<std::uint32_t>(value.data) + 0x11500));
        after.emplace_back(name, DwordLine(name, static_cast<std::uint32_t>(value.data)));
    }
    const std::string zone1 = "[1]\n" + DwordLine("1001", 1) + "\n";
    const std::string sub = "[2\\Extra]\n" + DwordLine("1001", 3) + "\n";
    auto asZones = [&](const std::string& zone2) { return "[]\n" + zone1 + "[2]\n" + zone2.substr(3) + sub; };

    SeedZones(asZones(KeySnapshot(before)));
    ASSERT_EQ(Zones(), asZones(KeySnapshot(before)));

    EXPECT_EQ(SetTrustedZoneSecurity(Keys()), reg::Success);
    EXPECT_EQ(Zones(), asZones(KeySnapshot(after)));
    EXPECT_FALSE(Inspect().KeyExists(reg::LocalMachine, u"SOFTWARE"));

    EXPECT_EQ(SetTrustedZoneSecurity(Keys()), reg::Success);
    EXPECT_EQ(Zones(), asZones(KeySnapshot(after)));
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

TEST_P(ZoneTemplateTest, WritesInTableOrderThroughTheZoneKeyAndCreatesNothing) {
    SeedZones("[]\n[2]\n");
    test::RecordingRegistry recording(Api(), Backend().Codes());
    reg::RegisterKey keys(recording, Backend().Codes());

    EXPECT_EQ(SetTrustedZoneSecurity(keys), reg::Success);

    std::vector<std::string> expected;
    for (const ZoneSetting& setting : TrustedZoneTemplate()) {
        expected.push_back("SetValue HKCU\\" + ToUtf8(TrustedZoneKey) + " \"" + ToUtf8(setting.name) + "\"");
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
        EXPECT_EQ(SetTrustedZoneSecurity(Keys()), reg::ErrorFileNotFound) << "the open of the zone key";
        EXPECT_EQ(Zones(), row.zones);
        EXPECT_FALSE(Inspect().KeyExists(reg::CurrentUser, Zone2()));
        if (row.zones.empty()) {
            EXPECT_EQ(Snap(reg::CurrentUser, u"Software"), "");
        }
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

TEST_P(ZoneTemplateTest, CodeBaseSearchPathReplacesAnyEarlierValueWhole) {
    const std::string written = ToUtf8(test::FormatRegistryValue(CodeBaseSearchPathValue, reg::TypeString,
                                                                 test::StringBytes(ToUtf8(CodeBaseSearchPathText)),
                                                                 Backend().Codes())) + "\n";
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
        test::Seed(Keys(), Inspect(), reg::LocalMachine, MachineInternetSettingsKey, row.before);
        ASSERT_EQ(Snap(reg::LocalMachine, MachineInternetSettingsKey), row.before);
        EXPECT_EQ(SetCodeBaseSearchPath(Keys()), reg::Success);
        EXPECT_EQ(Snap(reg::LocalMachine, MachineInternetSettingsKey), row.after);
        EXPECT_EQ(Snap(reg::CurrentUser, u"Software"), "");
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

// Refusing writes needs the in-memory registry.
class ZoneTemplateFailureTest : public ZoneTemplateTest {};

TEST_P(ZoneTemplateFailureTest, ARefusedMachineWriteChangesNothingAndSaysWhy) {
    test::MemoryRegistry* memory = Backend().Memory();
    ASSERT_NE(memory, nullptr);
    struct Row {
        const char* label;
        test::RegCall refused;
        std::string before;
    };
    const std::vector<Row> rows = {
        {"the value write is refused", test::RegCall::Set, "[]\n\"CodeBaseSearchPath\"=\"CODEBASE;<http://old/x.dll>\"\n"},
        {"the key can be neither opened nor created", test::RegCall::Create, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        memory->Faults().Clear();
        Inspect().RemoveTree(reg::LocalMachine, u"SOFTWARE");
        test::Seed(Keys(), Inspect(), reg::LocalMachine, MachineInternetSettingsKey, row.before);
        memory->Faults().Fail(test::Fault().Of(row.refused).On(u"HKEY_LOCAL_MACHINE"));
        if (row.refused == test::RegCall::Create) {
            memory->Faults().Fail(test::Fault().Of(test::RegCall::Open).On(u"HKEY_LOCAL_MACHINE"));
        }
        EXPECT_EQ(SetCodeBaseSearchPath(Keys()), reg::ErrorAccessDenied);
        EXPECT_EQ(Snap(reg::LocalMachine, MachineInternetSettingsKey), row.before);
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

PLM_INSTANTIATE_FOR_BACKENDS(ZoneTemplateTest);
PLM_INSTANTIATE_FOR_MEMORY(ZoneTemplateFailureTest);

}  // namespace
}  // namespace plm::zones
