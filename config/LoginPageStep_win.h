// The last step of Auto Setting: asks the open "Login" windows to close,
// hides the main window, handles the program's queued events, waits two
// seconds and starts the browser on the login page of the typed address.
// Wraps shell32 ShellExecuteA and kernel32 Sleep; the window enumeration is
// CloseIE's.
#pragma once

#include <cstdint>

#include "registry/Status.h"
#include "text/CodePage.h"
#include "text/Text.h"

namespace plm::config {

// The windows asked to close get this long to do so, in their own
// processes, before the browser starts.
inline constexpr std::uint32_t LoginWindowsCloseWait = 2000;  // milliseconds

// The full path of the browser the shipped program starts: Internet
// Explorer as App Paths registers it, else under the system's Program
// Files folder (see InternetExplorerPath). Empty when there is none.
Text InstalledInternetExplorer();

// The main window as the step sees it: hidden before the wait, its queued
// events handled once, and shown again when the step cannot go on.
class LoginPageWindow {
public:
    virtual ~LoginPageWindow() = default;
    virtual void Hide() = 0;
    virtual void HandleQueuedEvents() = 0;  // those already queued; no waiting
    virtual void ShowAgain() = 0;
};

class LoginPageStep {
public:
    // `browser` gives the full path of the file the shell is asked to open,
    // when it is about to be opened; the program passes
    // InstalledInternetExplorer.
    using BrowserPath = Text (*)();
    LoginPageStep(LoginPageWindow& window, BrowserPath browser, const CodePage& codePage)
        : window_(window), browser_(browser), codePage_(codePage) {}

    // Fails without a code of its own, before anything is closed or
    // hidden, when the launch parameters cannot cross the ANSI launch call.
    // When the browser cannot be started, shows the window again and fails
    // with the system's error code, so that the user learns it and the
    // program keeps running; so does a browser without a path
    // (ERROR_FILE_NOT_FOUND).
    reg::Status Open(TextView urlText);

    // True from the hide until the browser start has returned. Presses that
    // the queued events still hold (Esc, Cancel, a close request) must not
    // end the program then, after the settings are written but before the
    // login page opens.
    bool InProgress() const { return inProgress_; }

private:
    LoginPageWindow& window_;
    BrowserPath browser_;
    const CodePage& codePage_;
    bool inProgress_ = false;
};

}  // namespace plm::config
