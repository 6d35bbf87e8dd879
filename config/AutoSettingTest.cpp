#include "config/AutoSetting.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/Notice.h"
#include "config/RunTimeError.h"
#include "text/CodePage.h"

namespace plm::config {
namespace {

using Log = std::vector<std::string>;

// The localised message lists of the window, by language code; code 1 has
// none, so every caller's default shows.
const std::vector<Text> EnglishMessages = {u"Please input PLM URL.", u"For exsample (http://127.0.0.1/plm)",
                                           u"Velmora Prompt", u"Invalid System URL!"};
const std::vector<Text> TraditionalMessages = {u"請輸入PLM系統的URL位置。", u"如(http://127.0.0.1/plm)", u"Velmora提示",
                                               u"不是有效的系統網站路徑！"};

class FakeUi final : public AutoSettingUi {
public:
    FakeUi(Log& log, Text url, int languageCode = 1) : log_(log), url_(std::move(url)), language_(languageCode) {}

    Text UrlText() override {
        log_.push_back("UrlText");
        return url_;
    }
    Text LocalText(TextView fallback, std::int16_t index) override {
        const std::vector<Text>* list = language_ == 0 ? &EnglishMessages
                                        : language_ == 2 ? &TraditionalMessages
                                                         : nullptr;
        if (list && index >= 1 && static_cast<std::size_t>(index) <= list->size()) {
            return (*list)[static_cast<std::size_t>(index) - 1];
        }
        return Text(fallback);
    }
    std::int16_t LanguageCode() override { return static_cast<std::int16_t>(language_); }
    void ShowMessage(TextView prompt, TextView title) override {
        log_.push_back("ShowMessage " + ToUtf8(prompt) + " | " + ToUtf8(title));
        // Another program may set the box's text while a message is up.
        if (!urlWhileShown.empty()) url_ = urlWhileShown;
    }
    std::uint32_t LastSystemError() override {
        log_.push_back("LastSystemError");
        return lastError;
    }
    void EndProgram() override { log_.push_back("EndProgram"); }

    void SetUrl(Text url) { url_ = std::move(url); }
    std::uint32_t lastError = 0;
    Text urlWhileShown;

private:
    Log& log_;
    Text url_;
    int language_;
};

enum class Failure { None, RunTime, Standard, OutOfMemory, Coded, Status, CodedStatus };

class FakeSteps final : public ConfigurationSteps {
public:
    explicit FakeSteps(Log& log) : log_(log) {}

    void RemoveWrongKey(Text siteRoot) override { Step("RemoveWrongKey " + ToUtf8(siteRoot)); }
    void SetCodeBaseSearchPath() override { Step("SetCodeBaseSearchPath"); }
    zones::StepStatus AddTrustedSite(TextView scheme, TextView host) override {
        Step("AddTrustedSite " + ToUtf8(scheme) + " " + ToUtf8(host));
        return trustedSite;
    }
    void SetTrustedZoneSecurity() override { Step("SetTrustedZoneSecurity"); }
    // A question, not a step: it leaves no line unless the notice shows.
    bool IsLeftOutByPolicy(TextView scheme, TextView host) override {
        askedPolicy = ToUtf8(scheme) + " " + ToUtf8(host);
        return leftOutByPolicy;
    }
    bool OpensWithoutIeMode() override { return withoutIeMode; }
    void OpenLoginPage(TextView url) override {
        loginUrl = ToUtf8(url);
        Step("OpenLoginPage");
        if (duringLoginPage) duringLoginPage();
    }

    // The step whose log line starts with this text throws.
    std::string failAt;
    Failure failure = Failure::None;
    std::function<void()> duringLoginPage;
    bool leftOutByPolicy = false;
    std::string askedPolicy;
    bool withoutIeMode = false;
    std::string loginUrl;
    zones::StepStatus trustedSite;

private:
    void Step(const std::string& line) {
        log_.push_back(line);
        if (failAt.empty() || line.rfind(failAt, 0) != 0) return;
        switch (failure) {
            case Failure::RunTime: throw RunTimeError("overflow");
            case Failure::Standard: throw std::runtime_error("refused");
            case Failure::OutOfMemory: throw std::bad_alloc();
            case Failure::Coded: throw CodedError("the browser cannot be started", 2);
            case Failure::None:
            case Failure::Status:
            case Failure::CodedStatus: break;
        }
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

TEST(RunAutoSetting, RejectedAddressShowsThePromptInEachLanguage) {
    struct Case {
        const char* label;
        int language;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"Simplified Chinese defaults", 1,
         "ShowMessage 请输入PLM系统的URL位置。\n\n如(http://127.0.0.1/plm) | Velmora提示"},
        {"English", 0, "ShowMessage Please input PLM URL.\n\nFor exsample (http://127.0.0.1/plm) | Velmora Prompt"},
        {"Traditional Chinese", 2, "ShowMessage 請輸入PLM系統的URL位置。\n\n如(http://127.0.0.1/plm) | Velmora提示"},
    };
    for (const auto& c : cases) {
        Log log;
        FakeUi ui(log, u"http://plm.example.com", c.language);
        FakeSteps steps(log);
        AutoSettingCommand().Run(ui, steps, latin1);
        EXPECT_EQ(log, (Log{"UrlText", c.shown})) << c.label;
    }
}

TEST(RunAutoSetting, RejectedAddressesRunNothing) {
    const std::vector<Text> rejected = {
        u"",           u"http://",          u"ftp://plm.example.com/plm", u"http://plm.example.com/",
        u"http:///plm", u"http://:8080/plm", u"http://plm:80.5/plm",      u"http://user@plm/plm",
        u"http://plm\\x/plm", u"http://中文/plm",
    };
    for (const auto& url : rejected) {
        Log log;
        FakeUi ui(log, url);
        FakeSteps steps(log);
        AutoSettingCommand().Run(ui, steps, latin1);
        ASSERT_EQ(log.size(), 2u) << ToUtf8(url);
        EXPECT_EQ(log[1].rfind("ShowMessage 请输入", 0), 0u) << ToUtf8(url);
    }
}

TEST(RunAutoSetting, AcceptedAddressRunsTheStepsInOrderAndEnds) {
    Log log;
    FakeUi ui(log, u"http://plm.example.com/plm");
    FakeSteps steps(log);
    AutoSettingCommand().Run(ui, steps, latin1);
    EXPECT_EQ(log, FullRun);
}

TEST(RunAutoSetting, ANoticeIsToldBeforeTheLoginPageOneBoxAtMost) {
    struct Case {
        const char* label;
        int language;
        bool leftOut;
        bool withoutIeMode;
        std::string notice;  // empty: no box
    };
    const std::vector<Case> cases = {
        {"no policy, Internet Explorer runs on its own: no box", 1, false, false, ""},
        {"English", 0, true, false,
         "Trusted sites on this computer are set by your administrator's policy, so PLM.Example.com cannot be made "
         "a trusted site here. Please ask your administrator to add it to the Trusted Sites zone. | Velmora Prompt"},
        {"a code without a text speaks the design language", 5, true, false,
         "此计算机的受信任站点由管理员的组策略决定，无法在此将 PLM.Example.com "
         "设为受信任的站点。请联系管理员将其添加到“受信任的站点”区域。 | Velmora提示"},
        {"no Internet Explorer, no IE mode", 2, false, true,
         ToUtf8(BrowserNotice(TraditionalChinese, u"PLM.Example.com")) + " | Velmora提示"},
        {"policy and browser: the policy notice alone", 0, true, true,
         "Trusted sites on this computer are set by your administrator's policy, so PLM.Example.com cannot be made "
         "a trusted site here. Please ask your administrator to add it to the Trusted Sites zone. | Velmora Prompt"},
    };
    for (const auto& c : cases) {
        Log log;
        FakeUi ui(log, u"HTTPS://PLM.Example.com:8443/plm", c.language);
        ui.urlWhileShown = u"javascript:alert(document.cookie)//.aspx";
        FakeSteps steps(log);
        steps.leftOutByPolicy = c.leftOut;
        steps.withoutIeMode = c.withoutIeMode;
        AutoSettingCommand().Run(ui, steps, latin1);
        Log expected = {"UrlText", "RemoveWrongKey HTTPS://PLM.Example.com:8443", "SetCodeBaseSearchPath",
                        "AddTrustedSite HTTPS PLM.Example.com", "SetTrustedZoneSecurity", "OpenLoginPage",
                        "EndProgram"};
        if (!c.notice.empty()) expected.insert(expected.end() - 2, "ShowMessage " + c.notice);
        EXPECT_EQ(log, expected) << c.label;
        EXPECT_EQ(steps.askedPolicy, "HTTPS PLM.Example.com") << c.label;
        EXPECT_EQ(steps.loginUrl, "HTTPS://PLM.Example.com:8443/plm") << c.label << ": the address validated";
    }
}

TEST(Notices, TheHostGoesIntoEveryPlaceAsTyped) {
    const NoticeText texts[] = {{English, u"{host}|{host}"}};
    EXPECT_EQ(ToUtf8(Notice(texts, English, u"a{host}b")), "a{host}b|a{host}b");
}

TEST(RunAutoSetting, WhatTheStepsAreGiven) {
    struct Case {
        const char* label;
        Text url;
        std::string removed;
        std::string trusted;
    };
    const std::vector<Case> cases = {
        {"port kept for the stale entries", u"http://plm.example.com:8080/plm", "RemoveWrongKey http://plm.example.com:8080",
         "AddTrustedSite http plm.example.com"},
        {"scheme case as typed", u"HTTPS://PLM.example.com/plm", "RemoveWrongKey HTTPS://PLM.example.com",
         "AddTrustedSite HTTPS PLM.example.com"},
        {"leading spaces stay in the root", u"   http://10.1.2.3/plm", "RemoveWrongKey    http://10.1.2.3",
         "AddTrustedSite http 10.1.2.3"},
        {"one-character host", u"http://a/plm", "RemoveWrongKey http://a", "AddTrustedSite http a"},
        {"trailing spaces", u"https://plm/plm/  ", "RemoveWrongKey https://plm", "AddTrustedSite https plm"},
    };
    for (const auto& c : cases) {
        Log log;
        FakeUi ui(log, c.url);
        FakeSteps steps(log);
        AutoSettingCommand().Run(ui, steps, latin1);
        ASSERT_EQ(log.size(), 7u) << c.label;
        EXPECT_EQ(log[1], c.removed) << c.label;
        EXPECT_EQ(log[3], c.trusted) << c.label;
        EXPECT_EQ(log[6], "EndProgram") << c.label;
    }
}

TEST(RunAutoSetting, OverflowShowsTheLastSystemError) {
    struct Case {
        const char* label;
        std::uint32_t code;
        int language;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"code 0 still shown", 0, 1, "ShowMessage Err:0 | Velmora提示"},
        {"access denied", 5, 1, "ShowMessage Err:5 | Velmora提示"},
        {"English title", 5, 0, "ShowMessage Err:5 | Velmora Prompt"},
        {"signed 32-bit", 0xFFFFFFFFu, 1, "ShowMessage Err:-1 | Velmora提示"},
        {"HRESULT-like code", 0x80070005u, 2, "ShowMessage Err:-2147024891 | Velmora提示"},
    };
    // The "/" after the host lands at position 32768.
    const Text url = Text(32758, u' ') + u"http://ab/plm";
    for (const auto& c : cases) {
        Log log;
        FakeUi ui(log, url, c.language);
        ui.lastError = c.code;
        FakeSteps steps(log);
        AutoSettingCommand().Run(ui, steps, latin1);
        EXPECT_EQ(log, (Log{"UrlText", "LastSystemError", c.shown})) << c.label;
    }
}

TEST(RunAutoSetting, AFailingStepStopsTheRest) {
    struct Case {
        const char* label;
        std::string failAt;
        Failure failure;
        std::size_t stepsRun;
        Log shown;
    };
    const Log lastError = {"LastSystemError", "ShowMessage Err:1018 | Velmora提示"};
    const std::vector<Case> cases = {
        {"stale entries", "RemoveWrongKey", Failure::RunTime, 1, lastError},
        {"code-base path", "SetCodeBaseSearchPath", Failure::Standard, 2, lastError},
        {"trusted site without a status of its own", "AddTrustedSite", Failure::Status, 3, lastError},
        {"trusted site with the status of a registry call", "AddTrustedSite", Failure::CodedStatus, 3,
         {"ShowMessage Err:5 | Velmora提示"}},
        {"zone template", "SetTrustedZoneSecurity", Failure::OutOfMemory, 4, lastError},
        {"login page", "OpenLoginPage", Failure::RunTime, 5, lastError},
        {"a failure with its own status shows that status", "OpenLoginPage", Failure::Coded, 5,
         {"ShowMessage Err:2 | Velmora提示"}},
    };
    for (const auto& c : cases) {
        Log log;
        FakeUi ui(log, u"http://plm.example.com/plm");
        ui.lastError = 1018;
        FakeSteps steps(log);
        steps.failAt = c.failAt;
        steps.failure = c.failure;
        if (c.failure == Failure::Status) steps.trustedSite = zones::StepStatus::Failed(std::nullopt);
        if (c.failure == Failure::CodedStatus) steps.trustedSite = zones::StepStatus::Failed(5);
        AutoSettingCommand().Run(ui, steps, latin1);
        Log expected(FullRun.begin(), FullRun.begin() + static_cast<std::ptrdiff_t>(1 + c.stepsRun));
        expected.insert(expected.end(), c.shown.begin(), c.shown.end());
        EXPECT_EQ(log, expected) << c.label;
    }
}

TEST(RunAutoSetting, AClickDuringTheLoginPageStepDoesNotRunAgain) {
    Log log;
    FakeUi ui(log, u"http://plm.example.com/plm");
    FakeSteps steps(log);
    // The login page step drains the message queue: a second click on the
    // button (and so a nested command) may be dispatched there.
    AutoSettingCommand command;
    int clicks = 0;
    steps.duringLoginPage = [&] {
        if (++clicks > 1) return;  // without the guard, one nested run is enough to see
        log.push_back("nested click");
        EXPECT_TRUE(command.Running());
        command.Run(ui, steps, latin1);
    };
    command.Run(ui, steps, latin1);
    EXPECT_FALSE(command.Running());
    Log expected = FullRun;
    expected.insert(expected.end() - 1, "nested click");
    EXPECT_EQ(log, expected);
}

TEST(RunAutoSetting, EachPressAfterARunEndsIsARunOfItsOwn) {
    Log log;
    FakeUi ui(log, u"http://plm.example.com");
    FakeSteps steps(log);
    AutoSettingCommand command;
    command.Run(ui, steps, latin1);  // rejected
    steps.failAt = "AddTrustedSite";
    steps.failure = Failure::RunTime;
    ui.SetUrl(u"http://plm.example.com/plm");
    command.Run(ui, steps, latin1);  // failed
    steps.failAt.clear();
    log.clear();
    command.Run(ui, steps, latin1);  // complete
    EXPECT_EQ(log, FullRun);
}

TEST(RunAutoSetting, CorrectedTextAfterARejectionRunsEverything) {
    Log log;
    FakeUi ui(log, u"http://plm.example.com/");
    FakeSteps steps(log);
    AutoSettingCommand command;
    command.Run(ui, steps, latin1);
    ASSERT_EQ(log.size(), 2u);
    log.clear();
    ui.SetUrl(u"http://plm.example.com/plm");
    command.Run(ui, steps, latin1);
    EXPECT_EQ(log, FullRun);
}

}  // namespace
}  // namespace plm::config
