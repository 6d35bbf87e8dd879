// Stands in for iexplore.exe in the end-to-end test prefix: appends what it
// was started with to a log file and ends. One line per start:
//   <FILETIME of the start, decimal>\t<argument count>\t<its own path>\t<arg 1>...
// Texts are UTF-8 with tabs, line breaks and backslashes escaped, so that a
// hostile address shows exactly as the browser would get it.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "tests/support/WideStrings_win.h"

namespace {

using plm::test::Utf8;

std::string Escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;

    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string line = std::to_string(t.QuadPart);
    line += '\t';
    line += std::to_string(argc);
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    line += '\t';
    line += Escaped(Utf8(self));  // which of the planted copies ran
    for (int i = 1; i < argc; ++i) {
        line += '\t';
        line += Escaped(Utf8(argv[i]));
    }
    line += '\n';
    LocalFree(argv);

    wchar_t path[MAX_PATH] = L"C:\\plm-recorder.log";
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
