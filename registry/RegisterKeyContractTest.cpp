// One contract for both registry backends: the raw calls behave as Windows'
// do, and the module's operations give what the zone steps rely on. Runs
// natively against the in-memory registry and, in the Windows builds under
// Wine, against the real advapi32 as well. Where the two disagree, the
// in-memory one is wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TestBackends.h"

namespace plm::reg {
namespace {

using test::BackendTest;

constexpr char16_t Base[] = u"Software\\PlmContract";

class RawApiContract : public BackendTest {
protected:
    LONG Create(HKEY root, const char* path, HKEY* out) { return Api().RegCreateKeyA(root, path, out); }
    void Close(HKEY key) { EXPECT_EQ(Api().RegCloseKey(key), Success); }
    LONG PutDword(HKEY key, const char* name, DWORD data) {
        return Api().RegSetValueExA(key, name, 0, TypeDword, reinterpret_cast<const BYTE*>(&data), 4);
    }
    void TearDown() override {
        EXPECT_EQ(Backend().OpenHandles(), 0u) << "a test left a handle open";
        BackendTest::TearDown();
    }
};

TEST_P(RawApiContract, OpenMissingKeyFailsWithFileNotFound) {
    HKEY key = NullKey;
    EXPECT_EQ(Api().RegOpenKeyA(CurrentUser, "Software\\PlmContract\\missing", &key), ErrorFileNotFound);
    EXPECT_EQ(key, NullKey);
}

TEST_P(RawApiContract, CreateMakesEveryMissingKeyAndNamesIgnoreCaseAndTrailingSeparators) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract\\a\\b\\c", &key), Success);
    Close(key);
    const char* sameKey[] = {"Software\\PlmContract\\a\\b\\c", "SOFTWARE\\plmcontract\\A\\B\\C",
                             "Software\\PlmContract\\a\\b\\c\\", "Software\\PlmContract\\a\\b\\c\\\\"};
    for (const char* path : sameKey) {
        SCOPED_TRACE(path);
        HKEY opened = NullKey;
        ASSERT_EQ(Api().RegOpenKeyA(CurrentUser, path, &opened), Success);
        ASSERT_EQ(PutDword(opened, "Mark", 1), Success);
        Close(opened);
    }
    EXPECT_EQ(Snap(CurrentUser, Base), "[]\n[a]\n[a\\b]\n[a\\b\\c]\n\"Mark\"=dword:00000001\n");
}

TEST_P(RawApiContract, ValueNamesIgnoreCase) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract", &key), Success);
    ASSERT_EQ(PutDword(key, "http", 2), Success);
    ASSERT_EQ(PutDword(key, "HTTP", 3), Success);
    DWORD data = 0;
    DWORD size = 4;
    EXPECT_EQ(Api().RegQueryValueExA(key, "Http", nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size), Success);
    EXPECT_EQ(data, 3u);
    Close(key);
    EXPECT_EQ(Snap(CurrentUser, Base), "[]\n\"http\"=dword:00000003\n");
}

TEST_P(RawApiContract, QuerySizesCountBytesWithTheTerminatingNul) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract", &key), Success);
    ASSERT_EQ(Api().RegSetValueExA(key, "s", 0, TypeString, reinterpret_cast<const BYTE*>("abc"), 4), Success);
    const DWORD zero = 0;
    ASSERT_EQ(Api().RegSetValueExA(key, "empty", 0, TypeString, reinterpret_cast<const BYTE*>(&zero), 0), Success);

    struct Row {
        const char* name;
        LONG rc;
        DWORD size;
    } rows[] = {{"s", ErrorMoreData, 4}, {"empty", Success, 0}, {"missing", ErrorFileNotFound, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DWORD scratch = 0;
        DWORD size = 0;
        EXPECT_EQ(Api().RegQueryValueExA(key, row.name, nullptr, nullptr, reinterpret_cast<BYTE*>(&scratch), &size),
                  row.rc);
        EXPECT_EQ(size, row.size);
    }
    // A REG_SZ read into a 4-byte integer gives its first bytes.
    DWORD data = 0;
    DWORD size = 4;
    EXPECT_EQ(Api().RegQueryValueExA(key, "s", nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size), Success);
    EXPECT_EQ(std::memcmp(&data, "abc", 4), 0);
    Close(key);
}

TEST_P(RawApiContract, DeleteRemovesOnlyKeysWithoutSubKeys) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract\\parent\\child", &key), Success);
    Close(key);
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract\\leaf", &key), Success);
    ASSERT_EQ(PutDword(key, "v", 1), Success);
    Close(key);

    HKEY base = NullKey;
    ASSERT_EQ(Api().RegOpenKeyA(CurrentUser, "Software\\PlmContract", &base), Success);
    EXPECT_EQ(Api().RegDeleteKeyA(base, "parent"), ErrorAccessDenied);
    EXPECT_EQ(Api().RegDeleteKeyA(base, "missing"), ErrorFileNotFound);
    EXPECT_EQ(Api().RegDeleteKeyA(base, "LEAF\\"), Success);
    EXPECT_EQ(Api().RegDeleteKeyA(NullKey, "parent"), ErrorInvalidHandle);
    Close(base);
    EXPECT_EQ(Snap(CurrentUser, Base), "[]\n[parent]\n[parent\\child]\n");

    // An empty name deletes the key the handle names, when it has no sub-keys.
    HKEY parent = NullKey;
    ASSERT_EQ(Api().RegOpenKeyA(CurrentUser, "Software\\PlmContract\\parent", &parent), Success);
    EXPECT_EQ(Api().RegDeleteKeyA(parent, ""), ErrorAccessDenied);
    Close(parent);
    HKEY child = NullKey;
    ASSERT_EQ(Api().RegOpenKeyA(CurrentUser, "Software\\PlmContract\\parent\\child", &child), Success);
    EXPECT_EQ(Api().RegDeleteKeyA(child, ""), Success);
    Close(child);
    EXPECT_EQ(Snap(CurrentUser, Base), "[]\n[parent]\n");
}

TEST_P(RawApiContract, DeletedKeyLosesItsValuesAndComesBackEmpty) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract\\k", &key), Success);
    ASSERT_EQ(PutDword(key, "v", 1), Success);
    Close(key);
    HKEY base = NullKey;
    ASSERT_EQ(Api().RegOpenKeyA(CurrentUser, "Software\\PlmContract", &base), Success);
    ASSERT_EQ(Api().RegDeleteKeyA(base, "k"), Success);
    Close(base);
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract\\k", &key), Success);
    Close(key);
    EXPECT_EQ(Snap(CurrentUser, Base), "[]\n[k]\n");
}

TEST_P(RawApiContract, CloseTwiceFailsTheSecondTime) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract", &key), Success);
    EXPECT_EQ(Api().RegCloseKey(key), Success);
    EXPECT_EQ(Api().RegCloseKey(key), ErrorInvalidHandle);
}

TEST_P(RawApiContract, KeyNamesWithPunctuationAreAllowed) {
    for (const char* name : {"host:8080", "a?b", "*", "q.r:80"}) {
        SCOPED_TRACE(name);
        HKEY key = NullKey;
        std::string path = std::string("Software\\PlmContract\\") + name;
        EXPECT_EQ(Create(CurrentUser, path.c_str(), &key), Success);
        if (key != NullKey) Close(key);
    }
}

TEST_P(RawApiContract, EnumValueGivesNameTypeAndSizesThenNoMoreItems) {
    HKEY key = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract", &key), Success);
    ASSERT_EQ(PutDword(key, "*.example.com", 2), Success);
    struct Row {
        const char* label;
        DWORD index;
        DWORD nameSize;
        DWORD dataSize;
        LONG rc;
        DWORD nameSizeAfter;
        const char* name;  // what the name buffer holds after the call
    } rows[] = {
        {"room for the name and its NUL", 0, 14, 4, Success, 13, "*.example.com"},
        {"no room for the NUL: the name is cut, its size left", 0, 13, 4, ErrorMoreData, 13, "*.example.co"},
        {"data that does not fit: the name is left alone", 0, 64, 3, ErrorMoreData, 64, "#"},
        {"past the last value: nothing is given back", 1, 64, 4, ErrorNoMoreItems, 64, "#"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        char name[64] = "#";
        DWORD size = row.nameSize;
        DWORD type = 0;
        BYTE data[4] = {};
        DWORD dataSize = row.dataSize;
        EXPECT_EQ(Api().RegEnumValueA(key, row.index, name, &size, nullptr, &type, data, &dataSize), row.rc);
        EXPECT_EQ(size, row.nameSizeAfter);
        EXPECT_STREQ(name, row.name);
        EXPECT_EQ(type, row.rc == ErrorNoMoreItems ? 0u : TypeDword);
        EXPECT_EQ(dataSize, 4u) << "the data's size is given back (or left as it was)";
    }
    Close(key);
}

TEST_P(RawApiContract, KeyNamesOf255CharactersAreTakenMuchLongerOnesRefused) {
    struct Row {
        const char* label;
        std::string name;
        bool created;
    } rows[] = {{"255 characters", std::string(255, 'k'), true}, {"300 characters", std::string(300, 'k'), false}};
    HKEY base = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract", &base), Success);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        HKEY key = NullKey;
        LONG rc = Api().RegCreateKeyA(base, row.name.c_str(), &key);
        EXPECT_EQ(rc == Success, row.created) << "code " << rc;
        if (key != NullKey) Close(key);
    }
    Close(base);
}

TEST_P(RawApiContract, AnsiSubKeyPathsLongerThanMaxPathAreRefused) {
    HKEY base = NullKey;
    ASSERT_EQ(Create(CurrentUser, "Software\\PlmContract", &base), Success);
    for (std::size_t length : {255u, 260u, 261u, 300u}) {
        SCOPED_TRACE(length);
        std::string path = std::string(100, 'a') + "\\" + std::string(length - 101, 'k');
        HKEY key = NullKey;
        LONG expected = length <= 260 ? Success : ErrorMoreData;
        EXPECT_EQ(Api().RegCreateKeyA(base, path.c_str(), &key), expected);
        if (key != NullKey) Close(key);
        EXPECT_EQ(Api().RegOpenKeyA(base, path.c_str(), &key), expected);
        if (key != NullKey) Close(key);
        EXPECT_EQ(Api().RegDeleteKeyA(base, path.c_str()), expected);
    }
    Close(base);
}

PLM_INSTANTIATE_FOR_BACKENDS(RawApiContract);

// ---- the operations ----

class RegisterKeyContract : public BackendTest {
protected:
    void TearDown() override {
        EXPECT_EQ(Backend().OpenHandles(), 0u) << "an operation left a handle open";
        BackendTest::TearDown();
    }
    std::u16string Path(std::u16string_view rest) { return std::u16string(Base) + u"\\" + std::u16string(rest); }
    // The calls made so far; 0 where the backend does not count them.
    std::size_t Calls() {
        const test::MemoryRegistry* memory = Backend().Memory();
        return memory != nullptr ? memory->CallCount() : 0;
    }
    // The status of a result whose value must be `expected`.
    template <typename T>
    static Status Checked(const Result<T>& result, const T& expected) {
        EXPECT_EQ(result.value, expected);
        return result.status;
    }
};

TEST_P(RegisterKeyContract, EmptyKeyPathIsRefusedByEveryOperation) {
    auto& k = Keys();
    // Each gives its status, and the failure result.
    struct Row {
        const char* op;
        std::function<Status()> call;
    } rows[] = {
        {"GetStringValue", [&] { return Checked(k.GetStringValue(CurrentUser, u"", u"v"), Text()); }},
        {"GetDwordValue", [&] { return Checked(k.GetDwordValue(CurrentUser, u"", u"v"), 0); }},
        {"SetStringValue", [&] { return k.SetStringValue(CurrentUser, u"", u"v", u"x"); }},
        {"SetDwordValue", [&] { return k.SetDwordValue(CurrentUser, u"", u"v", 1); }},
        {"CreateKey", [&] {
             auto created = k.CreateKey(CurrentUser, u"");
             EXPECT_FALSE(created.value);
             return created.status;
         }},
        {"DeleteKey", [&] { return k.DeleteKey(CurrentUser, u"", u"Software"); }},
        {"EnumValues", [&] { return Checked(k.EnumValues(CurrentUser, u""), std::vector<ValueEntry>()); }},
        {"EnumKeys", [&] { return Checked(k.EnumKeys(CurrentUser, u""), std::vector<Text>()); }},
    };
    for (auto& row : rows) {
        SCOPED_TRACE(row.op);
        ASSERT_EQ(k.GetDwordValue(CurrentUser, Path(u"nokey"), u"x").status, ErrorFileNotFound);
        ASSERT_EQ(k.LastRegError(), ErrorFileNotFound);  // left behind
        const std::size_t callsBefore = Calls();
        EXPECT_EQ(row.call(), EmptyKeyPathError);
        EXPECT_EQ(k.LastRegError(), EmptyKeyPathError);
        EXPECT_EQ(Calls(), callsBefore) << "an empty path must make no registry call";
    }
}

TEST_P(RegisterKeyContract, StringValuesReadBackExactly) {
    auto key = Path(u"s");
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"text", u"CODEBASE;<x>"), Success);
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"empty", u""), Success);
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"spaces", u"  a b  "), Success);
    struct Row {
        const char16_t* name;
        const char16_t* expected;
        std::int32_t status;
    } rows[] = {{u"text", u"CODEBASE;<x>", Success}, {u"TEXT", u"CODEBASE;<x>", Success}, {u"empty", u"", Success},
                {u"spaces", u"  a b  ", Success},    {u"missing", u"", ErrorFileNotFound}};
    for (const auto& row : rows) {
        SCOPED_TRACE(ToUtf8(row.name));
        EXPECT_EQ(Checked(Keys().GetStringValue(CurrentUser, key, row.name), Text(row.expected)), row.status);
        EXPECT_EQ(Keys().LastRegError(), 0) << "after an open, the record is the close's";
    }
    // The stored bytes: text plus one NUL; the empty text with size 0.
    EXPECT_EQ(Snap(CurrentUser, key),
              "[]\n\"empty\"=hex(1):\n\"spaces\"=\"  a b  \"\n\"text\"=\"CODEBASE;<x>\"\n");
}

TEST_P(RegisterKeyContract, StringValueOnMissingKeyCreatesTheWholePath) {
    auto key = Path(u"a\\b\\c");
    EXPECT_EQ(Keys().SetStringValue(CurrentUser, key, u"v", u"x"), Success);
    EXPECT_EQ(Keys().LastRegError(), 0);
    EXPECT_EQ(Snap(CurrentUser, Base), "[]\n[a]\n[a\\b]\n[a\\b\\c]\n\"v\"=\"x\"\n");
}

TEST_P(RegisterKeyContract, SetStringValueOpensTheKeyTwice) {
    auto key = Path(u"s");
    ASSERT_EQ(Keys().CreateKey(CurrentUser, key).status, Success);
    test::RecordingRegistry recording(Api(), Backend().Codes());
    RegisterKey keys(recording, Backend().Codes());
    ASSERT_EQ(keys.SetStringValue(CurrentUser, key, u"v", u"x"), Success);
    const std::string path = "HKCU\\" + ToUtf8(key);
    EXPECT_EQ(recording.Log(), (std::vector<std::string>{"Open " + path, "Close " + path, "Open " + path,
                                                         "SetValue " + path + " \"v\"", "Close " + path}));
}

TEST_P(RegisterKeyContract, StringValueReplacesAnEarlierOneWhole) {
    auto key = Path(u"s");
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"v", u"a much longer earlier text"), Success);
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"V", u"short"), Success);
    EXPECT_EQ(Keys().GetStringValue(CurrentUser, key, u"v").value, u"short");
    EXPECT_EQ(Snap(CurrentUser, key), "[]\n\"v\"=\"short\"\n");
}

TEST_P(RegisterKeyContract, DwordValuesWriteOnlyIntoExistingKeys) {
    auto key = Path(u"d");
    EXPECT_EQ(Keys().SetDwordValue(CurrentUser, key, u"n", 7), ErrorFileNotFound);
    EXPECT_EQ(Keys().LastRegError(), ErrorFileNotFound);
    EXPECT_FALSE(Inspect().KeyExists(CurrentUser, key)) << "SetDwordValue must not create the key";

    ASSERT_EQ(Keys().CreateKey(CurrentUser, key).status, Success);
    struct Row {
        const char16_t* name;
        std::int32_t data;
        const char* line;
    } rows[] = {{u"zero", 0, "\"zero\"=dword:00000000"},
                {u"java", 196608, "\"java\"=dword:00030000"},
                {u"negative", -1, "\"negative\"=dword:ffffffff"},
                {u"flags", 67, "\"flags\"=dword:00000043"}};
    std::string expected = "[]\n";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(Keys().SetDwordValue(CurrentUser, key, row.name, row.data), Success);
        EXPECT_EQ(Keys().LastRegError(), 0);
        EXPECT_EQ(Checked(Keys().GetDwordValue(CurrentUser, key, row.name), row.data), Success);
    }
    EXPECT_EQ(Checked(Keys().GetDwordValue(CurrentUser, key, u"missing"), 0), ErrorFileNotFound);
    EXPECT_EQ(Keys().LastRegError(), 0) << "a missing value leaves the close's record";
    EXPECT_EQ(Checked(Keys().GetDwordValue(CurrentUser, Path(u"nokey"), u"x"), 0), ErrorFileNotFound);
    EXPECT_EQ(Keys().LastRegError(), ErrorFileNotFound);
    EXPECT_EQ(Snap(CurrentUser, key),
              "[]\n\"flags\"=dword:00000043\n\"java\"=dword:00030000\n\"negative\"=dword:ffffffff\n"
              "\"zero\"=dword:00000000\n");
}

TEST_P(RegisterKeyContract, DwordReadOfALongerValueGivesZero) {
    auto key = Path(u"d");
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"long", u"longer than four bytes"), Success);
    EXPECT_EQ(Checked(Keys().GetDwordValue(CurrentUser, key, u"long"), 0), ErrorMoreData);
}

TEST_P(RegisterKeyContract, DeleteKeyRules) {
    auto parent = Path(u"p");
    ASSERT_EQ(Keys().CreateKey(CurrentUser, parent + u"\\leaf").status, Success);
    ASSERT_EQ(Keys().SetDwordValue(CurrentUser, parent + u"\\leaf", u"http", 2), Success);
    ASSERT_EQ(Keys().CreateKey(CurrentUser, parent + u"\\branch\\twig").status, Success);

    EXPECT_EQ(Keys().DeleteKey(CurrentUser, parent, u"branch"), ErrorAccessDenied) << "a key with sub-keys stays";
    EXPECT_EQ(Keys().LastRegError(), ErrorAccessDenied);
    EXPECT_EQ(Keys().DeleteKey(CurrentUser, parent, u"missing"), ErrorFileNotFound);
    EXPECT_EQ(Keys().DeleteKey(CurrentUser, parent, u"LEAF"), 0);
    EXPECT_EQ(Snap(CurrentUser, parent), "[]\n[branch]\n[branch\\twig]\n");

    // An empty sub-key name acts on the parent itself, never below it.
    EXPECT_EQ(Keys().DeleteKey(CurrentUser, parent + u"\\branch", u""), ErrorAccessDenied);
    EXPECT_EQ(Keys().LastRegError(), ErrorAccessDenied);
    EXPECT_EQ(Keys().DeleteKey(CurrentUser, parent + u"\\branch\\twig", u""), Success);
    EXPECT_EQ(Keys().LastRegError(), 0);
    EXPECT_EQ(Snap(CurrentUser, parent), "[]\n[branch]\n");
}

TEST_P(RegisterKeyContract, DeleteKeyCreatesAMissingParent) {
    auto parent = Path(u"stale\\host:8080");
    EXPECT_EQ(Keys().DeleteKey(CurrentUser, parent, u"sub"), ErrorFileNotFound);
    EXPECT_EQ(Keys().LastRegError(), ErrorFileNotFound);
    EXPECT_EQ(Snap(CurrentUser, Path(u"stale")), "[]\n[host:8080]\n");
    // With an empty name, the parent made for the call is the key deleted.
    EXPECT_EQ(Keys().DeleteKey(CurrentUser, Path(u"stale\\nothing"), u""), Success);
    EXPECT_EQ(Keys().LastRegError(), 0);
    EXPECT_EQ(Snap(CurrentUser, Path(u"stale")), "[]\n[host:8080]\n");
}

TEST_P(RegisterKeyContract, EnumKeysListsTheSubKeysOfOneLevel) {
    auto key = Path(u"ranges");
    for (TextView sub : {u"Range1", u"RANGE2\\deeper", u"other"}) {
        ASSERT_EQ(Keys().CreateKey(CurrentUser, key + u"\\" + Text(sub)).status, Success);
    }
    // The longest name a key may have, made from its parent: as a path from
    // the root it would be too long for the ANSI calls.
    const Text longest(255, u'k');
    ASSERT_EQ(Keys().CreateKey(Keys().CreateKey(CurrentUser, key).value.Get(), longest).status, Success);
    ASSERT_EQ(Keys().SetDwordValue(CurrentUser, key, u"value", 1), Success);
    const auto names = Keys().EnumKeys(CurrentUser, key);
    std::vector<std::string> listed;  // sorted: the order is the registry's own
    for (const auto& name : names.value) listed.push_back(ToUtf8(name));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"RANGE2", "Range1", ToUtf8(longest), "other"}));
    EXPECT_EQ(names.status, ErrorNoMoreItems);
    EXPECT_EQ(Keys().LastRegError(), 0);

    EXPECT_EQ(Checked(Keys().EnumKeys(CurrentUser, Path(u"nokey")), std::vector<Text>()), ErrorFileNotFound);
}

TEST_P(RegisterKeyContract, EnumValuesListsNamesAndTypesTheCodePageCanHold) {
    auto key = Path(u"policy");
    const Text outside = u"x\u4E00y";  // "x?y" through the ANSI calls in a western code page
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"https://plm.example.com", u"2"), Success);
    ASSERT_EQ(Keys().SetDwordValue(CurrentUser, key, u"*.example.com", 2), Success);
    ASSERT_EQ(Keys().SetStringValue(CurrentUser, key, u"", u"default"), Success);
    Inspect().PutValue(CurrentUser, key, u"10.1.2.3", TypeBinary, "\x02");
    Inspect().PutValue(CurrentUser, key, outside, TypeDword, std::string("\x04\0\0\0", 4));
    const auto values = Keys().EnumValues(CurrentUser, key);
    std::vector<std::string> listed;  // sorted: the order is the registry's own
    for (const auto& v : values.value) listed.push_back(ToUtf8(v.name) + " " + std::to_string(v.type));
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = {" 1", "*.example.com 4", "10.1.2.3 3", "https://plm.example.com 1"};
    const bool whole = Backend().Codes().CanRepresent(outside);
    if (whole) expected.push_back(ToUtf8(outside) + " 4");
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(values.status == ErrorNoMoreItems, whole);
    EXPECT_EQ(Keys().LastRegError(), 0);

    EXPECT_EQ(Checked(Keys().EnumValues(CurrentUser, Path(u"nokey")), std::vector<ValueEntry>()), ErrorFileNotFound);
    EXPECT_EQ(Keys().LastRegError(), ErrorFileNotFound);
}

TEST_P(RegisterKeyContract, TextsOutsideTheCodePageNeverReachTheRegistry) {
    // U+FF3C (full-width reverse solidus) must not become a separator.
    std::u16string key = Path(u"a\uFF3Cb");
    bool representable = Backend().Codes().CanRepresent(key);
    EXPECT_EQ(Keys().SetStringValue(CurrentUser, key, u"v", u"x"), representable ? Success : ErrorNoUnicodeTranslation);
    if (representable) {
        EXPECT_EQ(Keys().LastRegError(), 0);
        EXPECT_FALSE(Inspect().KeyExists(CurrentUser, Path(u"a\\b")));
    } else {
        EXPECT_EQ(Keys().LastRegError(), ErrorNoUnicodeTranslation);
        EXPECT_EQ(Snap(CurrentUser, Base), "");
    }
}

TEST_P(RegisterKeyContract, CreateKeyHandleClosesItselfAndMoves) {
    auto first = Keys().CreateKey(CurrentUser, Path(u"h")).value;
    ASSERT_TRUE(first);
    EXPECT_EQ(Backend().OpenHandles(), 1u);
    KeyHandle moved = std::move(first);
    EXPECT_FALSE(first);  // NOLINT: checking the moved-from state on purpose
    EXPECT_EQ(Backend().OpenHandles(), 1u);
    moved = Keys().CreateKey(CurrentUser, Path(u"h2")).value;
    EXPECT_EQ(Backend().OpenHandles(), 1u) << "assigning over a handle closes the old one";
    moved.Close();
    EXPECT_EQ(Backend().OpenHandles(), 0u);
}

PLM_INSTANTIATE_FOR_BACKENDS(RegisterKeyContract);

}  // namespace
}  // namespace plm::reg
