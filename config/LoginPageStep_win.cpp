#include "config/LoginPageStep_win.h"

#include <windows.h>
#include <shellapi.h>

#include "config/CloseIE_win.h"
#include "config/LoginPage.h"
#include "config/ScopedFlag.h"
#include "config/SystemDll_win.h"

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

    const ScopedFlag inProgress(inProgress_);
    window_.Hide();
    window_.HandleQueuedEvents();
    Sleep(CloseWait);
    // ShellExecute may use COM to start the browser; its callers are asked
    // to initialise an apartment on the calling thread first.
    InitialiseComOnce();
    const auto shellExecute = SystemFunction<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    if (shellExecute == nullptr) {
        const DWORD error = GetLastError();
        window_.ShowAgain();
        throw CodedError("the shell cannot be loaded", static_cast<std::int32_t>(error));
    }
    const auto started = reinterpret_cast<INT_PTR>(
        shellExecute(nullptr, "Open", browser_.c_str(), ansi->c_str(), "", SW_SHOWNORMAL));
    // At once: nothing may run between the call and the read of its error.
    const DWORD error = GetLastError();
    if (started <= 32) {
        window_.ShowAgain();
        throw CodedError("the browser cannot be started", static_cast<std::int32_t>(error));
    }
}

}  // namespace plm::config
