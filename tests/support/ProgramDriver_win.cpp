#include "tests/support/ProgramDriver_win.h"

#include <cstdio>

namespace plm::test {

bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds, DWORD pollMilliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(pollMilliseconds);
    }
}

std::wstring WindowsPath(std::string_view path) {
    std::wstring out;
    if (!path.empty() && path[0] == '/') out = L"Z:";
    for (char c : path) out.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

namespace {

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->process || !IsWindowVisible(window)) return TRUE;
    if (search->className != nullptr && ClassOf(window) != search->className) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND ShownWindowOf(DWORD process, const wchar_t* className) {
    Search search{process, className, nullptr};
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ProgramRun::ProgramRun(const std::wstring& program, const std::wstring& arguments, const std::wstring& directory) {
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // No application name: a bare name (reg.exe) is looked for as a shell
    // would, and a full path is taken as it is.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process_)) {
        std::fwprintf(stderr, L"cannot start %ls: error %lu\n", program.c_str(), GetLastError());
        process_ = {};
    }
}

ProgramRun::~ProgramRun() {
    if (!Started()) return;
    Terminate(1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool ProgramRun::Running() const {
    return Started() && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND ProgramRun::WaitForMainWindow(DWORD milliseconds) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = ShownWindowOf(Id(), MainWindowClass)) != nullptr || !Running(); }, milliseconds);
    return found;
}

HWND ProgramRun::WaitForMessageBox(DWORD milliseconds) const {
    HWND found = nullptr;
    WaitFor([&] { return (found = MessageBoxNow()) != nullptr || !Running(); }, milliseconds);
    return found;
}

std::optional<DWORD> ProgramRun::WaitForExit(DWORD milliseconds) const {
    if (!Started() || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void ProgramRun::Terminate(DWORD code) {
    if (!Running()) return;
    TerminateProcess(process_.hProcess, code);
    WaitForSingleObject(process_.hProcess, 5000);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return L"<hung>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    text.resize(copied);
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                        &ignored);
}

void Press(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

std::wstring MessageText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) text += TextOf(child);
    }
    return text;
}

}  // namespace plm::test
