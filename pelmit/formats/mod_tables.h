// The MOD family's read-only tables: the periods that turn file periods into
// note indexes, the periods the replayer plays per finetune, and the vibrato
// and funk tables.
#pragma once

#include <array>
#include <cstdint>

namespace pelmit {

constexpr int modNoteCount = 84; // 7 octaves of 12 notes
constexpr int modFinetuneCount = 16;

// 84 periods from 3424 down to 28 and a closing 0; only used to find the note
// index of a period read from a file.
extern const std::array<uint16_t, modNoteCount + 1> modPeriodTable;

// [finetune][note index]: rows 0-7 for finetune 0..+7, rows 8-15 for -8..-1.
// Built from the middle three octaves; the outer octaves are doubled and
// floor-halved from them, so octaves 2 and 3 differ from other trackers' tables
// by a period here and there, which is how the player has always sounded.
using ModFinetunePeriods = std::array<std::array<uint16_t, modNoteCount>, modFinetuneCount>;
extern const ModFinetunePeriods modFinetunePeriods;

// One period of a sine of amplitude 256.
extern const std::array<int16_t, 64> vibratoSine;

// What EFx adds to the funk accumulator per tick, by x.
extern const std::array<uint8_t, 16> funkTable;

} // namespace pelmit
