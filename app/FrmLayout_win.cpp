// ConfigurationFrm's layout (Win32 layer): the controls as designed, placed
// and sized for the screen's DPI, with labels fitted to their texts.
#include "app/ConfigurationFrm_win.h"

#include "app/Dpi_win.h"
#include "app/WideText_win.h"

namespace plm::app {
namespace {

// 50% to 1000%: more than any screen is set to.
constexpr int MinDpi = 48;
constexpr int MaxDpi = 960;

TextView InitialText(ControlId id) {
    const config::Captions& design = config::DesignLanguage().captions;
    switch (id) {
    case ControlId::btnCancel: return design.cancel;
    case ControlId::btnConfiguration: return design.configuration;
    case ControlId::lblSample: return design.sample;
    case ControlId::lblUrl: return config::UrlLabelCaption;
    case ControlId::lblFormCaption: return design.formCaption;
    case ControlId::picClose: return design.close;
    default: return {};
    }
}

DWORD StyleOf(const ControlDesign& design) {
    DWORD style = WS_CHILD | WS_VISIBLE;
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

}  // namespace

void ConfigurationFrm::CreateControls() {
    // Each control is made once, in its place: labels already as wide as
    // their texts. Made in z-order (each new window goes below the ones
    // before), they need no reordering.
    for (ControlId id : ZOrder) {
        const ControlDesign& design = DesignOf(id);
        const TextView text = InitialText(id);
        const PixelRect at = design.kind == ControlKind::Label ? LabelPlace(id, text) : ToPixels(design, skin_.Dpi());
        HWND control = CreateWindowExW(0, ClassOf(design.kind), Wide(Text(text)), StyleOf(design), at.left, at.top,
                                       at.width, at.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(id))), instance_, nullptr);
        controls_[IndexOf(id)] = control;
        if (HFONT font = skin_.FontFor(design.font)) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // Subclassed the classic way rather than through comctl32, which the
    // program would then have to load at start-up.
    urlBoxProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Control(ControlId::txtUrl), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UrlBoxProc)));
}

void ConfigurationFrm::ApplyDpi(int dpi) {
    skin_.SetDpi(dpi);
    for (ControlId id : ZOrder) {
        const ControlDesign& design = DesignOf(id);
        HWND control = Control(id);
        if (HFONT font = skin_.FontFor(design.font)) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        Place(id, design.kind == ControlKind::Label ? LabelPlace(id, WindowText(control)) : ToPixels(design, dpi));
    }
    SetHeightTwips(heightTwips_);
    if (startedUp_) {
        SetBackgroundFromSmallPicture();
    } else {
        skin_.UseDesignedBackground(TwipsToPixels(ClientWidthTwips, dpi));  // replaced at start-up
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void ConfigurationFrm::SetHeightTwips(int twips) {
    heightTwips_ = twips;
    // The window has no frame: its size is its client area's.
    const SIZE size{TwipsToPixels(ClientWidthTwips, skin_.Dpi()), TwipsToPixels(twips, skin_.Dpi())};
    const SIZE now = ClientSize();
    if (now.cx == size.cx && now.cy == size.cy) return;  // moving nothing still costs
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConfigurationFrm::SetBackgroundFromSmallPicture() {
    skin_.UseSmallBackground(ClientSize());
    InvalidateRect(window_, nullptr, TRUE);
}

void ConfigurationFrm::Place(ControlId id, const PixelRect& at) {
    HWND control = Control(id);
    if (control == nullptr || ControlRect(id) == at) return;
    SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The designed label widths fit the Simplified Chinese texts; the English
// ones are longer. A label grows to hold its one-line text rather than cut
// it off, within the room its neighbours leave.
PixelRect ConfigurationFrm::LabelPlace(ControlId id, TextView text) const {
    const int dpi = skin_.Dpi();
    const ControlDesign& design = DesignOf(id);
    PixelRect at = ToPixels(design, dpi);
    // How far a label may grow: the caption up to the close picture, the
    // URL label up to the URL box, the others up to the right edge.
    int right = TwipsToPixels(ClientWidthTwips, dpi) - ScalePixels(8, dpi);
    if (id == ControlId::lblFormCaption) right = ToPixels(DesignOf(ControlId::picClose), dpi).left - ScalePixels(4, dpi);
    if (id == ControlId::lblUrl) right = ToPixels(DesignOf(ControlId::txtUrl), dpi).left - ScalePixels(2, dpi);
    at.width = FittedLabelWidth(at.width, skin_.TextWidth(text, design.font), at.left, right);
    return at;
}

void ConfigurationFrm::SetCaption(ControlId id, TextView text) {
    HWND control = Control(id);
    SetWindowTextOf(control, text);
    if (DesignOf(id).kind != ControlKind::Label) return;
    Place(id, LabelPlace(id, text));
    InvalidateRect(control, nullptr, TRUE);
}

void ConfigurationFrm::OnDpiChanged(int messageDpi) {
    // The window's own DPI where the system can tell it; else the message's,
    // within what a screen can have.
    int dpi = SystemWindowDpi(window_);
    if (dpi == 0) dpi = messageDpi;
    if (dpi < MinDpi || dpi > MaxDpi) return;
    // Everything is laid out again for the new DPI; the window keeps its
    // size in twips and its centre where it was.
    RECT before{};
    GetWindowRect(window_, &before);
    ApplyDpi(dpi);
    RECT after{};
    GetWindowRect(window_, &after);
    const int x = before.left + ((before.right - before.left) - (after.right - after.left)) / 2;
    const int y = before.top + ((before.bottom - before.top) - (after.bottom - after.top)) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace plm::app
