// An RGB colour triple, as the window's design gives its colours.
#pragma once

#include <cstdint>

namespace plm::app {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

}  // namespace plm::app
