// A whole file's bytes, for the tests and benchmarks (empty when unreadable).
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

namespace kalvo::test {

inline std::vector<uint8_t> readFileBytes(const char* path) {
    std::vector<uint8_t> data;
    if (std::FILE* f = std::fopen(path, "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
        std::fclose(f);
    }
    return data;
}

} // namespace kalvo::test
