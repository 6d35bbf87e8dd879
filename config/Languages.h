// The window's languages in one table, one row each: the code the window
// stores, the locales that choose it, its captions, its messages and the
// notices the Auto Setting command may show. Adding a language is its row
// here (and the fonts its script needs in the test prefix, see README).
// The window hands the command its row; everything either shows is read
// from that row.
//
// Simplified Chinese is the design language: its captions are the ones the
// window is created with, and its row serves every code without one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "text/Text.h"

namespace plm::config {

// Language codes, as GetOSLCID gives them.
inline constexpr std::int16_t English = 0;
inline constexpr std::int16_t SimplifiedChinese = 1;
inline constexpr std::int16_t TraditionalChinese = 2;

// A locale whose identifier ends in these four bits speaks English, unless
// a row below names it; the test looks at the lowest four bits only, so some
// other locales (0x0419, Russian) get English as well.
inline constexpr std::uint32_t EnglishLowBits = 9;

// The message numbers, from 1, as the message list is addressed.
// PublicSuffix: the refusal of a host that is itself a public suffix, with
// "{host}" where the host goes.
enum class Message : std::int16_t { Prompt = 1, Example = 2, Title = 3, InvalidAddress = 4, PublicSuffix = 5 };
inline constexpr std::size_t MessageCount = 5;
constexpr std::int16_t Number(Message message) { return static_cast<std::int16_t>(message); }

// A language's message list, in the order of the message numbers.
using Messages = std::array<TextView, MessageCount>;

// The notices the command may show before the login page; "{host}" stands
// where the host goes. A further notice is its name here, its text in each
// row and the place in the command that decides to show it.
enum class Notice : std::size_t {
    // A policy of the machine decides the trusted sites and leaves the PLM
    // site out: what the tool writes for the user then does not count.
    Policy,
    // Internet Explorer does not run on its own here, and Edge is not set up
    // to show the site in IE mode: the login page opens without the features
    // the site needs.
    Browser,
    // The same, where the administrator lets the user reload the page in IE
    // mode: how to do that, with Edge's own name of the menu item.
    Reload,
};
inline constexpr std::size_t NoticeCount = 3;
using Notices = std::array<TextView, NoticeCount>;

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
    // Messages 1 to 5: prompt, example, message box title, invalid address,
    // public suffix; empty where the language has no such message.
    Messages messages;
    // In the order of Notice.
    Notices notices;
};

// The texts are written out in full (the example addresses too) so that
// each reads exactly as the user sees it. The design
// language comes first: it serves every code without a row.
inline constexpr auto Languages = std::to_array<Language>({
    {SimplifiedChinese,
     {0x0804, 0x0004, 0x1004},  // PRC, neutral, Singapore
     {u"PLM客户端系统配置工具", u"如： http://127.0.0.1/PLM", u"取消(&C)", u"自动配置(&A)", u"关闭"},
     {u"请输入PLM系统的URL位置。", u"如(http://127.0.0.1/plm)", u"Velmora提示", u"",
      u"{host} 是公共后缀，其下有许多不同所有者的网站。信任它就等于信任其下的所有网站，因此不会将它添加到受信任的站点。请输入 PLM 站点本身的地址。"},
     {u"此计算机的受信任站点由管理员的组策略决定，无法在此将 {host} 设为受信任的站点。请联系管理员将其添加到“受信任的站点”区域。",
      u"此计算机会在 Microsoft Edge 中打开 Internet Explorer 网页，但 Edge 未设置为以 Internet Explorer 模式打开 "
      u"{host}，而 PLM 站点需要该模式。请联系管理员将 {host} 添加到企业模式站点列表。",
      u"此计算机会在 Microsoft Edge 中打开 Internet Explorer 网页，但 Edge 未设置为以 Internet Explorer 模式打开 "
      u"{host}，而 PLM 站点需要该模式。您可以自行以 Internet Explorer 模式打开 {host}：在 Edge 的菜单中选择"
      u"“在 Internet Explorer 模式下重新加载”。如需长期有效，管理员可以将 {host} 添加到企业模式站点列表。"}},
    {TraditionalChinese,
     {0x0404, 0x0C04, 0},  // Taiwan, Hong Kong SAR
     {u"PLM用戶端系統設置工具", u"如： http://127.0.0.1/PLM", u"取消(&C)", u"自動配置(&A)", u"關閉"},
     {u"請輸入PLM系統的URL位置。", u"如(http://127.0.0.1/plm)", u"Velmora提示", u"不是有效的系統網站路徑！",
      u"{host} 是公共後綴，其下有許多不同擁有者的網站。信任它就等於信任其下的所有網站，因此不會將它加入信任的網站。請輸入 PLM 網站本身的位址。"},
     {u"此電腦的信任網站由系統管理員的群組原則決定，無法在此將 {host} 設為信任的網站。請聯絡系統管理員將其加入「信任的網站」區域。",
      u"此電腦會在 Microsoft Edge 中開啟 Internet Explorer 網頁，但 Edge 未設定以 Internet Explorer 模式開啟 "
      u"{host}，而 PLM 網站需要此模式。請聯絡系統管理員將 {host} 新增至企業模式網站清單。",
      u"此電腦會在 Microsoft Edge 中開啟 Internet Explorer 網頁，但 Edge 未設定以 Internet Explorer 模式開啟 "
      u"{host}，而 PLM 網站需要此模式。您可以自行以 Internet Explorer 模式開啟 {host}：在 Edge 的功能表中選擇"
      u"「在 Internet Explorer 模式下重新載入」。若要長期有效，系統管理員可以將 {host} 新增至企業模式網站清單。"}},
    {English,
     {0, 0, 0},  // by EnglishLowBits
     {u"PLM Client System Configuration Tool", u"For Example: http://127.0.0.1/PLM", u"&Cancel",
      u"&Auto Setting", u"Close"},
     {u"Please input PLM URL.", u"For example (http://127.0.0.1/plm)", u"Velmora Prompt",
      u"Invalid System URL!",
      u"{host} is a public suffix: sites of many different owners lie under it. Trusting it would trust every "
      u"site under it, so it is not added to the Trusted Sites. Please enter the address of the PLM site itself."},
     {u"Trusted sites on this computer are set by your administrator's policy, so {host} cannot be made a trusted "
      u"site here. Please ask your administrator to add it to the Trusted Sites zone.",
      u"This computer opens Internet Explorer pages in Microsoft Edge, and Edge is not set up to open {host} in "
      u"Internet Explorer mode, which the PLM site needs. Please ask your administrator to add {host} to the "
      u"Enterprise Mode Site List.",
      u"This computer opens Internet Explorer pages in Microsoft Edge, and Edge is not set up to open {host} in "
      u"Internet Explorer mode, which the PLM site needs. You can open {host} in Internet Explorer mode yourself: "
      u"in Edge's menu, choose \"Reload in Internet Explorer mode\". To make it last, your administrator can add "
      u"{host} to the Enterprise Mode Site List."}},
});

// A language's message by its number; empty where it has none.
constexpr TextView GetLocalText(const Language& language, Message message) {
    return language.messages[static_cast<std::size_t>(Number(message)) - 1];
}

// A language's notice, "{host}" still in it.
constexpr TextView NoticeOf(const Language& language, Notice notice) {
    return language.notices[static_cast<std::size_t>(notice)];
}

// The row of a language code; the design language for a code without one.
const Language& LanguageOf(std::int16_t code);
inline const Language& DesignLanguage() { return LanguageOf(SimplifiedChinese); }

}  // namespace plm::config
