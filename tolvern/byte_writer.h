// Little-endian fields of the XM file, appended to a byte vector.
#ifndef TOLVERN_BYTE_WRITER_H
#define TOLVERN_BYTE_WRITER_H

#include <cstdint>
#include <cstring>
#include <vector>

namespace tolvern {

inline void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A text in a field of the given width, padded with zero bytes.
inline void putText(std::vector<uint8_t>& out, const char* text, size_t width) {
    const size_t n = std::strlen(text);
    for (size_t i = 0; i < width; ++i) out.push_back(i < n ? uint8_t(text[i]) : 0);
}

} // namespace tolvern

#endif
