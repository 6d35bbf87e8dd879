#include "config/AutoSetting.h"

#include <exception>

#include "config/SiteUrl.h"

namespace plm::config {
namespace {

// The texts of the design language, used when the window has no localised
// message of that number.
constexpr TextView PromptDefault = u"请输入PLM系统的URL位置。";
constexpr TextView ExampleDefault = u"如(http://127.0.0.1/plm)";
constexpr TextView TitleDefault = u"Velmora提示";

constexpr std::int16_t PromptMessage = 1;
constexpr std::int16_t ExampleMessage = 2;
constexpr std::int16_t TitleMessage = 3;

// Set while a run is in progress. Everything runs on the user-interface
// thread, so a plain flag is enough; it catches a click that the login
// page step dispatches while it drains the message queue.
bool running = false;

class RunGuard {
public:
    RunGuard() { running = true; }
    ~RunGuard() { running = false; }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
};

void ShowInvalidAddress(AutoSettingUi& ui) {
    Text prompt = ui.LocalText(PromptDefault, PromptMessage);
    prompt += u"\n\n";
    prompt += ui.LocalText(ExampleDefault, ExampleMessage);
    ui.ShowMessage(prompt, ui.LocalText(TitleDefault, TitleMessage));
}

}  // namespace

void RunAutoSetting(AutoSettingUi& ui, ConfigurationSteps& steps, const CodePage& codePage) {
    if (running) return;
    RunGuard guard;

    const Text url = ui.UrlText();
    if (!IsValidSiteUrl(url, codePage)) {
        ShowInvalidAddress(ui);
        return;
    }
    try {
        const Text siteRoot = GetSiteRoot(url);
        steps.RemoveWrongKey(siteRoot);
        const SiteAddress site = ParseSiteAddress(siteRoot);
        steps.SetCodeBaseSearchPath();
        steps.AddTrustedSite(site.Scheme, site.Host);
        steps.SetTrustedZoneSecurity();
        steps.OpenLoginPage();
    } catch (const std::exception&) {
        // Read first: building the message may make system calls of its own.
        const auto code = static_cast<std::int32_t>(ui.LastSystemError());
        ui.ShowMessage(u"Err:" + DecimalText(code), ui.LocalText(TitleDefault, TitleMessage));
        return;
    }
    ui.EndProgram();
}

}  // namespace plm::config
