// ConfigurationFrm: the window (Win32 layer; see ConfigurationFrm.h).
#include "app/ConfigurationFrm.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "app/Prefill.h"
#include "app/Resources.h"
#include "config/CloseIE_win.h"
#include "config/LoginPage.h"
#include "text/CodePage.h"
#include "registry/RegisterKey.h"
#include "registry/Win32Registry.h"

namespace plm::app {
namespace {

constexpr wchar_t WindowClass[] = L"ConfigurationFrm";
constexpr UINT_PTR UrlBoxSubclass = 1;
#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif

TextView InitialText(ControlId id) {
    switch (id) {
    case ControlId::btnCancel: return DesignCaptions().cancel;
    case ControlId::btnConfiguration: return DesignCaptions().configuration;
    case ControlId::lblSample: return DesignCaptions().sample;
    case ControlId::lblUrl: return UrlLabelCaption;
    case ControlId::lblFormCaption: return DesignCaptions().formCaption;
    default: return {};
    }
}

DWORD StyleOf(const ControlDesign& design) {
    DWORD style = WS_CHILD | (design.hidden ? 0 : WS_VISIBLE);
    switch (design.kind) {
    case ControlKind::CommandButton:
        // Each focusable control is a group of its own, so the arrow keys
        // do not move the focus: only Tab does.
        return style | WS_TABSTOP | WS_GROUP | BS_OWNERDRAW;
    case ControlKind::TextBox:
        return style | WS_TABSTOP | WS_GROUP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
    case ControlKind::Label:
        return style | SS_OWNERDRAW;
    case ControlKind::PictureBox:
        // Picture boxes take no focus; the close picture reports clicks.
        return style | SS_OWNERDRAW | (design.id == ControlId::picClose ? SS_NOTIFY : 0);
    }
    return style;
}

const wchar_t* ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::CommandButton: return L"BUTTON";
    case ControlKind::TextBox: return L"EDIT";
    default: return L"STATIC";
    }
}

GdiObject MakeFont(int dpi, int weight, BYTE charset, const wchar_t* face) {
    return GdiObject(CreateFontW(-MulDiv(FontPoints, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE, charset,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face));
}

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

bool IsDown(int key) { return GetKeyState(key) < 0; }

// Alt held, Shift and Ctrl not (AltGr counts as Ctrl+Alt).
bool AltAlone() { return IsDown(VK_MENU) && !IsDown(VK_SHIFT) && !IsDown(VK_CONTROL); }

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

// Copies `bitmap` to `dc`, its point `origin` to the DC's top-left corner.
void Blit(HDC dc, HBITMAP bitmap, POINT origin, SIZE size) {
    SIZE have = BitmapSize(bitmap);
    LONG width = std::min<LONG>(size.cx, have.cx - origin.x);
    LONG height = std::min<LONG>(size.cy, have.cy - origin.y);
    if (width <= 0 || height <= 0 || origin.x < 0 || origin.y < 0) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, 0, 0, width, height, memory, origin.x, origin.y, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void Fill(HDC dc, const RECT& rect, Rgb colour) {
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

}  // namespace

ConfigurationFrm::ConfigurationFrm(HINSTANCE instance) : instance_(instance) {}

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
    int dpi = WindowDpi(nullptr);
    CreateWindowExW(WS_EX_APPWINDOW, WindowClass, ToWide(DesignCaptions().formCaption).c_str(),
                    WS_POPUP | WS_CLIPSIBLINGS, 0, 0, TwipsToPixels(ClientWidthTwips, dpi),
                    TwipsToPixels(DesignHeightTwips, dpi), nullptr, nullptr, instance_, this);
    if (window_ == nullptr) return false;
    StartUp();
    return true;
}

void ConfigurationFrm::StartUp() {
    languageCode_ = DecimalText(GetOSLCID(GetSystemDefaultLCID()));
    ApplyLanguage(languageCode_, *this, messages_);
    SetHeightTwips(StartHeightTwips);
    SetBackgroundFromSmallPicture();
    FitProgressFill();
    SetWindowTextOf(Control(ControlId::txtUrl), InitialUrlText(ReadClipboardText(window_)));
    startedUp_ = true;
}

void ConfigurationFrm::Show(int showCommand) {
    auto centre = [this] {
        RECT frame{};
        GetWindowRect(window_, &frame);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT& work = monitor.rcWork;
        LONG width = frame.right - frame.left;
        LONG height = frame.bottom - frame.top;
        SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                     work.top + (work.bottom - work.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    centre();
    // Centred, the window can lie on a monitor of another DPI: lay it out
    // for that one and centre it again.
    int dpi = WindowDpi(window_);
    if (dpi != dpi_) {
        ApplyDpi(dpi);
        centre();
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

void ConfigurationFrm::DrainMessages() {
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
    ConfigurationFrm* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<ConfigurationFrm*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<ConfigurationFrm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(window_, &client);
        PaintBackground(reinterpret_cast<HDC>(wParam), {0, 0}, {client.right, client.bottom});
        return 0;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLOREDIT: {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, ToColorRef(TextColour));
        SetBkColor(dc, ToColorRef(UrlBoxBack));
        return reinterpret_cast<LRESULT>(urlBoxBrush_.Brush());
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
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
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
    LoadPictures();
    CreateControls();
    ApplyDpi(WindowDpi(window_));
}

void ConfigurationFrm::LoadPictures() {
    auto load = [this](int id) {
        return GdiObject(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    };
    smallPicture_ = load(IDB_BACKGROUND);
    bigPicture_ = MakeBitmap(art::MakeBackground(art::BackgroundWidth, art::TallBackgroundHeight, 96));
    closePicture_ = load(IDB_CLOSE);
    urlBoxBrush_ = GdiObject(CreateSolidBrush(ToColorRef(UrlBoxBack)));
}

void ConfigurationFrm::CreateControls() {
    for (const ControlDesign& design : Controls) {
        HWND control = CreateWindowExW(0, ClassOf(design.kind), ToWide(InitialText(design.id)).c_str(), StyleOf(design),
                                       0, 0, 0, 0, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<int>(design.id))),
                                       instance_, nullptr);
        controls_[IndexOf(design.id)] = control;
    }
    // Focus moves in tab-index order, which Windows takes from the z-order.
    std::array<const ControlDesign*, Controls.size()> order{};
    for (std::size_t i = 0; i < Controls.size(); ++i) order[i] = &Controls[i];
    std::sort(order.begin(), order.end(), [](auto a, auto b) { return a->tabIndex < b->tabIndex; });
    HWND after = HWND_TOP;
    for (const ControlDesign* design : order) {
        HWND control = Control(design->id);
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
    SetWindowSubclass(Control(ControlId::txtUrl), UrlBoxProc, UrlBoxSubclass, reinterpret_cast<DWORD_PTR>(this));
}

void ConfigurationFrm::ApplyDpi(int dpi) {
    dpi_ = dpi;
    windowFont_ = MakeFont(dpi, FW_BOLD, ANSI_CHARSET, L"Arial");
    arialFont_ = MakeFont(dpi, FW_NORMAL, ANSI_CHARSET, L"Arial");
    songTiFont_ = MakeFont(dpi, FW_NORMAL, GB2312_CHARSET, L"\u5B8B\u4F53");
    for (const ControlDesign& design : Controls) {
        PixelRect at = ToPixels(design, dpi);
        HWND control = Control(design.id);
        SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(design.font)), FALSE);
    }
    if (startedUp_) FitProgressFill();
    FitLabel(ControlId::lblFormCaption);
    FitLabel(ControlId::lblSample);
    FitLabel(ControlId::lblUrl);

    if (dpi == 96) {
        scaledClose_.Reset();
        closeGlyph_ = closePicture_.Bitmap();
    } else {
        int size = ScalePixels(art::CloseGlyphSize, dpi);
        scaledClose_ = MakeBitmap(art::MakeCloseGlyph(size));
        closeGlyph_ = scaledClose_.Bitmap();
    }
    SetHeightTwips(heightTwips_);
    if (startedUp_) {
        SetBackgroundFromSmallPicture();
    } else if (dpi == 96) {
        background_ = bigPicture_.Bitmap();  // the designed picture, replaced at start-up
    } else {
        scaledBackground_ = MakeBitmap(art::MakeBackground(TwipsToPixels(ClientWidthTwips, dpi),
                                                           ScalePixels(art::TallBackgroundHeight, dpi), dpi));
        background_ = scaledBackground_.Bitmap();
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void ConfigurationFrm::SetHeightTwips(int twips) {
    heightTwips_ = twips;
    // The window has no frame: its size is its client area's.
    SetWindowPos(window_, nullptr, 0, 0, TwipsToPixels(ClientWidthTwips, dpi_), TwipsToPixels(twips, dpi_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConfigurationFrm::SetBackgroundFromSmallPicture() {
    if (dpi_ == 96) {
        scaledBackground_.Reset();
        background_ = smallPicture_.Bitmap();
    } else {
        // The same picture drawn for this DPI, so it stays crisp.
        RECT client{};
        GetClientRect(window_, &client);
        scaledBackground_ = MakeBitmap(art::MakeBackground(client.right, client.bottom, dpi_));
        background_ = scaledBackground_.Bitmap();
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void ConfigurationFrm::FitProgressFill() {
    PixelRect fill = app::FitProgressFill(ControlRect(ControlId::picback));
    SetWindowPos(Control(ControlId::picProgress), nullptr, fill.left, fill.top, fill.width, fill.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The designed label widths fit the Simplified Chinese texts; the English
// ones are longer. A label grows to hold its one-line text rather than cut
// it off, within the room its neighbours leave.
void ConfigurationFrm::FitLabel(ControlId id) {
    HWND label = Control(id);
    const ControlDesign& design = DesignOf(id);
    PixelRect designed = ToPixels(design, dpi_);
    // How far a label may grow: the caption up to the close picture, the
    // URL label up to the URL box, the others up to the right edge.
    int right = TwipsToPixels(ClientWidthTwips, dpi_) - ScalePixels(8, dpi_);
    if (id == ControlId::lblFormCaption) right = ToPixels(DesignOf(ControlId::picClose), dpi_).left - ScalePixels(4, dpi_);
    if (id == ControlId::lblUrl) right = ToPixels(DesignOf(ControlId::txtUrl), dpi_).left - ScalePixels(2, dpi_);

    std::wstring text = ToWide(WindowText(label));
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, FontFor(design.font));
    RECT measure{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(label, dc);

    int width = FittedLabelWidth(designed.width, measure.right, designed.left, right, 0);
    SetWindowPos(label, nullptr, designed.left, designed.top, width, designed.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void ConfigurationFrm::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    PaintBackground(dc, {0, 0}, {client.right, client.bottom});
    EndPaint(window_, &paint);
}

void ConfigurationFrm::PaintBackground(HDC dc, POINT origin, SIZE size) {
    RECT all{0, 0, size.cx, size.cy};
    Fill(dc, all, WindowBack);
    Blit(dc, background_, origin, size);
}

void ConfigurationFrm::OnDrawItem(const DRAWITEMSTRUCT& item) {
    auto id = static_cast<ControlId>(item.CtlID);
    switch (DesignOf(id).kind) {
    case ControlKind::Label: DrawLabel(item); break;
    case ControlKind::CommandButton: DrawButton(item); break;
    case ControlKind::PictureBox: DrawPicture(item, id); break;
    case ControlKind::TextBox: break;
    }
}

void ConfigurationFrm::DrawLabel(const DRAWITEMSTRUCT& item) {
    // Transparent: the window's picture shows through behind the text.
    POINT origin{0, 0};
    MapWindowPoints(item.hwndItem, window_, &origin, 1);
    RECT rect = item.rcItem;
    PaintBackground(item.hDC, origin, {rect.right - rect.left, rect.bottom - rect.top});
    std::wstring text = ToWide(WindowText(item.hwndItem));
    HGDIOBJ old = SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ToColorRef(TextColour));
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect, DT_LEFT | DT_TOP | DT_WORDBREAK);
    SelectObject(item.hDC, old);
}

void ConfigurationFrm::DrawButton(const DRAWITEMSTRUCT& item) {
    // Flat: the face colour with a one-pixel edge, no bevel.
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    bool focused = (item.itemState & ODS_FOCUS) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    RECT rect = item.rcItem;
    Rgb face = pressed ? Rgb{210, 208, 202} : ButtonFace;
    Fill(item.hDC, rect, face);
    HBRUSH edge = CreateSolidBrush(pressed || focused ? RGB(96, 96, 96) : RGB(150, 150, 150));
    FrameRect(item.hDC, &rect, edge);
    DeleteObject(edge);

    std::wstring text = ToWide(WindowText(item.hwndItem));
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    HGDIOBJ old = SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, disabled ? RGB(128, 128, 128) : ToColorRef(TextColour));
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, old);
    if (focused) {
        RECT focus = rect;
        int inset = ScalePixels(3, dpi_);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

void ConfigurationFrm::DrawPicture(const DRAWITEMSTRUCT& item, ControlId id) {
    const RECT& rect = item.rcItem;
    switch (id) {
    case ControlId::picClose:
        FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_WINDOW));
        Blit(item.hDC, closeGlyph_, {0, 0}, {rect.right - rect.left, rect.bottom - rect.top});
        break;
    case ControlId::picback: Fill(item.hDC, rect, ProgressFrameBack); break;
    case ControlId::picProgress: Fill(item.hDC, rect, ProgressBack); break;
    default: break;
    }
}

void ConfigurationFrm::OnCommand(int id, int code) {
    switch (id) {
    case static_cast<int>(ControlId::btnConfiguration):
        if (code == BN_CLICKED) RunAutoSettingCommand();
        break;
    case static_cast<int>(ControlId::btnCancel):
        if (code == BN_CLICKED) EndOnRequest();
        break;
    case static_cast<int>(ControlId::picClose):
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

void ConfigurationFrm::OnDpiChanged(int dpi, const RECT& suggested) {
    // Everything is laid out again for the new DPI; the window keeps its
    // size in twips and moves where the system suggests.
    ApplyDpi(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK ConfigurationFrm::UrlBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR /*id*/, DWORD_PTR self) {
    switch (message) {
    case WM_LBUTTONDBLCLK:
        // The whole address, not the word under the mouse.
        reinterpret_cast<ConfigurationFrm*>(self)->SelectAllUrl();
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, UrlBoxProc, UrlBoxSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ConfigurationFrm::SelectAllUrl() {
    HWND url = Control(ControlId::txtUrl);
    SendMessageW(url, EM_SETSEL, 0, GetWindowTextLengthW(url));
}

void ConfigurationFrm::RunAutoSettingCommand() {
    reg::RegisterKey registry(reg::Advapi32(), SystemCodePage());
    config::RegistrySteps steps(registry, [this] { OpenLoginPage(); });
    config::RunAutoSetting(*this, steps, SystemCodePage());
}

void ConfigurationFrm::OpenLoginPage() {
    config::CloseIE::CloseLoginWindows();
    Text url = TrimSpaces(UrlText());
    Text parameters = config::BuildLaunchParameters(config::BuildLoginUrl(url), SystemCodePage());
    // The launch parameters hold only what the ANSI call can carry; check
    // before the window disappears.
    auto ansi = SystemCodePage().ToAnsi(parameters);
    if (!ansi) throw RunTimeError("launch parameters outside the code page");
    // From here the run goes on to the browser: a Cancel or Esc that the
    // queued messages still hold must not end the program half-way, after
    // the settings are written but before the login page opens.
    struct Launching {
        bool& flag;
        explicit Launching(bool& f) : flag(f) { flag = true; }
        ~Launching() { flag = false; }
        Launching(const Launching&) = delete;
        Launching& operator=(const Launching&) = delete;
    } launching(launching_);
    ShowWindow(window_, SW_HIDE);
    DrainMessages();
    Sleep(2000);
    ShellExecuteA(nullptr, "Open", "iexplore.exe", ansi->c_str(), "", SW_SHOWNORMAL);
}

void ConfigurationFrm::EndAtOnce() { ExitProcess(0); }

void ConfigurationFrm::EndOnRequest() {
    if (launching_) return;
    EndAtOnce();
}

void ConfigurationFrm::SetFormCaption(TextView text) {
    SetWindowTextOf(Control(ControlId::lblFormCaption), text);
    FitLabel(ControlId::lblFormCaption);
}

void ConfigurationFrm::SetSampleCaption(TextView text) {
    SetWindowTextOf(Control(ControlId::lblSample), text);
    FitLabel(ControlId::lblSample);
}

void ConfigurationFrm::SetCancelCaption(TextView text) { SetWindowTextOf(Control(ControlId::btnCancel), text); }

void ConfigurationFrm::SetConfigurationCaption(TextView text) {
    SetWindowTextOf(Control(ControlId::btnConfiguration), text);
}

Text ConfigurationFrm::FormCaption() { return WindowText(Control(ControlId::lblFormCaption)); }

void ConfigurationFrm::SetWindowCaption(TextView text) { SetWindowTextOf(window_, text); }

Text ConfigurationFrm::UrlText() { return WindowText(Control(ControlId::txtUrl)); }

Text ConfigurationFrm::LocalText(TextView fallback, std::int16_t index) {
    return messages_.GetLocalText(fallback, index);
}

void ConfigurationFrm::ShowMessage(TextView prompt, TextView title) {
    // A failure after the login page step hid the window must not leave an
    // invisible program behind the box.
    if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOW);
    MessageBoxW(window_, ToWide(prompt).c_str(), ToWide(title).c_str(), MB_OK);
}

std::uint32_t ConfigurationFrm::LastSystemError() { return GetLastError(); }

void ConfigurationFrm::EndProgram() { ExitProcess(0); }

HWND ConfigurationFrm::Control(ControlId id) const { return controls_[IndexOf(id)]; }

PixelRect ConfigurationFrm::ControlRect(ControlId id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool ConfigurationFrm::IsOwnWindow(HWND window) const {
    return window != nullptr && (window == window_ || IsChild(window_, window));
}

HFONT ConfigurationFrm::FontFor(FontKind kind) const {
    switch (kind) {
    case FontKind::Window: return windowFont_.Font();
    case FontKind::Arial: return arialFont_.Font();
    case FontKind::SongTi: return songTiFont_.Font();
    }
    return windowFont_.Font();
}

}  // namespace plm::app
