// Writes the window's pictures into a directory:
//   MakeArt DIR
// background.bmp (490 × 133), close.bmp (16 × 16) and plm.ico (48, 32 and
// 16 pixels). The resource script embeds the close cross and the icon; the
// window draws its background itself, and background.bmp is the reference
// it must match. Run this again after changing the drawing rules. With
// --tall it also writes background_tall.bmp (490 × 261), the designed
// picture, which the program draws for itself too.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/art/Artwork.h"

namespace {

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "MakeArt: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool tall = argc == 3 && std::string(argv[2]) == "--tall";
    if (argc != 2 && !tall) {
        std::fprintf(stderr, "usage: MakeArt DIR [--tall]\n");
        return 2;
    }
    using namespace plm::app::art;
    std::string dir = argv[1];
    bool ok = Write(dir + "/background.bmp", EncodeBmp(MakeWindowBackground()));
    if (tall) {
        ok = Write(dir + "/background_tall.bmp", EncodeBmp(MakeBackground(BackgroundWidth, TallBackgroundHeight, 96))) &&
             ok;
    }
    ok = Write(dir + "/close.bmp", EncodeBmp(MakeCloseGlyph(CloseGlyphSize))) && ok;
    ok = Write(dir + "/plm.ico", EncodeIco({MakeIconImage(48), MakeIconImage(32), MakeIconImage(16)})) && ok;
    return ok ? 0 : 1;
}
