// The window's pictures as files, for MakeArt and the tests (the program
// itself needs none of this): the background and the close cross as
// pictures, the icon, and their BMP and ICO encodings.
#pragma once

#include <cstdint>
#include <vector>

#include "app/art/Artwork.h"

namespace plm::app::art {

// The background of BackgroundRuns as a picture.
Image MakeBackground(int width, int height, int dpi);
// The one picSmall holds: BackgroundWidth × BackgroundHeight at 96 DPI.
// background.bmp beside this file is its reference.
Image MakeWindowBackground();

// The letters PLM in dark blue on a blue square, `size` pixels wide and high.
Image MakeIconImage(int size);

// A 24-bit bottom-up BMP.
std::vector<std::uint8_t> EncodeBmp(const Image& image);
// An icon of opaque images, each with a palette of exactly its colours
// (4 bits a pixel for up to 16, 8 bits for up to 256) and 24-bit beyond.
std::vector<std::uint8_t> EncodeIco(const std::vector<Image>& images);

}  // namespace plm::app::art
