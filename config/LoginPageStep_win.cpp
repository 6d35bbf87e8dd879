#include "config/LoginPageStep_win.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "config/CloseIE_win.h"
#include "config/LoginPage.h"
#include "config/ScopedFlag.h"

namespace plm::config {
namespace {

// The windows asked to close get this long to do so, in their own
// processes, before the browser starts.
constexpr DWORD CloseWait = 2000;

// shell32 and ole32 are loaded here, when the browser is about to start,
// not with the program: loading them took a good part of the time the
// window needed to appear, and a run that ends with Cancel never needs
// them. Loaded by full path from the system directory, never from where
// the program lies.
FARPROC SystemProc(const wchar_t* dll, const char* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(dll) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, dll);
    HMODULE module = LoadLibraryW(path);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

// Through void(*)(), the one function type a cast may pass through.
template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemProc(dll, name)));
}

// ShellExecute may use COM to start the browser; its callers are asked to
// initialise an apartment on the calling thread first. Once is enough: the
// apartment lasts until the program ends.
void InitialiseComOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    const auto initialise = SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    if (initialise != nullptr) initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
}

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
