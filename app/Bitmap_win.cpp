#include "app/Bitmap_win.h"

namespace plm::app {

GdiObject MakeBitmap(const art::Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.Width();
    info.bmiHeader.biHeight = -image.Height();  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return GdiObject(bitmap);
    auto* bytes = static_cast<unsigned char*>(bits);
    std::size_t stride = (static_cast<std::size_t>(image.Width()) * 3 + 3) & ~std::size_t{3};
    for (int y = 0; y < image.Height(); ++y) {
        unsigned char* row = bytes + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < image.Width(); ++x) {
            Rgb c = image.At(x, y);
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
    GdiFlush();
    return GdiObject(bitmap);
}

}  // namespace plm::app
