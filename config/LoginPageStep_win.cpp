#include "config/LoginPageStep_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "config/CloseIE_win.h"
#include "config/LoginPage.h"
#include "config/ScopedFlag.h"
#include "config/SystemDll_win.h"
#include "registry/Win32Registry_win.h"

namespace plm::config {
namespace {

// The system's Program Files folder (for a 32-bit program on 64-bit
// Windows, the 32-bit one), or empty.
Text ProgramFilesFolder() {
    // FOLDERID_ProgramFiles, spelled out so that no GUID library is needed.
    static constexpr GUID ProgramFiles = {0x905e63b6, 0xc1bf, 0x494e, {0xb2, 0x9c, 0x65, 0xb7, 0x32, 0xd3, 0xd2, 0x1a}};
    const auto getFolder = SystemFunction<decltype(&SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    const auto freeFolder = SystemFunction<decltype(&CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    if (getFolder == nullptr || freeFolder == nullptr) return {};
    PWSTR path = nullptr;
    Text folder;
    if (SUCCEEDED(getFolder(ProgramFiles, 0, nullptr, &path)) && path != nullptr) {
        folder = reinterpret_cast<const char16_t*>(path);
    }
    freeFolder(path);  // on failure too, as the call asks
    return folder;
}

}  // namespace

Text InstalledInternetExplorer() {
    reg::RegisterKey registry(reg::Advapi32(), SystemCodePage());
    return InternetExplorerPath(registry, ProgramFilesFolder());
}

reg::Status LoginPageStep::Open(TextView urlText) {
    const Text parameters = BuildLaunchParameters(BuildLoginUrl(urlText), codePage_);
    // The launch parameters hold only what the ANSI call can carry; check
    // before any window is closed and before this one disappears.
    const auto ansi = codePage_.ToAnsi(parameters);
    if (!ansi) return reg::Status::WithoutCode();
    CloseIE::CloseLoginWindows();

    const ScopedFlag inProgress(inProgress_);
    window_.Hide();
    window_.HandleQueuedEvents();
    Sleep(LoginWindowsCloseWait);
    // ShellExecute may use COM to start the browser; its callers are asked
    // to initialise an apartment on the calling thread first.
    InitialiseComOnce();
    const auto shellExecute = SystemFunction<decltype(&ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    if (shellExecute == nullptr) {
        const DWORD error = GetLastError();
        window_.ShowAgain();
        return static_cast<reg::LONG>(error);
    }
    const Text browser = browser_();
    const auto file = codePage_.ToAnsi(browser);
    if (browser.empty() || !file) {
        window_.ShowAgain();
        return ERROR_FILE_NOT_FOUND;
    }
    const auto started = reinterpret_cast<INT_PTR>(
        shellExecute(nullptr, "Open", file->c_str(), ansi->c_str(), "", SW_SHOWNORMAL));
    // At once: nothing may run between the call and the read of its error.
    const DWORD error = GetLastError();
    if (started <= 32) {
        window_.ShowAgain();
        return static_cast<reg::LONG>(error);
    }
    return {};
}

}  // namespace plm::config
