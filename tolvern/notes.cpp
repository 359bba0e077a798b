#include "tolvern/notes.h"

#include <cmath>

namespace tolvern {

const uint8_t kLogVolume[16] = {0, 0, 4, 4, 8, 8, 12, 12, 16, 20, 24, 28, 36, 44, 52, 60};

namespace {

NoteTables buildNotes() {
    NoteTables t{};
    for (int j = 0; j <= kNoteCount; ++j)
        t.period[j] = int(std::lround(125000.0 / (32.703 * std::pow(2.0, j / 12.0))));
    t.period[kNoteCount + 1] = -1;
    for (int j = 0; j <= kNoteCount; ++j) {
        const int hi = t.period[j], lo = t.period[j + 1];
        for (int p = lo + 1; p <= hi; ++p) {
            if (p < 0 || p >= kPeriodRange) continue;
            t.Note[p] = uint8_t(j);
            t.NoteTuning[p] = uint8_t((15 - ((p - lo) * 15) / (hi - lo)) & 15);
        }
    }
    return t;
}

} // namespace

const NoteTables& InitNotes() {
    static const NoteTables tables = buildNotes();
    return tables;
}

} // namespace tolvern
