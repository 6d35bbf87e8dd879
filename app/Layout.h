// The window's designed layout: the seven controls the window makes, in
// the order it creates them, their places in twips, their tab order, fonts
// and colours, and the conversion of twips to pixels for the screen's DPI.
//
// The form was drawn with six more: two hidden image holders (picBig,
// picSmall: their pictures serve as the background) and a progress bar
// with its frame, its percentage and a message line (picProgress, picback,
// lblRate, lblMessage) below the window's bottom edge, where nothing ever
// moved them into view. None of them could be seen, so the window does not
// make them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "app/Rgb.h"

namespace plm::app {

// Control identifiers, in creation order. Other programs (the window tests,
// screen readers) find the controls by these; the numbers are the design's,
// gaps and all.
enum class ControlId : int {
    btnCancel = 104,
    btnConfiguration = 105,
    txtUrl = 107,
    picClose = 108,
    lblSample = 109,
    lblUrl = 112,
    lblFormCaption = 113,
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
};

inline constexpr std::array<ControlDesign, 7> Controls{{
    {ControlId::btnCancel, "btnCancel", ControlKind::CommandButton, 5280, 1320, 1575, 407, 7, FontKind::Arial},
    {ControlId::btnConfiguration, "btnConfiguration", ControlKind::CommandButton, 3600, 1320, 1575, 407, 6, FontKind::Arial},
    {ControlId::txtUrl, "txtUrl", ControlKind::TextBox, 1560, 600, 5055, 330, 2, FontKind::Arial},
    {ControlId::picClose, "picClose", ControlKind::PictureBox, 7000, 110, 245, 230, 1, FontKind::SongTi},
    {ControlId::lblSample, "lblSample", ControlKind::Label, 1560, 960, 2010, 225, 12, FontKind::Arial},
    {ControlId::lblUrl, "lblUrl", ControlKind::Label, 600, 720, 675, 225, 4, FontKind::Arial},
    {ControlId::lblFormCaption, "lblFormCaption", ControlKind::Label, 120, 120, 2130, 225, 3, FontKind::Window},
}};

// A control's place in Controls, its design, and its id as Windows takes it.
constexpr std::size_t IndexOf(ControlId id) {
    std::size_t at = 0;
    while (at + 1 < Controls.size() && Controls[at].id != id) ++at;
    return at;
}
// Whether `id` is one of the window's controls, for an id from outside.
constexpr bool IsControlId(int id) {
    return std::any_of(Controls.begin(), Controls.end(), [&](const ControlDesign& d) { return static_cast<int>(d.id) == id; });
}
constexpr const ControlDesign& DesignOf(ControlId id) { return Controls[IndexOf(id)]; }
constexpr int IdOf(ControlId id) { return static_cast<int>(id); }

inline constexpr int ClientWidthTwips = 7350;
inline constexpr int DesignHeightTwips = 1995;
// The height start-up gives the window: 133 pixels at 96 DPI.
inline constexpr int StartHeightTwips = 2000;
inline constexpr int FontPoints = 9;

// The controls in the order the keyboard focus moves through them (their tab indexes), which is also their z-order. The URL
// label goes right before the URL box: a screen reader names an edit box by
// the label before it in z-order, and labels take no focus, so the Tab order
// stays.
inline constexpr std::array<ControlId, Controls.size()> ZOrder = [] {
    std::array<ControlId, Controls.size()> order{};
    std::size_t n = 0;
    for (const ControlDesign& design : Controls) order[n++] = design.id;
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

// The width a label gets for its one-line text: the designed width, or
// more when the text is wider (a translation longer than the design text),
// but never past the client area's right edge.
int FittedLabelWidth(int designWidth, int textWidth, int left, int clientWidth);

}  // namespace plm::app
