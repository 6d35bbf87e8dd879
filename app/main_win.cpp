// The program's entry: the window, nothing else. Start-up loads only what
// the first paint needs; the shell and COM come with the login page step.
#include <windows.h>

#include "app/ConfigurationFrm_win.h"

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800;
#endif

// DLLs loaded from now on come from the system folder only: never from the
// program's own folder (a Downloads folder, where anyone can drop a DLL
// beside it) or the working directory.
void LoadDllsFromTheSystemOnly() {
    // From Windows 8 on, and on Windows 7 with its loader update: looked up.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    FARPROC proc = kernel32 != nullptr ? GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr;
    if (proc != nullptr) {
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(proc))(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryW(L"");  // takes the working directory out of the search
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
    LoadDllsFromTheSystemOnly();
    plm::app::ConfigurationFrm frm(instance);
    if (!frm.Create()) return 1;
    frm.Show(showCommand);
    return frm.RunMessageLoop();
}
