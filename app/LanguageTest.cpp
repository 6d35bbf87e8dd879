#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/Language.h"
#include "config/Notice.h"
#include "tests/support/Golden.h"

namespace plm::app {
namespace {

struct LcidRow {
    const char* label;
    std::uint32_t lcid;
    std::int16_t code;
};

TEST(GetOSLCID, MapsLocalesToLanguageCodes) {
    // The last rows pin the rule kept on purpose: any identifier whose low
    // four bits are 9 speaks English, Russian too.
    const LcidRow rows[] = {
        {"Chinese (PRC)", 0x0804, 1},
        {"Chinese (Simplified) neutral", 0x0004, 1},
        {"Chinese (Singapore)", 0x1004, 1},
        {"Chinese (Taiwan)", 0x0404, 2},
        {"Chinese (Hong Kong)", 0x0C04, 2},
        {"Chinese (Macao) is not in the Traditional list and ends in 4", 0x1404, 1},
        {"Chinese (Traditional) neutral ends in 4", 0x7C04, 1},
        {"English (US)", 0x0409, 0},
        {"English (UK)", 0x0809, 0},
        {"English (Australia)", 0x0C09, 0},
        {"English neutral", 0x0009, 0},
        {"Russian ends in 9 as well", 0x0419, 0},
        {"German", 0x0407, 1},
        {"Japanese", 0x0411, 1},
        {"French", 0x040C, 1},
        {"zero", 0x0000, 1},
        {"all bits set", 0xFFFFFFFFu, 1},
        {"only the low four bits count", 0xFFFFFFF9u, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(GetOSLCID(row.lcid), row.code) << row.label;
    }
}

// Records what ApplyLanguage writes, in order; the caption label starts
// with the design text, as the window's does.
class RecordingTarget : public CaptionTarget {
public:
    void SetFormCaption(TextView text) override {
        formCaption = Text(text);
        calls.push_back("form=" + ToUtf8(text));
    }
    void SetSampleCaption(TextView text) override { calls.push_back("sample=" + ToUtf8(text)); }
    void SetCancelCaption(TextView text) override { calls.push_back("cancel=" + ToUtf8(text)); }
    void SetConfigurationCaption(TextView text) override { calls.push_back("configuration=" + ToUtf8(text)); }
    void SetCloseCaption(TextView text) override { calls.push_back("close=" + ToUtf8(text)); }
    Text FormCaption() override { return formCaption; }
    void SetWindowCaption(TextView text) override { calls.push_back("window=" + ToUtf8(text)); }

    Text formCaption = u"PLM客户端系统配置工具";
    std::vector<std::string> calls;
};

// A code the language table has no row for.
std::int16_t UnknownCode() {
    std::int16_t unknown = 0;
    for (const config::Language& language : config::Languages) {
        unknown = std::max<std::int16_t>(unknown, language.code + 1);
    }
    return unknown;
}

std::vector<std::string> Utf8(std::span<const TextView> texts) {
    std::vector<std::string> out;
    for (TextView text : texts) out.push_back(ToUtf8(text));
    return out;
}

// Every row of the table, as the window takes it: its locales choose it, its
// captions are applied in order (the design language's are the window's
// own), its access keys are marked once, and its messages and notices that
// name the host hold "{host}". Where the texts users know are pinned, the
// row holds exactly them.
TEST(Languages, EveryRowIsChosenByItsLocalesAndAppliedWhole) {
    for (const config::Language& language : config::Languages) {
        SCOPED_TRACE(language.code);
        EXPECT_EQ(&config::LanguageOf(language.code), &language) << "one row per code";
        for (const std::uint32_t lcid : language.lcids) {
            if (lcid != 0) {
                EXPECT_EQ(GetOSLCID(lcid), language.code) << lcid;
            }
        }
        const config::Captions& c = language.captions;
        const std::vector<TextView> captions = {c.formCaption, c.sample, c.cancel, c.configuration, c.close};
        RecordingTarget target;
        ApplyLanguage(language, target);
        std::vector<std::string> calls;
        if (language.code != SimplifiedChinese) {
            for (const char* name : {"form=", "sample=", "cancel=", "configuration=", "close="}) {
                calls.push_back(name + ToUtf8(captions[calls.size()]));
            }
        }
        calls.push_back("window=" + ToUtf8(c.formCaption));
        EXPECT_EQ(target.calls, calls);
        const TextView publicSuffix = config::GetLocalText(language, config::Message::PublicSuffix);
        EXPECT_NE(publicSuffix.find(config::HostPlaceholder), TextView::npos) << ToUtf8(publicSuffix);
        for (const auto& [caption, key] : {std::pair{c.cancel, u'C'}, std::pair{c.configuration, u'A'}}) {
            const std::size_t amp = caption.find(u'&');
            ASSERT_NE(amp, TextView::npos) << ToUtf8(caption);
            EXPECT_EQ(caption.find(u'&', amp + 1), TextView::npos) << ToUtf8(caption);
            EXPECT_EQ(ToUpperChar(caption[amp + 1]), key) << ToUtf8(caption);
        }
        for (TextView notice : language.notices) {
            EXPECT_NE(notice.find(config::HostPlaceholder), TextView::npos) << ToUtf8(notice);
        }
        for (const test::golden::LanguageTexts& pinned : test::golden::Languages) {
            if (pinned.code != language.code) continue;
            EXPECT_EQ(language.lcids, pinned.lcids);
            EXPECT_EQ(Utf8(captions), Utf8(pinned.captions));
            EXPECT_EQ(Utf8(language.messages), Utf8(pinned.messages));
            EXPECT_EQ(Utf8(language.notices),
                      Utf8(std::array{pinned.policyNotice, pinned.browserNotice, pinned.reloadNotice}));
        }
    }
    for (const test::golden::LanguageTexts& pinned : test::golden::Languages) {
        EXPECT_EQ(config::LanguageOf(pinned.code).code, pinned.code) << "every pinned language keeps its row";
    }
}

TEST(LanguageOf, ACodeWithoutARowGetsTheDesignLanguage) {
    for (const std::int16_t code : {UnknownCode(), std::int16_t{-1}, std::int16_t{-32768}}) {
        EXPECT_EQ(config::LanguageOf(code).code, SimplifiedChinese) << code;
    }
}

TEST(ApplyLanguage, WindowCaptionIsReadBackFromTheLabel) {
    // A label that shows a different text than it was given (the window's
    // label could trim or reject a text): the window caption follows the label.
    class Rewriting : public RecordingTarget {
    public:
        void SetFormCaption(TextView text) override { formCaption = Text(text) + u" (label)"; }
    };
    Rewriting target;
    ApplyLanguage(config::LanguageOf(English), target);
    EXPECT_EQ(target.calls.back(), "window=PLM Client System Configuration Tool (label)");
}

TEST(FailureText, TheStatusCodeElseTheLastSystemErrorAsASigned32BitNumber) {
    struct Row {
        const char* label;
        reg::Status status;
        std::uint32_t lastError;
        const char* shown;
    };
    const Row rows[] = {
        {"the status's own code", reg::ErrorAccessDenied, 1018, "Err:5"},
        {"no code: the last system error", reg::Status::WithoutCode(), 1018, "Err:1018"},
        {"code 0 still shown", reg::Status::WithoutCode(), 0, "Err:0"},
        {"signed 32-bit", reg::Status::WithoutCode(), 0xFFFFFFFFu, "Err:-1"},
        {"HRESULT-like code", reg::Status::WithoutCode(), 0x80070005u, "Err:-2147024891"},
    };
    for (const Row& row : rows) EXPECT_EQ(ToUtf8(FailureText(row.status, row.lastError)), row.shown) << row.label;
}

TEST(Texts, TheUrlLabelIsTheSameInEveryLanguage) {
    EXPECT_EQ(ToUtf8(config::UrlLabelCaption), "URL(&R):");
    EXPECT_EQ(ToUtf8(config::UrlBoxName), "URL") << "as screen readers say it";
}

}  // namespace
}  // namespace plm::app
