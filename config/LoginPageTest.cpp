#include "config/LoginPage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/Languages.h"
#include "tests/support/MemoryRegistry.h"
#include "tests/support/CommandLine.h"
#include "tests/support/LaunchCases.h"
#include "text/CodePage.h"

namespace plm::config {
namespace {

const Latin1CodePage latin1;
const Utf8CodePage utf8;

TEST(BuildLoginUrl, Table) {
    struct Case {
        const char* label;
        Text url;
        Text login;
    };
    const std::vector<Case> cases = {
        {"path segment gains slash and page", u"http://plm.example.com/plm", u"http://plm.example.com/plm/login.aspx"},
        {"trailing slash not doubled", u"http://plm.example.com/plm/", u"http://plm.example.com/plm/login.aspx"},
        {"aspx page kept", u"http://plm/plm/Login.aspx", u"http://plm/plm/Login.aspx"},
        {"upper-case ASPX kept", u"http://plm/PLM/LOGIN.ASPX", u"http://plm/PLM/LOGIN.ASPX"},
        {"mixed-case aspx with query kept", u"http://plm/plm/Default.AsPx?ReturnUrl=%2f&a=1",
         u"http://plm/plm/Default.AsPx?ReturnUrl=%2f&a=1"},
        {"aspx in the middle kept", u"http://plm/a.aspx/sub", u"http://plm/a.aspx/sub"},
        {"aspx only in the query kept", u"http://plm/plm?next=x.aspx", u"http://plm/plm?next=x.aspx"},
        {"query gets the page after it", u"http://plm/plm?x=1", u"http://plm/plm?x=1/login.aspx"},
        {"query ending in slash", u"http://plm/plm?x=/", u"http://plm/plm?x=/login.aspx"},
        {"spaces trimmed, case kept", u"   HTTP://PLM.Example.com/PLM  ", u"HTTP://PLM.Example.com/PLM/login.aspx"},
        {"aspx without dot", u"http://plm/aspx", u"http://plm/aspx/login.aspx"},
        {"asp page", u"http://plm/x.asp", u"http://plm/x.asp/login.aspx"},
        {"full-width letters are not aspx", u"http://plm/x.\uFF41\uFF53\uFF50\uFF58", u"http://plm/x.\uFF41\uFF53\uFF50\uFF58/login.aspx"},
        {"tab is not trimmed", u"\thttp://plm/plm", u"\thttp://plm/plm/login.aspx"},
        {"empty text", u"", u"/login.aspx"},
    };
    for (const auto& c : cases) EXPECT_EQ(ToUtf8(BuildLoginUrl(c.url)), ToUtf8(c.login)) << c.label;
}

TEST(IsLoginWindowTitle, Table) {
    struct Case {
        const char* label;
        Text title;
        bool match;
    };
    const std::vector<Case> cases = {
        {"Login alone", u"Login", true},
        {"Login and browser name", u"Login - Windows Internet Explorer", true},
        {"Login and more letters", u"LoginPage", true},
        {"long title", u"Login" + Text(300, u'x'), true},
        {"lower case", u"login - test", false},
        {"upper case", u"LOGIN", false},
        {"space before", u" Login", false},
        {"text before", u"PLM Login", false},
        {"empty", u"", false},
        {"shorter", u"Logi", false},
        {"split word", u"Log in", false},
        {"full-width L", u"\uFF2Cogin", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsLoginWindowTitle(c.title), c.match) << c.label;
    // The tool's own window, in every language.
    for (const Language& language : Languages) EXPECT_FALSE(IsLoginWindowTitle(language.captions.formCaption));
}

TEST(TrimAtNull, Table) {
    struct Case {
        const char* label;
        Text text;
        Text trimmed;
    };
    const std::vector<Case> cases = {
        {"no NUL", u"Login - x", u"Login - x"},
        {"NUL in the middle", Text(u"abc\0def", 7), u"abc"},
        {"NUL first", Text(u"\0Login", 6), u""},
        {"buffer padding", Text(u"Login\0\0\0\0", 9), u"Login"},
        {"empty", u"", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(ToUtf8(TrimAtNull(c.text)), ToUtf8(c.trimmed)) << c.label;
}

// What ShellExecute hands the browser: its quoted path and our parameters.
const Text BrowserPath = u"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\"";

TEST(SplitCommandLine, FollowsTheWindowsRules) {
    struct Case {
        const char* label;
        Text line;
        std::vector<Text> args;
    };
    const std::vector<Case> cases = {
        {"quoted program", u"\"C:\\a b\\p.exe\" x", {u"C:\\a b\\p.exe", u"x"}},
        {"unquoted program", u"p.exe\tx  y", {u"p.exe", u"x", u"y"}},
        {"quoted argument with space", u"p \"a b\"", {u"p", u"a b"}},
        {"escaped quote", u"p a\\\"b", {u"p", u"a\"b"}},
        {"even backslashes then quote", u"p \"a\\\\\" b", {u"p", u"a\\", u"b"}},
        {"backslashes not before a quote", u"p a\\\\b", {u"p", u"a\\\\b"}},
        {"doubled quote inside quotes", u"p \"a\"\"b\"", {u"p", u"a\"b"}},
        {"empty quoted argument", u"p \"\"", {u"p", u""}},
        {"unclosed quote", u"p \"a b", {u"p", u"a b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(plm::test::SplitCommandLine(c.line), c.args) << c.label;
}

TEST(BuildLaunchParameters, OrdinaryAddressesPassUnchanged) {
    const std::vector<Text> urls = {
        u"http://plm.example.com/plm/login.aspx",
        u"https://10.1.2.3:8443/PLM/Login.aspx?ReturnUrl=%2fplm&x=1",
        u"http://plm/a-b_c/~user/x.aspx#top",
        u"http://plm/path\\sub/login.aspx",
    };
    for (const auto& url : urls) {
        EXPECT_EQ(ToUtf8(BuildLaunchParameters(url, latin1)), ToUtf8(u" \"" + url + u"\"")) << ToUtf8(url);
    }
    const Text chinese = u"http://中文.example.com/文档/login.aspx";
    EXPECT_EQ(ToUtf8(BuildLaunchParameters(chinese, utf8)), ToUtf8(u" \"" + chinese + u"\""));
}

TEST(BuildLaunchParameters, BrowserGetsExactlyTheOneIntendedArgument) {
    for (const auto& c : test::HostileLaunchCases()) {
        const Text params = BuildLaunchParameters(c.loginUrl, latin1);
        EXPECT_EQ(params.substr(0, 2), u" \"") << c.label;
        EXPECT_EQ(params.back(), u'"') << c.label;
        const std::vector<Text> args = plm::test::SplitCommandLine(BrowserPath + params);
        ASSERT_EQ(args.size(), 2u) << c.label;
        EXPECT_EQ(ToUtf8(args[1]), ToUtf8(c.argument)) << c.label;
        // The ANSI launch call must be able to carry the whole text.
        EXPECT_TRUE(latin1.CanRepresent(params)) << c.label;
    }
}

TEST(BuildLaunchParameters, CodePageDecidesWhatIsEncoded) {
    const Text url = u"http://h/文档/bücher.aspx";
    EXPECT_EQ(ToUtf8(BuildLaunchParameters(url, utf8)), ToUtf8(u" \"" + url + u"\""));
    EXPECT_EQ(ToUtf8(BuildLaunchParameters(url, latin1)), " \"http://h/%E6%96%87%E6%A1%A3/bücher.aspx\"");
}

TEST(InternetExplorerPath, TheRegisteredFullPathElseTheOneUnderProgramFiles) {
    constexpr TextView ProgramFiles = u"C:\\Program Files (x86)";
    const Text fallback = u"C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe";
    struct Row {
        const char* label;
        std::optional<std::string> registered;  // nullopt: no App Paths value
        TextView programFiles;
        Text path;
    };
    const std::vector<Row> rows = {
        {"registered", "D:\\IE\\IEXPLORE.EXE", ProgramFiles, u"D:\\IE\\IEXPLORE.EXE"},
        {"registered in quotes, with spaces", " \"C:\\Program Files\\Internet Explorer\\iexplore.exe\" ", ProgramFiles,
         u"C:\\Program Files\\Internet Explorer\\iexplore.exe"},
        {"missing", std::nullopt, ProgramFiles, fallback},
        {"empty", "", ProgramFiles, fallback},
        {"a bare name is looked for in the working directory first", "iexplore.exe", ProgramFiles, fallback},
        {"unexpanded", "%ProgramFiles%\\Internet Explorer\\iexplore.exe", u"C:\\Program Files (x86)\\", fallback},
        {"no Program Files folder either", std::nullopt, u"", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        plm::test::MemoryRegistry registry(latin1);
        if (row.registered) {
            registry.PutValue(reg::LocalMachine, InternetExplorerAppPath, u"", reg::TypeString, *row.registered + '\0');
        }
        reg::RegisterKey keys(registry, latin1);
        EXPECT_EQ(ToUtf8(InternetExplorerPath(keys, row.programFiles)), ToUtf8(row.path));
    }
}

}  // namespace
}  // namespace plm::config
