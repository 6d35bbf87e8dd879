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
    // The runs that end on the row above, which a run of this row continues
    // when it has the same place and colour.
    std::size_t above[5];
    std::size_t here[5];
    int aboveCount = 0;
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
        // Where the colour changes along the row: inner, frame, inner (the
        // inner parts of both halves meet in the middle), frame, inner.
        const int edges[] = {0, std::min(outside, half), std::min(frameEnd, half), std::max(half, width - frameEnd),
                             std::max(half, width - outside), width};
        int hereCount = 0;
        for (int i = 0; i < 5; ++i) {
            const int left = edges[i];
            const int right = edges[i + 1];
            if (left >= right) continue;
            const Rgb colour = i % 2 == 1 ? FrameGrey : inner;
            // The frame of both halves meets in the middle of a top or bottom row.
            if (hereCount > 0 && runs.back().top == y && runs.back().colour == colour &&
                runs.back().left + runs.back().width == left) {
                runs.back().width = right - runs.back().left;
                continue;
            }
            std::size_t run = runs.size();
            for (int j = 0; j < aboveCount; ++j) {
                const Run& r = runs[above[j]];
                if (r.left == left && r.width == right - left && r.colour == colour) run = above[j];
            }
            if (run == runs.size()) {
                runs.push_back({left, y, right - left, 1, colour});
            } else {
                ++runs[run].height;
            }
            here[hereCount++] = run;
        }
        std::copy(here, here + hereCount, above);
        aboveCount = hereCount;
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
