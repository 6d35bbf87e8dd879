// The "Auto Setting" command: validates the typed address, derives the site
// root and the SiteAddress, runs the configuration steps in their fixed order
// and ends the program. Written against two small interfaces so that it runs
// without a window.
#pragma once

#include <cstdint>
#include <optional>

#include "config/Languages.h"
#include "text/Text.h"
#include "text/CodePage.h"
#include "zones/IeMode.h"
#include "zones/SiteAddress.h"
#include "registry/Status.h"

namespace plm::config {

// What the command needs from the window and the system.
class AutoSettingUi {
public:
    virtual ~AutoSettingUi() = default;
    virtual Text UrlText() = 0;
    // The window's language: every message and notice the command shows
    // is read from this row.
    virtual const Language& WindowLanguage() = 0;
    // A modal box with one OK button and no icon. Must leave the main window
    // visible (a failure after the window was hidden shows it again).
    virtual void ShowMessage(TextView prompt, TextView title) = 0;
    // The box that tells the user a step failed: "Err:" and the status's
    // code, or for a status without one the thread's last system error
    // (GetLastError on Windows).
    virtual void ShowFailure(reg::Status status) = 0;
    // Ends the process at once (ExitProcess(0) on Windows).
    virtual void EndProgram() = 0;
};

// The configuration steps, in the order the command calls them.
class ConfigurationSteps {
public:
    virtual ~ConfigurationSteps() = default;
    virtual reg::Status RemoveWrongKey(const zones::SiteAddress& site) = 0;
    virtual reg::Status SetCodeBaseSearchPath() = 0;
    // A site whose entries did not land would not work: a failure here
    // stops the run.
    virtual reg::Status AddTrustedSite(const zones::SiteAddress& site) = 0;
    virtual reg::Status SetTrustedZoneSecurity() = 0;
    // Whether a policy of the machine decides the trusted sites and leaves
    // the site out, so that what the steps wrote does not count. Only reads.
    virtual bool IsLeftOutByPolicy(const zones::SiteAddress& site) = 0;
    // Where the login page will open: in Microsoft Edge without Internet
    // Explorer mode the site lacks what it needs. Only reads.
    virtual zones::LoginPageBrowser WhereLoginPageOpens() = 0;
    // Opens the login page of `url`, the address as the command read and
    // validated it: the URL box may hold another by now. A failure leaves
    // the window shown and the program running.
    virtual reg::Status OpenLoginPage(TextView url) = 0;
};

// Why the command refuses `url` before anything is written, in `language`'s
// words: the prompt with its example for an address it does not take, the
// public-suffix message naming the host; none when it takes it. The fleet
// kit and the help desk's check refuse by the same rules, in the same words.
std::optional<Text> RefusalOf(TextView url, const CodePage& codePage, const Language& language);

// The command of one window. A press while a run is in progress (a second
// click dispatched while the login page step handles queued messages)
// returns at once.
class AutoSettingCommand {
public:
    void Run(AutoSettingUi& ui, ConfigurationSteps& steps, const CodePage& codePage);
    bool Running() const { return running_; }

private:
    bool running_ = false;
};

}  // namespace plm::config
