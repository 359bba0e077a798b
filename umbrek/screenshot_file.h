// The screenshot file: an uncompressed true-colour image with its top row
// first, written under the first number that no "screen%i.tga" takes yet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek {

constexpr int tgaHeaderSize = 18;

// The file's bytes for WIDTH x HEIGHT 5-6-5 pixels (top row first): the
// header, then blue, green, red per pixel, each component widened by shifting
// alone (0xFFFF gives 248, 252, 248).
std::vector<std::uint8_t> encodeTga(const std::uint16_t* pixels, int width, int height);

// "screen%i.tga" in FOLDER ("" for the current one; else ending in a
// separator) for the first n from 1 whose file cannot be opened for reading.
std::string nextScreenshotName(const std::string& folder, int* number = nullptr);

// Writes the image to PATH; false when the file cannot be written whole.
bool writeTga(const std::string& path, const std::uint16_t* pixels, int width, int height);

} // namespace umbrek
