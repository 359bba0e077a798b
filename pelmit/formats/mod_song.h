// A MOD module as the loader leaves it for the replayer: title, samples, order
// list, patterns of note-index cells, and the tracker whose arithmetic it is
// played with.
#pragma once

#include "pelmit/mixer/sound_device.h"

#include <cstdint>
#include <memory>

namespace pelmit {

// Which tracker's arithmetic the replayer follows, in the order the MOD
// information dialog lists them. NoiseTracker 1.1 is never guessed.
enum TrackerType : int32_t {
    trackerSoundTracker = 0,
    trackerNoiseTracker11 = 1,
    trackerNoiseTracker12 = 2,
    trackerStarTrekker = 3,
    trackerProTracker = 4,
    trackerFastTracker = 5,
};

constexpr int modMaxChannels = 32; // tracks per pattern
constexpr int modMaxSamples = 31;
constexpr int modRows = 64;
constexpr int modMaxPatterns = 256;
constexpr int modOrderSlots = 256; // the file fills the first 128
constexpr int modMaxSongLength = 128;
constexpr int modTitleLength = 20;
constexpr int modSampleNameLength = 22;
constexpr uint8_t modNoNote = 84;
// A sample number the loader writes into channel 0 of rows the song ends at.
constexpr uint8_t modEndMark = 255;

struct ModCell {
    uint8_t note;   // 0..83, modNoNote for none
    uint8_t sample; // 0..31, or modEndMark
    uint8_t effect; // 0..15
    uint8_t parameter;
};

struct ModSample {
    uint32_t length;    // bytes
    uint32_t loopStart; // bytes
    uint32_t loopEnd;   // bytes; 0 = no loop
    uint16_t volume;    // 0..255
    uint16_t unused = 0x7FFF;
    uint8_t finetune; // the file's byte
};

// The song data of a ModPlayer.
struct ModSong {
    uint16_t restartPosition = 0;
    char title[modTitleLength + 1] = {};
    char sampleNames[modMaxSamples][modSampleNameLength + 1] = {};
    uint16_t highestPattern = 0;
    uint16_t order[modOrderSlots] = {};
    uint16_t songLength = 0;
    uint16_t channels = 0;
    ModSample samples[modMaxSamples] = {};
    // Patterns 0..highestPattern, each `channels` tracks of 64 cells in a row.
    std::unique_ptr<ModCell[]> cells;
    VoiceSet* voices = nullptr;
    TrackerType trackerType = trackerSoundTracker;
    uint16_t sampleCount = 0;
    uint32_t usedEffects = 0;
    uint16_t periodMin = 107, periodMax = 907;
    int32_t lengthMs = 0;

    // The 64 cells of one channel of a pattern.
    const ModCell* track(int pattern, int channel) const {
        return &cells[(size_t(pattern) * channels + size_t(channel)) * modRows];
    }
    ModCell* track(int pattern, int channel) {
        return &cells[(size_t(pattern) * channels + size_t(channel)) * modRows];
    }
};

} // namespace pelmit
