// Writes data libraries: the header with its seed and scrambled password
// field, then each member's directory entry (name scrambled, cut to 14
// characters) and bytes. On request it writes the faults a reader must
// survive: a bad password, forged name lengths and member lengths, a cut end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace umbrek::test {

struct LibraryEntry {
    LibraryEntry(std::string name, std::vector<uint8_t> data,
                 std::optional<int> nameLengthByte = {}, std::optional<int32_t> storedLength = {})
        : name(std::move(name)), data(std::move(data)), nameLengthByte(nameLengthByte),
          storedLength(storedLength) {}
    std::string name;
    std::vector<uint8_t> data;
    std::optional<int> nameLengthByte;   // written in place of the name's length
    std::optional<int32_t> storedLength; // written in place of data.size()
};

struct LibraryOptions {
    int32_t seed = 0;
    bool badPassword = false; // the field unscrambles to "X..." instead of a blank
    size_t cutBytes = 0;      // bytes dropped from the end of the file
};

std::vector<uint8_t> writeLibrary(const std::vector<LibraryEntry>& entries,
                                  const LibraryOptions& options = {});
// The first COUNT values of the scrambling stream from SEED.
std::vector<int32_t> scramblerValues(int32_t seed, int count);
// NAME as a directory entry stores it (at most 14 bytes, unpadded).
std::vector<uint8_t> scrambleName(const std::string& name, int32_t seed);

} // namespace umbrek::test
