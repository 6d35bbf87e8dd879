// The login page step in this process, with a stand-in main window: the
// order of what it does to the window, the wait, and a browser that cannot
// be started. (The started browser and the closed Login windows are seen
// end to end, with the real program.)
#include "config/LoginPageStep_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace plm::config {
namespace {

class StandInWindow final : public LoginPageWindow {
public:
    explicit StandInWindow(const LoginPageStep*& step) : step_(step) {}
    void Hide() override { Record("Hide"); }
    void HandleQueuedEvents() override { Record("HandleQueuedEvents"); }
    void ShowAgain() override { Record("ShowAgain"); }

    std::vector<std::string> calls;
    std::vector<ULONGLONG> times;

private:
    // Each call notes whether presses would be ignored at that moment.
    void Record(const char* call) {
        calls.push_back(std::string(call) + (step_->InProgress() ? " (in progress)" : ""));
        times.push_back(GetTickCount64());
    }
    const LoginPageStep*& step_;
};

TEST(LoginPageStep, ABrowserThatCannotStartIsReportedWithItsCode) {
    const LoginPageStep* current = nullptr;
    StandInWindow window(current);
    const Latin1CodePage latin1;
    // A full path, as every browser path is, to a file that is not there.
    LoginPageStep step(window, [] { return Text(u"C:\\windows\\plm-no-such-browser.exe"); }, latin1);
    current = &step;
    EXPECT_EQ(step.Open(u"  http://plm.example.com/plm "), reg::Status(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(window.calls, (std::vector<std::string>{"Hide (in progress)", "HandleQueuedEvents (in progress)",
                                                      "ShowAgain (in progress)"}));
    ASSERT_EQ(window.times.size(), 3u);
    EXPECT_EQ(LoginWindowsCloseWait, 2000u) << "the two seconds users are told of";
    EXPECT_GE(window.times[2] - window.times[1] + 10, LoginWindowsCloseWait) << "the Login windows get time to close";
    EXPECT_FALSE(step.InProgress()) << "presses count again once the step is over";
}

}  // namespace
}  // namespace plm::config
