#include "app/art/ArtFiles.h"

#include <algorithm>

namespace plm::app::art {
namespace {

void PutLe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

// Bytes of one pixel row at `bits` a pixel, padded to four.
std::uint32_t RowBytes(int width, int bits) {
    return ((static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits) + 31) / 32) * 4;
}

// The image's colours in the order they first appear, top row first.
std::vector<Rgb> ColoursOf(const Image& image) {
    std::vector<Rgb> colours;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (std::find(colours.begin(), colours.end(), image.At(x, y)) == colours.end()) {
                colours.push_back(image.At(x, y));
                if (colours.size() > 256) return colours;
            }
        }
    }
    return colours;
}

int BitsFor(const std::vector<Rgb>& colours) {
    if (colours.size() <= 16) return 4;
    if (colours.size() <= 256) return 8;
    return 24;
}

// A BITMAPINFOHEADER, the palette for fewer than 24 bits, and the bottom-up
// rows: BGR triples, or palette indexes packed from the high bits down.
void PutDib(std::vector<std::uint8_t>& out, const Image& image, int bits, int headerHeight, std::uint32_t extra) {
    const std::vector<Rgb> palette = bits < 24 ? ColoursOf(image) : std::vector<Rgb>();
    const std::uint32_t rowBytes = RowBytes(image.Width(), bits);
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(image.Width()));
    PutLe32(out, static_cast<std::uint32_t>(headerHeight));
    PutLe16(out, 1);  // planes
    PutLe16(out, static_cast<std::uint32_t>(bits));
    PutLe32(out, 0);  // BI_RGB
    PutLe32(out, rowBytes * static_cast<std::uint32_t>(image.Height()) + extra);
    PutLe32(out, 3780);  // 96 DPI in pixels per metre
    PutLe32(out, 3780);
    PutLe32(out, static_cast<std::uint32_t>(palette.size()));  // colours used
    PutLe32(out, 0);
    for (Rgb c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = image.Height() - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + rowBytes, 0);
        for (int x = 0; x < image.Width(); ++x) {
            Rgb c = image.At(x, y);
            auto at = static_cast<std::size_t>(x);
            if (bits == 24) {
                out[start + 3 * at] = c.b;
                out[start + 3 * at + 1] = c.g;
                out[start + 3 * at + 2] = c.r;
                continue;
            }
            auto index = static_cast<std::uint8_t>(std::find(palette.begin(), palette.end(), c) - palette.begin());
            if (bits == 8) {
                out[start + at] = index;
            } else {
                out[start + at / 2] |= static_cast<std::uint8_t>(at % 2 == 0 ? index << 4 : index);
            }
        }
    }
}

std::uint32_t MaskBytes(const Image& image) { return RowBytes(image.Width(), 1) * static_cast<std::uint32_t>(image.Height()); }

}  // namespace

Image MakeBackground(int width, int height, int dpi) {
    Image image(width, height);
    for (const Run& run : BackgroundRuns(width, height, dpi)) {
        for (int y = run.top; y < run.top + run.height; ++y) {
            for (int x = run.left; x < run.left + run.width; ++x) image.Set(x, y, run.colour);
        }
    }
    return image;
}

Image MakeWindowBackground() { return MakeBackground(BackgroundWidth, BackgroundHeight, 96); }

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
    std::uint32_t pixelBytes = RowBytes(image.Width(), 24) * static_cast<std::uint32_t>(image.Height());
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, 14 + 40 + pixelBytes);
    PutLe32(out, 0);
    PutLe32(out, 14 + 40);
    PutDib(out, image, 24, image.Height(), 0);
    return out;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<Image>& images) {
    std::vector<std::uint8_t> out;
    PutLe16(out, 0);
    PutLe16(out, 1);  // icon
    PutLe16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Image& image : images) {
        const auto colours = ColoursOf(image);
        const int bits = BitsFor(colours);
        const std::uint32_t paletteBytes = bits < 24 ? 4 * static_cast<std::uint32_t>(colours.size()) : 0;
        std::uint32_t bytes = 40 + paletteBytes +
                              RowBytes(image.Width(), bits) * static_cast<std::uint32_t>(image.Height()) +
                              MaskBytes(image);
        out.push_back(static_cast<std::uint8_t>(image.Width() >= 256 ? 0 : image.Width()));
        out.push_back(static_cast<std::uint8_t>(image.Height() >= 256 ? 0 : image.Height()));
        out.push_back(static_cast<std::uint8_t>(bits < 8 ? colours.size() : 0));  // colours, below 256
        out.push_back(0);
        PutLe16(out, 1);  // planes
        PutLe16(out, static_cast<std::uint32_t>(bits));
        PutLe32(out, bytes);
        PutLe32(out, offset);
        offset += bytes;
    }
    for (const Image& image : images) {
        // An icon's DIB is twice as high: the colour rows, then the mask.
        PutDib(out, image, BitsFor(ColoursOf(image)), image.Height() * 2, MaskBytes(image));
        out.insert(out.end(), MaskBytes(image), 0);  // all opaque
    }
    return out;
}

}  // namespace plm::app::art
