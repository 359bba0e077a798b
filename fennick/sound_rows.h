// The sound a frame draws: the host's two spectrum rows and two waveform
// rows of 576 bytes each. Waveform bytes are signed; the modules take them
// with the top bit flipped, 0-255 with 128 as silence.
#pragma once

#include <cstdint>

namespace fennick {

constexpr int soundRowLength = 576;

struct SoundRows {
    const std::uint8_t* spectrum[2];
    const std::uint8_t* waveform[2];
};

inline int waveSample(const SoundRows& rows, int row, int index) {
    return rows.waveform[row][index] ^ 0x80;
}

} // namespace fennick
