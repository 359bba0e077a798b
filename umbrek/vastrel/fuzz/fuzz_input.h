// Reading a fuzz input as a stream of little-endian values; past the end
// every value is 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace umbrek::vastrel::fuzz {

struct Input {
    const std::uint8_t* data;
    std::size_t size, pos = 0;
    bool more() const { return pos < size; }
    std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
    std::uint16_t half() { return std::uint16_t(byte() | byte() << 8); }
    std::uint32_t word() { return std::uint32_t(half()) | std::uint32_t(half()) << 16; }
    float real() {
        const std::uint32_t bits = word();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
};

} // namespace umbrek::vastrel::fuzz
