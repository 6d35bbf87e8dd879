// The literal values the tests hold the product to, each written here once:
// what the browser, Windows and the users know by exactly these spellings.
// One test pins each product constant to its row here; every other test
// takes the product's own constant.
#pragma once

#include <array>
#include <cstdint>

#include "config/Languages.h"
#include "text/Text.h"

namespace plm::test::golden {

// The registry keys, as Internet Explorer and Group Policy read them.
inline constexpr TextView ZoneMapKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap";
inline constexpr TextView DomainsKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains";
inline constexpr TextView EscDomainsKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscDomains";
inline constexpr TextView RangesKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges";
inline constexpr TextView EscRangesKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\EscRanges";
inline constexpr TextView ZonesKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones";
inline constexpr TextView TrustedZoneKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2\\";
inline constexpr TextView MachineInternetSettingsKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr TextView MachineInternetSettingsKey32 =
    u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr TextView PolicySettingsKey =
    u"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr TextView PolicyZoneMapKey =
    u"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMapKey";
inline constexpr TextView PolicyTrustedZoneKey =
    u"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\2";
inline constexpr TextView PolicyZoneMapSwitchValue = u"ListBox_Support_ZoneMapKey";

// The ActiveX code-base search path: the component service, then the
// codec service, 103 characters.
inline constexpr TextView CodeBaseSearchPathValue = u"CodeBaseSearchPath";
inline constexpr TextView CodeBaseSearchPathText =
    u"CODEBASE;<http://activex.microsoft.com/objects/ocget.dll>;<http://codecs.microsoft.com/isapi/ocget.dll>";

// The Trusted Sites template in the order it is written: 50 URL actions
// (and the zone level) set to 0, then the 10 settings with their own data.
struct TemplateValue {
    TextView name;
    std::int32_t data;
};
inline constexpr std::array<TemplateValue, 60> TrustedZoneTemplate{{
    {u"1001", 0}, {u"1004", 0}, {u"1200", 0}, {u"1201", 0}, {u"1206", 0}, {u"1209", 0}, {u"1400", 0}, {u"1402", 0},
    {u"1405", 0}, {u"1406", 0}, {u"1407", 0}, {u"1601", 0}, {u"1604", 0}, {u"1606", 0}, {u"1607", 0}, {u"1608", 0},
    {u"1800", 0}, {u"1802", 0}, {u"1803", 0}, {u"1804", 0}, {u"1806", 0}, {u"1A00", 0}, {u"1A02", 0}, {u"1A03", 0},
    {u"1A04", 0}, {u"1A05", 0}, {u"1A06", 0}, {u"2000", 0}, {u"2001", 0}, {u"2004", 0}, {u"2100", 0}, {u"2102", 0},
    {u"2107", 0}, {u"2200", 0}, {u"2201", 0}, {u"CurrentLevel", 0}, {u"1207", 0}, {u"1208", 0}, {u"120B", 0},
    {u"1408", 0}, {u"160A", 0}, {u"2005", 0}, {u"2103", 0}, {u"2104", 0}, {u"2105", 0}, {u"2106", 0}, {u"2400", 0},
    {u"2401", 0}, {u"2402", 0}, {u"2600", 0},
    {u"2101", 1}, {u"1809", 3}, {u"1C00", 196608}, {u"1E05", 196608}, {u"2007", 65536}, {u"2300", 1}, {u"Flags", 67},
    {u"2700", 3}, {u"1409", 3}, {u"2301", 3},
}};

// The texts of each language as users see them, and the locales that
// choose it.
struct LanguageTexts {
    std::int16_t code;  // the product's own code of the language
    std::array<std::uint32_t, 3> lcids;  // 0: no more
    // lblFormCaption, lblSample, btnCancel, btnConfiguration, picClose.
    std::array<TextView, 5> captions;
    // Messages 1 to 5: prompt, example, title, invalid address, public suffix.
    std::array<TextView, 5> messages;
    TextView policyNotice;
    TextView browserNotice;
    TextView reloadNotice;
};
inline constexpr std::array<LanguageTexts, 3> Languages{{
    {config::SimplifiedChinese,
     {0x0804, 0x0004, 0x1004},
     {u"PLM客户端系统配置工具", u"如\uFF1A http://127.0.0.1/PLM", u"取消(&C)", u"自动配置(&A)", u"关闭"},
     {u"请输入PLM系统的URL位置\u3002", u"如(http://127.0.0.1/plm)", u"Velmora提示", u"",
      u"{host} 是公共后缀，其下有许多不同所有者的网站。信任它就等于信任其下的所有网站，因此不会将它添加到受信任的站点。请输入 PLM 站点本身的地址。"},
     u"此计算机的受信任站点由管理员的组策略决定，无法在此将 {host} 设为受信任的站点。请联系管理员将其添加到“受信任的站点”区域。",
     u"此计算机会在 Microsoft Edge 中打开 Internet Explorer 网页，但 Edge 未设置为以 Internet Explorer 模式打开 "
     u"{host}，而 PLM 站点需要该模式。请联系管理员将 {host} 添加到企业模式站点列表。",
     u"此计算机会在 Microsoft Edge 中打开 Internet Explorer 网页，但 Edge 未设置为以 Internet Explorer 模式打开 "
     u"{host}，而 PLM 站点需要该模式。您可以自行以 Internet Explorer 模式打开 {host}：在 Edge 的菜单中选择"
     u"“在 Internet Explorer 模式下重新加载”。如需长期有效，管理员可以将 {host} 添加到企业模式站点列表。"},
    {config::TraditionalChinese,
     {0x0404, 0x0C04, 0},
     {u"PLM用戶端系統設置工具", u"如\uFF1A http://127.0.0.1/PLM", u"取消(&C)", u"自動配置(&A)", u"關閉"},
     {u"請輸入PLM系統的URL位置\u3002", u"如(http://127.0.0.1/plm)", u"Velmora提示", u"不是有效的系統網站路徑\uFF01",
      u"{host} 是公共後綴，其下有許多不同擁有者的網站。信任它就等於信任其下的所有網站，因此不會將它加入信任的網站。請輸入 PLM 網站本身的位址。"},
     u"此電腦的信任網站由系統管理員的群組原則決定，無法在此將 {host} 設為信任的網站。請聯絡系統管理員將其加入「信任的網站」區域。",
     u"此電腦會在 Microsoft Edge 中開啟 Internet Explorer 網頁，但 Edge 未設定以 Internet Explorer 模式開啟 "
     u"{host}，而 PLM 網站需要此模式。請聯絡系統管理員將 {host} 新增至企業模式網站清單。",
     u"此電腦會在 Microsoft Edge 中開啟 Internet Explorer 網頁，但 Edge 未設定以 Internet Explorer 模式開啟 "
     u"{host}，而 PLM 網站需要此模式。您可以自行以 Internet Explorer 模式開啟 {host}：在 Edge 的功能表中選擇"
     u"「在 Internet Explorer 模式下重新載入」。若要長期有效，系統管理員可以將 {host} 新增至企業模式網站清單。"},
    {config::English,
     {0, 0, 0},
     {u"PLM Client System Configuration Tool", u"For Example: http://127.0.0.1/PLM", u"&Cancel", u"&Auto Setting",
      u"Close"},
     {u"Please input PLM URL.", u"For example (http://127.0.0.1/plm)", u"Velmora Prompt", u"Invalid System URL!",
      u"{host} is a public suffix: sites of many different owners lie under it. Trusting it would trust every "
      u"site under it, so it is not added to the Trusted Sites. Please enter the address of the PLM site itself."},
     u"Trusted sites on this computer are set by your administrator's policy, so {host} cannot be made a trusted "
     u"site here. Please ask your administrator to add it to the Trusted Sites zone.",
     u"This computer opens Internet Explorer pages in Microsoft Edge, and Edge is not set up to open {host} in "
     u"Internet Explorer mode, which the PLM site needs. Please ask your administrator to add {host} to the "
     u"Enterprise Mode Site List.",
     u"This computer opens Internet Explorer pages in Microsoft Edge, and Edge is not set up to open {host} in "
     u"Internet Explorer mode, which the PLM site needs. You can open {host} in Internet Explorer mode yourself: "
     u"in Edge's menu, choose \"Reload in Internet Explorer mode\". To make it last, your administrator can add "
     u"{host} to the Enterprise Mode Site List."},
}};

}  // namespace plm::test::golden
