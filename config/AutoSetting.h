// The "Auto Setting" command: validates the typed address, derives the site
// root and the SiteAddress, runs the configuration steps in their fixed order
// and ends the program. Written against two small interfaces so that it runs
// without a window.
#pragma once

#include <cstdint>

#include "config/Languages.h"
#include "text/Text.h"
#include "text/CodePage.h"
#include "zones/IeMode.h"
#include "zones/SiteAddress.h"
#include "zones/StepStatus.h"

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
    // The thread's last system error code (GetLastError on Windows), shown
    // for a failing step that does not carry a status of its own.
    virtual std::uint32_t LastSystemError() = 0;
    // Ends the process at once (ExitProcess(0) on Windows).
    virtual void EndProgram() = 0;
};

// The configuration steps, in the order the command calls them.
class ConfigurationSteps {
public:
    virtual ~ConfigurationSteps() = default;
    virtual void RemoveWrongKey(const zones::SiteAddress& site) = 0;
    virtual void SetCodeBaseSearchPath() = 0;
    // A site whose entries did not land would not work: a failure here
    // stops the run.
    virtual zones::StepStatus AddTrustedSite(const zones::SiteAddress& site) = 0;
    virtual void SetTrustedZoneSecurity() = 0;
    // Whether a policy of the machine decides the trusted sites and leaves
    // the site out, so that what the steps wrote does not count. Only reads.
    virtual bool IsLeftOutByPolicy(const zones::SiteAddress& site) = 0;
    // Where the login page will open: in Microsoft Edge without Internet
    // Explorer mode the site lacks what it needs. Only reads.
    virtual zones::LoginPageBrowser WhereLoginPageOpens() = 0;
    // Opens the login page of `url`, the address as the command read and
    // validated it: the URL box may hold another by now.
    virtual void OpenLoginPage(TextView url) = 0;
};

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
