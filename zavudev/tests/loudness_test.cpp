// The loudness level and the beat rule: which bins count, the float
// comparison, and the speed menu's thresholds.
#include "zavudev/loudness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace zavudev {
namespace {

struct Rows {
    uint8_t rows[2][spectrumRowLength] = {};
    Rows& set(int row, std::initializer_list<int> bins, uint8_t value = 255) {
        for (int bin : bins) rows[row][bin] = value;
        return *this;
    }
    Rows& both(std::initializer_list<int> bins) { return set(0, bins).set(1, bins); }
};

TEST(Loudness, LevelOfRows) {
    Rows full;
    std::memset(full.rows, 255, sizeof full.rows);
    struct Case {
        const char* name;
        Rows rows;
        float level;
    } cases[] = {
        {"all 255", full, 1.0f},
        {"all 0", Rows{}, 0.0f},
        {"bin 100", Rows{}.both({100}), 0.2f},
        // The window over bins 0 to 4 only starts the sum.
        {"bin 0", Rows{}.both({0}), 0.0f},
        {"bin 1", Rows{}.both({1}), 0.2f},
        // The last window starts at bin 285.
        {"bin 289", Rows{}.both({289}), 0.2f},
        {"bin 290", Rows{}.both({290}), 0.0f},
        {"bins 290 to 575", Rows{}.both({290, 300, 400, 575}), 0.0f},
        {"five in a row", Rows{}.both({10, 11, 12, 13, 14}), 1.0f},
        {"two windows apart", Rows{}.both({10, 20, 21}), 0.4f},
        {"mean of the rows", Rows{}.set(0, {50, 51, 52}).set(1, {50}), 0.4f},
        {"one row only", Rows{}.set(0, {50, 51, 52, 53, 54}), 0.5f},
        {"partial bins", Rows{}.set(0, {50, 51}, 51).set(1, {60}, 51), 0.06f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(frameLevel(c.rows.rows), c.level) << c.name;
}

TEST(Loudness, BeatIsStrictlyAboveTheThreshold) {
    EXPECT_FALSE(isBeat(0.25f, defaultBeatThreshold));
    EXPECT_TRUE(isBeat(std::nextafter(0.25f, 1.0f), defaultBeatThreshold));
    EXPECT_FALSE(isBeat(0.0f, defaultBeatThreshold));
    // A single full bin per row is exactly 0.2f: no beat at the menu's "2"
    // (a double 0.2 threshold would call it one), a beat at "1".
    float level = frameLevel(Rows{}.both({100}).rows);
    EXPECT_FALSE(isBeat(level, thresholdAfterCommand(defaultBeatThreshold, 2)));
    EXPECT_TRUE(isBeat(level, thresholdAfterCommand(defaultBeatThreshold, 1)));
}

TEST(Loudness, SpeedMenuCommands) {
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(thresholdAfterCommand(0.25f, n), float(n) * 0.1f) << n;
    // The title item, a dismissed menu, and anything out of range.
    for (int command : {0, 7, -1}) {
        EXPECT_EQ(thresholdAfterCommand(0.25f, command), 0.25f) << command;
        EXPECT_EQ(thresholdAfterCommand(0.5f, command), 0.5f) << command;
    }
}

} // namespace
} // namespace zavudev
