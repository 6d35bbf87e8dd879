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

void ShowInvalidAddress(AutoSettingUi& ui, const Language& language) {
    Text prompt(GetLocalText(language, Message::Prompt));
    prompt += u"\n\n";
    prompt += GetLocalText(language, Message::Example);
    ui.ShowMessage(prompt, GetLocalText(language, Message::Title));
}

// A failure that knows its status shows that; any other shows the thread's
// last error, read first: building the message may make system calls of its
// own.
void ShowFailure(AutoSettingUi& ui, std::optional<std::int32_t> status) {
    const std::int32_t code = status ? *status : static_cast<std::int32_t>(ui.LastSystemError());
    ui.ShowMessage(u"Err:" + DecimalText(code), GetLocalText(ui.WindowLanguage(), Message::Title));
}

// The notice in the window's language, naming the host.
void ShowNotice(AutoSettingUi& ui, const Language& language, Notice notice, TextView host) {
    ui.ShowMessage(WithHost(NoticeOf(language, notice), host), GetLocalText(language, Message::Title));
}

}  // namespace

void AutoSettingCommand::Run(AutoSettingUi& ui, ConfigurationSteps& steps, const CodePage& codePage) {
    if (running_) return;
    const ScopedFlag running(running_);

    const Text url = ui.UrlText();
    const Language& language = ui.WindowLanguage();
    if (!IsValidSiteUrl(url, codePage)) {
        ShowInvalidAddress(ui, language);
        return;
    }
    try {
        const SiteAddress site = ReadSiteAddress(url);
        // Its entry would cover every site under it, whoever owns them.
        if (IsPublicSuffix(site.Host)) {
            ui.ShowMessage(WithHost(GetLocalText(language, Message::PublicSuffix), site.Host),
                           GetLocalText(language, Message::Title));
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
            ShowNotice(ui, language, Notice::Policy, site.Host);
        } else {
            // The browser would show the page without what the site needs;
            // one box at most, so only where the policy said nothing. Where
            // the user may reload the page in IE mode, they are told how.
            switch (steps.WhereLoginPageOpens()) {
            case zones::LoginPageBrowser::EdgeWithoutIeMode:
                ShowNotice(ui, language, Notice::Browser, site.Host);
                break;
            case zones::LoginPageBrowser::EdgeUserMayReload:
                ShowNotice(ui, language, Notice::Reload, site.Host);
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
