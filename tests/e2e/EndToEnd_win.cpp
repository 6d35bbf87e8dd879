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
#include <cstdio>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Language.h"
#include "app/Layout.h"
#include "config/AutoSetting.h"
#include "config/Languages.h"
#include "config/LoginPage.h"
#include "config/LoginPageStep_win.h"
#include "config/Notice.h"
#include "zones/IeMode.h"
#include "zones/ZoneMap.h"
#include "zones/ZoneTemplate.h"
#include "text/CodePage.h"
#include "tests/support/Planted_win.h"
#include "tests/support/ProgramDriver_win.h"

namespace {

std::wstring g_program;
std::wstring g_recorder;

constexpr int TxtUrlId = plm::app::IdOf(plm::app::ControlId::txtUrl);
constexpr int BtnConfigurationId = plm::app::IdOf(plm::app::ControlId::btnConfiguration);
constexpr int BtnCancelId = plm::app::IdOf(plm::app::ControlId::btnCancel);
const wchar_t* const RecorderLog = L"C:\\plm-recorder.log";

std::uint64_t Now() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
double Milliseconds(std::uint64_t from, std::uint64_t to) { return (static_cast<double>(to) - static_cast<double>(from)) / 10000.0; }

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

using plm::test::PutDword;
using plm::test::PutString;
using plm::test::Wide;
const std::wstring MachineSettings = Wide(plm::zones::MachineInternetSettingsKey);
const std::wstring CodeBaseValue = Wide(plm::zones::CodeBaseSearchPathValue);
std::wstring ZoneMap(const std::wstring& rest) { return Wide(plm::zones::ZoneMapKey) + L"\\" + rest; }
std::wstring Zone2() { return Wide(plm::zones::ZonesKey) + L"\\2"; }

// The language the program shows: the one this run's locale chooses (the
// program inherits it).
const plm::config::Language& LanguageOfThisRun() {
    return plm::config::LanguageOf(plm::app::GetOSLCID(GetSystemDefaultLCID()));
}
std::wstring NoticeNaming(plm::config::Notice notice, plm::TextView host) {
    return Wide(plm::config::WithHost(plm::config::NoticeOf(LanguageOfThisRun(), notice), host));
}

// Every key and value below each of `paths`, one line each: two snapshots
// are equal only when nothing below changed.
std::wstring Snapshot(HKEY root, std::initializer_list<std::wstring> paths) {
    std::wstring out;
    for (const std::wstring& path : paths) out += L"[" + path + L"]\n" + Wide(plm::test::SnapshotOf(root, path));
    return out;
}

// What a run may change: the zone map, the Trusted Sites zone and the
// machine-wide code-base search path.
std::wstring SettingsSnapshot() {
    return Snapshot(HKEY_CURRENT_USER, {Wide(plm::zones::ZoneMapKey), Zone2()}) +
           String(HKEY_LOCAL_MACHINE, MachineSettings, CodeBaseValue.c_str());
}

// ---- windows that stand in for open login pages ----

std::atomic<int> g_closedLogin{0};
std::atomic<int> g_closedOther{0};

LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        wchar_t title[64] = L"";
        wchar_t cls[64] = L"";
        GetWindowTextW(hwnd, title, 64);
        GetClassNameW(hwnd, cls, 64);
        (wcsncmp(title, L"Login", 5) == 0 && wcscmp(cls, L"IEFrame") == 0 ? g_closedLogin : g_closedOther)++;
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
            // Internet Explorer's frame, and another program's window.
            for (const wchar_t* name : {L"IEFrame", L"PlmStandInPage"}) {
                cls.lpszClassName = name;
                RegisterClassW(&cls);
            }
            const std::pair<const wchar_t*, const wchar_t*> windows[] = {
                {L"IEFrame", L"Login - test"}, {L"IEFrame", L"login other"}, {L"PlmStandInPage", L"Login - Contoso"}};
            for (const auto& [name, title] : windows) {
                CreateWindowExW(0, name, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                                cls.hInstance, nullptr);
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

using plm::test::Press;
using plm::test::ProgramRun;

struct Launch {
    std::uint64_t time = 0;
    std::string program;            // the file that was started, escaped by the recorder
    std::vector<std::string> args;  // as the browser received them, escaped likewise
};

struct Outcome {
    bool windowFound = false;
    std::uint64_t clicked = 0;
    std::uint64_t hidden = 0;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<Launch> launches;
    std::wstring boxText;  // what a message box on the way said; the user pressed OK
};

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
        std::getline(fields, launch.program, '\t');
        while (std::getline(fields, field, '\t')) launch.args.push_back(field);
        out.push_back(launch);
    }
    return out;
}

// Where the program is started from: its file, and the working directory
// (empty: the test's).
struct Placement {
    std::wstring program;
    std::wstring directory;
};

std::unique_ptr<ProgramRun> StartProgram(const Placement& place = {}) {
    auto run = std::make_unique<ProgramRun>(place.program.empty() ? g_program : place.program, std::wstring(),
                                            place.directory);
    if (!run->Started()) ADD_FAILURE() << "cannot start the program";
    return run;
}

// With `impatient`, the user goes on pressing while the command runs: a
// second "Auto Setting", Esc, Cancel and a close request are queued right
// behind the click. `atFirstBox` runs while the first message box is up,
// before the user presses OK.
Outcome RunProgram(const std::wstring& address, bool impatient = false, const Placement& place = {},
                   const std::function<void(HWND main)>& atFirstBox = {}) {
    Outcome run;
    DeleteFileW(RecorderLog);
    const auto program = StartProgram(place);
    HWND main = program->WaitForMainWindow();
    run.windowFound = main != nullptr;
    if (main) {
        plm::test::SetTextOf(GetDlgItem(main, TxtUrlId), address);
        run.clicked = Now();
        Press(main, BtnConfigurationId);
        if (impatient) {
            Press(main, BtnConfigurationId);
            PostMessageW(GetDlgItem(main, TxtUrlId), WM_KEYDOWN, VK_ESCAPE, 1);
            Press(main, BtnCancelId);
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
        while (!program->WaitForExit(5)) {
            if (!run.hidden && !IsWindowVisible(main)) run.hidden = Now();
            if (HWND box = program->MessageBoxNow()) {
                if (run.boxText.empty()) {
                    run.boxText = plm::test::MessageText(box);
                    if (atFirstBox) atFirstBox(main);
                }
                Press(box, IDOK);
            }
            if (Milliseconds(run.clicked, Now()) > 20000) {
                ADD_FAILURE() << "the program did not end";
                program->Terminate(99);
            }
        }
    }
    run.exitCode = program->WaitForExit(0).value_or(0xFFFFFFFF);
    // The recorder starts a moment after the launching program has ended.
    for (int i = 0; i < 500 && run.launches.empty(); ++i) {
        Sleep(20);
        run.launches = ReadLaunches();
    }
    return run;
}

std::wstring InstalledBrowser() {
    wchar_t programFiles[MAX_PATH] = L"";
    ExpandEnvironmentStringsW(L"%ProgramFiles%", programFiles, MAX_PATH);
    return std::wstring(programFiles) + L"\\" + Wide(plm::config::InternetExplorerUnderProgramFiles);
}

// The browser the program starts where no App Paths entry names one, as the
// recorder logs it (backslashes doubled): the one under the program's own
// Program Files folder. The test has the program's bitness; a 32-bit program
// on 64-bit Windows (WOW64) has "Program Files (x86)" as that folder.
std::string BrowserUnderOwnProgramFiles() {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    return wow64 ? "C:\\\\Program Files (x86)\\\\Internet Explorer\\\\iexplore.exe"
                 : "C:\\\\Program Files\\\\Internet Explorer\\\\iexplore.exe";
}

class EndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The recorder takes the browser's place (the prefix registers no
        // App Paths entry, so the one under the program's Program Files is
        // started);
        // without the override Wine would load its built-in browser
        // whatever the file holds.
        ASSERT_TRUE(CopyFileW(g_recorder.c_str(), InstalledBrowser().c_str(), FALSE)) << GetLastError();
        PutString(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", L"iexplore.exe", L"native");
    }
};

TEST_F(EndToEnd, HostNameRunsFromClickToEnd) {
    // Zones\2 exists with other data, and a value the template does not name.
    PutDword(HKEY_CURRENT_USER, Zone2(), L"1001", 3);
    PutDword(HKEY_CURRENT_USER, Zone2(), L"CurrentLevel", 0x11500);
    PutDword(HKEY_CURRENT_USER, Zone2(), L"Flags", 0x47);
    PutDword(HKEY_CURRENT_USER, Zone2(), L"PlmTestUnrelated", 7);
    PutString(HKEY_LOCAL_MACHINE, MachineSettings, CodeBaseValue.c_str(), L"CODEBASE;<http://old/x.dll>");

    Outcome run;
    {
        StandInWindows pages;
        run = RunProgram(L"http://plm.example.com/plm");
        Sleep(200);
    }
    ASSERT_TRUE(run.windowFound);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.boxText, L"") << "no policy here, no notice";
    EXPECT_EQ(g_closedLogin.load(), 1) << "Internet Explorer's \"Login - test\" is asked to close";
    EXPECT_EQ(g_closedOther.load(), 0) << "\"login other\" and another program's \"Login - Contoso\" are left alone";

    ASSERT_EQ(run.launches.size(), 1u);
    const Launch& launch = run.launches[0];
    ASSERT_EQ(launch.args.size(), 1u) << "the browser gets exactly one argument";
    EXPECT_EQ(launch.args[0], "http://plm.example.com/plm/login.aspx");
    ASSERT_NE(run.hidden, 0u) << "the main window is hidden before the launch";
    EXPECT_LT(run.hidden, launch.time);
    EXPECT_GE(Milliseconds(run.clicked, launch.time), plm::config::LoginWindowsCloseWait);

    for (const wchar_t* list : {L"Domains", L"EscDomains"}) {
        SCOPED_TRACE(list);
        EXPECT_EQ(Dword(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\example.com\\plm"), L"http"), 2);
    }
    for (const plm::zones::ZoneSetting& setting : plm::zones::TrustedZoneTemplate()) {
        EXPECT_EQ(Dword(HKEY_CURRENT_USER, Zone2(), Wide(setting.name).c_str()), setting.data) << Wide(setting.name);
    }
    EXPECT_EQ(Dword(HKEY_CURRENT_USER, Zone2(), L"PlmTestUnrelated"), 7);
    EXPECT_EQ(String(HKEY_LOCAL_MACHINE, MachineSettings, CodeBaseValue.c_str()), Wide(plm::zones::CodeBaseSearchPathText));
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

TEST_F(EndToEnd, UnderMachineSettingsOnlyTheUserIsToldAndTheLoginPageStillOpens) {
    Outcome run;
    {
        const plm::test::PlantedDword policy(HKEY_LOCAL_MACHINE, plm::test::MachinePolicyKey,
                                             plm::test::MachineSettingsOnly, 1);
        // Another program swaps the address while the notice is up.
        run = RunProgram(L"http://plm.policy.example/plm", false, {}, [](HWND main) {
            const wchar_t* swapped = L"javascript:alert(document.cookie)//.aspx";
            SendMessageW(GetDlgItem(main, TxtUrlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(swapped));
        });
    }
    EXPECT_EQ(Dword(HKEY_LOCAL_MACHINE, plm::test::MachinePolicyKey, plm::test::MachineSettingsOnly), -1)
        << "the planted policy is gone again";
    EXPECT_EQ(run.boxText, NoticeNaming(plm::config::Notice::Policy, u"plm.policy.example"));
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.launches.size(), 1u) << "after OK the login page opens";
    EXPECT_EQ(run.launches[0].args, std::vector<std::string>{"http://plm.policy.example/plm/login.aspx"})
        << "of the address that was checked and registered";
    EXPECT_EQ(Dword(HKEY_CURRENT_USER, ZoneMap(L"Domains\\policy.example\\plm"), L"http"), 2)
        << "the user's entry is written all the same";
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

// Moves every iexplore.exe of the prefix aside while it lives, so that no
// browser can be started; with `systemOnly`, those of the system folders,
// which Wine's shell would find first for a bare name.
class NoBrowser {
public:
    explicit NoBrowser(bool systemOnly = false) {
        wchar_t windows[MAX_PATH];
        GetWindowsDirectoryW(windows, MAX_PATH);
        const std::wstring drive(windows, 2);
        for (const std::wstring& path :
             {std::wstring(windows) + L"\\system32\\iexplore.exe", std::wstring(windows) + L"\\syswow64\\iexplore.exe",
              drive + L"\\Program Files\\Internet Explorer\\iexplore.exe",
              drive + L"\\Program Files (x86)\\Internet Explorer\\iexplore.exe"}) {
            if (systemOnly && path.find(L"Program Files") != std::wstring::npos) continue;
            if (MoveFileExW(path.c_str(), (path + L".aside").c_str(), MOVEFILE_REPLACE_EXISTING)) moved_.push_back(path);
        }
    }
    ~NoBrowser() {
        for (const std::wstring& path : moved_) MoveFileExW((path + L".aside").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    NoBrowser(const NoBrowser&) = delete;
    NoBrowser& operator=(const NoBrowser&) = delete;

private:
    std::vector<std::wstring> moved_;
};

// Types the address, presses "Auto Setting" and waits for the message box
// the run shows. Returns what the box says, and checks that the window
// stays visible and the program keeps running. The user then closes the
// box and presses Cancel, which ends the program with 0.
std::wstring RunToMessageBox(const std::wstring& address) {
    DeleteFileW(RecorderLog);
    const auto program = StartProgram();
    HWND main = program->WaitForMainWindow();
    if (main == nullptr) return L"<no window>";
    plm::test::SetTextOf(GetDlgItem(main, TxtUrlId), address);
    Press(main, BtnConfigurationId);
    HWND box = program->WaitForMessageBox();
    const std::wstring text = box != nullptr ? plm::test::MessageText(box) : L"<no message box>";
    EXPECT_TRUE(IsWindowVisible(main)) << "the window stays, or comes back";
    EXPECT_TRUE(program->Running()) << "the program keeps running";
    if (box != nullptr) Press(box, IDOK);
    plm::test::WaitFor([&] { return !IsWindowVisible(box); }, 5000);
    Press(main, BtnCancelId);
    EXPECT_EQ(program->WaitForExit(10000), std::optional<DWORD>(0)) << "Cancel ends the program";
    return text;
}

TEST_F(EndToEnd, HostWithAnEmptyLabelIsRefusedAndNothingChanges) {
    // Settings a completed run would overwrite.
    PutDword(HKEY_CURRENT_USER, Zone2(), L"1001", 3);
    PutString(HKEY_LOCAL_MACHINE, MachineSettings, CodeBaseValue.c_str(), L"CODEBASE;<http://old/x.dll>");
    const std::wstring before = SettingsSnapshot();
    const std::wstring prompt = RunToMessageBox(L"http://.example.com/plm");
    const plm::Latin1CodePage codes;
    EXPECT_EQ(prompt, Wide(plm::config::RefusalOf(u"http://.example.com/plm", codes, LanguageOfThisRun()).value_or(u"")))
        << "the invalid-address prompt";
    Sleep(500);
    EXPECT_TRUE(ReadLaunches().empty()) << "no browser is started";
    EXPECT_EQ(SettingsSnapshot(), before);
}

TEST_F(EndToEnd, ABrowserThatCannotStartIsReportedAndTheProgramKeepsRunning) {
    NoBrowser noBrowser;
    EXPECT_EQ(RunToMessageBox(L"http://plm.example.com/plm"), L"Err:2") << "the shell's code for a missing program";
    EXPECT_TRUE(ReadLaunches().empty());
}

// ---- where the login page opens ----

TEST_F(EndToEnd, WhereEdgeWouldOpenThePageWithoutIeModeTheUserIsTold) {
    // No Edge or Internet Explorer policy in this prefix.
    for (const bool windows11 : {true, false}) {
        Outcome run;
        {
            const plm::test::PlantedWindows windows(windows11 ? L"22631" : L"17763",
                                                    windows11 ? L"Professional" : L"EnterpriseS");
            run = RunProgram(L"http://plm.edge.example/plm");
        }
        if (windows11) {
            EXPECT_EQ(run.boxText, NoticeNaming(plm::config::Notice::Browser, u"plm.edge.example"));
        } else {
            EXPECT_EQ(run.boxText, L"") << "Internet Explorer runs on its own: no box";
        }
        EXPECT_EQ(run.exitCode, 0u);
        ASSERT_EQ(run.launches.size(), 1u) << "after OK the login page opens";
        EXPECT_EQ(run.launches[0].args, std::vector<std::string>{"http://plm.edge.example/plm/login.aspx"});
    }
    EXPECT_EQ(String(HKEY_LOCAL_MACHINE, Wide(plm::zones::WindowsVersionKey),
                     Wide(plm::zones::BuildNumberValue).c_str()),
              L"17763") << "the prefix's own Windows again";
}

// ---- the fleet kit: its files, imported, cover the site; its removal files take back what they added ----

DWORD RunToEnd(const std::wstring& program, const std::wstring& arguments) {
    return ProgramRun(program, arguments).WaitForExit(60000).value_or(0xFFFFFFFF);
}

TEST_F(EndToEnd, FleetKitFilesImportAndTheirRemovalFilesLeaveWhatWasThereBefore) {
    const wchar_t* kit = _wgetenv(L"PLM_FLEET_KIT");
    ASSERT_NE(kit, nullptr) << "PLM_FLEET_KIT names the kit";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"plm-fleet-kit";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring policy = plm::test::MachinePolicyKey;
    const std::wstring machine32 = Wide(plm::zones::MachineInternetSettingsKey32);
    for (const std::wstring& key : {MachineSettings, machine32}) {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), CodeBaseValue.c_str());
    }
    // Other sites and settings in the keys the kit writes to, in both views.
    const std::wstring other = L"http://other.example";
    const plm::test::PlantedValue otherSite(HKEY_LOCAL_MACHINE, policy + L"\\ZoneMapKey", other, REG_SZ, L"2", 4);
    const plm::test::PlantedDword otherAction(HKEY_LOCAL_MACHINE, policy + L"\\Zones\\2", L"2500", 3);
    const plm::test::PlantedDword otherPolicy(HKEY_LOCAL_MACHINE, policy, L"PlmTestUnrelated", 7);
    const plm::test::PlantedDword other64(HKEY_LOCAL_MACHINE, MachineSettings, L"PlmTestUnrelated", 7);
    const plm::test::PlantedDword other32(HKEY_LOCAL_MACHINE, machine32, L"PlmTestUnrelated", 7);
    const auto snapshot = [&] { return Snapshot(HKEY_LOCAL_MACHINE, {policy, MachineSettings, machine32}); };
    const std::wstring before = snapshot();

    EXPECT_EQ(RunToEnd(kit, L"http://plm.fleet.example/plm \"" + folder + L"\""), 0u);
    const auto import = [&](const wchar_t* file) {
        EXPECT_EQ(RunToEnd(L"reg.exe", L"import \"" + folder + L"\\" + file + L"\""), 0u) << file;
    };
    import(L"PlmSite.reg");
    import(L"PlmTrustedZone.reg");
    EXPECT_EQ(Dword(HKEY_LOCAL_MACHINE, policy, Wide(plm::zones::PolicyZoneMapSwitchValue).c_str()), 1);
    EXPECT_EQ(String(HKEY_LOCAL_MACHINE, policy + L"\\ZoneMapKey", L"http://plm.fleet.example"), L"2");
    DWORD actions = 0;
    HKEY zone = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, (policy + L"\\Zones\\2").c_str(), 0, KEY_READ, &zone);
    RegQueryInfoKeyW(zone, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &actions, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(zone);
    EXPECT_EQ(actions, 58u + 1) << "every URL action of the template, beside the one planted";
    for (const std::wstring& key : {MachineSettings, machine32}) {
        EXPECT_EQ(String(HKEY_LOCAL_MACHINE, key, CodeBaseValue.c_str()), Wide(plm::zones::CodeBaseSearchPathText)) << key;
    }

    const Outcome run = RunProgram(L"http://plm.fleet.example/plm");
    EXPECT_EQ(run.boxText, L"") << "the policy covers the site: no notice";
    EXPECT_EQ(run.exitCode, 0u);

    import(L"PlmSiteRemove.reg");
    import(L"PlmTrustedZoneRemove.reg");
    EXPECT_EQ(snapshot(), before) << "none of the kit's values left, every other value still there";
    for (const wchar_t* name : {L"PlmSite.reg", L"PlmTrustedZone.reg", L"PlmSiteRemove.reg", L"PlmTrustedZoneRemove.reg",
                                L"PlmPolicy.ps1", L"PlmSiteList.xml", L"PlmSiteEntry.xml"}) {
        EXPECT_TRUE(DeleteFileW((folder + L"\\" + name).c_str())) << name;
    }
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "no other file in the folder";
}

// ---- the help desk's check ----

std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    char buffer[4096];
    for (DWORD read = 0; ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0;) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

// Runs a console program to its end with its output (both streams) going
// to a file; its exit code and what it wrote.
std::pair<DWORD, std::string> RunCapturing(const std::wstring& program, const std::wstring& arguments) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"plm-check.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    DWORD exitCode = 0xFFFFFFFF;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    std::string text = FileBytes(path);
    DeleteFileW(path.c_str());
    return {exitCode, text};
}

// Internet Settings of the user and of the machine, as reg.exe exports them.
std::string InternetSettingsExport() {
    std::string bytes;
    for (const wchar_t* root : {L"HKCU", L"HKLM"}) {
        const std::wstring file = std::wstring(L"C:\\plm-export-") + root + L".reg";
        EXPECT_EQ(RunToEnd(L"reg.exe", std::wstring(L"export \"") + root + L"\\" + MachineSettings + L"\" " + file + L" /y"), 0u);
        bytes += FileBytes(file);
        DeleteFileW(file.c_str());
    }
    return bytes;
}

// Whether `report` holds `line` as a whole line.
bool HasLine(const std::string& report, const std::string& line) {
    return ("\r\n" + report).find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST_F(EndToEnd, CheckSaysNotReadyBeforeTheToolRanAndReadyAfterAndWritesNothing) {
    // Wine's urlmon answers the zone from the user's Domains and the URL
    // actions from the user's Zones\2: those facts are Windows' own here. It
    // reads no range lists, policies or code-base path; the report takes
    // those from the registry, which the native rows cover.
    const wchar_t* kit = _wgetenv(L"PLM_FLEET_KIT");
    ASSERT_NE(kit, nullptr) << "PLM_FLEET_KIT names the kit";
    const std::wstring url = L"http://plm.check.example/plm";
    for (const wchar_t* list : {L"Domains", L"EscDomains"}) {
        RegDeleteTreeW(HKEY_CURRENT_USER, ZoneMap(std::wstring(list) + L"\\check.example").c_str());  // an earlier run's
    }
    const std::string before = InternetSettingsExport();
    const auto [notReady, report] = RunCapturing(kit, L"/check " + url);
    EXPECT_EQ(InternetSettingsExport(), before) << "the check writes nothing";
    std::printf("%s", report.c_str());
    EXPECT_EQ(notReady, 3u);
    EXPECT_TRUE(report.ends_with("\r\nnot ready: no zone-map entry Domains\\check.example\\plm for the user: run PlmClientConfig\r\n"));

    EXPECT_EQ(RunProgram(url).exitCode, 0u);
    const auto [ready, after] = RunCapturing(kit, L"--check " + url);
    std::printf("%s", after.c_str());
    EXPECT_EQ(ready, 0u);
    EXPECT_TRUE(HasLine(after, "Zone of http://plm.check.example/plm/login.aspx (Windows): 2 Trusted sites"));
    EXPECT_TRUE(HasLine(after, "Template in zone 2: 58 of 58 URL actions in force with the tool's value"));
    EXPECT_TRUE(after.ends_with("\r\nready\r\n"));
}

// ---- the browser that starts ----

TEST_F(EndToEnd, AnIexploreBesideTheProgramOrInItsWorkingDirectoryIsNeverStarted) {
    // The program as if run from a Downloads folder where a file named
    // iexplore.exe waits, from a working directory that holds another.
    const std::wstring downloads = L"C:\\plm-downloads";
    const std::wstring working = L"C:\\plm-working";
    for (const std::wstring& folder : {downloads, working}) {
        CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(g_recorder.c_str(), (folder + L"\\iexplore.exe").c_str(), FALSE)) << GetLastError();
    }
    const std::wstring program = downloads + L"\\PlmClientConfig.exe";
    ASSERT_TRUE(CopyFileW(g_program.c_str(), program.c_str(), FALSE)) << GetLastError();
    Outcome run;
    {
        const NoBrowser notInTheSystemFolders(true);
        run = RunProgram(L"http://plm.example.com/plm", false, {program, working});
    }
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.launches.size(), 1u);
    EXPECT_EQ(run.launches[0].program, BrowserUnderOwnProgramFiles()) << "the browser under the program's own Program Files";
    EXPECT_EQ(run.launches[0].args, std::vector<std::string>{"http://plm.example.com/plm/login.aspx"});
    for (const std::wstring& file : {program, downloads + L"\\iexplore.exe", working + L"\\iexplore.exe"}) {
        DeleteFileW(file.c_str());
    }
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
