#include "app/FrmSkin_win.h"

#include <algorithm>

#include "app/Bitmap_win.h"
#include "app/Resources.h"
#include "app/WideText_win.h"

namespace plm::app {
namespace {

GdiObject MakeFont(int dpi, int weight) {
    return GdiObject(CreateFontW(-MulDiv(FontPoints, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, L"Arial"));
}

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

}  // namespace

FrmSkin::FrmSkin(HINSTANCE instance)
    : urlBoxBrush_(CreateSolidBrush(ToColorRef(UrlBoxBack))),
      closeAt96_(LoadImageW(instance, MAKEINTRESOURCEW(IDB_CLOSE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) {}

void FrmSkin::SetDpi(int dpi) {
    dpi_ = dpi;
    windowFont_ = MakeFont(dpi, FW_BOLD);
    arialFont_ = MakeFont(dpi, FW_NORMAL);
    if (dpi == 96) {
        scaledClose_.Reset();
        closeGlyph_ = closeAt96_.Bitmap();
    } else {
        scaledClose_ = MakeBitmap(art::MakeCloseGlyph(ScalePixels(art::CloseGlyphSize, dpi)));
        closeGlyph_ = scaledClose_.Bitmap();
    }
}

void FrmSkin::UseDesignedBackground(int width) {
    background_ = art::BackgroundRuns(width, ScalePixels(art::TallBackgroundHeight, dpi_), dpi_);
}

void FrmSkin::UseSmallBackground(SIZE client) { background_ = art::BackgroundRuns(client.cx, client.cy, dpi_); }

HFONT FrmSkin::FontFor(FontKind kind) const {
    switch (kind) {
    case FontKind::Window: return windowFont_.Font();
    case FontKind::Arial: return arialFont_.Font();
    case FontKind::SongTi: return nullptr;
    }
    return nullptr;
}

int FrmSkin::TextWidth(TextView text, FontKind kind) const {
    Selection font(measure_.Get(), FontFor(kind));
    RECT measure{0, 0, 0, 0};
    DrawTextW(measure_.Get(), WideData(text), WideLength(text), &measure, DT_CALCRECT | DT_SINGLELINE);
    return measure.right;
}

void FrmSkin::PaintBackground(HDC dc, POINT origin, SIZE size) const {
    // The window's colour where the picture ends (it covers the client area
    // exactly once start-up has run), then the picture.
    FillWith(dc, RECT{0, 0, size.cx, size.cy}, WindowBack);
    for (const art::Run& run : background_) {
        const RECT rect{run.left - origin.x, run.top - origin.y, run.left + run.width - origin.x,
                        run.top + run.height - origin.y};
        if (rect.right <= 0 || rect.bottom <= 0 || rect.left >= size.cx || rect.top >= size.cy) continue;
        FillWith(dc, rect, run.colour);
    }
}

void FrmSkin::Draw(const DRAWITEMSTRUCT& item, HWND window) const {
    switch (DesignOf(static_cast<ControlId>(item.CtlID)).kind) {
    case ControlKind::Label: DrawLabel(item, window); break;
    case ControlKind::CommandButton: DrawButton(item); break;
    case ControlKind::PictureBox: DrawPicture(item); break;
    case ControlKind::TextBox: break;
    }
}

void FrmSkin::DrawLabel(const DRAWITEMSTRUCT& item, HWND window) const {
    // Transparent: the window's picture shows through behind the text.
    POINT origin{0, 0};
    MapWindowPoints(item.hwndItem, window, &origin, 1);
    RECT rect = item.rcItem;
    PaintBackground(item.hDC, origin, {rect.right - rect.left, rect.bottom - rect.top});
    const Text text = WindowText(item.hwndItem);
    Selection font(item.hDC, FontOf(item.hwndItem));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ToColorRef(TextColour));
    DrawTextW(item.hDC, WideData(text), WideLength(text), &rect, DT_LEFT | DT_TOP | DT_WORDBREAK);
}

void FrmSkin::DrawButton(const DRAWITEMSTRUCT& item) const {
    // Flat: the face colour with a one-pixel edge, no bevel.
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const RECT rect = item.rcItem;
    FillWith(item.hDC, rect, pressed ? Rgb{210, 208, 202} : ButtonFace);
    SetDCBrushColor(item.hDC, pressed || focused ? RGB(96, 96, 96) : RGB(150, 150, 150));
    FrameRect(item.hDC, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));

    const Text text = WindowText(item.hwndItem);
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    {
        Selection font(item.hDC, FontOf(item.hwndItem));
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, disabled ? RGB(128, 128, 128) : ToColorRef(TextColour));
        DrawTextW(item.hDC, WideData(text), WideLength(text), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (focused) {
        RECT focus = rect;
        const int inset = ScalePixels(3, dpi_);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(item.hDC, &focus);
    }
}

void FrmSkin::DrawPicture(const DRAWITEMSTRUCT& item) const {
    const RECT& rect = item.rcItem;
    if (static_cast<ControlId>(item.CtlID) != ControlId::picClose) return;
    // The cross from the top-left corner; the system's window colour where
    // the picture box is larger than the cross.
    FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_WINDOW));
    BITMAP info{};
    if (GetObjectW(closeGlyph_, sizeof(info), &info) == 0) return;
    MemoryDc memory(item.hDC);
    Selection selected(memory.Get(), closeGlyph_);
    BitBlt(item.hDC, 0, 0, std::min<LONG>(rect.right - rect.left, info.bmWidth),
           std::min<LONG>(rect.bottom - rect.top, info.bmHeight), memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace plm::app
