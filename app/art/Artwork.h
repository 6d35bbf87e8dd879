// The window's pictures, drawn from rules so that they can be made at any
// size: the skinned background, the close cross and the PLM icon. The
// window draws its backgrounds itself; the close cross and the icon are
// resources, these pictures at 96 DPI as MakeArt writes them, and the
// window draws the cross itself at other DPIs so it stays crisp.
#pragma once

#include <cstdint>
#include <vector>

#include "app/Rgb.h"

namespace plm::app::art {

class Image {
public:
    Image(int width, int height, Rgb fill = {});
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, Rgb colour) { pixels_[Index(x, y)] = colour; }

private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

inline constexpr Rgb FrameGrey{134, 134, 134};
inline constexpr Rgb BandTop{216, 215, 215};
inline constexpr Rgb BandBottom{243, 242, 242};
inline constexpr Rgb Body{232, 234, 236};
inline constexpr Rgb Highlight{255, 255, 255};

inline constexpr int BackgroundWidth = 490;
inline constexpr int BackgroundHeight = 133;
inline constexpr int TallBackgroundHeight = 261;
inline constexpr int CloseGlyphSize = 16;

// The background for a client area of width × height pixels at `dpi`: a grey
// frame with cut corners, a white line under it, the title band shaded from
// BandTop to BandBottom (rows 2 to 20 at 96 DPI, scaled otherwise) and the
// body below. At 96 DPI a 490 × 133 picture is the designed one.
Image MakeBackground(int width, int height, int dpi);

// The window background that picSmall holds: the designed picture of
// BackgroundWidth × BackgroundHeight at 96 DPI. The window draws it at
// start-up; background.bmp beside this file is its reference output.
Image MakeWindowBackground();

// A grey X on a light square, `size` pixels wide and high.
Image MakeCloseGlyph(int size);

// The letters PLM in dark blue on a blue square, `size` pixels wide and high.
Image MakeIconImage(int size);

// Files: a 24-bit bottom-up BMP, and an icon of 24-bit images (opaque).
std::vector<std::uint8_t> EncodeBmp(const Image& image);
std::vector<std::uint8_t> EncodeIco(const std::vector<Image>& images);

}  // namespace plm::app::art
