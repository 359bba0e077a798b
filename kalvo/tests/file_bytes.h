// A whole file's bytes, for the tests and benchmarks; a file that cannot be
// read throws with its path and the reason.
#pragma once

#include "tests/test_files.h"

#include <cstdint>
#include <vector>

namespace kalvo::test {

inline std::vector<uint8_t> readFileBytes(const char* path) {
    return jk::test::readFile(path);
}

} // namespace kalvo::test
