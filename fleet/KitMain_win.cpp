// PlmFleetKit.exe: the kit's command line and console on Windows.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fleet/Check.h"
#include "fleet/FleetKit.h"

#if defined(__GLIBCXX__)
// libstdc++'s default terminate handler names the exception's type and so
// brings its demangler (some 45 KB) along. Nothing here is left to throw
// past wmain but running out of memory, for which the bare abort will do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

namespace {

// Lines end in CRLF, as Windows text does. A console gets UTF-16, so that
// every host and folder name shows as typed; a redirected stream UTF-8.
void Put(DWORD stream, plm::TextView text) {
    plm::Text lines;
    for (const char16_t c : text) lines += c == u'\n' ? plm::TextView(u"\r\n") : plm::TextView(&c, 1);
    const HANDLE handle = GetStdHandle(stream);
    DWORD mode = 0;
    DWORD done = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, lines.data(), static_cast<DWORD>(lines.size()), &done, nullptr);
    } else {
        const std::string bytes = plm::ToUtf8(lines);
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<plm::Text> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    const plm::fleet::KitRun run =
        !args.empty() && plm::fleet::IsCheckSwitch(args[0])
            ? plm::fleet::RunCheckOnThisMachine(std::span<const plm::Text>(args).subspan(1))
            : plm::fleet::RunFleetKit(args, plm::fleet::SystemFiles(), plm::SystemCodePage());
    Put(STD_OUTPUT_HANDLE, run.out);
    Put(STD_ERROR_HANDLE, run.err);
    return run.status;
}
