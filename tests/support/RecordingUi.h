// The Auto Setting command's window, for every test, fuzz target and bench
// that runs the command: it records what it is asked and shown, in order,
// and hands the command the row of its language, as the window does (a code
// without a row gets the design language's, as LanguageOf gives it).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/Language.h"
#include "config/AutoSetting.h"
#include "config/Languages.h"
#include "text/Text.h"

namespace plm::test {

class RecordingUi final : public config::AutoSettingUi {
public:
    explicit RecordingUi(Text url, std::int16_t languageCode = config::SimplifiedChinese)
        : url_(std::move(url)), language_(&config::LanguageOf(languageCode)) {}

    Text UrlText() override {
        log.emplace_back("UrlText");
        return url_;
    }
    const config::Language& WindowLanguage() override { return *language_; }
    void ShowMessage(TextView prompt, TextView title) override {
        log.push_back("ShowMessage " + ToUtf8(prompt) + " | " + ToUtf8(title));
        shown.push_back(ToUtf8(prompt));
        // Another program may set the box's text while a message is up.
        if (!urlWhileShown.empty()) url_ = urlWhileShown;
    }
    // The window's own text; the thread's last error is read only for a
    // status without a code of its own.
    void ShowFailure(reg::Status status) override {
        if (!status.HasCode()) log.emplace_back("LastSystemError");
        ShowMessage(app::FailureText(status, lastError), config::GetLocalText(*language_, config::Message::Title));
    }
    void EndProgram() override {
        log.emplace_back("EndProgram");
        ended = true;
    }

    void SetUrl(Text url) { url_ = std::move(url); }

    std::vector<std::string> log;    // every call, and what a test adds
    std::vector<std::string> shown;  // the prompts of the message boxes
    bool ended = false;
    std::uint32_t lastError = 0;  // the thread's last error, as the window would read it
    Text urlWhileShown;           // what the URL box holds once a message was shown

private:
    Text url_;
    const config::Language* language_;
};

}  // namespace plm::test
