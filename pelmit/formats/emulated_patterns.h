// The 68000 code patterns by which the emulated formats are recognised and
// prepared, searched in a tune's words as its file holds them. Positions and
// displacements come from the file, so every search is bounded by the file's
// words: a position that lies past them matches nothing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace pelmit {

// Bytes a tune without hunks may have: its words go to 0x2000 and must end
// below 0x7A000, which leaves room for the user stack under 0x7C000.
constexpr uint32_t maxTuneBytes = 0x78000;

// A file's words, big-endian, floor(bytes / 2) of them.
struct TuneWords {
    std::vector<uint16_t> words;
    uint32_t fileSize = 0;

    // The word at an even byte offset; none past the words or at odd offsets.
    std::optional<uint16_t> at(int64_t offset) const;
    bool has(int64_t offset, uint16_t value) const { return at(offset) == value; }
    // A displacement word taken as 0 <= d < limit and even (a forward branch or
    // a PC-relative reference into the tune).
    std::optional<uint32_t> forward(int64_t offset, uint32_t limit = 0x10000) const;
};

// The file's size and its first min(size, maxBytes) bytes as words. The
// stream is left where it stood before.
TuneWords readTuneWords(std::FILE* stream, uint32_t maxBytes);

// Jochen Hippel: LEA (d16,PC),A0 leading to a "TFMX" or "COSO" tag.
struct HippelTag {
    uint32_t offset;
    bool coso;
};
// Searches `positions` word positions from byte offset `from`.
std::optional<HippelTag> findHippelTag(const TuneWords& tune, uint32_t from, uint32_t positions);
// Where the play routine's branch lies: 2 or 4; 0 when the header is not one
// of the known layouts.
uint32_t hippelPlayOffset(const TuneWords& tune);
// Zeroes the word that the init code's chain of branches leads to, so that
// the tune leaves the machine's interrupts to the player.
void patchHippel(TuneWords& tune);

// M.O.N.: three JMP (d16,PC) at offsets 0, 4 and 8, and none at 12.
bool hasMonJumpTable(const TuneWords& tune);
// The first word index i <= lastWord at which the subsong check begins.
std::optional<uint32_t> findMonSubsongCheck(const TuneWords& tune, uint32_t lastWord);
// The byte offset that the check's CMP.B reads: both displacements unsigned and
// rounded down to even, as the tunes are laid out.
uint32_t monSubsongCountOffset(const TuneWords& tune, uint32_t word);

// Delta Music 2.0: ".FNL" at offset 3014.
bool hasDeltaMusic2Tag(const TuneWords& tune);

// SidMon 1: the init routine, the play routine and the word after the play
// routine's final MOVEM, as word indices.
struct SidMonRoutines {
    uint32_t init, play, exitWord;
};
std::optional<SidMonRoutines> findSidMonRoutines(const TuneWords& tune);

} // namespace pelmit
