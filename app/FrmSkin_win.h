// How ConfigurationFrm looks: its fonts, its pictures at the screen's DPI
// and the drawing of its skinned background and owner-drawn controls. The
// window decides what to show; this draws it.
#pragma once

#include <windows.h>

#include "app/Layout.h"
#include "app/Win32Support_win.h"

namespace plm::app {

class FrmSkin {
public:
    // Loads the close cross drawn at 96 DPI from the resources and makes the
    // URL box brush. The backgrounds are drawn from their rules when needed.
    explicit FrmSkin(HINSTANCE instance);

    // Fonts and the close cross for `dpi`.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }

    // The window's picture: the tall designed one until start-up replaces it
    // by the one picSmall holds, which is drawn at once. Start-up replaces
    // the designed one before anything is shown, so it is drawn only if
    // something paints before that. At other DPIs both are drawn for the
    // client area, so they stay crisp.
    void UseDesignedBackground();
    void UseSmallBackground(SIZE client);

    HFONT FontFor(FontKind kind) const;
    HBRUSH UrlBoxBrush() const { return urlBoxBrush_.Brush(); }
    // The width of a control's text on one line, in its font.
    int TextWidth(HWND control, FontKind kind) const;

    // The background from `origin` of the window's picture, over `size`.
    void PaintBackground(HDC dc, POINT origin, SIZE size) const;
    // An owner-drawn control of `window`: labels show the background
    // through, buttons are flat, pictures show their glyph or colour.
    void Draw(const DRAWITEMSTRUCT& item, HWND window) const;

private:
    void DrawLabel(const DRAWITEMSTRUCT& item, HWND window) const;
    void DrawButton(const DRAWITEMSTRUCT& item) const;
    void DrawPicture(const DRAWITEMSTRUCT& item) const;
    HBITMAP Background() const;

    int dpi_ = 96;
    GdiObject windowFont_;
    GdiObject arialFont_;
    GdiObject songTiFont_;
    GdiObject urlBoxBrush_;
    GdiObject closePicture_;
    // The close cross drawn for another DPI.
    GdiObject scaledClose_;
    HBITMAP closeGlyph_ = nullptr;
    // The window's picture, and whether the designed one is still to be
    // drawn into it when first painted.
    mutable GdiObject background_;
    mutable bool designedPending_ = false;
};

}  // namespace plm::app
