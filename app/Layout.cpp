#include "app/Layout.h"

#include <algorithm>

namespace plm::app {
namespace {

// In int: designed lengths times a DPI stay far inside it (7350 twips at
// 960 DPI is 7 million), and 64-bit division would bring a helper along.
int MulDivRounded(int a, int b, int c) {
    const int p = a * b;
    return p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c);
}

}  // namespace

int TwipsToPixels(int twips, int dpi) { return MulDivRounded(twips, dpi, 1440); }

int ScalePixels(int pixels, int dpi) { return MulDivRounded(pixels, dpi, 96); }

PixelRect ToPixels(const ControlDesign& design, int dpi) {
    return {TwipsToPixels(design.left, dpi), TwipsToPixels(design.top, dpi), TwipsToPixels(design.width, dpi),
            TwipsToPixels(design.height, dpi)};
}

int FittedLabelWidth(int designWidth, int textWidth, int left, int clientWidth) {
    int room = std::max(designWidth, clientWidth - left);
    return std::clamp(textWidth, designWidth, room);
}

}  // namespace plm::app
