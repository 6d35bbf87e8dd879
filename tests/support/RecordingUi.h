// The Auto Setting command's window, for every test, fuzz target and bench
// that runs the command: it records what it is asked and shown, in order,
// and gives the texts of its language from the product's own table, as the
// window does (the design language, and a code without a row, have no
// message list: every text is the command's default).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/AutoSetting.h"
#include "config/Languages.h"
#include "text/Text.h"

namespace plm::test {

class RecordingUi final : public config::AutoSettingUi {
public:
    explicit RecordingUi(Text url, std::int16_t languageCode = config::SimplifiedChinese)
        : url_(std::move(url)), languageCode_(languageCode) {}

    Text UrlText() override {
        log.emplace_back("UrlText");
        return url_;
    }
    Text LocalText(TextView fallback, std::int16_t index) override {
        const config::Language& language = config::LanguageOf(languageCode_);
        const bool hasList = language.code == languageCode_ && languageCode_ != config::SimplifiedChinese;
        if (!hasList || index < 1 || static_cast<std::size_t>(index) > language.messages.size()) return Text(fallback);
        return Text(language.messages[static_cast<std::size_t>(index) - 1]);
    }
    std::int16_t LanguageCode() override { return languageCode_; }
    void ShowMessage(TextView prompt, TextView title) override {
        log.push_back("ShowMessage " + ToUtf8(prompt) + " | " + ToUtf8(title));
        shown.push_back(ToUtf8(prompt));
        // Another program may set the box's text while a message is up.
        if (!urlWhileShown.empty()) url_ = urlWhileShown;
    }
    std::uint32_t LastSystemError() override {
        log.emplace_back("LastSystemError");
        return lastError;
    }
    void EndProgram() override {
        log.emplace_back("EndProgram");
        ended = true;
    }

    void SetUrl(Text url) { url_ = std::move(url); }

    std::vector<std::string> log;    // every call, and what a test adds
    std::vector<std::string> shown;  // the prompts of the message boxes
    bool ended = false;
    std::uint32_t lastError = 0;  // what LastSystemError gives
    Text urlWhileShown;           // what the URL box holds once a message was shown

private:
    Text url_;
    std::int16_t languageCode_;
};

}  // namespace plm::test
