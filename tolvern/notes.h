// Chip periods to XM notes: the equal-tempered period of each of 96 notes at the
// chip's 2 MHz clock, and for every period its note and its fine step above it.
#ifndef TOLVERN_NOTES_H
#define TOLVERN_NOTES_H

#include <cstdint>

namespace tolvern {

constexpr int kNoteCount = 96;
constexpr int kLowestPeriod = 16;
constexpr int kHighestPeriod = 3821;
constexpr int kPeriodRange = 3823; // periods 0..3822

struct NoteTables {
    int period[kNoteCount + 2];       // 3822 .. 15, then -1
    uint8_t Note[kPeriodRange];       // note index 0..95 (96 below the lowest period)
    uint8_t NoteTuning[kPeriodRange]; // sixteenths of a semitone above that note
};

// Built on first use; every conversion reads the same tables.
const NoteTables& InitNotes();

// Chip volume 0..15 to XM volume 0..60.
extern const uint8_t kLogVolume[16];

} // namespace tolvern

#endif
