#include "config/AutoSetting.h"

#include "config/Languages.h"
#include "config/Notice.h"
#include "config/PublicSuffix.h"
#include "config/ScopedFlag.h"
#include "config/SiteUrl.h"

namespace plm::config {
namespace {

// The notice in the window's language, naming the host.
void ShowNotice(AutoSettingUi& ui, const Language& language, Notice notice, TextView host) {
    ui.ShowMessage(WithHost(NoticeOf(language, notice), host), GetLocalText(language, Message::Title));
}

}  // namespace

std::optional<Text> RefusalOf(TextView url, const CodePage& codePage, const Language& language) {
    if (!IsValidSiteUrl(url, codePage)) {
        return Text(GetLocalText(language, Message::Prompt)) + u"\n\n" + Text(GetLocalText(language, Message::Example));
    }
    // Its entry would cover every site under it, whoever owns them.
    const Text host = ReadSiteAddress(url).Host;
    if (IsPublicSuffix(host)) return WithHost(GetLocalText(language, Message::PublicSuffix), host);
    return std::nullopt;
}

void AutoSettingCommand::Run(AutoSettingUi& ui, ConfigurationSteps& steps, const CodePage& codePage) {
    if (running_) return;
    const ScopedFlag running(running_);

    const Text url = ui.UrlText();
    const Language& language = ui.WindowLanguage();
    if (const std::optional<Text> refusal = RefusalOf(url, codePage, language)) {
        ui.ShowMessage(*refusal, GetLocalText(language, Message::Title));
        return;
    }
    // The site root's "/" is found by a 16-bit position, as it always was:
    // one beyond it (leading spaces can put it there) fails the run.
    if (SiteRootOverflows(url)) {
        ui.ShowFailure(reg::Status::WithoutCode());
        return;
    }
    const SiteAddress site = ReadSiteAddress(url);
    // Stale entries left behind, a machine-wide path ordinary users may
    // not write and a template the zone key refuses do not keep the site
    // from working: those failures do not stop the run.
    static_cast<void>(steps.RemoveWrongKey(site));
    static_cast<void>(steps.SetCodeBaseSearchPath());
    // Instead of opening a login page that cannot be used, the run stops
    // and says so.
    if (const reg::Status added = steps.AddTrustedSite(site); added.Failed()) {
        ui.ShowFailure(added);
        return;
    }
    static_cast<void>(steps.SetTrustedZoneSecurity());
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
    if (const reg::Status opened = steps.OpenLoginPage(url); opened.Failed()) {
        ui.ShowFailure(opened);
        return;
    }
    ui.EndProgram();
}

}  // namespace plm::config
