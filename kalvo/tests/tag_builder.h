// Builds ID3v2 tags byte by byte for the tests, including broken ones.
#pragma once

#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kalvo::test {

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes frame(const char* id, const Bytes& body, uint32_t sizeField = 0xFFFFFFFF) {
    uint32_t size = sizeField == 0xFFFFFFFF ? uint32_t(body.size()) : sizeField;
    Bytes f = bytesOf(std::string(id, 4));
    f.push_back(uint8_t(size >> 24));
    f.push_back(uint8_t(size >> 16));
    f.push_back(uint8_t(size >> 8));
    f.push_back(uint8_t(size));
    f.push_back(0);
    f.push_back(0);
    return f + body;
}

// A Latin-1 text frame without a terminator, as some taggers write them.
inline Bytes textFrame(const char* id, const std::string& text) {
    return frame(id, Bytes{0} + bytesOf(text));
}

inline Bytes utf16(const std::u16string& text, bool terminate = true) {
    Bytes b{0xFF, 0xFE};
    for (char16_t c : text) {
        b.push_back(uint8_t(c & 0xFF));
        b.push_back(uint8_t(c >> 8));
    }
    if (terminate) b.push_back(0), b.push_back(0);
    return b;
}

inline Bytes tagHeader(uint32_t size, uint8_t major = 3, uint8_t flags = 0) {
    return Bytes{'I',
                 'D',
                 '3',
                 major,
                 0,
                 flags,
                 uint8_t((size >> 21) & 0x7F),
                 uint8_t((size >> 14) & 0x7F),
                 uint8_t((size >> 7) & 0x7F),
                 uint8_t(size & 0x7F)};
}

// A whole tag: header, frames, padding.
inline Bytes tag(const Bytes& frames, uint32_t padding = 0, uint8_t major = 3) {
    return tagHeader(uint32_t(frames.size() + padding), major) + frames + Bytes(padding, 0);
}

inline std::string writeTemp(const Bytes& data, const char* name) {
    std::string path = jk::test::tempPath(name);
    jk::test::writeFile(path, data);
    return path;
}

} // namespace kalvo::test
