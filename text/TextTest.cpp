// The text rules that every address rule is written in.
#include <gtest/gtest.h>

#include "text/CodePage.h"
#include "text/Text.h"

namespace plm {
namespace {

TEST(Text, SplitAtKeepsEveryPartEmptyOnesIncluded) {
    struct Row {
        const char16_t* s;
        std::vector<TextView> parts;
    } rows[] = {{u"p.q.r", {u"p", u"q", u"r"}}, {u"plm", {u"plm"}}, {u"", {u""}}, {u"a..b.", {u"a", u"", u"b", u""}}};
    for (const auto& row : rows) EXPECT_EQ(SplitAt(row.s, u'.'), row.parts) << ToUtf8(row.s);
}

TEST(Text, TrimRemovesOnlySpaces) {
    EXPECT_EQ(TrimSpaces(u"  a b  "), u"a b");
    EXPECT_EQ(TrimSpaces(u"\ta\n"), u"\ta\n");
    EXPECT_EQ(TrimSpaces(u"   "), u"");
    EXPECT_EQ(TrimSpaces(u"\u3000a"), u"\u3000a");
}

TEST(Text, CaseFoldingCoversTheScriptsOfHostNames) {
    struct Row {
        const char16_t* lower;
        const char16_t* upper;
    } rows[] = {{u"http", u"HTTP"}, {u"\u00e9\u00fe", u"\u00c9\u00de"}, {u"\u0101\u013a", u"\u0100\u0139"},
                {u"\u03b1\u03c9", u"\u0391\u03a9"}, {u"\u0436\u0451", u"\u0416\u0401"}, {u"\uff41", u"\uff21"},
                {u"\u4e2d1-_", u"\u4e2d1-_"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(ToUtf8(row.lower));
        EXPECT_EQ(ToUpper(row.lower), row.upper);
        EXPECT_EQ(ToLower(row.upper), row.lower);
        EXPECT_TRUE(EqualsNoCase(row.lower, row.upper));
    }
    EXPECT_FALSE(EqualsNoCase(u"\u00d7", u"\u00f7")) << "multiplication and division signs are not letters";
}

TEST(Text, HexDigitsKeepLeadingZerosInTheCaseAsked) {
    EXPECT_EQ(ToUtf8(HexDigits(0xabcd, HexCase::Lower)), "0000abcd");
    EXPECT_EQ(ToUtf8(HexDigits(0x8007000E, HexCase::Upper)), "8007000E");
}

TEST(Text, Utf8RoundTrip) {
    for (const char16_t* s : {u"", u"abc", u"\u00e9", u"\u5b8b\u4f53", u"\U0001F600"}) {
        EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
    }
}

// The stand-in and, on Windows, the platform's own tables, on cases where
// both must give the same answer.
TEST(CodePage, NormalisationFormKC) {
    struct Row {
        const char* label;
        std::u16string text;
        bool normalised;
    } rows[] = {
        {"ASCII in both cases", u"PLM.Example.COM", true},
        {"Chinese", u"\u4F8B\u5B50.\u6D4B\u8BD5", true},
        {"composed u umlaut", u"b\u00FCcher", true},
        {"Hangul syllables", u"\uD55C\uAD6D", true},
        {"accent that composes with nothing before it", u"q\u0301", true},
        {"full-width letters", u"\uFF50\uFF4C\uFF4D", false},
        {"full-width exclamation mark, first of the block", u"a\uFF01", false},
        {"full-width tilde, last of the ASCII forms", u"\uFF5E", false},
        {"half-width katakana", u"\uFF83\uFF9E\uFF70\uFF80", false},
        {"e and a combining acute", u"cafe\u0301", false},
        {"C and a combining cedilla", u"C\u0327a", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(IsNormalizedKCStandIn(row.text), row.normalised);
#ifdef _WIN32
        EXPECT_EQ(SystemCodePage().IsNormalizedKC(row.text), row.normalised);
#endif
    }
}

}  // namespace
}  // namespace plm
