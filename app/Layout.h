// The window's designed layout: the thirteen controls in the order the
// window creates them, their places in twips, their tab order, fonts and
// colours, and the conversion of twips to pixels for the screen's DPI.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "app/Rgb.h"

namespace plm::app {

// Control identifiers, in creation order. Other programs (the window tests)
// find the controls by these.
enum class ControlId : int {
    picProgress = 101,
    picBig,
    picSmall,
    btnCancel,
    btnConfiguration,
    picback,
    txtUrl,
    picClose,
    lblSample,
    lblMessage,
    lblRate,
    lblUrl,
    lblFormCaption,
};

enum class ControlKind { PictureBox, CommandButton, TextBox, Label };
// Window: Arial 9 pt bold. Arial: Arial 9 pt. SongTi: "宋体" 9 pt, GB2312.
enum class FontKind { Window, Arial, SongTi };

struct ControlDesign {
    ControlId id;
    const char* name;
    ControlKind kind;
    int left;  // twips, relative to the client area
    int top;
    int width;
    int height;
    int tabIndex;
    FontKind font;
    bool hidden;
};

inline constexpr std::array<ControlDesign, 13> Controls{{
    {ControlId::picProgress, "picProgress", ControlKind::PictureBox, 990, 2040, 4455, 375, 10, FontKind::Window, false},
    {ControlId::picBig, "picBig", ControlKind::PictureBox, 120, -1017, 255, 255, 9, FontKind::Window, true},
    {ControlId::picSmall, "picSmall", ControlKind::PictureBox, 120, -1017, 255, 255, 8, FontKind::Window, true},
    {ControlId::btnCancel, "btnCancel", ControlKind::CommandButton, 5280, 1320, 1575, 407, 7, FontKind::Arial, false},
    {ControlId::btnConfiguration, "btnConfiguration", ControlKind::CommandButton, 3600, 1320, 1575, 407, 6, FontKind::Arial, false},
    {ControlId::picback, "picback", ControlKind::PictureBox, 960, 2040, 5175, 375, 5, FontKind::Window, false},
    {ControlId::txtUrl, "txtUrl", ControlKind::TextBox, 1560, 600, 5055, 330, 2, FontKind::Arial, false},
    {ControlId::picClose, "picClose", ControlKind::PictureBox, 7000, 110, 245, 230, 1, FontKind::SongTi, false},
    {ControlId::lblSample, "lblSample", ControlKind::Label, 1560, 960, 2010, 225, 12, FontKind::Arial, false},
    {ControlId::lblMessage, "lblMessage", ControlKind::Label, 600, 2640, 6165, 1065, 11, FontKind::Arial, false},
    {ControlId::lblRate, "lblRate", ControlKind::Label, 3120, 2040, 405, 345, 0, FontKind::Arial, false},
    {ControlId::lblUrl, "lblUrl", ControlKind::Label, 600, 720, 675, 225, 4, FontKind::Arial, false},
    {ControlId::lblFormCaption, "lblFormCaption", ControlKind::Label, 120, 120, 2130, 225, 3, FontKind::Window, false},
}};

// A control's place in Controls, its design, and its id as Windows takes it.
constexpr std::size_t IndexOf(ControlId id) {
    return static_cast<std::size_t>(static_cast<int>(id) - static_cast<int>(ControlId::picProgress));
}
constexpr const ControlDesign& DesignOf(ControlId id) { return Controls[IndexOf(id)]; }
constexpr int IdOf(ControlId id) { return static_cast<int>(id); }

inline constexpr int ClientWidthTwips = 7350;
inline constexpr int DesignHeightTwips = 1995;
// The height start-up gives the window: 133 pixels at 96 DPI.
inline constexpr int StartHeightTwips = 2000;
inline constexpr int FontPoints = 9;

// Whether a control can ever be seen. The two image holders are hidden, and
// picback, picProgress, lblRate and lblMessage lie below the bottom edge of
// the window as start-up sizes it, at every DPI, and nothing moves them or
// the edge. The design keeps all thirteen on purpose (the tests pin their
// rows): they are the form as it was drawn, and the places of the visible
// ones follow from them. The window makes a window only for a control that
// can be seen.
constexpr bool CanBeSeen(const ControlDesign& design) { return !design.hidden && design.top < StartHeightTwips; }

inline constexpr std::size_t SeenControlCount =
    static_cast<std::size_t>(std::count_if(Controls.begin(), Controls.end(), CanBeSeen));

// The controls that can be seen in the order the keyboard focus moves
// through them (their tab indexes), which is also their z-order. The URL
// label goes right before the URL box: a screen reader names an edit box by
// the label before it in z-order, and labels take no focus, so the Tab order
// stays.
inline constexpr std::array<ControlId, SeenControlCount> ZOrder = [] {
    std::array<ControlId, SeenControlCount> order{};
    std::size_t n = 0;
    for (const ControlDesign& design : Controls) {
        if (CanBeSeen(design)) order[n++] = design.id;
    }
    auto rank = [](ControlId id) {
        if (id == ControlId::lblUrl) return 2 * DesignOf(ControlId::txtUrl).tabIndex - 1;
        return 2 * DesignOf(id).tabIndex;
    };
    std::sort(order.begin(), order.end(), [&](ControlId a, ControlId b) { return rank(a) < rank(b); });
    return order;
}();

inline constexpr Rgb WindowBack{232, 234, 236};
inline constexpr Rgb ButtonFace{232, 230, 225};
inline constexpr Rgb UrlBoxBack{240, 242, 244};
inline constexpr Rgb ProgressBack{192, 192, 192};
inline constexpr Rgb ProgressFrameBack{255, 255, 255};
inline constexpr Rgb TextColour{0, 0, 0};

// Twips to pixels at `dpi` (1440 twips an inch), rounded to the nearest
// pixel with halves away from zero, as Windows' MulDiv rounds.
int TwipsToPixels(int twips, int dpi);
// Design pixels (at 96 DPI) to pixels at `dpi`, rounded the same way.
int ScalePixels(int pixels, int dpi);

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

PixelRect ToPixels(const ControlDesign& design, int dpi);

// The progress fill inside its frame, as start-up leaves it: no width, two
// pixels in from the frame's top and left, four pixels less high.
PixelRect FitProgressFill(const PixelRect& frame);

// The width a label gets for its one-line text: the designed width, or
// more when the text is wider (a translation longer than the design text),
// but never past the client area's right edge less `margin`.
int FittedLabelWidth(int designWidth, int textWidth, int left, int clientWidth, int margin);

}  // namespace plm::app
