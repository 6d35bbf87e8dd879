// The one driver of the real programs under Wine, for the window tests, the
// end-to-end tests and the benchmark: start a program, find its main window
// or a message box, press, read, and end it.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace plm::test {

// Polls `condition` every `pollMilliseconds` for at most `milliseconds`.
bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 3000, DWORD pollMilliseconds = 10);

// A Unix path ("/x/y", as CMake and the scripts pass them under Wine) as a
// Windows path on drive Z:; other paths unchanged.
std::wstring WindowsPath(std::string_view path);

// The class of PlmClientConfig's main window, and that of a message box.
inline constexpr wchar_t MainWindowClass[] = L"ConfigurationFrm";
inline constexpr wchar_t MessageBoxClass[] = L"#32770";

std::wstring ClassOf(HWND window);
// A shown top-level window of `process` of class `className`; of any class
// when it is null. nullptr when there is none.
HWND ShownWindowOf(DWORD process, const wchar_t* className = nullptr);

// One run of a program, driven from outside. Ends the process, if it still
// runs, when destroyed.
class ProgramRun {
public:
    // Starts `program` with `arguments` after its quoted name, in
    // `directory` (empty: this process's working directory).
    explicit ProgramRun(const std::wstring& program, const std::wstring& arguments = {},
                        const std::wstring& directory = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    DWORD Id() const { return process_.dwProcessId; }
    bool Running() const;
    // Its shown main window, waited for; nullptr when none shows in time.
    HWND WaitForMainWindow(DWORD milliseconds = 15000) const;
    // A shown message box of the program, now or waited for; nullptr if none.
    HWND MessageBoxNow() const { return ShownWindowOf(Id(), MessageBoxClass); }
    HWND WaitForMessageBox(DWORD milliseconds = 10000) const;
    // The exit code once the process has ended within `milliseconds`.
    std::optional<DWORD> WaitForExit(DWORD milliseconds = 5000) const;
    // Ends the process at once, with `code`, if it still runs.
    void Terminate(DWORD code);

private:
    PROCESS_INFORMATION process_{};
};

// Another process's window text (WM_GETTEXT: for an edit box only the
// message gives the current text), and setting it.
std::wstring TextOf(HWND window);
void SetTextOf(HWND window, const std::wstring& text);
// The button `id` of `window` pressed, as the button tells its parent.
void Press(HWND window, int id);
// What a message box says: its static texts, joined.
std::wstring MessageText(HWND box);

}  // namespace plm::test
