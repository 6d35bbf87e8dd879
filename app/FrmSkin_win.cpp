#include "app/FrmSkin_win.h"

#include <algorithm>
#include <string>

#include "app/Resources.h"
#include "app/art/Artwork.h"

namespace plm::app {
namespace {

GdiObject MakeFont(int dpi, int weight, BYTE charset, const wchar_t* face) {
    return GdiObject(CreateFontW(-MulDiv(FontPoints, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE, charset,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face));
}

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
    MemoryDc memory(dc);
    Selection selected(memory.Get(), bitmap);
    BitBlt(dc, 0, 0, width, height, memory.Get(), origin.x, origin.y, SRCCOPY);
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    GdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.Brush());
}

HFONT FontOf(HWND control) { return reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)); }

}  // namespace

FrmSkin::FrmSkin(HINSTANCE instance) {
    auto load = [instance](int id) {
        return GdiObject(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    };
    closePicture_ = load(IDB_CLOSE);
    urlBoxBrush_ = GdiObject(CreateSolidBrush(ToColorRef(UrlBoxBack)));
    closeGlyph_ = closePicture_.Bitmap();
}

void FrmSkin::SetDpi(int dpi) {
    dpi_ = dpi;
    windowFont_ = MakeFont(dpi, FW_BOLD, ANSI_CHARSET, L"Arial");
    arialFont_ = MakeFont(dpi, FW_NORMAL, ANSI_CHARSET, L"Arial");
    songTiFont_ = MakeFont(dpi, FW_NORMAL, GB2312_CHARSET, L"\u5B8B\u4F53");
    if (dpi == 96) {
        scaledClose_.Reset();
        closeGlyph_ = closePicture_.Bitmap();
    } else {
        scaledClose_ = MakeBitmap(art::MakeCloseGlyph(ScalePixels(art::CloseGlyphSize, dpi)));
        closeGlyph_ = scaledClose_.Bitmap();
    }
}

void FrmSkin::UseDesignedBackground() {
    background_.Reset();
    designedPending_ = true;
}

void FrmSkin::UseSmallBackground(SIZE client) {
    designedPending_ = false;
    background_ = MakeBitmap(dpi_ == 96 ? art::MakeWindowBackground() : art::MakeBackground(client.cx, client.cy, dpi_));
}

HBITMAP FrmSkin::Background() const {
    if (designedPending_) {
        designedPending_ = false;
        background_ = MakeBitmap(art::MakeBackground(TwipsToPixels(ClientWidthTwips, dpi_),
                                                     ScalePixels(art::TallBackgroundHeight, dpi_), dpi_));
    }
    return background_.Bitmap();
}

HFONT FrmSkin::FontFor(FontKind kind) const {
    switch (kind) {
    case FontKind::Window: return windowFont_.Font();
    case FontKind::Arial: return arialFont_.Font();
    case FontKind::SongTi: return songTiFont_.Font();
    }
    return windowFont_.Font();
}

int FrmSkin::TextWidth(HWND control, FontKind kind) const {
    const std::wstring text = ToWide(WindowText(control));
    WindowDc dc(control);
    Selection font(dc.Get(), FontFor(kind));
    RECT measure{0, 0, 0, 0};
    DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    return measure.right;
}

void FrmSkin::PaintBackground(HDC dc, POINT origin, SIZE size) const {
    Fill(dc, RECT{0, 0, size.cx, size.cy}, ToColorRef(WindowBack));
    Blit(dc, Background(), origin, size);
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
    const std::wstring text = ToWide(WindowText(item.hwndItem));
    Selection font(item.hDC, FontOf(item.hwndItem));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, ToColorRef(TextColour));
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect, DT_LEFT | DT_TOP | DT_WORDBREAK);
}

void FrmSkin::DrawButton(const DRAWITEMSTRUCT& item) const {
    // Flat: the face colour with a one-pixel edge, no bevel.
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const RECT rect = item.rcItem;
    Fill(item.hDC, rect, pressed ? RGB(210, 208, 202) : ToColorRef(ButtonFace));
    GdiObject edge(CreateSolidBrush(pressed || focused ? RGB(96, 96, 96) : RGB(150, 150, 150)));
    FrameRect(item.hDC, &rect, edge.Brush());

    const std::wstring text = ToWide(WindowText(item.hwndItem));
    RECT textRect = rect;
    if (pressed) OffsetRect(&textRect, 1, 1);
    {
        Selection font(item.hDC, FontOf(item.hwndItem));
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, disabled ? RGB(128, 128, 128) : ToColorRef(TextColour));
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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
    switch (static_cast<ControlId>(item.CtlID)) {
    case ControlId::picClose:
        FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_WINDOW));
        Blit(item.hDC, closeGlyph_, {0, 0}, {rect.right - rect.left, rect.bottom - rect.top});
        break;
    case ControlId::picback: Fill(item.hDC, rect, ToColorRef(ProgressFrameBack)); break;
    case ControlId::picProgress: Fill(item.hDC, rect, ToColorRef(ProgressBack)); break;
    default: break;
    }
}

}  // namespace plm::app
