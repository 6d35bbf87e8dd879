// The program's entry: the window, nothing else. Start-up loads only what
// the first paint needs; the shell and COM come with the login page step.
#include <windows.h>

#include <cstdlib>

#include "app/ConfigurationFrm.h"

#if defined(__GLIBCXX__)
// libstdc++'s default terminate handler prints the demangled type of the
// exception before it aborts, and so brings the whole demangler (some 47 KB)
// into the program. A window program has nowhere to print it: this one
// aborts the same way, without the text.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int showCommand) {
    plm::app::ConfigurationFrm frm(instance);
    if (!frm.Create()) return 1;
    frm.Show(showCommand);
    return frm.RunMessageLoop();
}
