// The program's entry: COM for the shell's sake, then the window.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/ConfigurationFrm.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
    // ShellExecute may use COM to start the browser; its callers are asked
    // to initialise an apartment first.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    plm::app::ConfigurationFrm frm(instance);
    if (!frm.Create()) return 1;
    frm.Show(showCommand);
    int result = frm.RunMessageLoop();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}
