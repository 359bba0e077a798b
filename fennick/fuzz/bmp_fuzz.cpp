// Any bytes as a texture file: an image whose buffers match its size, or a
// refusal; nothing read or written outside the buffers (ASan watches).
#include "fennick/bitmap.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace fennick;
    MemorySource source(data, size);
    std::optional<BmpImage> bmp = readBmp(source);
    if (!bmp) return 0;
    std::optional<RgbImage> rgb = toRgb(*bmp);
    if (!rgb) return 0;
    if (rgb->stride < 3 * rgb->width || rgb->stride % 4 != 0 ||
        rgb->rgb.size() != std::size_t(rgb->stride) * std::size_t(rgb->height))
        std::abort();
    return 0;
}
