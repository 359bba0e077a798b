// Writes a picture as a 24-bit BMP or, when the name ends in ".png", as a PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

// rgb: width x height pixels of three bytes (red, green, blue), top row first.
bool writeImage(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

} // namespace testhost
