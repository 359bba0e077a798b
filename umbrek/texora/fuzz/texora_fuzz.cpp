// Texora on any image: the first bytes pick the target and source formats,
// the source size (up to 1024 x 1024) and the flags; the rest is the image.
#include "umbrek/texora/texora.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    txSetErrorSink([](const char*, void*) {}, nullptr);
    const int format = data[0] % 18;
    const int sourceFormat = data[1] % 18;
    const int width = (data[2] | data[3] << 8) % 1026;
    const int height = (data[4] | data[5] << 8) % 1026;
    const uint32_t flags = (uint32_t(data[6]) << 8 & 0x3000) | (data[7] & 0x13);
    const int levels = data[7] & 0x80 ? 1 + (data[7] >> 4 & 7) : -1;
    TxMip mip{};
    int w = width, h = height;
    const uint32_t bytes = txSetUpMip(&mip, format, &w, &h, levels, flags);
    if (bytes == 0) return 0;
    std::vector<uint8_t> out(bytes);
    mip.info.data = out.data();
    // The source: the rest of the input, repeated to fill the image.
    const size_t need = size_t(width) * size_t(height) * size_t(txTexelBytes(sourceFormat));
    std::vector<uint8_t> source(need ? need : 1);
    for (size_t i = 0; i < source.size(); ++i) source[i] = size > 8 ? data[8 + i % (size - 8)] : 0;
    // A table for the YIQ and palette sources: NCC values or palette entries from the input.
    std::vector<uint32_t> table(256);
    for (size_t i = 0; i < table.size() && 8 + i < size; ++i)
        table[i] = uint32_t(data[8 + i]) * 0x01010101u;
    txBuildTexture(&mip, sourceFormat, width, height, source.data(), flags & 0xFF, table.data());
    return 0;
}
