// Numbers stored in a fixed byte order, read from memory or from an open
// stream. Header-only, so that every deliverable (and every layer inside one)
// reads its file formats the same way without linking anything: Amiga files and
// MPEG/ID3 headers are big-endian, LHA headers little-endian.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace jk {

inline uint16_t loadBe16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

inline uint32_t loadBe32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

inline uint16_t loadLe16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t loadLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The stream readers take their bytes with fgetc and do not test for the end
// of the file themselves: a byte that was not delivered enters the arithmetic
// as EOF, and callers test the stream.
inline uint32_t readBe32(std::FILE* s) {
    uint32_t b0 = uint32_t(std::fgetc(s)), b1 = uint32_t(std::fgetc(s));
    uint32_t b2 = uint32_t(std::fgetc(s)), b3 = uint32_t(std::fgetc(s));
    return b0 << 24 | b1 << 16 | b2 << 8 | b3;
}

inline uint16_t readBe16(std::FILE* s) {
    uint32_t b0 = uint32_t(std::fgetc(s)), b1 = uint32_t(std::fgetc(s));
    return uint16_t(b0 << 8 | b1);
}

inline uint32_t readLe32(std::FILE* s) {
    uint32_t b0 = uint32_t(std::fgetc(s)), b1 = uint32_t(std::fgetc(s));
    uint32_t b2 = uint32_t(std::fgetc(s)), b3 = uint32_t(std::fgetc(s));
    return b0 | b1 << 8 | b2 << 16 | b3 << 24;
}

inline uint16_t readLe16(std::FILE* s) {
    uint32_t b0 = uint32_t(std::fgetc(s)), b1 = uint32_t(std::fgetc(s));
    return uint16_t(b0 | b1 << 8);
}

// Bytes from the stream's position to its end (0 when it cannot tell), so that
// loaders never allocate more for a block than the file still holds.
inline uint32_t remainingBytes(std::FILE* stream) {
    long here = std::ftell(stream);
    if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0) return 0;
    long end = std::ftell(stream);
    std::fseek(stream, here, SEEK_SET);
    return end > here ? uint32_t(std::min<long>(end - here, 0x7FFFFFFF)) : 0;
}

} // namespace jk
