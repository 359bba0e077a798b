// The input of the foreign skin fuzz targets: the skin's text, a zero byte,
// then the bytes of the skin's main bitmap (a BMP file or anything else).
// The other bitmaps the skin may name are small fixed pictures.
#pragma once

#include "sabrith/skin/tests/skin_test_rig.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sabrith::test {

constexpr const char* fuzzSkinFolder = "c:\\skins\\fuzz\\";

// Builds the files: `skinFile` holds the text, `mainBitmap` the bitmap
// bytes, and the names "b1.bmp", "b2.bmp", "MainDown.bmp" small pictures.
void addFuzzSkin(MemoryFiles& files, const uint8_t* data, std::size_t size,
                 const std::string& skinFile, const std::string& mainBitmap);
// Loads the skin and works it out at two window sizes.
void runFuzzSkin(const uint8_t* data, std::size_t size, const std::string& skinFile,
                 const std::string& mainBitmap);
// A seed in the same form.
std::vector<uint8_t> fuzzSkinInput(const std::string& text, const std::vector<uint8_t>& bitmap);
// Whole skins of each format with their faces, for the seed corpora.
std::vector<uint8_t> nerritSeed();
std::vector<uint8_t> tovrelSeed();
// Writes folder/name; 0 when written, else 1 with the reason on stderr.
int writeFuzzSeed(const char* folder, const std::string& name, const std::vector<uint8_t>& input);

} // namespace sabrith::test
