// ConfigurationFrm: the window (Win32 layer; see ConfigurationFrm_win.h).
// How it looks is FrmSkin's.
#include "app/ConfigurationFrm_win.h"

#include <utility>

#include "app/Clipboard_win.h"
#include "app/CommonControls_win.h"
#include "app/Dpi_win.h"
#include "app/Prefill.h"
#include "app/Resources.h"
#include "app/WideText_win.h"
#include "config/RegistrySteps.h"
#include "registry/RegisterKey.h"
#include "registry/Win32Registry_win.h"
#include "text/CodePage.h"

namespace plm::app {
namespace {

constexpr wchar_t WindowClass[] = L"ConfigurationFrm";
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

// The letter a caption marks with "&", lower-cased; 0 when it marks none.
char16_t AccessKeyOf(TextView caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return ToLowerChar(caption[i + 1]);
    }
    return 0;
}

// The top-left corner of a window of `size` centred in the work area of
// `monitor`.
POINT CentredIn(HMONITOR monitor, SIZE size) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    return {work.left + (work.right - work.left - size.cx) / 2, work.top + (work.bottom - work.top - size.cy) / 2};
}

bool IsDown(int key) { return GetKeyState(key) < 0; }

// Alt held, Shift and Ctrl not (AltGr counts as Ctrl+Alt).
bool AltAlone() { return IsDown(VK_MENU) && !IsDown(VK_SHIFT) && !IsDown(VK_CONTROL); }

}  // namespace

ConfigurationFrm::ConfigurationFrm(HINSTANCE instance)
    : instance_(instance), skin_(instance), loginPage_(*this, config::InstalledInternetExplorer, SystemCodePage()) {}

ConfigurationFrm::~ConfigurationFrm() {
    if (window_ != nullptr) DestroyWindow(window_);
}

bool ConfigurationFrm::Create() {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = instance_;
    cls.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    cls.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PLM), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    cls.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_PLM), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    cls.lpszClassName = WindowClass;
    if (RegisterClassExW(&cls) == 0) return false;

    // No caption, frame or system menu: the skinned background takes the
    // title bar's place. The taskbar button lets the user find the window.
    // Made where Show will centre it, so that it need not move again.
    int dpi = WindowDpi(nullptr);
    const SIZE size{TwipsToPixels(ClientWidthTwips, dpi), TwipsToPixels(DesignHeightTwips, dpi)};
    const POINT at = CentredIn(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), size);
    creating_ = this;
    CreateWindowExW(WS_EX_APPWINDOW, WindowClass, Wide(Text(config::DesignLanguage().captions.formCaption)),
                    WS_POPUP | WS_CLIPSIBLINGS, at.x, at.y, size.cx, size.cy, nullptr, nullptr, instance_, nullptr);
    creating_ = nullptr;
    if (window_ == nullptr) return false;
    StartUp();
    return true;
}

void ConfigurationFrm::StartUp() {
    language_ = &config::LanguageOf(GetOSLCID(GetSystemDefaultLCID()));
    ApplyLanguage(*language_, *this);
    SetHeightTwips(StartHeightTwips);
    SetBackgroundFromSmallPicture();
    SetWindowTextOf(Control(ControlId::txtUrl), InitialUrlText(ReadClipboardText(window_)));
    startedUp_ = true;
}

void ConfigurationFrm::Show(int showCommand) {
    // Made centred on the primary monitor (Create), the window can lie on a
    // monitor of another DPI: lay it out for that one and centre it again.
    if (int dpi = WindowDpi(window_); dpi != skin_.Dpi()) {
        ApplyDpi(dpi);
        RECT frame{};
        GetWindowRect(window_, &frame);
        const POINT at = CentredIn(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY),
                                   {frame.right - frame.left, frame.bottom - frame.top});
        SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    HWND url = Control(ControlId::txtUrl);
    SetFocus(url);
    int length = GetWindowTextLengthW(url);
    SendMessageW(url, EM_SETSEL, static_cast<WPARAM>(length), length);
}

int ConfigurationFrm::RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
    return static_cast<int>(message.wParam);
}

void ConfigurationFrm::ProcessMessage(MSG& message) {
    if (PreviewMessage(message)) return;
    if (IsDialogMessageW(window_, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void ConfigurationFrm::HandleQueuedEvents() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ProcessMessage(message);
    }
}

bool ConfigurationFrm::PreviewMessage(const MSG& message) {
    if (!IsOwnWindow(message.hwnd)) return false;
    switch (message.message) {
    case WM_NCCREATE:
    case WM_DRAWITEM:
        // Only ever sent by the system; one in the queue was posted by
        // another program, with a pointer into nowhere.
        return true;
    case WM_KEYDOWN:
        if (message.wParam == VK_ESCAPE) EndOnRequest();
        return false;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The window sees every key release before the focused control.
        if (message.wParam == 'R' && AltAlone()) {
            SetFocus(Control(ControlId::txtUrl));
            SelectAllUrl();
        }
        return false;
    case WM_SYSCHAR: {
        char16_t key = ToLowerChar(static_cast<char16_t>(message.wParam));
        if (key == AccessKeyOf(WindowText(Control(ControlId::btnConfiguration)))) {
            RunAutoSettingCommand();
            return true;
        }
        if (key == AccessKeyOf(WindowText(Control(ControlId::btnCancel)))) EndOnRequest();
        // The URL label's key acts when it is released (above), not here.
        return key == AccessKeyOf(WindowText(Control(ControlId::lblUrl)));
    }
    case WM_CHAR:
        // A letter typed while a button has the focus is not an access key:
        // those need Alt.
        return message.hwnd == Control(ControlId::btnConfiguration) ||
               message.hwnd == Control(ControlId::btnCancel);
    default:
        return false;
    }
}

LRESULT CALLBACK ConfigurationFrm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ConfigurationFrm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        // Any program can send this message at any time, with a pointer of
        // its choosing: the object comes from Create alone, once, and a
        // message outside it is not even handed on (the default handler
        // would read the sender's structure).
        if (self != nullptr || creating_ == nullptr) return FALSE;
        self = std::exchange(creating_, nullptr);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT ConfigurationFrm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers the whole client area
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT:
        skin_.PaintBackground(reinterpret_cast<HDC>(wParam), {0, 0}, ClientSize());
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        // Another program may send one naming any control id or window.
        if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam); IsOwnDrawnItem(item)) {
            skin_.Draw(*item, window_);
            return TRUE;
        }
        break;
    case WM_CTLCOLOREDIT: {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ToColorRef(TextColour));
        SetBkColor(dc, ToColorRef(UrlBoxBack));
        return reinterpret_cast<LRESULT>(skin_.UrlBoxBrush());
    }
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SYSCOMMAND:
        // No menu to open with Alt, and no moving or sizing by keyboard.
        switch (wParam & 0xFFF0) {
        case SC_KEYMENU:
        case SC_MOVE:
        case SC_SIZE:
        case SC_MAXIMIZE:
            return 0;
        default:
            break;
        }
        break;
    case WM_CLOSE:
        // Alt+F4 or a close request from another program: like Cancel.
        EndOnRequest();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;  // nothing to save, never in the way of a logoff
    case WM_DPICHANGED:
        // Anyone may post this message: its rectangle is not looked at.
        OnDpiChanged(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void ConfigurationFrm::OnCreate() {
    skin_.SetDpi(WindowDpi(window_));
    skin_.UseDesignedBackground(TwipsToPixels(ClientWidthTwips, skin_.Dpi()));
    CreateControls();
}

void ConfigurationFrm::OnPaint() {
    PaintDc dc(window_);
    skin_.PaintBackground(dc.Get(), {0, 0}, ClientSize());
}

void ConfigurationFrm::OnCommand(int id, int code) {
    switch (id) {
    case IdOf(ControlId::btnConfiguration):
        if (code == BN_CLICKED) RunAutoSettingCommand();
        break;
    case IdOf(ControlId::btnCancel):
        if (code == BN_CLICKED) EndOnRequest();
        break;
    case IdOf(ControlId::picClose):
        if (code == STN_CLICKED) EndOnRequest();
        break;
    case IDOK: {
        // Enter clicks the button that has the focus; elsewhere it does nothing.
        HWND focus = GetFocus();
        if (focus == Control(ControlId::btnConfiguration)) RunAutoSettingCommand();
        if (focus == Control(ControlId::btnCancel)) EndOnRequest();
        break;
    }
    case IDCANCEL:
        EndOnRequest();
        break;
    default:
        break;
    }
}

void ConfigurationFrm::OnActivate(bool active) {
    // Keep the focus where the user left it when the window is activated again.
    if (!active) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    HWND target = lastFocus_ != nullptr ? lastFocus_ : Control(ControlId::txtUrl);
    if (IsWindowVisible(window_)) SetFocus(target);
}

LRESULT CALLBACK ConfigurationFrm::UrlBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The window finds itself through its frame, whose procedure knows it.
    auto* self = reinterpret_cast<ConfigurationFrm*>(GetWindowLongPtrW(GetParent(window), GWLP_USERDATA));
    if (self == nullptr || self->urlBoxProc_ == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_LBUTTONDBLCLK) {
        // The whole address, not the word under the mouse.
        self->SelectAllUrl();
        return 0;
    }
    if (message == WM_GETOBJECT) self->urlBoxName_.OnGetObject(window);
    if (message == WM_NCDESTROY) self->urlBoxName_.OnDestroy(window);
    return CallWindowProcW(self->urlBoxProc_, window, message, wParam, lParam);
}

void ConfigurationFrm::SelectAllUrl() {
    HWND url = Control(ControlId::txtUrl);
    SendMessageW(url, EM_SETSEL, 0, GetWindowTextLengthW(url));
}

void ConfigurationFrm::RunAutoSettingCommand() {
    reg::RegisterKey registry(reg::Advapi32(), SystemCodePage());
    config::RegistrySteps steps(registry, [this](TextView url) { return loginPage_.Open(url); });
    command_.Run(*this, steps, SystemCodePage());
}

void ConfigurationFrm::EndOnRequest() {
    if (loginPage_.InProgress()) return;
    EndProgram();
}

void ConfigurationFrm::Hide() { ShowWindow(window_, SW_HIDE); }

void ConfigurationFrm::ShowAgain() {
    if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOW);
}

void ConfigurationFrm::SetFormCaption(TextView text) { SetCaption(ControlId::lblFormCaption, text); }

void ConfigurationFrm::SetSampleCaption(TextView text) { SetCaption(ControlId::lblSample, text); }

void ConfigurationFrm::SetCancelCaption(TextView text) { SetCaption(ControlId::btnCancel, text); }

void ConfigurationFrm::SetConfigurationCaption(TextView text) { SetCaption(ControlId::btnConfiguration, text); }

void ConfigurationFrm::SetCloseCaption(TextView text) { SetCaption(ControlId::picClose, text); }

Text ConfigurationFrm::FormCaption() { return WindowText(Control(ControlId::lblFormCaption)); }

void ConfigurationFrm::SetWindowCaption(TextView text) { SetWindowTextOf(window_, text); }

Text ConfigurationFrm::UrlText() { return WindowText(Control(ControlId::txtUrl)); }

void ConfigurationFrm::ShowMessage(TextView prompt, TextView title) {
    // A failure after the login page step hid the window must not leave an
    // invisible program behind the box.
    ShowAgain();
    const CommonControlsScope styled(instance_);
    MessageBoxW(window_, Wide(Text(prompt)), Wide(Text(title)), MB_OK);
}

void ConfigurationFrm::ShowFailure(reg::Status status) {
    const DWORD lastError = GetLastError();
    ShowMessage(FailureText(status, lastError), config::GetLocalText(*language_, config::Message::Title));
}

void ConfigurationFrm::EndProgram() { ExitProcess(0); }

HWND ConfigurationFrm::Control(ControlId id) const { return controls_[IndexOf(id)]; }

PixelRect ConfigurationFrm::ControlRect(ControlId id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

SIZE ConfigurationFrm::ClientSize() const {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
}

bool ConfigurationFrm::IsOwnDrawnItem(const DRAWITEMSTRUCT* item) const {
    if (item == nullptr || item->CtlID > 0x7FFFFFFF || !IsControlId(static_cast<int>(item->CtlID))) return false;
    const HWND control = Control(static_cast<ControlId>(item->CtlID));
    return control != nullptr && item->hwndItem == control;
}

bool ConfigurationFrm::IsOwnWindow(HWND window) const {
    return window != nullptr && (window == window_ || IsChild(window_, window));
}

}  // namespace plm::app
