#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "app/art/ArtFiles.h"

namespace plm::app::art {
namespace {

std::string Show(Rgb c) {
    char text[32];
    std::snprintf(text, sizeof(text), "(%d,%d,%d)", c.r, c.g, c.b);
    return text;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct PixelRow {
    const char* label;
    int x;
    int y;
    Rgb colour;
};

TEST(Background, DesignedPictureAt96Dpi) {
    Image image = MakeBackground(490, 133, 96);
    // The window paints it rectangle by rectangle.
    EXPECT_LE(BackgroundRuns(490, 133, 96).size(), 40u);
    const Rgb grey{134, 134, 134};
    const PixelRow rows[] = {
        {"top frame", 245, 0, grey},
        {"bottom frame", 245, 132, grey},
        {"left frame", 0, 66, grey},
        {"right frame", 489, 66, grey},
        {"cut corner top left: corner pixel is not frame", 0, 0, Rgb{255, 255, 255}},
        {"cut corner top left: the frame runs diagonally", 1, 1, grey},
        {"frame starts after the cut", 2, 0, grey},
        {"cut corner bottom right", 489, 132, Rgb{232, 234, 236}},
        {"cut corner bottom right diagonal", 488, 131, grey},
        {"highlight under the frame", 245, 1, Rgb{255, 255, 255}},
        {"band top row 2", 245, 2, Rgb{216, 215, 215}},
        {"band bottom row 20", 245, 20, Rgb{243, 242, 242}},
        {"band reaches the left frame", 1, 10, image.At(245, 10)},
        {"body right under the band", 245, 21, Rgb{232, 234, 236}},
        {"body", 30, 110, Rgb{232, 234, 236}},
        {"body next to the bottom frame", 245, 131, Rgb{232, 234, 236}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Show(image.At(row.x, row.y)), Show(row.colour)) << row.label;
    }
    for (int y = 3; y <= 20; ++y) {
        EXPECT_GE(image.At(245, y).r, image.At(245, y - 1).r) << "band shading runs downwards, row " << y;
        EXPECT_GT(image.At(245, y).g, image.At(245, y - 1).g) << "each band row differs, row " << y;
    }
}

TEST(Background, DrawnForTheSizeAt144Dpi) {
    Image image = MakeBackground(735, 200, 144);
    const Rgb grey{134, 134, 134};
    const PixelRow rows[] = {
        {"frame two pixels thick (outer)", 300, 0, grey},
        {"frame two pixels thick (inner)", 300, 1, grey},
        {"frame bottom", 300, 198, grey},
        {"highlight row", 300, 2, Rgb{255, 255, 255}},
        {"band starts at scaled row 3", 300, 3, Rgb{216, 215, 215}},
        {"band ends at scaled row 31", 300, 31, Rgb{243, 242, 242}},
        {"body from row 32", 300, 32, Rgb{232, 234, 236}},
        {"right frame", 734, 100, grey},
        {"right frame inner", 733, 100, grey},
        {"body inside the right frame", 732, 100, Rgb{232, 234, 236}},
        {"corner cut of three pixels", 2, 0, Rgb{255, 255, 255}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Show(image.At(row.x, row.y)), Show(row.colour)) << row.label;
    }
}

TEST(CloseGlyph, GreyCrossOnLight) {
    Image image = MakeCloseGlyph(16);
    EXPECT_LT(image.At(8, 8).r, 160) << "the strokes cross in the middle";
    EXPECT_LT(image.At(5, 5).r, 180) << "on the falling diagonal";
    EXPECT_LT(image.At(10, 5).r, 180) << "on the rising diagonal";
    EXPECT_EQ(Show(image.At(0, 0)), Show(Rgb{240, 240, 240}));
    EXPECT_EQ(Show(image.At(8, 1)), Show(Rgb{240, 240, 240})) << "light above the cross";
    for (int i = 0; i < 16; ++i) {
        Rgb c = image.At(i, i);
        EXPECT_EQ(c.r, c.g) << "grey, pixel " << i;
        EXPECT_EQ(c.g, c.b) << "grey, pixel " << i;
    }
}

TEST(Icon, DarkLettersOnABlueSquare) {
    for (int size : {48, 32, 16}) {
        Image image = MakeIconImage(size);
        Rgb corner = image.At(size / 2, 1);
        EXPECT_GT(corner.b, corner.r + 60) << size << ": the square is blue";
        int dark = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                Rgb c = image.At(x, y);
                if (c.r < 50 && c.g < 80 && c.b > c.r) ++dark;
            }
        }
        // The three letters cover a good part of the square, but not all of it.
        EXPECT_GT(dark, size * size / 20) << size;
        EXPECT_LT(dark, size * size / 3) << size;
        // The L's stem: dark at the left of the middle letter, light right of it.
        EXPECT_LT(image.At(size * 41 / 100, size / 2).r, 60) << size;
    }
}

TEST(Files, BmpLayout) {
    Image image = MakeBackground(490, 133, 96);
    auto bytes = EncodeBmp(image);
    ASSERT_EQ(bytes.size(), 54u + 1472u * 133u) << "rows of 1470 bytes padded to 1472";
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Le32(bytes, 2), bytes.size());
    EXPECT_EQ(Le32(bytes, 10), 54u);
    EXPECT_EQ(Le32(bytes, 18), 490u);
    EXPECT_EQ(Le32(bytes, 22), 133u);
    EXPECT_EQ(Le16(bytes, 28), 24u);
    // Bottom-up: the first row in the file is the bottom frame (grey), the
    // last one the top frame; each pixel is blue, green, red.
    EXPECT_EQ(bytes[54 + 3 * 245], 134);
    std::size_t lastRow = 54 + 1472u * 132u;
    EXPECT_EQ(bytes[lastRow + 3 * 245], 134);
    std::size_t bandRow = 54 + 1472u * (132u - 2u);
    EXPECT_EQ(bytes[bandRow + 3 * 245 + 2], 216) << "red of band row 2";
    EXPECT_EQ(bytes[54 + 1470], 0) << "padding";
}

TEST(Files, IcoLayout) {
    const std::vector<Image> images{MakeIconImage(48), MakeIconImage(32), MakeIconImage(16)};
    auto bytes = EncodeIco(images);
    ASSERT_GE(bytes.size(), 6u + 3 * 16);
    EXPECT_EQ(Le16(bytes, 0), 0u);
    EXPECT_EQ(Le16(bytes, 2), 1u) << "icon";
    EXPECT_EQ(Le16(bytes, 4), 3u) << "three images";
    std::size_t expectedOffset = 6 + 3 * 16;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& image = images[i];
        const int size = image.Width();
        std::size_t entry = 6 + 16 * i;
        const std::size_t dib = expectedOffset;
        ASSERT_EQ(Le32(bytes, entry + 12), dib) << size;
        EXPECT_EQ(bytes[entry], size);
        EXPECT_EQ(Le32(bytes, dib + 8), 2u * static_cast<std::uint32_t>(size)) << size << ": doubled height";
        // Each image keeps exactly its own colours in a palette: 4 bits a
        // pixel for 16 of them or fewer, 8 bits beyond.
        const std::uint32_t colours = Le32(bytes, dib + 32);
        const std::uint32_t bits = Le16(bytes, dib + 14);
        EXPECT_EQ(bits, colours <= 16 ? 4u : 8u) << size;
        EXPECT_EQ(Le16(bytes, entry + 6), bits) << size;
        const std::uint32_t rowBytes = (static_cast<std::uint32_t>(size) * bits + 31) / 32 * 4;
        const std::uint32_t maskBytes = (static_cast<std::uint32_t>(size) + 31) / 32 * 4 * static_cast<std::uint32_t>(size);
        const std::uint32_t length = 40 + 4 * colours + rowBytes * static_cast<std::uint32_t>(size) + maskBytes;
        EXPECT_EQ(Le32(bytes, entry + 8), length) << size;
        // The same pixels, read back through the palette (rows bottom-up).
        const std::size_t palette = dib + 40;
        const std::size_t rows = palette + 4 * colours;
        int wrong = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                std::size_t row = rows + rowBytes * static_cast<std::size_t>(size - 1 - y);
                unsigned index = bits == 8 ? bytes[row + static_cast<std::size_t>(x)]
                                           : (bytes[row + static_cast<std::size_t>(x) / 2] >> (x % 2 == 0 ? 4 : 0)) & 15u;
                const std::size_t c = palette + 4 * index;
                if (index >= colours || Show(Rgb{bytes[c + 2], bytes[c + 1], bytes[c]}) != Show(image.At(x, y))) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << size << ": pixels that differ from the drawing";
        expectedOffset += length;
    }
    EXPECT_EQ(bytes.size(), expectedOffset);
}

// The files in app/art must be what MakeArt makes from the rules above, so
// that the pictures can be remade: the resource script embeds the close
// cross and the icon, and the window background that the window draws at
// start-up must stay pixel for pixel the reference picture.
TEST(Files, CommittedPicturesAreTheGeneratedOnes) {
    struct Row {
        const char* file;
        std::vector<std::uint8_t> bytes;
    };
    const Row rows[] = {
        {"background.bmp", EncodeBmp(MakeWindowBackground())},
        {"close.bmp", EncodeBmp(MakeCloseGlyph(16))},
        {"plm.ico", EncodeIco({MakeIconImage(48), MakeIconImage(32), MakeIconImage(16)})},
    };
    for (const auto& row : rows) {
        std::string path = PLM_ART_DIR;
        path += '/';
        path += row.file;
        auto onDisk = ReadFile(path);
        EXPECT_EQ(onDisk.size(), row.bytes.size()) << row.file;
        auto [mine, theirs] = std::mismatch(onDisk.begin(), onDisk.end(), row.bytes.begin(), row.bytes.end());
        EXPECT_EQ(mine - onDisk.begin(), static_cast<std::ptrdiff_t>(onDisk.size()))
            << row.file << " differs from MakeArt's output at this offset: run MakeArt app/art";
    }
}

}  // namespace
}  // namespace plm::app::art
