#include <gtest/gtest.h>

#include <optional>

#include "app/Prefill.h"

namespace plm::app {
namespace {

struct PrefillRow {
    const char* label;
    Text clipboard;
    std::optional<Text> taken;  // what the rule puts in the box, if anything
    Text shown;                 // what the box shows after start-up
};

TEST(Prefill, TakesAnAddressFromTheClipboardText) {
    const PrefillRow rows[] = {
        {"page address with spaces and capitals", u"  HTTP://Plm.Example.COM/Folder/Page.aspx  ",
         u"http://plm.example.com/folder", u"http://plm.example.com/folder"},
        {"site address ending in a slash", u"http://host/folder/", u"http://host/folder", u"http://host/folder"},
        {"no path: the last slash is the second of //", u"http://host", u"http:/", u"http:/"},
        {"exactly http:// (7 characters) is not taken", u"http://", std::nullopt, u"http://"},
        {"https:// (8 characters) is taken", u"https://", u"https:/", u"https:/"},
        {"the folder itself is dropped", u"http://host/folder", u"http://host", u"http://host"},
        {"a trailing line break goes with the last part", u"http://host/plm/page\r\n", u"http://host/plm",
         u"http://host/plm"},
        {"a line break after the final slash", u"http://host/plm/\n", u"http://host/plm", u"http://host/plm"},
        {"a leading line break", u"\r\nhttp://host/plm/page", std::nullopt, u"http://"},
        {"a leading tab", u"\thttp://host/plm/page", std::nullopt, u"http://"},
        {"another scheme", u"ftp://host/plm/page", std::nullopt, u"http://"},
        {"no scheme", u"host/plm/page", std::nullopt, u"http://"},
        {"empty clipboard", u"", std::nullopt, u"http://"},
        {"spaces only", u"     ", std::nullopt, u"http://"},
        {"spaces around http:// leave 7 characters", u"   http://   ", std::nullopt, u"http://"},
        {"8 characters: http://a", u"http://a", u"http:/", u"http:/"},
        {"scheme then host without a slash", u"http:host", std::nullopt, u"http://"},
        {"https scheme then host without a slash", u"https:hostname", std::nullopt, u"http://"},
        {"scheme, host, then a slash", u"http:host/plm", u"http:host", u"http:host"},
        {"https in capitals with a port", u"HTTPS://Host:8080/PLM/Login.aspx", u"https://host:8080/plm",
         u"https://host:8080/plm"},
        {"only the first letters are compared: httpx: is not a scheme", u"httpx://host/a", std::nullopt,
         u"http://"},
        {"a space inside is kept", u"http://host/my plm/page", u"http://host/my plm", u"http://host/my plm"},
        {"a query part after the last slash is dropped", u"http://host/plm/page?a=1", u"http://host/plm",
         u"http://host/plm"},
        {"a slash inside the query part is the last one", u"http://host/plm/page?next=/x", u"http://host/plm/page?next=",
         u"http://host/plm/page?next="},
        {"Chinese path, lower-cased scheme", u"HTTP://主机/目录/页面", u"http://主机/目录", u"http://主机/目录"},
        {"full-width capitals lower to full-width letters, not a scheme", u"\uFF28TTP://host/a/b", std::nullopt,
         u"http://"},
        {"an ideographic space is not trimmed", u"\u3000http://host/a/b", std::nullopt, u"http://"},
        {"longer than an address may be", u"http://host/plm/" + Text(2068, u'p'), std::nullopt, u"http://"},
        {"as long as an address may be", u"http://host/plm/" + Text(2067, u'p'), u"http://host/plm",
         u"http://host/plm"},
    };
    for (const auto& row : rows) {
        auto taken = UrlFromClipboardText(row.clipboard);
        ASSERT_EQ(taken.has_value(), row.taken.has_value()) << row.label;
        if (taken) {
            EXPECT_EQ(ToUtf8(*taken), ToUtf8(*row.taken)) << row.label;
        }
        EXPECT_EQ(ToUtf8(InitialUrlText(row.clipboard)), ToUtf8(row.shown)) << row.label;
    }
}

}  // namespace
}  // namespace plm::app
