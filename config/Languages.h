// The window's languages in one table: the locales that choose each one,
// its captions and its messages. Adding a language is one row here.
//
// Simplified Chinese is the design language: its captions are the ones the
// window is created with, and its messages are the defaults that the Auto
// Setting command passes, so the window never copies them into its message
// list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "text/Text.h"

namespace plm::config {

// Language codes, as the window stores them (decimal text in LanguageCode).
inline constexpr std::int16_t English = 0;
inline constexpr std::int16_t SimplifiedChinese = 1;
inline constexpr std::int16_t TraditionalChinese = 2;

// A locale whose identifier ends in these four bits speaks English, unless
// a row below names it; the test looks at the lowest four bits only, so some
// other locales (0x0419, Russian) get English as well.
inline constexpr std::uint32_t EnglishLowBits = 9;

// The message numbers, from 1, as the message list is addressed.
enum class Message : std::int16_t { Prompt = 1, Example = 2, Title = 3, InvalidAddress = 4 };
inline constexpr std::size_t MessageCount = 4;
constexpr std::int16_t Number(Message message) { return static_cast<std::int16_t>(message); }

// The example site addresses shown to the user: in the sample label (A) and
// in the second line of the invalid-address prompt (B).
inline constexpr TextView ExampleAddressA = u"http://127.0.0.1/PLM";
inline constexpr TextView ExampleAddressB = u"http://127.0.0.1/plm";

// The caption of lblUrl, the same in every language, and the name screen
// readers announce for the URL box it labels: without access key and colon.
inline constexpr TextView UrlLabelCaption = u"URL(&R):";
inline constexpr TextView UrlBoxName = u"URL";

// The captions that change with the language.
struct Captions {
    TextView formCaption;    // lblFormCaption, copied to the window caption
    TextView sample;         // lblSample
    TextView cancel;         // btnCancel
    TextView configuration;  // btnConfiguration
    TextView close;          // picClose: not painted (it shows the cross), read out by screen readers
};

struct Language {
    std::int16_t code;
    // The locale identifiers that choose this language (0: no more).
    std::array<std::uint32_t, 3> lcids;
    Captions captions;
    // Messages 1 to 4: prompt, example, message box title, invalid address;
    // empty where the language has no such message.
    std::array<TextView, MessageCount> messages;
};

// The texts are written out in full (not assembled from the example
// addresses) so that each reads exactly as the user sees it.
inline constexpr std::array<Language, 3> Languages{{
    {SimplifiedChinese,
     {0x0804, 0x0004, 0x1004},  // PRC, neutral, Singapore
     {u"PLM客户端系统配置工具", u"如： http://127.0.0.1/PLM", u"取消(&C)", u"自动配置(&A)", u"关闭"},
     {u"请输入PLM系统的URL位置。", u"如(http://127.0.0.1/plm)", u"Velmora提示", u""}},
    {TraditionalChinese,
     {0x0404, 0x0C04, 0},  // Taiwan, Hong Kong SAR
     {u"PLM用戶端系統設置工具", u"如： http://127.0.0.1/PLM", u"取消(&C)", u"自動配置(&A)", u"關閉"},
     {u"請輸入PLM系統的URL位置。", u"如(http://127.0.0.1/plm)", u"Velmora提示", u"不是有效的系統網站路徑！"}},
    {English,
     {0, 0, 0},  // by EnglishLowBits
     {u"PLM Client System Configuration Tool", u"For Example: http://127.0.0.1/PLM", u"&Cancel",
      u"&Auto Setting", u"Close"},
     // "exsample" is the product's own spelling, kept as users know it.
     {u"Please input PLM URL.", u"For exsample (http://127.0.0.1/plm)", u"Velmora Prompt",
      u"Invalid System URL!"}},
}};

// The row of a language code; the design language for a code without one.
const Language& LanguageOf(std::int16_t code);
inline const Language& DesignLanguage() { return LanguageOf(SimplifiedChinese); }

// The text the command passes as the default of a message: the design
// language's.
inline TextView DefaultText(Message message) {
    return DesignLanguage().messages[static_cast<std::size_t>(Number(message)) - 1];
}

}  // namespace plm::config
