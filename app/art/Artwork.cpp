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

struct Point {
    double x;
    double y;
};

struct Segment {
    Point a;
    Point b;
};

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

// Paints strokes of half-width `halfWidth` along `segments` over `image`,
// with 4 × 4 samples a pixel so that small sizes stay smooth.
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

void PutLe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

std::uint32_t RowBytes(int width) { return (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u; }

// BITMAPINFOHEADER followed by the bottom-up BGR rows.
void PutDib(std::vector<std::uint8_t>& out, const Image& image, int headerHeight, std::uint32_t extra) {
    std::uint32_t pixelBytes = RowBytes(image.Width()) * static_cast<std::uint32_t>(image.Height());
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(image.Width()));
    PutLe32(out, static_cast<std::uint32_t>(headerHeight));
    PutLe16(out, 1);   // planes
    PutLe16(out, 24);  // bits per pixel
    PutLe32(out, 0);   // BI_RGB
    PutLe32(out, pixelBytes + extra);
    PutLe32(out, 3780);  // 96 DPI in pixels per metre
    PutLe32(out, 3780);
    PutLe32(out, 0);
    PutLe32(out, 0);
    for (int y = image.Height() - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < image.Width(); ++x) {
            Rgb c = image.At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
            written += 3;
        }
        for (; written < RowBytes(image.Width()); ++written) out.push_back(0);
    }
}

std::uint32_t MaskBytes(const Image& image) {
    std::uint32_t row = ((static_cast<std::uint32_t>(image.Width()) + 31) / 32) * 4;
    return row * static_cast<std::uint32_t>(image.Height());
}

}  // namespace

Image::Image(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

Image MakeBackground(int width, int height, int dpi) {
    Image image(width, height, Body);
    int frame = std::max(1, ScalePixels(1, dpi));
    int cut = ScalePixels(2, dpi);
    int bandTop = ScalePixels(2, dpi);
    int bandBottom = ScalePixels(21, dpi) - 1;
    for (int y = 0; y < height; ++y) {
        Rgb inner = Body;
        if (y < bandTop) {
            inner = Highlight;
        } else if (y <= bandBottom) {
            double t = bandBottom > bandTop ? double(y - bandTop) / (bandBottom - bandTop) : 0.0;
            inner = Mix(BandTop, BandBottom, t);
        }
        int dy = std::min(y, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            int dx = std::min(x, width - 1 - x);
            // Outside the cut the corner keeps the inner colour; the frame
            // runs diagonally across it.
            bool outside = dx + dy < cut;
            bool onFrame = !outside && (dx < frame || dy < frame || dx + dy < cut + frame);
            image.Set(x, y, onFrame ? FrameGrey : inner);
        }
    }
    return image;
}

Image MakeWindowBackground() { return MakeBackground(BackgroundWidth, BackgroundHeight, 96); }

Image MakeCloseGlyph(int size) {
    Image image(size, size, Rgb{240, 240, 240});
    double s = size;
    double lo = s * 0.28;
    double hi = s * 0.72;
    Stroke(image, {{{lo, lo}, {hi, hi}}, {{hi, lo}, {lo, hi}}}, s * 0.065, Rgb{110, 110, 110});
    return image;
}

Image MakeIconImage(int size) {
    Image image(size, size, Rgb{96, 156, 235});
    double s = size;
    // A darker edge so the square keeps its shape on a blue desktop.
    Stroke(image, {{{0.5, 0.5}, {s - 0.5, 0.5}}, {{s - 0.5, 0.5}, {s - 0.5, s - 0.5}},
                   {{s - 0.5, s - 0.5}, {0.5, s - 0.5}}, {{0.5, s - 0.5}, {0.5, 0.5}}},
           std::max(0.5, s / 64), Rgb{40, 90, 180});

    double half = s * 0.045;
    double top = s * 0.28;
    double bottom = s * 0.72;
    struct Box {
        double left;
        double right;
    };
    auto letter = [&](Box box, std::initializer_list<Segment> unit) {
        std::vector<Segment> out;
        double w = box.right - box.left - 2 * half;
        double h = bottom - top - 2 * half;
        auto map = [&](Point p) { return Point{box.left + half + p.x * w, top + half + p.y * h}; };
        for (const Segment& seg : unit) out.push_back({map(seg.a), map(seg.b)});
        return out;
    };
    std::vector<Segment> strokes;
    auto add = [&](std::vector<Segment> v) { strokes.insert(strokes.end(), v.begin(), v.end()); };
    add(letter({s * 0.08, s * 0.33},
               {{{0, 0}, {0, 1}}, {{0, 0}, {0.65, 0}}, {{0.65, 0}, {1, 0.22}}, {{1, 0.22}, {1, 0.3}},
                {{1, 0.3}, {0.65, 0.52}}, {{0.65, 0.52}, {0, 0.52}}}));
    add(letter({s * 0.38, s * 0.60}, {{{0, 0}, {0, 1}}, {{0, 1}, {1, 1}}}));
    add(letter({s * 0.64, s * 0.93},
               {{{0, 1}, {0, 0}}, {{0, 0}, {0.5, 0.62}}, {{0.5, 0.62}, {1, 0}}, {{1, 0}, {1, 1}}}));
    Stroke(image, strokes, half, Rgb{0, 32, 110});
    return image;
}

std::vector<std::uint8_t> EncodeBmp(const Image& image) {
    std::vector<std::uint8_t> out;
    std::uint32_t pixelBytes = RowBytes(image.Width()) * static_cast<std::uint32_t>(image.Height());
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, 14 + 40 + pixelBytes);
    PutLe32(out, 0);
    PutLe32(out, 14 + 40);
    PutDib(out, image, image.Height(), 0);
    return out;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<Image>& images) {
    std::vector<std::uint8_t> out;
    PutLe16(out, 0);
    PutLe16(out, 1);  // icon
    PutLe16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Image& image : images) {
        std::uint32_t bytes =
            40 + RowBytes(image.Width()) * static_cast<std::uint32_t>(image.Height()) + MaskBytes(image);
        out.push_back(static_cast<std::uint8_t>(image.Width() >= 256 ? 0 : image.Width()));
        out.push_back(static_cast<std::uint8_t>(image.Height() >= 256 ? 0 : image.Height()));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutLe16(out, 1);   // planes
        PutLe16(out, 24);  // bits per pixel
        PutLe32(out, bytes);
        PutLe32(out, offset);
        offset += bytes;
    }
    for (const Image& image : images) {
        // An icon's DIB is twice as high: the colour rows, then the mask.
        PutDib(out, image, image.Height() * 2, MaskBytes(image));
        out.insert(out.end(), MaskBytes(image), 0);  // all opaque
    }
    return out;
}

}  // namespace plm::app::art
