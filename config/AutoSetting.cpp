#include "config/AutoSetting.h"

#include <exception>
#include <optional>

#include "config/Languages.h"
#include "config/Notice.h"
#include "config/PublicSuffix.h"
#include "config/RunTimeError.h"
#include "config/ScopedFlag.h"
#include "config/SiteUrl.h"

namespace plm::config {
namespace {

Text Local(AutoSettingUi& ui, Message message) { return ui.LocalText(DefaultText(message), Number(message)); }

void ShowInvalidAddress(AutoSettingUi& ui) {
    Text prompt = Local(ui, Message::Prompt);
    prompt += u"\n\n";
    prompt += Local(ui, Message::Example);
    ui.ShowMessage(prompt, Local(ui, Message::Title));
}

// A failure that knows its status shows that; any other shows the thread's
// last error, read first: building the message may make system calls of its
// own.
void ShowFailure(AutoSettingUi& ui, std::optional<std::int32_t> status) {
    const std::int32_t code = status ? *status : static_cast<std::int32_t>(ui.LastSystemError());
    ui.ShowMessage(u"Err:" + DecimalText(code), Local(ui, Message::Title));
}

}  // namespace

void AutoSettingCommand::Run(AutoSettingUi& ui, ConfigurationSteps& steps, const CodePage& codePage) {
    if (running_) return;
    const ScopedFlag running(running_);

    const Text url = ui.UrlText();
    if (!IsValidSiteUrl(url, codePage)) {
        ShowInvalidAddress(ui);
        return;
    }
    try {
        const SiteAddress site = ReadSiteAddress(url);
        // Its entry would cover every site under it, whoever owns them.
        if (IsPublicSuffix(site.Host)) {
            ui.ShowMessage(WithHost(Local(ui, Message::PublicSuffix), site.Host), Local(ui, Message::Title));
            return;
        }
        steps.RemoveWrongKey(site);
        steps.SetCodeBaseSearchPath();
        // Instead of opening a login page that cannot be used, the run stops
        // and says so.
        if (const zones::StepStatus added = steps.AddTrustedSite(site); added.failed) {
            ShowFailure(ui, added.code);
            return;
        }
        steps.SetTrustedZoneSecurity();
        // Where a policy decides the trusted sites, what was just written
        // does not count: the user is told, and the run goes on, as the
        // entries count again once the policy is lifted.
        if (steps.IsLeftOutByPolicy(site)) {
            ui.ShowMessage(PolicyNotice(ui.LanguageCode(), site.Host), Local(ui, Message::Title));
        } else {
            // The browser would show the page without what the site needs;
            // one box at most, so only where the policy said nothing. Where
            // the user may reload the page in IE mode, they are told how.
            switch (steps.WhereLoginPageOpens()) {
            case zones::LoginPageBrowser::EdgeWithoutIeMode:
                ui.ShowMessage(BrowserNotice(ui.LanguageCode(), site.Host), Local(ui, Message::Title));
                break;
            case zones::LoginPageBrowser::EdgeUserMayReload:
                ui.ShowMessage(ReloadNotice(ui.LanguageCode(), site.Host), Local(ui, Message::Title));
                break;
            case zones::LoginPageBrowser::InternetExplorer:
            case zones::LoginPageBrowser::EdgeInIeMode:
                break;
            }
        }
        steps.OpenLoginPage(url);
    } catch (const CodedError& failure) {
        ShowFailure(ui, failure.Code());
        return;
    } catch (const std::exception&) {
        ShowFailure(ui, std::nullopt);
        return;
    }
    ui.EndProgram();
}

}  // namespace plm::config
