// How ConfigurationFrm looks: its fonts, its close cross at the screen's
// DPI and the drawing of its skinned background and owner-drawn controls.
// The window decides what to show; this draws it.
#pragma once

#include <windows.h>

#include <vector>

#include "app/GdiObjects_win.h"
#include "app/Layout.h"
#include "app/art/Artwork.h"
#include "text/Text.h"

namespace plm::app {

class FrmSkin {
public:
    // Loads the close cross drawn for 96 DPI from the resources and makes
    // the URL box brush; fonts and pictures for the DPI come with SetDpi.
    explicit FrmSkin(HINSTANCE instance);
    FrmSkin(const FrmSkin&) = delete;
    FrmSkin& operator=(const FrmSkin&) = delete;

    // Fonts and the close cross for `dpi`.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }

    // The window's picture: the tall designed one until start-up replaces it
    // by the one picSmall holds. Start-up replaces the designed one before
    // anything is shown, so it is painted only if something paints before.
    // Both are drawn for the window's width at its DPI, so they stay crisp.
    void UseDesignedBackground(int width);
    void UseSmallBackground(SIZE client);

    // The font of a design font kind; none for "宋体", the font of the close
    // picture, which shows its cross and never draws a text.
    HFONT FontFor(FontKind kind) const;
    HBRUSH UrlBoxBrush() const { return urlBoxBrush_.Brush(); }
    // The width of a text on one line in a design font.
    int TextWidth(TextView text, FontKind kind) const;

    // The background from `origin` of the window's picture, over `size`.
    void PaintBackground(HDC dc, POINT origin, SIZE size) const;
    // An owner-drawn control of `window`: labels show the background
    // through, buttons are flat, pictures show their cross or colour.
    void Draw(const DRAWITEMSTRUCT& item, HWND window) const;

private:
    void DrawLabel(const DRAWITEMSTRUCT& item, HWND window) const;
    void DrawButton(const DRAWITEMSTRUCT& item) const;
    void DrawPicture(const DRAWITEMSTRUCT& item) const;

    int dpi_ = 96;
    MemoryDc measure_{nullptr};  // a DC of the screen, for measuring only
    GdiObject windowFont_;
    GdiObject arialFont_;
    GdiObject urlBoxBrush_;
    GdiObject closeAt96_;
    GdiObject scaledClose_;  // the close cross drawn for another DPI
    HBITMAP closeGlyph_ = nullptr;
    std::vector<art::Run> background_;
};

}  // namespace plm::app
