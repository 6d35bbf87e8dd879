// The notice shown when a policy of the machine decides the trusted sites
// and leaves the PLM site out: what the tool writes for the user then does
// not count. Its texts are a table of their own, by language code, beside
// the window's languages; the message list stays as it is.
#pragma once

#include <array>
#include <cstdint>

#include "config/Languages.h"
#include "text/Text.h"

namespace plm::config {

struct PolicyNoticeText {
    std::int16_t code;
    TextView text;  // "{host}" stands where the host goes
};

inline constexpr TextView HostPlaceholder = u"{host}";

// The design language first: it serves every code without a row.
inline constexpr std::array<PolicyNoticeText, 3> PolicyNoticeTexts{{
    {SimplifiedChinese,
     u"此计算机的受信任站点由管理员的组策略决定，无法在此将 {host} 设为受信任的站点。请联系管理员将其添加到“受信任的站点”区域。"},
    {TraditionalChinese,
     u"此電腦的信任網站由系統管理員的群組原則決定，無法在此將 {host} 設為信任的網站。請聯絡系統管理員將其加入「信任的網站」區域。"},
    {English,
     u"Trusted sites on this computer are set by your administrator's policy, so {host} cannot be made a trusted "
     u"site here. Please ask your administrator to add it to the Trusted Sites zone."},
}};

// The notice in the language of `languageCode`, naming `host`.
Text PolicyNotice(std::int16_t languageCode, TextView host);

}  // namespace plm::config
