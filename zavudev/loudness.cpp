#include "zavudev/loudness.h"

namespace zavudev {

namespace {

constexpr int fullWindow = 5 * 255;

} // namespace

float rowLevel(const uint8_t* row) {
    int sum = row[0] + row[1] + row[2] + row[3] + row[4];
    // The first window (bins 0 to 4) is where the sum starts, not a candidate.
    int best = 0;
    for (int centre = 3; centre <= 287 && best < fullWindow; ++centre) {
        sum += row[centre + 2] - row[centre - 3];
        if (sum > best) best = sum;
    }
    return float(best) / float(fullWindow);
}

float frameLevel(const uint8_t (&rows)[2][spectrumRowLength]) {
    return (rowLevel(rows[0]) + rowLevel(rows[1])) / 2.0f;
}

bool isBeat(float level, float threshold) {
    return level > threshold;
}

float thresholdAfterCommand(float threshold, int command) {
    if (command < 1 || command > 6) return threshold;
    return float(command) * 0.1f;
}

} // namespace zavudev
