#include "config/LoginPageStep_win.h"

#include <windows.h>
#include <shellapi.h>

#include "config/CloseIE_win.h"
#include "config/LoginPage.h"

namespace plm::config {
namespace {

// The windows asked to close get this long to do so, in their own
// processes, before the browser starts.
constexpr DWORD CloseWait = 2000;

}  // namespace

void LoginPageStep::Open(TextView urlText) {
    CloseIE::CloseLoginWindows();
    const Text parameters = BuildLaunchParameters(BuildLoginUrl(urlText), codePage_);
    // The launch parameters hold only what the ANSI call can carry; check
    // before the window disappears.
    const auto ansi = codePage_.ToAnsi(parameters);
    if (!ansi) throw RunTimeError("launch parameters outside the code page");

    struct Scope {
        LoginPageStep& step;
        explicit Scope(LoginPageStep& s) : step(s) { step.inProgress_ = true; }
        ~Scope() {
            step.inProgress_ = false;
            // Only a failure leaves the step here with the window hidden.
            if (std::uncaught_exceptions() > 0) step.window_.ShowAgain();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    } scope(*this);
    window_.Hide();
    window_.HandleQueuedEvents();
    Sleep(CloseWait);
    ShellExecuteA(nullptr, "Open", browser_.c_str(), ansi->c_str(), "", SW_SHOWNORMAL);
}

}  // namespace plm::config
