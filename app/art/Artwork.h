// The window's pictures, drawn from rules so that they can be made at any
// size: the skinned background and the close cross. The window paints the
// background as filled rectangles and draws the cross into a bitmap at the
// screen's DPI. ArtFiles.h makes the same pictures as files.
#pragma once

#include <cstddef>
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

// A rectangle of one colour, in pixels.
struct Run {
    int left;
    int top;
    int width;
    int height;
    Rgb colour;
    friend bool operator==(const Run&, const Run&) = default;
};

// The background for a client area of width × height pixels at `dpi`, as
// rectangles that together cover it once: a grey frame with cut corners, a
// white line under it, the title band shaded from BandTop to BandBottom
// (rows 2 to 20 at 96 DPI, scaled otherwise) and the body below. At 96 DPI
// a 490 × 133 area is the designed picture that picSmall holds.
std::vector<Run> BackgroundRuns(int width, int height, int dpi);

// A grey X on a light square, `size` pixels wide and high.
Image MakeCloseGlyph(int size);

struct Point {
    double x;
    double y;
};

struct Segment {
    Point a;
    Point b;
};

// Paints strokes of half-width `halfWidth` along `segments` over `image`,
// with 4 × 4 samples a pixel so that small sizes stay smooth.
void Stroke(Image& image, const std::vector<Segment>& segments, double halfWidth, Rgb ink);

}  // namespace plm::app::art
