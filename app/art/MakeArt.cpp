// Writes the window's pictures into a directory:
//   MakeArt DIR
// background.bmp (490 × 133), close.bmp (16 × 16) and plm.ico (48, 32 and
// 16 pixels). The resource script embeds the icon; the window draws its
// background and the close cross itself, and background.bmp and close.bmp
// are the references those drawings must match. Run this again after
// changing the drawing rules.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/art/ArtFiles.h"

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
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeArt DIR\n");
        return 2;
    }
    using namespace plm::app::art;
    std::string dir = argv[1];
    bool ok = Write(dir + "/background.bmp", EncodeBmp(MakeWindowBackground()));
    ok = Write(dir + "/close.bmp", EncodeBmp(MakeCloseGlyph(CloseGlyphSize))) && ok;
    ok = Write(dir + "/plm.ico", EncodeIco({MakeIconImage(48), MakeIconImage(32), MakeIconImage(16)})) && ok;
    return ok ? 0 : 1;
}
