// The whole request from click to end, with the real PlmClientConfig.exe in
// a Wine prefix of its own: a recorder of ours stands in for iexplore.exe,
// two windows of ours stand in for open login pages, and the test types an
// address and presses "Auto Setting" like a user. Each run takes over two
// seconds by design, so only a few addresses go through here.
//   EndToEnd_win PlmClientConfig.exe Recorder.exe
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Layout.h"

namespace {

std::wstring g_program;
std::wstring g_recorder;

constexpr int TxtUrlId = plm::app::IdOf(plm::app::ControlId::txtUrl);
constexpr int BtnConfigurationId = plm::app::IdOf(plm::app::ControlId::btnConfiguration);
constexpr int BtnCancelId = plm::app::IdOf(plm::app::ControlId::btnCancel);
const wchar_t* const RecorderLog = L"C:\\plm-recorder.log";
const wchar_t* const InternetSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::uint64_t Now() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
double Milliseconds(std::uint64_t from, std::uint64_t to) { return (static_cast<double>(to) - static_cast<double>(from)) / 10000.0; }

std::wstring Wide(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, out.data(), n);
    out.resize(out.size() - 1);
    return out;
}

// ---- registry, through the W API so the test reads what is really stored ----

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// -1 when missing.
long long Dword(HKEY root, const std::wstring& path, const wchar_t* name) {
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_ANY, &type, &data, &size) != ERROR_SUCCESS) return -1;
    if (type != REG_DWORD) return -2;
    return data;
}

std::wstring String(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t buf[1024] = L"";
    DWORD size = sizeof buf;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"<missing>";
    return buf;
}

void PutDword(HKEY root, const std::wstring& path, const wchar_t* name, DWORD data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
}

void PutString(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::wstring ZoneMap(const std::wstring& rest) { return std::wstring(InternetSettings) + L"\\ZoneMap\\" + rest; }
std::wstring Zone2() { return std::wstring(InternetSettings) + L"\\Zones\\2"; }

// Every key and value below `path`, one line each: two snapshots are equal
// only when nothing below changed.
void AppendTree(HKEY root, const std::wstring& path, std::wstring& out) {
    HKEY key = nullptr;
    out += L"[" + path + L"]\n";
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    wchar_t name[256];
    BYTE data[4096];
    for (DWORD i = 0, length = 256, type = 0, size = sizeof data;
         RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size) == ERROR_SUCCESS;
         ++i, length = 256, size = sizeof data) {
        out += std::wstring(name) + L"=" + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < size; ++b) out += std::to_wstring(data[b]) + L",";
        out += L"\n";
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0, length = 256; RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = 256) {
        subKeys.push_back(name);
    }
    RegCloseKey(key);
    for (const auto& sub : subKeys) AppendTree(root, path + L"\\" + sub, out);
}

// What a run may change: the zone map, the Trusted Sites zone and the
// machine-wide code-base search path.
std::wstring SettingsSnapshot() {
    std::wstring out;
    AppendTree(HKEY_CURRENT_USER, std::wstring(InternetSettings) + L"\\ZoneMap", out);
    AppendTree(HKEY_CURRENT_USER, Zone2(), out);
    return out + String(HKEY_LOCAL_MACHINE, InternetSettings, L"CodeBaseSearchPath");
}

// ---- windows that stand in for open login pages ----

std::atomic<int> g_closedLogin{0};
std::atomic<int> g_closedOther{0};

LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        wchar_t title[64] = L"";
        GetWindowTextW(hwnd, title, 64);
        (wcsncmp(title, L"Login", 5) == 0 ? g_closedLogin : g_closedOther)++;
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class StandInWindows {
public:
    StandInWindows() {
        thread_ = std::thread([this] {
            WNDCLASSW cls{};
            cls.lpfnWndProc = StandInProc;
            cls.hInstance = GetModuleHandleW(nullptr);
            cls.lpszClassName = L"PlmStandInPage";
            RegisterClassW(&cls);
            for (const wchar_t* title : {L"Login - test", L"login other"}) {
                CreateWindowExW(0, L"PlmStandInPage", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr, cls.hInstance, nullptr);
            }
            threadId_ = GetCurrentThreadId();
            ready_ = true;
            MSG m;
            while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
        });
        while (!ready_) Sleep(5);
    }
    ~StandInWindows() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false};
    DWORD threadId_ = 0;
};

// ---- one run of the program ----

struct Launch {
    std::uint64_t time = 0;
    std::vector<std::string> args;  // as the browser received them, escaped by the recorder
};

struct Outcome {
    bool windowFound = false;
    std::uint64_t clicked = 0;
    std::uint64_t hidden = 0;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<Launch> launches;
};

struct FindState {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<FindState*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == s->pid && IsWindowVisible(hwnd) && GetDlgItem(hwnd, TxtUrlId) != nullptr) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND MainWindowOf(DWORD pid) {
    FindState state{pid, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::vector<Launch> ReadLaunches() {
    std::vector<Launch> out;
    std::ifstream in("C:\\plm-recorder.log");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string field;
        Launch launch;
        std::getline(fields, field, '\t');
        launch.time = std::stoull(field);
        std::getline(fields, field, '\t');  // the count, program included
        while (std::getline(fields, field, '\t')) launch.args.push_back(field);
        out.push_back(launch);
    }
    return out;
}

// Starts the program, waits for its window, types the address and presses
// "Auto Setting". The main window, or nullptr when it never showed.
HWND StartAndPress(const std::wstring& address, PROCESS_INFORMATION& pi, Outcome& run) {
    DeleteFileW(RecorderLog);
    std::wstring commandLine = L"\"" + g_program + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(g_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start the program: " << GetLastError();
        return nullptr;
    }
    HWND main = nullptr;
    for (int i = 0; i < 1000 && !main; ++i) {
        main = MainWindowOf(pi.dwProcessId);
        if (!main) Sleep(10);
    }
    run.windowFound = main != nullptr;
    if (main) {
        SendMessageW(GetDlgItem(main, TxtUrlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(address.c_str()));
        run.clicked = Now();
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(BtnConfigurationId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(main, BtnConfigurationId)));
    }
    return main;
}

// With `impatient`, the user goes on pressing while the command runs: a
// second "Auto Setting", Esc, Cancel and a close request are queued right
// behind the click.
Outcome RunProgram(const std::wstring& address, bool impatient = false) {
    Outcome run;
    PROCESS_INFORMATION pi{};
    HWND main = StartAndPress(address, pi, run);
    if (!pi.hProcess) return run;
    if (main) {
        if (impatient) {
            HWND url = GetDlgItem(main, TxtUrlId);
            PostMessageW(main, WM_COMMAND, MAKEWPARAM(BtnConfigurationId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(main, BtnConfigurationId)));
            PostMessageW(url, WM_KEYDOWN, VK_ESCAPE, 1);
            PostMessageW(main, WM_COMMAND, MAKEWPARAM(BtnCancelId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(main, BtnCancelId)));
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        while (WaitForSingleObject(pi.hProcess, 5) == WAIT_TIMEOUT) {
            if (!run.hidden && !IsWindowVisible(main)) run.hidden = Now();
            if (Milliseconds(run.clicked, Now()) > 20000) {
                ADD_FAILURE() << "the program did not end";
                TerminateProcess(pi.hProcess, 99);
            }
        }
    }
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    // The recorder starts a moment after the launching program has ended.
    for (int i = 0; i < 500 && run.launches.empty(); ++i) {
        Sleep(20);
        run.launches = ReadLaunches();
    }
    return run;
}

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The recorder takes the browser's place; without the override Wine
        // would load its built-in browser whatever the file holds.
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        std::wstring target = std::wstring(system) + L"\\iexplore.exe";
        ASSERT_TRUE(CopyFileW(g_recorder.c_str(), target.c_str(), FALSE)) << GetLastError();
        PutString(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"iexplore.exe", L"native");
    }
};

TEST_F(EndToEnd, HostNameRunsFromClickToEnd) {
    // Zones\2 exists with other data, and a value the template does not name.
    PutDword(HKEY_CURRENT_USER, Zone2(), L"1001", 3);
    PutDword(HKEY_CURRENT_USER, Zone2(), L"CurrentLevel", 0x11500);
    PutDword(HKEY_CURRENT_USER, Zone2(), L"Flags", 0x47);
    PutDword(HKEY_CURRENT_USER, Zone2(), L"PlmTestUnrelated", 7);
    PutString(HKEY_LOCAL_MACHINE, InternetSettings, L"CodeBaseSearchPath", L"CODEBASE;<http://old/x.dll>");

    Outcome run;
    {
        StandInWindows pages;
        run = RunProgram(L"http://plm.example.com/plm");
        Sleep(200);
    }
    ASSERT_TRUE(run.windowFound);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(g_closedLogin.load(), 1) << "the window titled \"Login - test\" is asked to close";
    EXPECT_EQ(g_closedOther.load(), 0) << "\"login other\" is left alone";

    ASSERT_EQ(run.launches.size(), 1u);
    const Launch& launch = run.launches[0];
    ASSERT_EQ(launch.args.size(), 1u) << "the browser gets exactly one argument";
    EXPECT_EQ(launch.args[0], "http://plm.example.com/plm/login.aspx");
    ASSERT_NE(run.hidden, 0u) << "the main window is hidden before the launch";
    EXPECT_LT(run.hidden, launch.time);
    EXPECT_GE(Milliseconds(run.clicked, launch.time), 2000.0);

    for (const wchar_t* list : {L"Domains", L"EscDomains"}) {
        SCOPED_TRACE(list);
        EXPECT_EQ(Dword(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\example.com\\plm"), L"http"), 2);
    }
    struct Row {
        const wchar_t* name;
        long long data;
    } template_rows[] = {{L"1001", 0}, {L"2600", 0}, {L"CurrentLevel", 0}, {L"1C00", 0x30000},
                         {L"Flags", 67}, {L"2301", 3}, {L"PlmTestUnrelated", 7}};
    for (const auto& row : template_rows) {
        EXPECT_EQ(Dword(HKEY_CURRENT_USER, Zone2(), row.name), row.data) << Wide("") << row.name;
    }
    std::wstring codebase = String(HKEY_LOCAL_MACHINE, InternetSettings, L"CodeBaseSearchPath");
    EXPECT_EQ(codebase, L"CODEBASE;<http://activex.microsoft.com/objects/ocget.dll>;<http://codecs.microsoft.com/isapi/ocget.dll>");
    EXPECT_EQ(codebase.size(), 103u);
}

TEST_F(EndToEnd, NumericAddressAndPortedAddress) {
    // Presses made while the command runs neither run it again nor stop it
    // between the settings and the login page.
    Outcome numeric = RunProgram(L"http://10.1.2.3/plm", true);
    EXPECT_EQ(numeric.exitCode, 0u);
    ASSERT_EQ(numeric.launches.size(), 1u) << "the browser is started exactly once";
    EXPECT_EQ(numeric.launches[0].args, std::vector<std::string>{"http://10.1.2.3/plm/login.aspx"});
    for (const wchar_t* list : {L"Ranges", L"EscRanges"}) {
        SCOPED_TRACE(list);
        EXPECT_EQ(String(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\Range1"), L":Range"), L"10.1.2.3");
        EXPECT_EQ(Dword(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\Range1"), L"http"), 2);
    }

    // A stale entry that an address with a port left behind goes; the host
    // is registered without its port.
    for (const wchar_t* list : {L"Domains", L"EscDomains"}) {
        PutDword(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\plmhost:8080"), L"http", 2);
    }
    Outcome ported = RunProgram(L"http://plmhost:8080/plm");
    EXPECT_EQ(ported.exitCode, 0u);
    ASSERT_EQ(ported.launches.size(), 1u);
    EXPECT_EQ(ported.launches[0].args, std::vector<std::string>{"http://plmhost:8080/plm/login.aspx"});
    for (const wchar_t* list : {L"Domains", L"EscDomains"}) {
        SCOPED_TRACE(list);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\plmhost:8080")));
        EXPECT_EQ(Dword(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\plmhost"), L"http"), 2);
    }
}

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<FindState*>(lp);
    DWORD owner = 0;
    wchar_t cls[16] = L"";
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameW(hwnd, cls, 16);
    if (owner == s->pid && IsWindowVisible(hwnd) && wcscmp(cls, L"#32770") == 0) s->found = hwnd;
    return s->found == nullptr;
}

// An empty label would register the parent domain (example.com and every
// host below it); the address is refused and no setting changes.
TEST_F(EndToEnd, HostWithAnEmptyLabelIsRefusedAndNothingChanges) {
    // Settings a completed run would overwrite.
    PutDword(HKEY_CURRENT_USER, Zone2(), L"1001", 3);
    PutString(HKEY_LOCAL_MACHINE, InternetSettings, L"CodeBaseSearchPath", L"CODEBASE;<http://old/x.dll>");
    const std::wstring before = SettingsSnapshot();

    Outcome run;
    PROCESS_INFORMATION pi{};
    HWND main = StartAndPress(L"http://.example.com/plm", pi, run);
    ASSERT_TRUE(pi.hProcess);
    FindState box{pi.dwProcessId, nullptr};
    for (int i = 0; i < 500 && !box.found && WaitForSingleObject(pi.hProcess, 10) == WAIT_TIMEOUT; ++i) {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&box));
    }
    EXPECT_TRUE(main && box.found) << "the invalid-address prompt is shown";
    if (box.found) {
        wchar_t prompt[256] = L"";
        GetDlgItemTextW(box.found, 0xFFFF, prompt, 256);  // the text of a message box
        EXPECT_TRUE(wcsstr(prompt, L"(http://127.0.0.1/plm)")) << prompt;
        PostMessageW(box.found, WM_COMMAND, IDOK, 0);
        Sleep(300);
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the program keeps running";
        EXPECT_TRUE(IsWindowVisible(main));
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(BtnCancelId, BN_CLICKED), 0);
    }
    if (WaitForSingleObject(pi.hProcess, 5000) == WAIT_TIMEOUT) {
        ADD_FAILURE() << "Cancel did not end the program";
        TerminateProcess(pi.hProcess, 99);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    Sleep(500);
    EXPECT_TRUE(ReadLaunches().empty()) << "no browser is started";
    EXPECT_EQ(SettingsSnapshot(), before);
}

TEST_F(EndToEnd, AddressThatTriesToBreakTheQuotingStaysOneArgument) {
    // A quote, a tab and a trailing backslash, all of which pass the address
    // check (only spaces are refused in the path).
    Outcome run = RunProgram(L"http://plmhost/a\"\t-new\\x.aspx\\");
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.launches.size(), 1u);
    // The recorder escapes backslashes; the browser got one argument:
    // http://plmhost/a%22%09-new\x.aspx\ .
    EXPECT_EQ(run.launches[0].args, std::vector<std::string>{"http://plmhost/a%22%09-new\\\\x.aspx\\\\"});
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    int wargc = 0;
    LPWSTR* wargv = CommandLineToArgvW(GetCommandLineW(), &wargc);
    if (wargc < 3) {
        std::fprintf(stderr, "usage: EndToEnd_win PlmClientConfig.exe Recorder.exe\n");
        return 2;
    }
    g_program = wargv[wargc - 2];
    g_recorder = wargv[wargc - 1];
    LocalFree(wargv);
    return RUN_ALL_TESTS();
}
