#include "config/AutoSetting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/Notice.h"
#include "tests/support/RecordingUi.h"
#include "text/CodePage.h"

namespace plm::config {
namespace {

using Log = std::vector<std::string>;
using test::RecordingUi;

class FakeSteps final : public ConfigurationSteps {
public:
    explicit FakeSteps(Log& log) : log_(log) {}

    reg::Status RemoveWrongKey(const zones::SiteAddress& site) override {
        return Step("RemoveWrongKey " + ToUtf8(site.Root));
    }
    reg::Status SetCodeBaseSearchPath() override { return Step("SetCodeBaseSearchPath"); }
    reg::Status AddTrustedSite(const zones::SiteAddress& site) override {
        return Step("AddTrustedSite " + ToUtf8(site.Scheme) + " " + ToUtf8(site.Host));
    }
    reg::Status SetTrustedZoneSecurity() override { return Step("SetTrustedZoneSecurity"); }
    // A question, not a step: it leaves no line unless the notice shows.
    bool IsLeftOutByPolicy(const zones::SiteAddress& site) override {
        askedPolicy = ToUtf8(site.Scheme) + " " + ToUtf8(site.Host);
        return leftOutByPolicy;
    }
    zones::LoginPageBrowser WhereLoginPageOpens() override { return browser; }
    reg::Status OpenLoginPage(TextView url) override {
        loginUrl = ToUtf8(url);
        const reg::Status opened = Step("OpenLoginPage");
        if (duringLoginPage) duringLoginPage();
        return opened;
    }

    // The step whose log line starts with this text fails with `failure`.
    std::string failAt;
    reg::Status failure = reg::Status::WithoutCode();
    std::function<void()> duringLoginPage;
    bool leftOutByPolicy = false;
    std::string askedPolicy;
    zones::LoginPageBrowser browser = zones::LoginPageBrowser::InternetExplorer;
    std::string loginUrl;

private:
    reg::Status Step(const std::string& line) {
        log_.push_back(line);
        return !failAt.empty() && line.rfind(failAt, 0) == 0 ? failure : reg::Status();
    }
    Log& log_;
};

const Latin1CodePage latin1;

const Log FullRun = {
    "UrlText",
    "RemoveWrongKey http://plm.example.com",
    "SetCodeBaseSearchPath",
    "AddTrustedSite http plm.example.com",
    "SetTrustedZoneSecurity",
    "OpenLoginPage",
    "EndProgram",
};

// What the user sees in a message box: the prompt, then the title.
std::string Box(TextView prompt, std::int16_t language) {
    return "ShowMessage " + ToUtf8(prompt) + " | " + ToUtf8(GetLocalText(LanguageOf(language), Message::Title));
}

// Which addresses are refused is IsValidSiteUrl's and IsPublicSuffix's
// business; here, that each refusal shows its message and runs nothing.
TEST(RunAutoSetting, ARefusedAddressShowsItsMessageInEachLanguageAndRunsNothing) {
    for (const Language& language : Languages) {
        SCOPED_TRACE(language.code);
        const auto text = [&](Message message) { return Text(GetLocalText(language, message)); };
        const std::pair<Text, Text> rows[] = {
            {u"http://plm.example.com", text(Message::Prompt) + u"\n\n" + text(Message::Example)},
            {u"https://GitHub.io:443/plm", WithHost(text(Message::PublicSuffix), u"GitHub.io")},
        };
        for (const auto& [url, message] : rows) {
            RecordingUi ui(url, language.code);
            FakeSteps steps(ui.log);
            AutoSettingCommand().Run(ui, steps, latin1);
            EXPECT_EQ(ui.log, (Log{"UrlText", Box(message, language.code)}));
        }
    }
}

TEST(RunAutoSetting, AcceptedAddressRunsTheStepsInOrderAndEnds) {
    RecordingUi ui(u"http://plm.example.com/plm");
    FakeSteps steps(ui.log);
    AutoSettingCommand().Run(ui, steps, latin1);
    EXPECT_EQ(ui.log, FullRun);
}

TEST(RunAutoSetting, ANoticeIsToldBeforeTheLoginPageOneBoxAtMost) {
    const auto notice = [](std::int16_t code, Notice which) {
        return WithHost(NoticeOf(LanguageOf(code), which), u"PLM.Example.com");
    };
    const auto policy = [&](std::int16_t code) { return notice(code, Notice::Policy); };
    struct Case {
        const char* label;
        std::int16_t language;
        bool leftOut;
        zones::LoginPageBrowser browser;
        Text notice;  // empty: no box
    };
    using enum zones::LoginPageBrowser;
    const std::vector<Case> cases = {
        {"no policy, Internet Explorer runs on its own: no box", SimplifiedChinese, false, InternetExplorer, u""},
        {"Edge in IE mode: no box", English, false, EdgeInIeMode, u""},
        {"English", English, true, InternetExplorer, policy(English)},
        {"no Internet Explorer, no IE mode", TraditionalChinese, false, EdgeWithoutIeMode,
         notice(TraditionalChinese, Notice::Browser)},
        {"no IE mode, the user may reload in it", SimplifiedChinese, false, EdgeUserMayReload,
         notice(SimplifiedChinese, Notice::Reload)},
        {"policy and browser: the policy notice alone", English, true, EdgeUserMayReload, policy(English)},
    };
    for (const auto& c : cases) {
        RecordingUi ui(u"HTTPS://PLM.Example.com:8443/plm", c.language);
        ui.urlWhileShown = u"javascript:alert(document.cookie)//.aspx";
        FakeSteps steps(ui.log);
        steps.leftOutByPolicy = c.leftOut;
        steps.browser = c.browser;
        AutoSettingCommand().Run(ui, steps, latin1);
        Log expected = {"UrlText", "RemoveWrongKey HTTPS://PLM.Example.com:8443", "SetCodeBaseSearchPath",
                        "AddTrustedSite HTTPS PLM.Example.com", "SetTrustedZoneSecurity", "OpenLoginPage",
                        "EndProgram"};
        if (!c.notice.empty()) expected.insert(expected.end() - 2, Box(c.notice, c.language));
        EXPECT_EQ(ui.log, expected) << c.label;
        EXPECT_EQ(steps.askedPolicy, "HTTPS PLM.Example.com") << c.label;
        EXPECT_EQ(steps.loginUrl, "HTTPS://PLM.Example.com:8443/plm") << c.label << ": the address validated";
    }
}

TEST(Notices, TheHostGoesIntoEveryPlaceAsTyped) {
    EXPECT_EQ(ToUtf8(WithHost(u"{host}|{host}", u"a{host}b")), "a{host}b|a{host}b");
}

// How the address is cut is GetSiteRoot's and ParseSiteAddress's business;
// here, that the steps get the address as typed, spaces and all (the port
// and the scheme's letter case are seen in the notices' runs).
TEST(RunAutoSetting, TheStepsGetTheAddressAsTyped) {
    RecordingUi ui(u"   http://10.1.2.3/plm  ");
    FakeSteps steps(ui.log);
    AutoSettingCommand().Run(ui, steps, latin1);
    EXPECT_EQ(ui.log, (Log{"UrlText", "RemoveWrongKey    http://10.1.2.3", "SetCodeBaseSearchPath",
                           "AddTrustedSite http 10.1.2.3", "SetTrustedZoneSecurity", "OpenLoginPage", "EndProgram"}));
}

// How the code is written is FailureText's table; here, that an address
// whose root cannot be cut shows the last system error in the window's
// language and runs nothing.
TEST(RunAutoSetting, OverflowShowsTheLastSystemError) {
    // The "/" after the host lands at position 32768.
    RecordingUi ui(Text(32758, u' ') + u"http://ab/plm", English);
    ui.lastError = 5;
    FakeSteps steps(ui.log);
    AutoSettingCommand().Run(ui, steps, latin1);
    EXPECT_EQ(ui.log, (Log{"UrlText", "LastSystemError", Box(u"Err:5", English)}));
}

// Only a site that did not land and a login page that did not open stop
// the run; the other steps' failures leave it to go on.
TEST(RunAutoSetting, OnlyTheTrustedSiteAndTheLoginPageStopTheRunWhenTheyFail) {
    struct Case {
        const char* label;
        std::string failAt;
        reg::Status failure;
        std::size_t stepsRun;  // all of them: the run went on and ended the program
        Log shown;
    };
    const std::size_t all = FullRun.size() - 1;
    const Log lastError = {"LastSystemError", Box(u"Err:1018", SimplifiedChinese)};
    const std::vector<Case> cases = {
        {"stale entries", "RemoveWrongKey", reg::ErrorAccessDenied, all, {}},
        {"code-base path", "SetCodeBaseSearchPath", reg::ErrorAccessDenied, all, {}},
        {"trusted site without a status of its own", "AddTrustedSite", reg::Status::WithoutCode(), 3, lastError},
        {"trusted site with the status of a registry call", "AddTrustedSite", reg::ErrorAccessDenied, 3,
         {Box(u"Err:5", SimplifiedChinese)}},
        {"zone template", "SetTrustedZoneSecurity", reg::ErrorFileNotFound, all, {}},
        {"login page without a status of its own", "OpenLoginPage", reg::Status::WithoutCode(), 5, lastError},
        {"login page with its own status", "OpenLoginPage", reg::ErrorFileNotFound, 5, {Box(u"Err:2", SimplifiedChinese)}},
    };
    for (const auto& c : cases) {
        RecordingUi ui(u"http://plm.example.com/plm");
        ui.lastError = 1018;
        FakeSteps steps(ui.log);
        steps.failAt = c.failAt;
        steps.failure = c.failure;
        AutoSettingCommand().Run(ui, steps, latin1);
        Log expected(FullRun.begin(), FullRun.begin() + static_cast<std::ptrdiff_t>(1 + c.stepsRun));
        expected.insert(expected.end(), c.shown.begin(), c.shown.end());
        EXPECT_EQ(ui.log, expected) << c.label;
    }
}

TEST(RunAutoSetting, AClickDuringTheLoginPageStepDoesNotRunAgain) {
    RecordingUi ui(u"http://plm.example.com/plm");
    FakeSteps steps(ui.log);
    // The login page step drains the message queue: a second click on the
    // button (and so a nested command) may be dispatched there.
    AutoSettingCommand command;
    int clicks = 0;
    steps.duringLoginPage = [&] {
        if (++clicks > 1) return;  // without the guard, one nested run is enough to see
        ui.log.push_back("nested click");
        EXPECT_TRUE(command.Running());
        command.Run(ui, steps, latin1);
    };
    command.Run(ui, steps, latin1);
    EXPECT_FALSE(command.Running());
    Log expected = FullRun;
    expected.insert(expected.end() - 1, "nested click");
    EXPECT_EQ(ui.log, expected);
}

TEST(RunAutoSetting, EachPressAfterARunEndsIsARunOfItsOwn) {
    RecordingUi ui(u"http://plm.example.com");
    FakeSteps steps(ui.log);
    AutoSettingCommand command;
    command.Run(ui, steps, latin1);  // rejected
    steps.failAt = "AddTrustedSite";
    ui.SetUrl(u"http://plm.example.com/plm");
    command.Run(ui, steps, latin1);  // failed
    steps.failAt.clear();
    ui.log.clear();
    command.Run(ui, steps, latin1);  // complete
    EXPECT_EQ(ui.log, FullRun);
}

}  // namespace
}  // namespace plm::config
