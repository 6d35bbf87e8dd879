#include "zones/TrustedSite.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/Golden.h"
#include "tests/support/Sites.h"
#include "tests/support/TestBackends.h"
#include "tests/support/ZoneMapLists.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"

namespace plm::zones {
namespace {

using test::Block;
using test::DomainLists;
using test::UnderLists;

std::string RangeLists(std::string_view block) { return test::UnderLists(block, {"EscRanges", "Ranges"}); }

// A block in short (see Block) under one list of the zone map.
std::string In(std::string_view list, std::string_view block) { return UnderLists(Block(block), {list}); }

// Removing the obsolete slot opens both range lists, creating them.
const std::string EmptyRangeLists = "[EscRanges]\n[Ranges]\n";

class TrustedSiteTest : public test::BackendTest {
protected:
    void Reset() { Inspect().RemoveTree(reg::CurrentUser, ZoneMapKey); }
    void SeedZoneMap(std::string_view text) { test::Seed(Keys(), Inspect(), reg::CurrentUser, ZoneMapKey, text); }
    void SeedRanges(std::string_view text) { test::Seed(Keys(), Inspect(), reg::CurrentUser, RangesKey, text); }
    std::string ZoneMap() { return Snap(reg::CurrentUser, ZoneMapKey); }
    std::string Ranges() { return Snap(reg::CurrentUser, RangesKey); }
};

TEST_P(TrustedSiteTest, EachHostShapeWritesItsKindOfEntryInBothLists) {
    struct Row {
        const char* label;
        TextView scheme;
        TextView host;
        std::string after;
    };
    const std::vector<Row> rows = {
        {"single label: the host is the entry key", u"http", u"h",
         "[]\n" + DomainLists("[]\n[h]\n\"http\"=dword:00000002\n") + EmptyRangeLists},
        {"one dot: the whole host is the entry key, no sub-key", u"http", u"q.r",
         "[]\n" + DomainLists("[]\n[q.r]\n\"http\"=dword:00000002\n") + EmptyRangeLists},
        {"three labels: the first label is a sub-key of the rest", u"https", u"p.q.r",
         "[]\n" + DomainLists("[]\n[q.r]\n[q.r\\p]\n\"https\"=dword:00000002\n") + EmptyRangeLists},
        {"four labels: all but the first stay in the domain key", u"http", u"o.p.q.r",
         "[]\n" + DomainLists("[]\n[p.q.r]\n[p.q.r\\o]\n\"http\"=dword:00000002\n") + EmptyRangeLists},
        {"many labels", u"http", u"a.b.c.d.e.f",
         "[]\n" + DomainLists("[]\n[b.c.d.e.f]\n[b.c.d.e.f\\a]\n\"http\"=dword:00000002\n") + EmptyRangeLists},
        {"four numbers: a range slot", u"https", u"10.1.2.3",
         "[]\n" + RangeLists("[]\n[Range1]\n\":Range\"=\"10.1.2.3\"\n\"https\"=dword:00000002\n")},
        {"a trailing dot is still one dot", u"http", u"h.",
         "[]\n" + DomainLists("[]\n[h.]\n\"http\"=dword:00000002\n") + EmptyRangeLists},
        {"a leading dot: the empty first label puts the value on the domain key", u"http", u".q.r",
         "[]\n" + DomainLists("[]\n[q.r]\n\"http\"=dword:00000002\n") + EmptyRangeLists},
        {"the scheme names the value as typed", u"HTTP", u"q.r",
         "[]\n" + DomainLists("[]\n[q.r]\n\"HTTP\"=dword:00000002\n") + EmptyRangeLists},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Reset();
        EXPECT_EQ(AddTrustedSite(Keys(), test::Site(row.scheme, row.host)), reg::Status()) << "read back in place";
        EXPECT_EQ(ZoneMap(), row.after);
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

TEST_P(TrustedSiteTest, ObsoleteRangeSlotGoesForEveryHostKindAndNothingElseDoes) {
    const std::string before = "[]\n" + In("Domains", "other.example https=4") +
                               In("EscRanges", "range192.168.10.250 :Range='192.168.10.250' http=2") +
                               In("Ranges", "Range192.168.10.25 :Range='192.168.10.25'\n"
                                            "Range192.168.10.250 :Range='192.168.10.250' http=2");

    struct Row {
        const char* label;
        TextView host;
        std::string after;
    };
    const std::vector<Row> rows = {
        {"host name", u"q.r",
         "[]\n" + In("Domains", "other.example https=4\nq.r http=2") + In("EscDomains", "q.r http=2") + "[EscRanges]\n" +
             In("Ranges", "Range192.168.10.25 :Range='192.168.10.25'")},
        {"numeric address", u"10.1.2.3",
         "[]\n" + In("Domains", "other.example https=4") + In("EscRanges", "Range1 :Range='10.1.2.3' http=2") +
             In("Ranges", "Range1 :Range='10.1.2.3' http=2\nRange192.168.10.25 :Range='192.168.10.25'")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Reset();
        SeedZoneMap(before);
        ASSERT_EQ(ZoneMap(), before);
        EXPECT_EQ(AddTrustedSite(Keys(), test::Site(u"http", row.host)), reg::Status());
        EXPECT_EQ(ZoneMap(), row.after);
    }
}

// Three slots with a sub-key each: none of them can be deleted.
constexpr std::string_view SubKeySlots =
    "Range1 :Range='10.0.0.1'\nRange1\\sub\nRange2 :Range='10.0.0.2' http=4\nRange2\\sub\nRange3 :Range=''\nRange3\\sub";

TEST_P(TrustedSiteTest, RangeRebuildKeepsEarlierPairsInOrderWithTheirZones) {
    struct Row {
        const char* label;
        TextView scheme;
        std::string before;
        std::string after;
        std::int32_t siteSlot = 1;  // where the site goes, as the rebuild reports it
    };
    // The address registered in every row is 10.0.0.9.
    std::vector<Row> rows = {
        {"empty list", u"http", "", Block("Range1 :Range='10.0.0.9' http=2")},
        {"registered site first; a slot without address that maps a scheme is skipped", u"http",
         Block("Range1 :Range='10.0.0.1' http=1\n"
               "Range2 other=7\n"
               "Range3 :Range='10.0.0.3' https=4"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 other=7\n"
               "Range3 :Range='10.0.0.1' http=1\n"
               "Range4 :Range='10.0.0.3' https=4")},
        {"an address already in slot 7 moves to slot 1, the others move down", u"http",
         Block("Range1 :Range='10.0.0.1' http=2\n"
               "Range2 :Range='10.0.0.2' http=2\n"
               "Range3 :Range='10.0.0.3' http=2\n"
               "Range4 :Range='10.0.0.4' http=2\n"
               "Range5 :Range='10.0.0.5' http=2\n"
               "Range6 :Range='10.0.0.6' http=2\n"
               "Range7 :Range='10.0.0.9' http=2"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1' http=2\n"
               "Range3 :Range='10.0.0.2' http=2\n"
               "Range4 :Range='10.0.0.3' http=2\n"
               "Range5 :Range='10.0.0.4' http=2\n"
               "Range6 :Range='10.0.0.5' http=2\n"
               "Range7 :Range='10.0.0.6' http=2")},
        {"the same address with the other scheme is a pair of its own", u"http",
         Block("Range1 :Range='10.0.0.9' https=2"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.9' https=2")},
        {"a slot reads as https only when its https value is above 0", u"http",
         Block("Range1 :Range='10.0.0.1' http=1 https=0\n"
               "Range2 :Range='10.0.0.2' http=1 https=3\n"
               "Range3 :Range='10.0.0.3' https=ffffffff\n"
               "Range4 :Range='10.0.0.9' https=0"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1' http=1\n"
               "Range3 :Range='10.0.0.1' https=0\n"
               "Range4 :Range='10.0.0.2' https=3\n"
               "Range5 :Range='10.0.0.2' http=1\n"
               "Range6 :Range='10.0.0.3' https=ffffffff\n"
               "Range7 :Range='10.0.0.9' https=0")},
        {"blank addresses are left alone, spaces around an address are trimmed", u"http",
         Block("Range1 :Range='10.0.0.1' http=1\n"
               "Range3 :Range=' 10.0.0.3 ' http=3\n"
               "Range4 :Range='   ' http=4\n"
               "Range5 :Range='' http=4\n"
               "Range6 http=3"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1' http=1\n"
               "Range3 :Range='10.0.0.3' http=3\n"
               "Range4 :Range='   ' http=4\n"
               "Range5 :Range='' http=4\n"
               "Range6 http=3")},
        {"gaps close up; slot 100 is read, slot 101 is not", u"http",
         Block("Range10 :Range='10.0.0.10' http=1\n"
               "Range100 :Range='10.0.0.100' https=4\n"
               "Range101 :Range='10.0.0.101' http=1\n"
               "Range2 :Range='10.0.0.2' http=1"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range101 :Range='10.0.0.101' http=1\n"
               "Range2 :Range='10.0.0.2' http=1\n"
               "Range3 :Range='10.0.0.10' http=1\n"
               "Range4 :Range='10.0.0.100' https=4")},
        {"duplicates collapse, the earliest slot's zone stays; the registered pair gets 2", u"http",
         Block("Range1 :Range='10.0.0.1' http=1\n"
               "Range2 :Range='10.0.0.1' http=4\n"
               "Range3 :Range='10.0.0.9' http=4\n"
               "Range4 :Range=' 10.0.0.1' http=3"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1' http=1")},
        {"schemes ignore letter case: the site replaces its own mapping, an address keeps its first", u"HTTP",
         Block("Range1 :Range='10.0.0.9' http=4\n"
               "Range2 :Range='10.0.0.1' HTTP=1\n"
               "Range3 :Range='10.0.0.1' http=3"),
         Block("Range1 :Range='10.0.0.9' HTTP=2\n"
               "Range2 :Range='10.0.0.1' HTTP=1")},
        {"a slot holding both schemes keeps both, each in its own slot", u"https",
         Block("Range1 :Range='10.0.0.1' http=4 https=1"),
         Block("Range1 :Range='10.0.0.9' https=2\n"
               "Range2 :Range='10.0.0.1' https=1\n"
               "Range3 :Range='10.0.0.1' http=4")},
        {"Restricted Sites (4) stay restricted", u"https",
         Block("Range1 :Range='10.0.0.1' http=4\n"
               "Range2 :Range='10.0.0.2' https=4"),
         Block("Range1 :Range='10.0.0.9' https=2\n"
               "Range2 :Range='10.0.0.1' http=4\n"
               "Range3 :Range='10.0.0.2' https=4")},
        {"a slot without a scheme value comes back without one", u"http",
         Block("Range1 :Range='10.0.0.1'"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1'")},
        {"a mapping for every scheme (*) keeps its zone and gains no http value", u"http",
         Block("Range1 *=4 :Range='10.0.0.1'"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 *=4 :Range='10.0.0.1'")},
        {"every other REG_DWORD maps a scheme too, after http and https, by name; other values go", u"http",
         Block("Range1 :Range='10.0.0.1' file=1 ftp=3 http=1 note='text' rtsp=4"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1' http=1\n"
               "Range3 :Range='10.0.0.1' file=1\n"
               "Range4 :Range='10.0.0.1' ftp=3\n"
               "Range5 :Range='10.0.0.1' rtsp=4")},
        {"an address in a slot without a mapping keeps the mapping a later slot gives it", u"http",
         Block("Range1 :Range='10.0.0.1'\n"
               "Range2 :Range='10.0.0.1' http=4"),
         Block("Range1 :Range='10.0.0.9' http=2\n"
               "Range2 :Range='10.0.0.1' http=4")},
        {"no pair goes into a key that maps schemes; the site takes the lowest free slot", u"http",
         Block("Range1 :Range='  ' https=4\n"
               "Range2 :Range='10.0.0.2' http=1\n"
               "Range3 :Range=''\n"
               "Range4 zone=3"),
         Block("Range1 :Range='  ' https=4\n"
               "Range2 :Range='10.0.0.9' http=2\n"
               "Range3 :Range='10.0.0.2' http=1\n"
               "Range4 zone=3"),
         2},
        {"a slot that cannot be deleted (it has a sub-key) stays as it is, uncopied, and takes no pair", u"http",
         Block(SubKeySlots), Block(SubKeySlots) + "[Range4]\n\":Range\"=\"10.0.0.9\"\n\"http\"=dword:00000002\n",
         4},
    };
    // Planted slots: an address that is not text, and more values than any
    // slot needs. Each is left as it was and takes no pair.
    std::string planted = "[]\n[Range1]\n\":Range\"=hex(3):31,30,2e,30,2e,30,2e,31,00\n\"http\"=dword:00000001\n"
                          "[Range2]\n\":Range\"=\"10.0.0.2\"\n";
    for (int v = 0; v < 64; ++v) planted += "\"v" + std::to_string(100 + v) + "\"=dword:00000001\n";
    rows.push_back({"planted slots stay as they are, uncopied", u"http", planted,
                    planted + "[Range3]\n\":Range\"=\"10.0.0.9\"\n\"http\"=dword:00000002\n", 3});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Reset();
        SeedRanges(row.before);
        ASSERT_EQ(Ranges(), row.before);
        EXPECT_EQ(AddRangeKey(Keys(), RangesKey, row.scheme, u"10.0.0.9").siteSlot, row.siteSlot);
        EXPECT_EQ(Ranges(), row.after);
        {
            // Every rebuild is idempotent, slot order included.
            SCOPED_TRACE("second identical run");
            EXPECT_EQ(AddRangeKey(Keys(), RangesKey, row.scheme, u"10.0.0.9").siteSlot, row.siteSlot);
            EXPECT_EQ(Ranges(), row.after);
        }
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

TEST_P(TrustedSiteTest, AKeyNamedAsLongAsTheRegistryAllowsStopsNoRangeRegistration) {
    Reset();
    for (TextView list : {RangesKey, EscRangesKey}) {
        // Made from the list: as a path from the root it is too long for the ANSI calls.
        ASSERT_EQ(Keys().CreateKey(Keys().CreateKey(reg::CurrentUser, list).value.Get(), Text(255, u'x')).status,
                  reg::Success);
    }
    EXPECT_EQ(AddTrustedSite(Keys(), test::Site(u"http", u"10.0.0.9")), reg::Status());
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

TEST_P(TrustedSiteTest, EachRangeListIsRebuiltFromItsOwnSlots) {
    SeedZoneMap("[]\n" + In("EscRanges", "Range1 :Range='10.0.0.2' http=3\nRange2 :Range='10.0.0.1' http=4") +
                In("Ranges", "Range1 :Range='10.0.0.1' http=1"));
    EXPECT_EQ(AddTrustedSite(Keys(), test::Site(u"https", u"10.0.0.9")), reg::Status());
    EXPECT_EQ(ZoneMap(), "[]\n" +
                             In("EscRanges", "Range1 :Range='10.0.0.9' https=2\nRange2 :Range='10.0.0.2' http=3\n"
                                             "Range3 :Range='10.0.0.1' http=4") +
                             In("Ranges", "Range1 :Range='10.0.0.9' https=2\nRange2 :Range='10.0.0.1' http=1"));
}

TEST_P(TrustedSiteTest, MoreThanOneHundredPairsGoPastSlot101WhenItMapsSchemes) {
    std::string before = "[]\n";
    for (int n = 1; n <= 100; ++n) {
        before += "[Range" + std::to_string(n) + "]\n\":Range\"=\"10.1.0." + std::to_string(n) +
                  "\"\n\"http\"=dword:00000001\n";
    }
    before += "[Range101]\n\":Range\"=\"10.7.7.7\"\n\"https\"=dword:00000004\n";
    SeedRanges(before);

    AddRangeKey(Keys(), RangesKey, u"http", u"10.0.0.9");

    const Text ranges(RangesKey);
    EXPECT_EQ(Snap(reg::CurrentUser, ranges + u"\\Range1"), "[]\n\":Range\"=\"10.0.0.9\"\n\"http\"=dword:00000002\n");
    EXPECT_EQ(Snap(reg::CurrentUser, ranges + u"\\Range2"), "[]\n\":Range\"=\"10.1.0.1\"\n\"http\"=dword:00000001\n");
    EXPECT_EQ(Snap(reg::CurrentUser, ranges + u"\\Range100"),
              "[]\n\":Range\"=\"10.1.0.99\"\n\"http\"=dword:00000001\n");
    // Slot 101 is never read, and its mapping stays its own: the 101st pair
    // goes past it.
    EXPECT_EQ(Snap(reg::CurrentUser, ranges + u"\\Range101"),
              "[]\n\":Range\"=\"10.7.7.7\"\n\"https\"=dword:00000004\n");
    EXPECT_EQ(Snap(reg::CurrentUser, ranges + u"\\Range102"),
              "[]\n\":Range\"=\"10.1.0.100\"\n\"http\"=dword:00000001\n");
    EXPECT_FALSE(Inspect().KeyExists(reg::CurrentUser, ranges + u"\\Range103"));
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

TEST_P(TrustedSiteTest, LongestHostTheZoneMapHoldsIsWrittenInBothLists) {
    // 181 bytes is the longest host whose EscDomains entry fits the 260
    // bytes of an ANSI sub-key path; one more and only Domains takes it.
    const Text host181 = Text(63, u'a') + u"." + Text(63, u'b') + u"." + Text(53, u'c');
    const Text host182 = host181 + u"c";
    ASSERT_EQ(host181.size(), 181u);
    EXPECT_TRUE(ZoneMapCanHold(host181, Backend().Codes()));
    EXPECT_FALSE(ZoneMapCanHold(host182, Backend().Codes()));

    EXPECT_EQ(AddTrustedSite(Keys(), test::Site(u"http", host181)), reg::Status());
    const Text domain = Text(63, u'b') + u"." + Text(53, u'c');
    for (TextView list : {u"Domains", u"EscDomains"}) {
        SCOPED_TRACE(ToUtf8(list));
        const Text entry = Text(ZoneMapKey) + u"\\" + Text(list) + u"\\" + domain + u"\\" + Text(63, u'a');
        EXPECT_EQ(Keys().GetDwordValue(reg::CurrentUser, entry, u"http").value, 2);
    }
    Reset();
    EXPECT_TRUE(AddTrustedSite(Keys(), test::Site(u"http", host182 + u"d")).Failed());
    const Text escEntry = Text(ZoneMapKey) + u"\\EscDomains\\" + domain + u"cd\\" + Text(63, u'a');
    EXPECT_FALSE(Inspect().KeyExists(reg::CurrentUser, escEntry)) << "the registry refuses a longer path";
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

PLM_INSTANTIATE_FOR_BACKENDS(TrustedSiteTest);

TEST(ZoneMap, KeysAreSpelledAsTheBrowserAndGroupPolicyReadThem) {
    namespace golden = test::golden;
    const std::pair<TextView, TextView> keys[] = {
        {ZoneMapKey, golden::ZoneMapKey},
        {DomainsKey, golden::DomainsKey},
        {EscDomainsKey, golden::EscDomainsKey},
        {RangesKey, golden::RangesKey},
        {EscRangesKey, golden::EscRangesKey},
        {ZonesKey, golden::ZonesKey},
        {TrustedZoneKey, golden::TrustedZoneKey},
        {MachineInternetSettingsKey, golden::MachineInternetSettingsKey},
        {MachineInternetSettingsKey32, golden::MachineInternetSettingsKey32},
        {PolicySettingsKey, golden::PolicySettingsKey},
        {PolicyZoneMapKey, golden::PolicyZoneMapKey},
        {PolicyTrustedZoneKey, golden::PolicyTrustedZoneKey},
        {PolicyZoneMapSwitchValue, golden::PolicyZoneMapSwitchValue},
        {CodeBaseSearchPathValue, golden::CodeBaseSearchPathValue},
        {CodeBaseSearchPathText, golden::CodeBaseSearchPathText},
    };
    for (const auto& [product, spelled] : keys) EXPECT_EQ(ToUtf8(product), ToUtf8(spelled));
}

}  // namespace
}  // namespace plm::zones
