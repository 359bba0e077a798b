// Test tooling: writes 24-bit RGB pictures as PNG files (stored, not
// compressed), so that screenshots can be looked at anywhere.
#ifndef TOLVERN_TESTS_PNG_WRITER_H
#define TOLVERN_TESTS_PNG_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace tolvern::test {

// rgb holds height rows of width pixels, three bytes each, top row first.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

} // namespace tolvern::test

#endif
