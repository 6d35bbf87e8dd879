// ConfigurationFrm's layout (Win32 layer): the controls as designed, placed
// and sized for the screen's DPI, with labels fitted to their texts.
#include "app/ConfigurationFrm.h"

#include <algorithm>

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

}  // namespace

void ConfigurationFrm::CreateControls() {
    const int dpi = WindowDpi(window_);
    for (const ControlDesign& design : Controls) {
        PixelRect at = ToPixels(design, dpi);
        HWND control = CreateWindowExW(0, ClassOf(design.kind), ToWide(InitialText(design.id)).c_str(), StyleOf(design),
                                       at.left, at.top, at.width, at.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(design.id))),
                                       instance_, nullptr);
        controls_[IndexOf(design.id)] = control;
    }
    // Subclassed the classic way rather than through comctl32, which the
    // program would then have to load at start-up.
    urlBoxProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Control(ControlId::txtUrl), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UrlBoxProc)));
}

void ConfigurationFrm::SetTabOrder() {
    // Focus moves in tab-index order, which Windows takes from the z-order.
    // A screen reader names an edit box by the label right before it in
    // z-order, so the URL label goes there; labels take no focus, so the
    // Tab order stays.
    auto zOrder = [](const ControlDesign* design) {
        if (design->id == ControlId::lblUrl) return 2 * DesignOf(ControlId::txtUrl).tabIndex - 1;
        return 2 * design->tabIndex;
    };
    std::array<const ControlDesign*, Controls.size()> order{};
    for (std::size_t i = 0; i < Controls.size(); ++i) order[i] = &Controls[i];
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return zOrder(a) < zOrder(b); });
    HWND after = HWND_TOP;
    for (const ControlDesign* design : order) {
        HWND control = Control(design->id);
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
}

void ConfigurationFrm::ApplyDpi(int dpi) {
    skin_.SetDpi(dpi);
    for (const ControlDesign& design : Controls) {
        PixelRect at = ToPixels(design, dpi);
        HWND control = Control(design.id);
        SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(skin_.FontFor(design.font)), FALSE);
    }
    if (startedUp_) FitProgressFill();
    FitLabel(ControlId::lblFormCaption);
    FitLabel(ControlId::lblSample);
    FitLabel(ControlId::lblUrl);
    SetHeightTwips(heightTwips_);
    if (startedUp_) {
        SetBackgroundFromSmallPicture();
    } else {
        skin_.UseDesignedBackground();  // the designed picture, replaced at start-up
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
    PixelRect designed = ToPixels(design, skin_.Dpi());
    // How far a label may grow: the caption up to the close picture, the
    // URL label up to the URL box, the others up to the right edge.
    int right = TwipsToPixels(ClientWidthTwips, skin_.Dpi()) - ScalePixels(8, skin_.Dpi());
    if (id == ControlId::lblFormCaption) right = ToPixels(DesignOf(ControlId::picClose), skin_.Dpi()).left - ScalePixels(4, skin_.Dpi());
    if (id == ControlId::lblUrl) right = ToPixels(DesignOf(ControlId::txtUrl), skin_.Dpi()).left - ScalePixels(2, skin_.Dpi());

    int width = FittedLabelWidth(designed.width, skin_.TextWidth(label, design.font), designed.left, right, 0);
    SetWindowPos(label, nullptr, designed.left, designed.top, width, designed.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
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
