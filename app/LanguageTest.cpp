#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Language.h"

namespace plm::app {
namespace {

struct LcidRow {
    const char* label;
    std::uint32_t lcid;
    std::int16_t code;
};

TEST(GetOSLCID, MapsLocalesToLanguageCodes) {
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

struct LanguageRow {
    const char* label;
    Text code;
    std::vector<std::string> calls;
    std::vector<Text> messages;
};

TEST(ApplyLanguage, SetsCaptionsThenMessagesThenWindowCaption) {
    const LanguageRow rows[] = {
        {"English",
         u"0",
         {"form=PLM Client System Configuration Tool", "sample=For Example: http://127.0.0.1/PLM",
          "cancel=&Cancel", "configuration=&Auto Setting", "close=Close",
          "window=PLM Client System Configuration Tool"},
         {u"Please input PLM URL.", u"For exsample (http://127.0.0.1/plm)", u"Velmora Prompt",
          u"Invalid System URL!"}},
        {"Traditional Chinese",
         u"2",
         {"form=PLM用戶端系統設置工具", "sample=如\uFF1A http://127.0.0.1/PLM", "cancel=取消(&C)",
          "configuration=自動配置(&A)", "close=關閉", "window=PLM用戶端系統設置工具"},
         {u"請輸入PLM系統的URL位置\u3002", u"如(http://127.0.0.1/plm)", u"Velmora提示",
          u"不是有效的系統網站路徑\uFF01"}},
        {"Simplified Chinese keeps the design captions", u"1", {"window=PLM客户端系统配置工具"}, {}},
        {"an unknown code changes nothing", u"3", {"window=PLM客户端系统配置工具"}, {}},
        {"empty code", u"", {"window=PLM客户端系统配置工具"}, {}},
        {"the comparison is exact text: 00 is not 0", u"00", {"window=PLM客户端系统配置工具"}, {}},
        {"a space around the digit does not match", u" 2", {"window=PLM客户端系统配置工具"}, {}},
    };
    for (const auto& row : rows) {
        RecordingTarget target;
        Messages messages;
        ApplyLanguage(row.code, target, messages);
        EXPECT_EQ(target.calls, row.calls) << row.label;
        ASSERT_EQ(messages.Count(), row.messages.size()) << row.label;
        for (std::size_t i = 0; i < row.messages.size(); ++i) {
            EXPECT_EQ(ToUtf8(messages.GetLocalText(u"default", static_cast<std::int16_t>(i + 1))),
                      ToUtf8(row.messages[i]))
                << row.label << ", message " << i + 1;
        }
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
    Messages messages;
    ApplyLanguage(u"0", target, messages);
    EXPECT_EQ(target.calls.back(), "window=PLM Client System Configuration Tool (label)");
}

TEST(ApplyLanguage, AppendsWithoutClearing) {
    RecordingTarget target;
    Messages messages;
    ApplyLanguage(u"0", target, messages);
    ApplyLanguage(u"2", target, messages);
    EXPECT_EQ(messages.Count(), 8u);
    EXPECT_EQ(ToUtf8(messages.GetLocalText(u"", 3)), "Velmora Prompt");
    EXPECT_EQ(ToUtf8(messages.GetLocalText(u"", 7)), "Velmora提示");
}

struct LocalTextRow {
    const char* label;
    Text code;
    std::int16_t index;
    Text expected;
};

TEST(GetLocalText, ReturnsTheMessageOrTheDefault) {
    const LocalTextRow rows[] = {
        {"English title", u"0", 3, u"Velmora Prompt"},
        {"English first", u"0", 1, u"Please input PLM URL."},
        {"English last", u"0", 4, u"Invalid System URL!"},
        {"English past the end", u"0", 5, u"DEFAULT"},
        {"English zero", u"0", 0, u"DEFAULT"},
        {"English negative", u"0", -1, u"DEFAULT"},
        {"English lowest index", u"0", -32768, u"DEFAULT"},
        {"English highest index", u"0", 32767, u"DEFAULT"},
        {"Traditional title", u"2", 3, u"Velmora提示"},
        {"Traditional example", u"2", 2, u"如(http://127.0.0.1/plm)"},
        {"Simplified: every index gives the default", u"1", 1, u"DEFAULT"},
        {"Simplified: title too", u"1", 3, u"DEFAULT"},
        {"Simplified: message 4", u"1", 4, u"DEFAULT"},
    };
    for (const auto& row : rows) {
        RecordingTarget target;
        Messages messages;
        ApplyLanguage(row.code, target, messages);
        EXPECT_EQ(ToUtf8(messages.GetLocalText(u"DEFAULT", row.index)), ToUtf8(row.expected)) << row.label;
    }
}

TEST(GetLocalText, EmptyListAndEmptyDefault) {
    Messages messages;
    EXPECT_EQ(messages.GetLocalText(u"", 1), u"");
    EXPECT_EQ(messages.GetLocalText(u"x", 1), u"x");
    EXPECT_EQ(messages.Count(), 0u);
}

TEST(Texts, PunctuationIsTheFullWidthOneWhereDesigned) {
    struct Row {
        const char* label;
        TextView text;
        TextView expected;
    };
    const Row rows[] = {
        {"design sample: full-width colon then one space", config::DesignLanguage().captions.sample,
         u"\u5982\uFF1A\u0020http://127.0.0.1/PLM"},
        {"traditional invalid address ends in U+FF01", config::LanguageOf(TraditionalChinese).messages[3],
         u"\u4E0D\u662F\u6709\u6548\u7684\u7CFB\u7D71\u7DB2\u7AD9\u8DEF\u5F91\uFF01"},
        {"design caption", config::DesignLanguage().captions.formCaption, u"PLM\u5BA2\u6237\u7AEF\u7CFB\u7EDF\u914D\u7F6E\u5DE5\u5177"},
        {"design cancel", config::DesignLanguage().captions.cancel, u"\u53D6\u6D88(&C)"},
        {"design auto setting", config::DesignLanguage().captions.configuration, u"\u81EA\u52A8\u914D\u7F6E(&A)"},
        {"design close, never painted", config::DesignLanguage().captions.close, u"\u5173\u95ED"},
        {"url label", config::UrlLabelCaption, u"URL(&R):"},
        {"url box, as screen readers say it", config::UrlBoxName, u"URL"},
        {"example A", config::ExampleAddressA, u"http://127.0.0.1/PLM"},
        {"example B", config::ExampleAddressB, u"http://127.0.0.1/plm"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ToUtf8(row.text), ToUtf8(row.expected)) << row.label;
    }
}

TEST(Texts, EveryAccessKeyIsMarkedOnce) {
    struct Row {
        const char* label;
        TextView text;
        char16_t key;
    };
    const Row rows[] = {
        {"design cancel", config::DesignLanguage().captions.cancel, u'C'},
        {"design auto setting", config::DesignLanguage().captions.configuration, u'A'},
        {"english cancel", config::LanguageOf(English).captions.cancel, u'C'},
        {"english auto setting", config::LanguageOf(English).captions.configuration, u'A'},
        {"traditional cancel", config::LanguageOf(TraditionalChinese).captions.cancel, u'C'},
        {"traditional auto setting", config::LanguageOf(TraditionalChinese).captions.configuration, u'A'},
        {"url label", config::UrlLabelCaption, u'R'},
    };
    for (const auto& row : rows) {
        auto amp = row.text.find(u'&');
        ASSERT_NE(amp, TextView::npos) << row.label;
        EXPECT_EQ(row.text.find(u'&', amp + 1), TextView::npos) << row.label;
        EXPECT_EQ(ToUpperChar(row.text[amp + 1]), row.key) << row.label;
    }
}

}  // namespace
}  // namespace plm::app
