// ConfigurationFrm: the program's only window (Win32 layer). A borderless,
// skinned window with a caption label, a close picture, the URL box and
// the "Auto Setting" and Cancel buttons. It chooses its language at
// start-up, pre-fills the URL box from the clipboard, and runs the Auto
// Setting command on the real registry.
#pragma once

#include <windows.h>

#include <array>

#include "app/FrmSkin_win.h"
#include "app/GdiObjects_win.h"
#include "app/Language.h"
#include "app/Layout.h"
#include "app/ScreenReader_win.h"
#include "config/AutoSetting.h"
#include "config/LoginPageStep_win.h"

namespace plm::app {

class ConfigurationFrm final : public CaptionTarget, public config::AutoSettingUi, public config::LoginPageWindow {
public:
    explicit ConfigurationFrm(HINSTANCE instance);
    ConfigurationFrm(const ConfigurationFrm&) = delete;
    ConfigurationFrm& operator=(const ConfigurationFrm&) = delete;
    ~ConfigurationFrm() override;

    // Creates the window and its controls and runs start-up; the window is
    // not shown yet. False when the window cannot be created.
    bool Create();
    // Centres the window on the screen, shows it and puts the focus in the
    // URL box.
    void Show(int showCommand);
    // The message loop, with the window's key preview. Returns when the
    // loop ends (the program normally ends before, from inside an event).
    int RunMessageLoop();

    // CaptionTarget: what the language choice writes.
    void SetFormCaption(TextView text) override;
    void SetSampleCaption(TextView text) override;
    void SetCancelCaption(TextView text) override;
    void SetConfigurationCaption(TextView text) override;
    // Not painted: the picture shows the cross; screen readers read it.
    void SetCloseCaption(TextView text) override;
    Text FormCaption() override;
    void SetWindowCaption(TextView text) override;

    // AutoSettingUi: what the Auto Setting command needs from the window.
    Text UrlText() override;
    const config::Language& WindowLanguage() override { return *language_; }
    void ShowMessage(TextView prompt, TextView title) override;
    void ShowFailure(reg::Status status) override;
    // The program's one way out: nothing is saved, nothing else runs.
    [[noreturn]] void EndProgram() override;

    // LoginPageWindow: what the login page step does with the window.
    void Hide() override;
    void HandleQueuedEvents() override;
    void ShowAgain() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The URL box is subclassed for its double-click.
    static LRESULT CALLBACK UrlBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnPaint();
    void OnCommand(int id, int code);
    void OnActivate(bool active);
    void OnDpiChanged(int messageDpi);

    // Key preview and the window's keys; true when the message is used up.
    bool PreviewMessage(const MSG& message);
    void ProcessMessage(MSG& message);

    void CreateControls();
    void StartUp();
    void ApplyDpi(int dpi);
    void SetBackgroundFromSmallPicture();
    // A control at `at`; nothing for one without a window.
    void Place(ControlId id, const PixelRect& at);
    // A label's place: as designed, as wide as its one-line `text` needs.
    PixelRect LabelPlace(ControlId id, TextView text) const;
    void SetCaption(ControlId id, TextView text);
    void SetHeightTwips(int twips);

    void SelectAllUrl();
    void RunAutoSettingCommand();
    // Cancel, Esc, Alt+C, the close picture, Alt+F4 and close requests from
    // outside: end at once, except while the login page is being opened.
    void EndOnRequest();

    // The control's window; nullptr for one that can never be seen.
    HWND Control(ControlId id) const;
    PixelRect ControlRect(ControlId id) const;
    SIZE ClientSize() const;
    bool IsOwnWindow(HWND window) const;
    // A WM_DRAWITEM for one of the window's controls: its id in the design
    // table and its window that control's.
    bool IsOwnDrawnItem(const DRAWITEMSTRUCT* item) const;

    // The window being made by Create: the one WM_NCCREATE that may set
    // the window's object (one user-interface thread).
    static inline ConfigurationFrm* creating_ = nullptr;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::array<HWND, Controls.size()> controls_{};
    WNDPROC urlBoxProc_ = nullptr;  // the URL box's own procedure
    int heightTwips_ = DesignHeightTwips;
    bool startedUp_ = false;
    HWND lastFocus_ = nullptr;
    FrmSkin skin_;
    // Derived from the label before it, the box's name would keep "(R):".
    AccessibleName urlBoxName_{config::UrlBoxName};

    // The row of what GetOSLCID chose: its code is the window's
    // LanguageCode, its messages the window's Messages.
    const config::Language* language_ = &config::DesignLanguage();
    config::AutoSettingCommand command_;
    config::LoginPageStep loginPage_;
};

}  // namespace plm::app
