// Pictures drawn by the core as bitmaps GDI can copy.
#pragma once

#include "app/GdiObjects_win.h"
#include "app/art/Artwork.h"

namespace plm::app {

// A 24-bit DIB section with the picture's pixels.
GdiObject MakeBitmap(const art::Image& image);

}  // namespace plm::app
