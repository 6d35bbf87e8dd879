#include "config/SiteUrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/HostName.h"
#include "config/PublicSuffix.h"
#include "text/CodePage.h"

namespace plm::config {
namespace {

const Latin1CodePage latin1;
const Utf8CodePage utf8;

struct ValidationCase {
    const char* label;
    Text url;
    bool accepted;
    const CodePage* codePage = &latin1;
};

void CheckValidation(const std::vector<ValidationCase>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidSiteUrl(c.url, *c.codePage), c.accepted) << c.label << ": " << ToUtf8(c.url);
    }
}

Text Repeat(char16_t c, std::size_t n) { return Text(n, c); }
Text Spaces(std::size_t n) { return Repeat(u' ', n); }
Text InHost(TextView host) { return u"http://" + Text(host) + u"/plm"; }

TEST(IsValidSiteUrl, LengthSchemeSpacesAndPath) {
    CheckValidation({
        {"empty text", u"", false},
        {"only spaces", u"         ", false},
        {"bare scheme", u"http://", false},
        {"8 characters", u"http://a", false},
        {"9 characters without path", u"http://ab", false},
        {"9 characters ending in slash", u"http://a/", false},
        {"shortest accepted", u"http://a/b", true},
        {"ordinary address", u"http://plm.example.com/plm", true},
        {"https", u"https://plm.example.com/plm", true},
        {"upper-case scheme", u"HTTP://plm.example.com/plm", true},
        {"mixed-case https", u"Https://plm.example.com/plm", true},
        {"mixed-case http", u"hTtP://plm.example.com/plm", true},
        {"ftp scheme", u"ftp://plm.example.com/plm", false},
        {"file scheme", u"file:///c:/plm/index", false},
        {"no scheme", u"plm.example.com/plm", false},
        {"one slash after scheme", u"http:/plm.example.com/plm", false},
        {"httpx scheme", u"httpx://plm.example.com/plm", false},
        {"full-width scheme letters", u"\uFF48ttp://plm.example.com/plm", false},
        {"leading and trailing spaces", u"   http://plm.example.com/plm   ", true},
        {"leading tab is not trimmed", u"\thttp://plm.example.com/plm", false},
        {"space inside the path", u"http://plm.example.com/p lm", false},
        {"space inside the host", u"http://plm example.com/plm", false},
        {"ends right after the host", u"http://plm.example.com", false},
        {"ends with slash after the host", u"http://plm.example.com/", false},
        {"one path character", u"http://plm.example.com/p", true},
        {"path ending in slash", u"http://plm.example.com/plm/", true},
        {"query in the path", u"http://plm.example.com/plm/Login.aspx?u=a&b=c", true},
        {"tab inside the path passes", u"http://plm.example.com/pl\tm", true},
        {"quote inside the path passes", u"http://plm.example.com/pl\"m", true},
        {"port", u"http://plm.example.com:8080/plm", true},
        {"numeric host", u"http://10.1.2.3/plm", true},
        {"one-character http host", u"http://a/plm", true},
        {"one-character https host", u"https://a/plm", true},
        {"2,083 characters, the longest", u"http://plm.example.com/" + Repeat(u'p', 2060), true},
        {"2,084 characters", u"http://plm.example.com/" + Repeat(u'p', 2061), false},
    });
}

TEST(IsPublicSuffix, HostsTheListNamesAndHostsUnderThem) {
    const struct {
        TextView host;
        bool publicSuffix;
    } rows[] = {
        {u"github.io", true},           {u"co.uk", true},
        {u"s3.amazonaws.com", true},    {u"blogspot.com", true},
        {u"com", true},                 {u"GitHub.IO.", true},  // ASCII case, one "." at the end
        {u"other.ck", true},            {u"www.ck", false},     // "*.ck" with its exception "!www.ck"
        {u"ck", false},                 {u"a.www.ck", false},   // under the exception
        {u"x.kawasaki.jp", true},       {u"city.kawasaki.jp", false},
        {u"公司.cn", true},             {u"xn--55qx5d.cn", true},  // its ASCII form
        {u"example.com", false},        {u"plm.github.io", false},
        {u"plm", false},                {u"plm.co.uk", false},
        {u"10.1.2.3", false},           {u"xn--zz.cn", false},  // not valid Punycode
    };
    for (const auto& row : rows) EXPECT_EQ(IsPublicSuffix(row.host), row.publicSuffix) << ToUtf8(row.host);
}

TEST(IsValidSiteUrl, EmptyHostIsRejected) {
    CheckValidation({
        {"port without host", u"http://:8080/plm", false},
        {"three slashes https", u"https:///plm", false},
        {"three slashes http", u"http:///plm", false},
        {"colon only", u"http://:/plm", false},
        {"leading spaces and empty host", u"  https:///plm", false},
    });
}

// Which code points a host may hold is IsHostCharacter's table below; here,
// that the address's host is where they are looked for.
TEST(IsValidSiteUrl, HostCharacters) {
    CheckValidation({
        {"letters digits hyphen underscore", InHost(u"plm-1_a.Example.COM"), true},
        {"backslash", InHost(u"plm\\evil.com"), false},
        {"user info", InHost(u"user@plm.example.com"), false},
        {"IPv6 literal", u"http://[::1]/plm", false},
        {"question mark", u"http://plm.example.com?a=/plm", false},
        {"hash", u"http://plm.example.com#x/plm", false},
        {"unpaired surrogate", InHost(u"plm\xD800x"), false, &utf8},
        {"emoji", InHost(u"plm\U0001F600"), false, &utf8},
    });
}

TEST(IsValidSiteUrl, HostCharactersAgainstTheCodePage) {
    CheckValidation({
        {"Chinese host, code page holds it", InHost(u"中文.example.com"), true, &utf8},
        {"Chinese host, code page lacks it", InHost(u"中文.example.com"), false, &latin1},
        {"Latin-1 letter, Latin-1 page", InHost(u"bücher.example.de"), true, &latin1},
        {"Cyrillic host, code page holds it", InHost(u"пример.рф"), true, &utf8},
        {"Cyrillic host, Latin-1 page", InHost(u"пример.рф"), false, &latin1},
        {"Devanagari with vowel signs", InHost(u"हिन्दी.example"), true, &utf8},
        {"Japanese with long vowel mark", InHost(u"データ.example.jp"), true, &utf8},
        {"ideograph beyond the BMP", InHost(u"\U00020000.example"), true, &utf8},
        {"Arabic-Indic digits", InHost(u"\u0661\u0662.example"), true, &utf8},
    });
}

TEST(IsValidSiteUrl, HostAndLabelLengths) {
    const Text label63 = Repeat(u'a', 63);
    const Text host253 = label63 + u"." + label63 + u"." + label63 + u"." + Repeat(u'b', 61);
    const Text host254 = label63 + u"." + label63 + u"." + label63 + u"." + Repeat(u'b', 62);
    ASSERT_EQ(host253.size(), 253u);
    ASSERT_EQ(host254.size(), 254u);
    // The host rule on its own: 253 characters, labels of 63.
    struct Row {
        const char* label;
        Text host;
        bool accepted;
        const CodePage* codes;
    } rows[] = {
        {"host of 253", host253, true, &latin1},
        {"host of 254", host254, false, &latin1},
        {"Chinese label of 63", Repeat(u'中', 63) + u".cn", true, &utf8},
        {"Chinese label of 64", Repeat(u'中', 64) + u".cn", false, &utf8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(IsAcceptableHost(row.host, *row.codes), row.accepted);
    }
    // The whole address: the registry must also take the longest entry
    // path, "...\ZoneMap\EscDomains\" and the host, within 260 bytes in the
    // code page, so hosts of more than 181 bytes are refused.
    const Text host181 = label63 + u"." + label63 + u"." + Repeat(u'c', 53);
    const Text host182 = host181 + u"c";
    ASSERT_EQ(host181.size(), 181u);
    CheckValidation({
        {"label of 63", InHost(label63 + u".example.com"), true},
        {"label of 64", InHost(Repeat(u'a', 64) + u".example.com"), false},
        {"last label of 64", InHost(u"example." + Repeat(u'a', 64)), false},
        {"host of 181 bytes", InHost(host181), true},
        {"host of 181 bytes with port", u"http://" + host181 + u":8080/plm", true},
        {"host of 182 bytes", InHost(host182), false},
        {"host of 253", InHost(host253), false},
        {"59 Chinese characters and .cn: 180 bytes in UTF-8", InHost(Repeat(u'中', 59) + u".cn"), true, &utf8},
        {"60 Chinese characters and .cn: 183 bytes in UTF-8", InHost(Repeat(u'中', 60) + u".cn"), false, &utf8},
    });
}

// An empty label would make the entry name the parent domain.
TEST(IsValidSiteUrl, EmptyLabelsAreRefused) {
    CheckValidation({
        {"leading dot", InHost(u".a.b"), false},
        {"leading dot before a port", u"http://.example.com:8080/plm", false},
        {"double dot", InHost(u"a..b"), false},
        {"only dots", InHost(u".."), false},
        {"two dots at the end", InHost(u"plm.example.com.."), false},
        {"trailing dot", InHost(u"plm.example.com."), true},
    });
}

// A host of numbers is read by the browser as an IPv4 address; only the
// canonical dotted quad is looked up as typed.
TEST(IsValidSiteUrl, NumberLikeHostsOnlyAsCanonicalDottedQuads) {
    CheckValidation({
        {"dotted quad", InHost(u"127.0.0.1"), true},
        {"zeros and the top", InHost(u"0.255.0.255"), true},
        {"one number", InHost(u"2130706433"), false},
        {"two parts", InHost(u"127.1"), false},
        {"three parts", InHost(u"1.2.3"), false},
        {"five parts", InHost(u"1.2.3.4.5"), false},
        {"part above 255", InHost(u"256.1.1.1"), false},
        {"leading zero", InHost(u"192.168.001.010"), false},
        {"hex part", InHost(u"0x7f.0.0.1"), false},
        {"upper-case hex, one part", InHost(u"0X7F000001"), false},
        {"trailing dot", InHost(u"1.2.3.4."), false},
        {"name with a number label", InHost(u"123.example.com"), true},
        {"letter after the digits", InHost(u"1.2.3.4a"), true},
        {"exponent-looking label", InHost(u"1e3.2.3.4"), true},
    });
}

// The browser looks hosts up in their normalised form; a key in another
// form is never matched.
TEST(IsValidSiteUrl, HostNotInNormalisationFormKCIsRefused) {
    CheckValidation({
        {"full-width letters", InHost(u"\uFF50\uFF4C\uFF4D.example.com"), false, &utf8},
        {"full-width digits", InHost(u"\uFF11\uFF12\uFF17.\uFF10.\uFF10.\uFF11"), false, &utf8},
        {"half-width katakana", InHost(u"\uFF83\uFF9E\uFF70\uFF80.example.jp"), false, &utf8},
        {"e and a combining acute", InHost(u"cafe\u0301.example"), false, &utf8},
        {"composed e acute, Latin-1", InHost(u"caf\u00E9.example"), true, &latin1},
        {"composed e acute, UTF-8", InHost(u"caf\u00E9.example"), true, &utf8},
        {"upper-case ASCII, UTF-8", InHost(u"PLM.Example.COM"), true, &utf8},
        {"Chinese", InHost(u"例子.测试"), true, &utf8},
    });
}

TEST(IsValidSiteUrl, EveryPercentStartsAnEscape) {
    CheckValidation({
        {"escape in the path", u"http://plm.example.com/plm%41", true},
        {"escapes in both cases", u"http://plm.example.com/a%2f%2Fb", true},
        {"not hex", u"http://plm.example.com/plm%zz", false},
        {"one hex digit at the end", u"http://plm.example.com/plm%4", false},
        {"percent at the end", u"http://plm.example.com/plm%", false},
        {"percent in the query", u"http://plm.example.com/plm?q=100%", false},
    });
}

TEST(IsValidSiteUrl, Ports) {
    CheckValidation({
        {"port 80", u"http://plm:80/plm", true},
        {"port 0", u"http://plm:0/plm", true},
        {"port 65535", u"http://plm:65535/plm", true},
        {"port 65536", u"http://plm:65536/plm", false},
        {"port 99999", u"http://plm:99999/plm", false},
        {"five digits with leading zeros", u"http://plm:00080/plm", true},
        {"six digits", u"http://plm:000080/plm", false},
        {"empty port", u"http://plm:/plm", false},
        {"decimal point", u"http://plm:80.5/plm", false},
        {"trailing letter", u"http://plm:8080x/plm", false},
        {"sign", u"http://plm:+80/plm", false},
        {"negative", u"http://plm:-1/plm", false},
        {"second colon", u"http://plm:80:81/plm", false},
        {"full-width digits", u"http://plm:\uFF18\uFF10/plm", false},
        {"port on https", u"https://10.1.2.3:8443/plm", true},
        {"port without path", u"http://plm:8080", false},
    });
}

struct RootCase {
    std::string label;
    Text url;
    Text root;
    Text scheme;
    Text host;
};

void CheckRoots(const std::vector<RootCase>& cases) {
    for (const auto& c : cases) {
        const Text root = GetSiteRoot(c.url);
        EXPECT_EQ(ToUtf8(root), ToUtf8(c.root)) << c.label;
        const SiteAddress site = ParseSiteAddress(root);
        EXPECT_EQ(ToUtf8(site.Scheme), ToUtf8(c.scheme)) << c.label;
        EXPECT_EQ(ToUtf8(site.Host), ToUtf8(c.host)) << c.label;
    }
}

TEST(GetSiteRoot, CutsAfterTheHost) {
    CheckRoots({
        {"ordinary", u"http://plm.example.com/plm", u"http://plm.example.com", u"http", u"plm.example.com"},
        {"port kept in the root", u"http://plm.example.com:8080/plm/x", u"http://plm.example.com:8080", u"http",
         u"plm.example.com"},
        {"scheme case as typed", u"HTTP://PLM.Example.com/plm", u"HTTP://PLM.Example.com", u"HTTP",
         u"PLM.Example.com"},
        {"https scheme case", u"Https://10.1.2.3:443/plm", u"Https://10.1.2.3:443", u"Https", u"10.1.2.3"},
        {"one-character http host", u"http://a/plm", u"http://a", u"http", u"a"},
        {"one-character host, deeper path", u"http://a/plm/x/y", u"http://a", u"http", u"a"},
        {"one-character https host", u"https://a/plm", u"https://a", u"https", u"a"},
        {"no slash after the host", u"http://plm", u"http://plm", u"http", u"plm"},
        {"trailing spaces after the path", u"http://plm/plm  ", u"http://plm", u"http", u"plm"},
    });
}

TEST(GetSiteRoot, LeadingSpacesStayInTheRoot) {
    std::vector<RootCase> cases;
    for (std::size_t n = 1; n <= 6; ++n) {
        for (TextView scheme : {TextView(u"http"), TextView(u"https")}) {
            const Text lead = Spaces(n) + Text(scheme) + u"://";
            cases.push_back({std::to_string(n) + " spaces before " + ToUtf8(scheme), lead + u"plm.example.com/plm", lead + u"plm.example.com",
                             Text(scheme), u"plm.example.com"});
        }
    }
    CheckRoots(cases);
    // One-character host behind leading spaces too.
    CheckRoots({{"3 spaces, one-character host", u"   http://a/plm", u"   http://a", u"http", u"a"}});
}

TEST(GetSiteRoot, PositionBeyond32767Overflows) {
    // "http://ab" is 9 characters, so the "/" after it stands at n + 10.
    const Text last = Spaces(32757) + u"http://ab/plm";
    EXPECT_EQ(GetSiteRoot(last), Spaces(32757) + u"http://ab");
    EXPECT_FALSE(SiteRootOverflows(last));
    EXPECT_TRUE(SiteRootOverflows(Spaces(32758) + u"http://ab/plm"));
    EXPECT_FALSE(SiteRootOverflows(Spaces(32758) + u"http://ab")) << "no \"/\" after the host: nothing to find";
    // Accepted by the validation all the same: the error comes after it.
    EXPECT_TRUE(IsValidSiteUrl(Spaces(32758) + u"http://ab/plm", latin1));
}

TEST(ParseSiteAddress, SchemeAndHost) {
    struct Case {
        const char* label;
        Text root;
        Text scheme;
        Text host;
        Text hostAndPort;
        std::vector<Text> labels;
    };
    const std::vector<Case> cases = {
        {"host name", u"http://plm.example.com", u"http", u"plm.example.com", u"plm.example.com", {u"plm", u"example", u"com"}},
        {"port dropped", u"https://plm:8443", u"https", u"plm", u"plm:8443", {u"plm"}},
        {"colon without port", u"http://plm:", u"http", u"plm", u"plm:", {u"plm"}},
        {"leading spaces trimmed", u"    HTTP://plm", u"HTTP", u"plm", u"plm", {u"plm"}},
        {"no slash: host is after position 0", u"http:", u"http", u"http", u"http:", {u"http"}},
        {"empty labels kept", u"http://a..b.", u"http", u"a..b.", u"a..b.", {u"a", u"", u"b", u""}},
    };
    for (const auto& c : cases) {
        const SiteAddress site = ParseSiteAddress(c.root);
        EXPECT_EQ(ToUtf8(site.Scheme), ToUtf8(c.scheme)) << c.label;
        EXPECT_EQ(ToUtf8(site.Host), ToUtf8(c.host)) << c.label;
        EXPECT_EQ(ToUtf8(site.HostAndPort), ToUtf8(c.hostAndPort)) << c.label;
        EXPECT_EQ(site.Labels, c.labels) << c.label;
        EXPECT_EQ(site.Root, c.root) << c.label;
    }
    // No ":" at all (never from an accepted address): no scheme.
    EXPECT_EQ(ParseSiteAddress(u"plm/x").Scheme, u"");
}

TEST(IsHostCharacter, ClassesAtTheirBorders) {
    struct Case {
        const char* label;
        char32_t c;
        bool allowed;
    };
    const std::vector<Case> cases = {
        {"a", U'a', true},          {"Z", U'Z', true},          {"0", U'0', true},
        {"9", U'9', true},          {"-", U'-', true},          {"_", U'_', true},
        {".", U'.', false},         {"/", U'/', false},         {":", U':', false},
        {"@", U'@', false},         {"`", U'`', false},         {"{", U'{', false},
        {"\\", U'\\', false},       {"[", U'[', false},         {"]", U']', false},
        {"*", U'*', false},         {"%", U'%', false},         {"\"", U'"', false},
        {"'", U'\'', false},        {",", U',', false},         {";", U';', false},
        {"+", U'+', false},         {"=", U'=', false},         {"~", U'~', false},
        {"&", U'&', false},         {"tab", U'\t', false},      {"U+0001", 0x0001, false},
        {"DEL", 0x007F, false},     {"C1 U+0085", 0x0085, false}, {"no-break space", 0x00A0, false},
        {"middle dot", 0x00B7, false}, {"modifier apostrophe", 0x02BC, false}, {"em space", 0x2003, false},
        {"zero-width space", 0x200B, false}, {"right single quote", 0x2019, false}, {"line separator", 0x2028, false},
        {"ideographic space", 0x3000, false}, {"ideographic full stop", 0x3002, false}, {"Hangul filler", 0x3164, false},
        {"private use", 0xE000, false}, {"variation selector", 0xFE0F, false}, {"byte order mark", 0xFEFF, false},
        {"full-width full stop", 0xFF0E, false}, {"full-width at", 0xFF20, false}, {"full-width reverse solidus", 0xFF3C, false},
        {"U+00BF", 0x00BF, false},  {"U+00C0", 0x00C0, true},   {"U+00D7", 0x00D7, false},
        {"U+00F7", 0x00F7, false},  {"U+00FF", 0x00FF, true},   {"U+4E00", 0x4E00, true},
        {"U+9FFF", 0x9FFF, true},   {"U+AC00", 0xAC00, true},   {"U+FF10", 0xFF10, true},
        {"U+FF0F", 0xFF0F, false},  {"U+FF1A", 0xFF1A, false},  {"U+FFFD", 0xFFFD, false},
        {"U+20000", 0x20000, true}, {"U+1F600", 0x1F600, false}, {"U+F0000", 0xF0000, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsHostCharacter(c.c), c.allowed) << c.label;
}

TEST(ParseSiteAddress, NumericOnlyForThreeOrMoreLabelsOfAsciiDigits) {
    struct Row {
        const char* label;
        TextView host;
        bool numeric;
    };
    const std::vector<Row> rows = {
        {"four numbers", u"10.1.2.3", true},
        {"one number is a name", u"10", false},
        {"two numbers are a name", u"10.1", false},
        {"three numbers", u"10.1.2", true},
        {"no range check on the numbers", u"999999999999.1.1", true},
        {"leading zeros", u"010.001.0.0", true},
        {"empty host", u"", false},
        {"empty part in the middle", u"10..2.3", false},
        {"trailing dot", u"10.1.2.", false},
        {"leading dot", u".10.1.2", false},
        {"plus sign", u"+10.1.2.3", false},
        {"minus sign", u"10.-1.2.3", false},
        {"exponent", u"1e3.1.2", false},
        {"hexadecimal", u"0x10.1.2.3", false},
        {"group separator", u"1,000.1.2.3", false},
        {"space inside a part", u"10 .1.2.3", false},
        {"letter", u"10.1.2.x", false},
        {"full-width digit", u"\uFF11\uFF10.1.2.3", false},
        {"Arabic-Indic digit", u"\u0661.1.2.3", false},
        {"full-width dot is not a separator", u"10\uFF0E1.2.3", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(ParseSiteAddress(u"http://" + Text(row.host)).Numeric, row.numeric);
    }
}

}  // namespace
}  // namespace plm::config
