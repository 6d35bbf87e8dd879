// The notices the Auto Setting command may show before the login page, each
// a table of texts by language code beside the window's languages (the
// message list stays as it is). "{host}" stands where the host goes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "config/Languages.h"
#include "text/Text.h"

namespace plm::config {

struct NoticeText {
    std::int16_t code;
    TextView text;
};

inline constexpr TextView HostPlaceholder = u"{host}";

// A policy of the machine decides the trusted sites and leaves the PLM
// site out: what the tool writes for the user then does not count.
// The design language first: it serves every code without a row.
inline constexpr std::array<NoticeText, 3> PolicyNoticeTexts{{
    {SimplifiedChinese,
     u"此计算机的受信任站点由管理员的组策略决定，无法在此将 {host} 设为受信任的站点。请联系管理员将其添加到“受信任的站点”区域。"},
    {TraditionalChinese,
     u"此電腦的信任網站由系統管理員的群組原則決定，無法在此將 {host} 設為信任的網站。請聯絡系統管理員將其加入「信任的網站」區域。"},
    {English,
     u"Trusted sites on this computer are set by your administrator's policy, so {host} cannot be made a trusted "
     u"site here. Please ask your administrator to add it to the Trusted Sites zone."},
}};

// Internet Explorer does not run on its own here, and Edge is not set up to
// show the site in IE mode: the login page opens without the features the
// site needs. Same order as above.
inline constexpr std::array<NoticeText, 3> BrowserNoticeTexts{{
    {SimplifiedChinese,
     u"此计算机会在 Microsoft Edge 中打开 Internet Explorer 网页，但 Edge 未设置为以 Internet Explorer 模式打开 "
     u"{host}，而 PLM 站点需要该模式。请联系管理员将 {host} 添加到企业模式站点列表。"},
    {TraditionalChinese,
     u"此電腦會在 Microsoft Edge 中開啟 Internet Explorer 網頁，但 Edge 未設定以 Internet Explorer 模式開啟 "
     u"{host}，而 PLM 網站需要此模式。請聯絡系統管理員將 {host} 新增至企業模式網站清單。"},
    {English,
     u"This computer opens Internet Explorer pages in Microsoft Edge, and Edge is not set up to open {host} in "
     u"Internet Explorer mode, which the PLM site needs. Please ask your administrator to add {host} to the "
     u"Enterprise Mode Site List."},
}};

// The text of `texts` in the language of `languageCode` (the first row for
// a code without one), with `host` in every place of "{host}". The host
// goes in as it is: a "{host}" inside it stays.
Text Notice(std::span<const NoticeText> texts, std::int16_t languageCode, TextView host);

inline Text PolicyNotice(std::int16_t languageCode, TextView host) {
    return Notice(PolicyNoticeTexts, languageCode, host);
}
inline Text BrowserNotice(std::int16_t languageCode, TextView host) {
    return Notice(BrowserNoticeTexts, languageCode, host);
}

}  // namespace plm::config
