// What only the in-memory registry has: failure injection, handle counting,
// the Win32 limits, and name comparison through Unicode.
#include <gtest/gtest.h>

#include <string>

#include "text/Text.h"
#include "registry/RegisterKey.h"
#include "tests/support/MemoryRegistry.h"

namespace plm::test {
namespace {

using namespace reg;

TEST(MemoryRegistry, InjectedFailuresReachTheCallerAndLastRegErrorAsTheCallsReturnThem) {
    struct Row {
        const char* label;
        RegCall call;
        LONG code;
        std::function<Status(RegisterKey&)> op;  // gives the operation's status
        std::int32_t status;
        std::int32_t lastRegError;
    } rows[] = {
        {"open refused", RegCall::Open, ErrorAccessDenied,
         [](RegisterKey& k) { return k.GetStringValue(CurrentUser, u"a", u"v").status; }, ErrorAccessDenied,
         ErrorAccessDenied},
        {"query failing still ends with the close", RegCall::Query, ErrorAccessDenied,
         [](RegisterKey& k) { return k.GetStringValue(CurrentUser, u"a", u"v").status; }, ErrorAccessDenied, 0},
        {"close failing after a read of a longer value", RegCall::Close, ErrorInvalidHandle,
         [](RegisterKey& k) { return k.GetDwordValue(CurrentUser, u"a", u"v").status; }, ErrorMoreData,
         ErrorInvalidHandle},
        {"set refused, close succeeds", RegCall::Set, ErrorAccessDenied,
         [](RegisterKey& k) { return k.SetDwordValue(CurrentUser, u"a", u"v", 1); }, ErrorAccessDenied, 0},
        {"string set refused", RegCall::Set, ErrorKeyDeleted,
         [](RegisterKey& k) { return k.SetStringValue(CurrentUser, u"a", u"v", u"t"); }, ErrorKeyDeleted, 0},
        {"create refused", RegCall::Create, ErrorAccessDenied,
         [](RegisterKey& k) { return k.CreateKey(CurrentUser, u"a\\b").status; }, ErrorAccessDenied,
         ErrorAccessDenied},
        {"a string write creates its key when the first open fails", RegCall::Open, ErrorAccessDenied,
         [](RegisterKey& k) { return k.SetStringValue(CurrentUser, u"a", u"v", u"t"); }, Success, 0},
        {"delete on a parent that could not be opened", RegCall::Create, ErrorAccessDenied,
         [](RegisterKey& k) { return k.DeleteKey(CurrentUser, u"a", u"b"); }, ErrorAccessDenied, ErrorInvalidHandle},
    };
    for (auto& row : rows) {
        SCOPED_TRACE(row.label);
        Latin1CodePage codes;
        MemoryRegistry registry(codes);
        RegisterKey keys(registry, codes);
        ASSERT_EQ(keys.SetStringValue(CurrentUser, u"a", u"v", u"text"), Success);
        registry.Faults().Fail(Fault().Of(row.call).With(row.code).Times(1));
        EXPECT_EQ(row.op(keys), row.status);
        EXPECT_EQ(keys.LastRegError(), row.lastRegError);
        // A close that fails leaves its handle open, as on Windows.
        EXPECT_EQ(registry.OpenHandles(), row.call == RegCall::Close ? 1u : 0u);
    }
}

TEST(MemoryRegistry, HandlesToADeletedKeyFail) {
    Latin1CodePage codes;
    MemoryRegistry registry(codes);
    HKEY key = NullKey;
    ASSERT_EQ(registry.RegCreateKeyA(CurrentUser, "a\\b", &key), Success);
    HKEY parent = NullKey;
    ASSERT_EQ(registry.RegOpenKeyA(CurrentUser, "a", &parent), Success);
    ASSERT_EQ(registry.RegDeleteKeyA(parent, "b"), Success);
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(registry.RegSetValueExA(key, "v", 0, TypeDword, one, 4), ErrorKeyDeleted);
    EXPECT_EQ(registry.RegCloseKey(key), Success);
    EXPECT_EQ(registry.RegCloseKey(parent), Success);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST(MemoryRegistry, KeyNameAndDepthLimits) {
    Latin1CodePage codes;
    MemoryRegistry registry(codes);
    struct Row {
        const char* label;
        std::string path;
        LONG rc;
    } rows[] = {
        {"255 characters", std::string(255, 'k'), Success},
        {"256 characters", std::string(256, 'k'), ErrorInvalidParameter},
        {"empty name inside", "a\\\\b", ErrorInvalidParameter},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        HKEY key = NullKey;
        EXPECT_EQ(registry.RegCreateKeyA(CurrentUser, row.path.c_str(), &key), row.rc);
        if (key != NullKey) registry.RegCloseKey(key);
    }
    // 512 levels below the root, and not one more.
    HKEY key = CurrentUser;
    for (int level = 1; level <= 512; ++level) {
        HKEY next = NullKey;
        ASSERT_EQ(registry.RegCreateKeyA(key, "d", &next), Success) << "level " << level;
        if (key != CurrentUser) registry.RegCloseKey(key);
        key = next;
    }
    HKEY tooDeep = NullKey;
    EXPECT_EQ(registry.RegCreateKeyA(key, "d", &tooDeep), ErrorInvalidParameter);
    registry.RegCloseKey(key);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST(MemoryRegistry, NamesFoldAsUnicodeNotAsAnsiBytes) {
    // In UTF-8 (as in a double-byte code page) "Ā" (U+0100) and "ā" (U+0101)
    // differ only in a trail byte; folding bytes would miss that they match,
    // and folding ASCII letters inside trail bytes would merge others.
    Utf8CodePage codes;
    MemoryRegistry registry(codes);
    RegisterKey keys(registry, codes);
    ASSERT_EQ(keys.CreateKey(CurrentUser, u"Zone\\\u0100bc").status, Success);
    EXPECT_TRUE(registry.KeyExists(CurrentUser, u"ZONE\\\u0101BC"));
    ASSERT_EQ(keys.CreateKey(CurrentUser, u"Zone\\\u4E2D").status, Success);
    ASSERT_EQ(keys.CreateKey(CurrentUser, u"Zone\\\u4E2E").status, Success);
    EXPECT_EQ(ToUtf8(registry.Snapshot(CurrentUser, u"Zone")),
              ToUtf8(u"[]\n[\u0100bc]\n[\u4E2D]\n[\u4E2E]\n"));
}

TEST(MemoryRegistry, SnapshotShowsTypesExactly) {
    Latin1CodePage codes;
    MemoryRegistry registry(codes);
    registry.PutValue(CurrentUser, u"k", u"", TypeString, std::string("def\0", 4));
    registry.PutValue(CurrentUser, u"k", u"nonul", TypeString, "abc");
    registry.PutValue(CurrentUser, u"k", u"bin", TypeBinary, std::string("\x01\xff", 2));
    registry.PutValue(CurrentUser, u"k", u"short", TypeDword, std::string("\x02", 1));
    EXPECT_EQ(ToUtf8(registry.Snapshot(CurrentUser, u"k")),
              "[]\n@=\"def\"\n\"bin\"=hex(3):01,ff\n\"nonul\"=hex(1):61,62,63\n\"short\"=hex(4):02\n");
    EXPECT_EQ(ToUtf8(registry.Snapshot(CurrentUser, u"missing")), "");
}

}  // namespace
}  // namespace plm::test
