// The launch parameters through the real CommandLineToArgvW, the splitter
// the browser's start-up code uses.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/LaunchCases.h"
#include "config/LoginPage.h"
#include "text/CodePage.h"

namespace plm::config {
namespace {

std::vector<Text> RealSplit(const Text& line) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(reinterpret_cast<LPCWSTR>(line.c_str()), &count);
    std::vector<Text> args;
    if (argv == nullptr) return args;
    for (int i = 0; i < count; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    LocalFree(argv);
    return args;
}

const Text BrowserPath = u"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\"";

TEST(BuildLaunchParametersWin32, RealSplitterGivesTheOneIntendedArgument) {
    const Latin1CodePage latin1;
    for (const auto& c : test::HostileLaunchCases()) {
        const std::vector<Text> args = RealSplit(BrowserPath + BuildLaunchParameters(c.loginUrl, latin1));
        ASSERT_EQ(args.size(), 2u) << c.label;
        EXPECT_EQ(ToUtf8(args[1]), ToUtf8(c.argument)) << c.label;
    }
}

TEST(BuildLaunchParametersWin32, HostileRowsBreakTheRealSplitterUnprotected) {
    for (const auto& c : test::HostileLaunchCases()) {
        if (!c.breaksUnquoted) continue;
        const std::vector<Text> args = RealSplit(BrowserPath + u" \"" + c.loginUrl + u"\"");
        EXPECT_FALSE(args.size() == 2 && args[1] == c.loginUrl) << c.label;
    }
}

TEST(BuildLaunchParametersWin32, SystemCodePageCarriesTheParameters) {
    // Whatever the system code page, the encoded parameters convert exactly
    // for the ANSI launch call.
    const CodePage& system = SystemCodePage();
    for (const auto& c : test::HostileLaunchCases()) {
        EXPECT_TRUE(system.CanRepresent(BuildLaunchParameters(c.loginUrl, system))) << c.label;
    }
}

}  // namespace
}  // namespace plm::config
