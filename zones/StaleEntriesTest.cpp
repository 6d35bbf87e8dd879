#include "zones/StaleEntries.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/Sites.h"
#include "tests/support/TestBackends.h"
#include "tests/support/ZoneMapLists.h"
#include "zones/ZoneMap.h"

namespace plm::zones {
namespace {

using test::Block;
using test::DomainLists;
using test::UnderLists;

// The zone map holding the same block under Domains and EscDomains.
std::string BothLists(std::string_view block) { return block.empty() ? "" : "[]\n" + DomainLists(block); }

// p.q.r registered without a port, next to what an address with port 8080
// left behind.
const std::string PortEntriesOfPqr = Block("q.r\n"
                                           "q.r\\p https=2\n"
                                           "q.r:8080 http=2\n"
                                           "q.r:8080\\p http=2");
const std::string RegisteredPqr = Block("q.r\n"
                                        "q.r\\p https=2");
// q.r registered on its own and p.q.r below it: a stray deletion of the
// sub-key p would take q.r and its value with it.
const std::string RegisteredQrAndPqr = Block("q.r http=2\n"
                                             "q.r\\p https=2");

class StaleEntriesTest : public test::BackendTest {
protected:
    void Reset() { Inspect().RemoveTree(reg::CurrentUser, ZoneMapKey); }
    void SeedBoth(std::string_view block) {
        if (!block.empty()) test::Seed(Keys(), Inspect(), reg::CurrentUser, ZoneMapKey, BothLists(block));
    }
    std::string ZoneMap() { return Snap(reg::CurrentUser, ZoneMapKey); }
};

// Which key and first label a site root names; "-" for none.
TEST(StaleEntryOf, NamesTheKeyAnAddressWithAPortLeftBehind) {
    struct Row {
        const char* label;
        TextView siteRoot;
        const char* key;
        const char* firstLabel;
    } rows[] = {
        {"three labels: q.r:8080 and p", u"http://p.q.r:8080", "q.r:8080", "p"},
        {"four labels", u"http://o.p.q.r:8080", "p.q.r:8080", "o"},
        {"two labels", u"http://q.r:8080", "r:8080", "q"},
        {"four numbers", u"http://10.1.2.3:8080", "1.2.3:8080", "10"},
        {"no dot: the host and port, no first label", u"http://plmhost:8080", "plmhost:8080", ""},
        {"one character after https://", u"https://a:8443", "a:8443", ""},
        {"letter case kept", u"http://P.Q.R:8080", "Q.R:8080", "P"},
        {"leading spaces count from the scheme", u"     http://p.q.r:8080", "q.r:8080", "p"},
        {"no port after http://", u"http://p.q.r", "-", "-"},
        {"no port after https://", u"https://p.q.r", "-", "-"},
        {"five spaces before http:// and no port", u"     http://p.q.r", "-", "-"},
        {"four spaces before https:// and no port", u"    https://p.q.r", "-", "-"},
        {"ten spaces before https:// and no port", u"          https://p.q.r", "-", "-"},
        {"a path holding \":\" is cut after its first \"/\"", u"http://a/x:y", "a/", ""},
        {"the same after https://", u"https://a/x:y", "a/", ""},
        {"a dot in the path ends the first label", u"http://a/x.y:z", "y:z", "a/x"},
        {"a bare host and port is read from its first character", u"plmhost.example.com:8080", "example.com:8080",
         "plmhost"},
        {"a short bare host and port: its \":\" stands where a scheme's could", u"plmhost:8080", "-", "-"},
        {"a scheme without \"//\" is no port", u"http:p.q.r", "-", "-"},
    };
    for (const Row& row : rows) {
        const std::optional<StaleEntry> entry = StaleEntryOf(test::SiteOf(row.siteRoot));
        EXPECT_EQ(entry ? ToUtf8(entry->key) : "-", row.key) << row.label;
        EXPECT_EQ(entry ? ToUtf8(entry->firstLabel) : "-", row.firstLabel) << row.label;
    }
}

TEST_P(StaleEntriesTest, RemovesOnlyWhatAnAddressWithAPortLeftBehind) {
    struct Row {
        const char* label;
        TextView siteRoot;
        std::string before;  // the same in Domains and EscDomains
        std::string after;
    };
    const std::vector<Row> rows = {
        {"p.q.r with a port: q.r:8080\\p, then q.r:8080", u"http://p.q.r:8080", PortEntriesOfPqr, RegisteredPqr},
        {"q.r with a port: r:8080\\q, then r:8080; q.r:8080 is not touched", u"http://q.r:8080",
         Block("q.r http=2\n"
               "q.r:8080 http=2\n"
               "r:8080\n"
               "r:8080\\q http=2"),
         Block("q.r http=2\n"
               "q.r:8080 http=2")},
        {"a host without a dot: host:port goes", u"http://plmhost:8080",
         Block("plmhost http=2\n"
               "plmhost:8080 http=2"),
         Block("plmhost http=2")},
        {"a stale key that did not exist is created and removed again", u"http://p.q.r:8080", RegisteredPqr,
         RegisteredPqr},
        {"on an empty zone map only the two lists are left", u"https://p.q.r:443", "", "[]\n"},
        {"a stale key with other sub-keys keeps them and stays", u"http://p.q.r:8080",
         Block("q.r:8080 http=2\n"
               "q.r:8080\\other http=2\n"
               "q.r:8080\\p http=2"),
         Block("q.r:8080 http=2\n"
               "q.r:8080\\other http=2")},
        {"the letter case of the stale key does not matter", u"http://P.Q.R:8080", PortEntriesOfPqr,
         RegisteredPqr},
        {"no port: nothing of q.r is lost", u"     http://p.q.r", RegisteredQrAndPqr, RegisteredQrAndPqr},
        {"a path holding \":\": a key \"a/\" comes and goes", u"http://a/x:y",
         "[]\n[a]\n\"http\"=dword:00000002\n", "[]\n[a]\n\"http\"=dword:00000002\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        Reset();
        SeedBoth(row.before);
        ASSERT_EQ(ZoneMap(), BothLists(row.before));
        static_cast<void>(RemoveWrongKey(Keys(), test::SiteOf(row.siteRoot)));
        EXPECT_EQ(ZoneMap(), BothLists(row.after));
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

TEST_P(StaleEntriesTest, DeletesTheFirstLabelThenTheStaleKeyInBothLists) {
    struct Row {
        TextView siteRoot;
        std::string staleKey;
        std::string firstLabel;
    };
    const std::vector<Row> rows = {{u"http://p.q.r:8080", "q.r:8080", "p"}, {u"http://plmhost:8080", "plmhost:8080", ""}};
    const std::string domains = "HKCU\\" + ToUtf8(DomainsKey);
    const std::string esc = "HKCU\\" + ToUtf8(EscDomainsKey);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.staleKey);
        Reset();
        test::RecordingRegistry recording(Api(), Backend().Codes());
        reg::RegisterKey keys(recording, Backend().Codes());
        static_cast<void>(RemoveWrongKey(keys, test::SiteOf(row.siteRoot)));
        const std::vector<std::string> expected = {
            "Create " + domains + "\\" + row.staleKey,
            "Delete " + domains + "\\" + row.staleKey + " \"" + row.firstLabel + "\"",
            "Create " + esc + "\\" + row.staleKey,
            "Delete " + esc + "\\" + row.staleKey + " \"" + row.firstLabel + "\"",
            "Create " + domains,
            "Delete " + domains + " \"" + row.staleKey + "\"",
            "Create " + esc,
            "Delete " + esc + " \"" + row.staleKey + "\"",
        };
        EXPECT_EQ(recording.Writes(), expected);
        EXPECT_EQ(ZoneMap(), "[]\n[Domains]\n[EscDomains]\n");
    }
}

// Failure injection needs the in-memory registry.
class StaleEntriesFailureTest : public StaleEntriesTest {};

// A refused call abandons its deletion only: the first one fails (its
// parent cannot be opened, or the delete is refused), so the stale key in
// Domains keeps its sub-key and stays, while EscDomains is cleaned.
TEST_P(StaleEntriesFailureTest, ARefusedDeletionLeavesTheOthersToRun) {
    test::MemoryRegistry* memory = Backend().Memory();
    ASSERT_NE(memory, nullptr);
    for (const test::RegCall refused : {test::RegCall::Create, test::RegCall::Delete}) {
        Reset();
        SeedBoth(PortEntriesOfPqr);
        memory->Faults().Clear();
        memory->Faults().Fail(test::Fault().Of(refused).Times(1));
        EXPECT_EQ(RemoveWrongKey(Keys(), test::SiteOf(u"http://p.q.r:8080")), reg::ErrorAccessDenied);
        EXPECT_EQ(ZoneMap(), "[]\n" + UnderLists(PortEntriesOfPqr, {"Domains"}) + UnderLists(RegisteredPqr, {"EscDomains"}));
        EXPECT_EQ(Backend().OpenHandles(), 0u);
    }
}

PLM_INSTANTIATE_FOR_BACKENDS(StaleEntriesTest);
PLM_INSTANTIATE_FOR_MEMORY(StaleEntriesFailureTest);

}  // namespace
}  // namespace plm::zones
