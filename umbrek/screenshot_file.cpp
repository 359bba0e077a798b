#include "umbrek/screenshot_file.h"

#include <cstdio>
#include <memory>

namespace umbrek {

namespace {

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

void put16(std::uint8_t* at, int value) {
    at[0] = std::uint8_t(value & 0xFF);
    at[1] = std::uint8_t((value >> 8) & 0xFF);
}

} // namespace

std::vector<std::uint8_t> encodeTga(const std::uint16_t* pixels, int width, int height) {
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<std::uint8_t> out(tgaHeaderSize + 3 * count, 0);
    out[2] = 2; // uncompressed true colour
    put16(&out[12], width);
    put16(&out[14], height);
    out[16] = 24;
    out[17] = 0x20; // top-left origin
    std::uint8_t* at = out.data() + tgaHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned p = pixels[i];
        *at++ = std::uint8_t((p & 0x1F) << 3);
        *at++ = std::uint8_t(((p >> 5) & 0x3F) << 2);
        *at++ = std::uint8_t((p >> 11) << 3);
    }
    return out;
}

std::string nextScreenshotName(const std::string& folder, int* number) {
    for (int n = 1;; ++n) {
        std::string name = folder + "screen" + std::to_string(n) + ".tga";
        if (File(std::fopen(name.c_str(), "rb"))) continue;
        if (number) *number = n;
        return name;
    }
}

bool writeTga(const std::string& path, const std::uint16_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0) return false;
    const std::vector<std::uint8_t> bytes = encodeTga(pixels, width, height);
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const bool whole = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && whole;
}

} // namespace umbrek
