// The plug-in's 10-band equaliser on the spectral lines. The plug-in shell
// owns the settings and may change them while a song plays; the decoder
// reads them once per granule.
#pragma once

#include <atomic>
#include <cstdint>

namespace kalvo {

struct EqualizerSettings {
    std::atomic<bool> on{false};
    std::atomic<int32_t> bands[10] = {}; // 0 (+12 dB) .. 31 (flat) .. 63 (-12 dB)
    std::atomic<int32_t> preamp{31};
};

// The gain of a slider value; values outside 0..63 are taken as the nearest end.
float equalizerGain(int32_t value);

// Band borders in lines for a sampling rate: eleven values; band k covers
// lines [borders[k], borders[k + 1]).
void equalizerBorders(uint32_t samplingRate, uint16_t borders[11]);

// Scales the lines of one granule: every line of band k of each channel by
// gain[bands[k]] x gain[preamp], up to limit lines.
void applyEqualizer(const EqualizerSettings& eq, uint32_t samplingRate, float* const lines[2],
                    int channels, uint32_t limit);

} // namespace kalvo
