// Files of the emulated formats for the tests, the fuzz seeds and the tunes
// the Windows tests play: the assembled tunes, and for the DeliTracker Custom
// players hunk executables made by a small writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmit::test {

using Bytes = std::vector<uint8_t>;

// Each fixture: its name, a file name for it, and what the player makes of it.
struct EmulatedFixture {
    const char* name;
    const char* fileName;
    uint32_t format;
    int subsongCount;
    int currentIndex; // the subsong played first, counted from 1
};
extern const std::vector<EmulatedFixture> emulatedFixtures;

// The file of a fixture: the tune as assembled at 0x2000, or, for the
// DeliTracker Custom players (names beginning "dt_"), a hunk executable.
Bytes emulatedFile(const std::string& name);

// Hunk executables, big-endian longs.
void appendLong(Bytes& bytes, uint32_t value);
// One code hunk (code linked at 0, padded to longs) with 32-bit relocations
// against itself at the given offsets.
Bytes hunkFile(const Bytes& code, const std::vector<uint32_t>& relocations);

} // namespace pelmit::test
