#include "app/art/Artwork.h"

#include <algorithm>
#include <cmath>

#include "app/Layout.h"

namespace plm::app::art {
namespace {

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

Rgb Mix(Rgb a, Rgb b, double t) { return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)}; }

double DistanceToSegment(Point p, const Segment& s) {
    double vx = s.b.x - s.a.x;
    double vy = s.b.y - s.a.y;
    double wx = p.x - s.a.x;
    double wy = p.y - s.a.y;
    double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? std::clamp((wx * vx + wy * vy) / len2, 0.0, 1.0) : 0.0;
    double dx = p.x - (s.a.x + t * vx);
    double dy = p.y - (s.a.y + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

// One row of the background as runs of one colour, left to right.
struct Span {
    int left;
    int right;  // one past the last pixel
    Rgb colour;
};

}  // namespace

Image::Image(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

std::vector<Run> BackgroundRuns(int width, int height, int dpi) {
    const int frame = std::max(1, ScalePixels(1, dpi));
    const int cut = ScalePixels(2, dpi);
    const int bandTop = ScalePixels(2, dpi);
    const int bandBottom = ScalePixels(21, dpi) - 1;
    // The left half is [0, half), the right half its mirror image; in both,
    // dx counts from the nearer side edge, dy from the nearer top or bottom.
    const int half = (width + 1) / 2;
    std::vector<Run> runs;
    std::vector<std::size_t> above;  // the runs that end on the row above
    std::vector<std::size_t> here;
    for (int y = 0; y < height; ++y) {
        Rgb inner = Body;
        if (y < bandTop) {
            inner = Highlight;
        } else if (y <= bandBottom) {
            double t = bandBottom > bandTop ? double(y - bandTop) / (bandBottom - bandTop) : 0.0;
            inner = Mix(BandTop, BandBottom, t);
        }
        const int dy = std::min(y, height - 1 - y);
        // dx < outside: the corner cut, which keeps the inner colour; then the
        // frame up to dx < frameEnd: the whole row near the top and bottom,
        // else the side and, in the corners, the diagonal across the cut.
        const int outside = std::max(0, cut - dy);
        const int frameEnd = dy < frame ? width : std::max(outside, std::max(frame, cut + frame - dy));
        const int o = std::min(outside, half);
        const int f = std::min(frameEnd, half);
        const int rf = std::max(half, width - frameEnd);
        const int ro = std::max(half, width - outside);
        const Span spans[] = {{0, o, inner},  {o, f, FrameGrey},   {f, half, inner},
                              {half, rf, inner}, {rf, ro, FrameGrey}, {ro, width, inner}};
        std::vector<Span> row;
        for (const Span& span : spans) {
            if (span.left >= span.right) continue;
            if (!row.empty() && row.back().colour == span.colour) {
                row.back().right = span.right;
            } else {
                row.push_back(span);
            }
        }
        // A run the same as one on the row above grows down instead.
        here.clear();
        for (const Span& span : row) {
            auto same = std::find_if(above.begin(), above.end(), [&](std::size_t i) {
                return runs[i].left == span.left && runs[i].width == span.right - span.left &&
                       runs[i].colour == span.colour;
            });
            if (same != above.end()) {
                ++runs[*same].height;
                here.push_back(*same);
            } else {
                here.push_back(runs.size());
                runs.push_back({span.left, y, span.right - span.left, 1, span.colour});
            }
        }
        std::swap(above, here);
    }
    return runs;
}

void Stroke(Image& image, const std::vector<Segment>& segments, double halfWidth, Rgb ink) {
    constexpr int samples = 4;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            int covered = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    Point p{x + (sx + 0.5) / samples, y + (sy + 0.5) / samples};
                    for (const Segment& s : segments) {
                        if (DistanceToSegment(p, s) <= halfWidth) {
                            ++covered;
                            break;
                        }
                    }
                }
            }
            if (covered > 0) {
                image.Set(x, y, Mix(image.At(x, y), ink, covered / double(samples * samples)));
            }
        }
    }
}

Image MakeCloseGlyph(int size) {
    Image image(size, size, Rgb{240, 240, 240});
    double s = size;
    double lo = s * 0.28;
    double hi = s * 0.72;
    Stroke(image, {{{lo, lo}, {hi, hi}}, {{hi, lo}, {lo, hi}}}, s * 0.065, Rgb{110, 110, 110});
    return image;
}

}  // namespace plm::app::art
