// SoundFX 1.3 tunes: four channels, 15 samples, six ticks a row, the tick rate
// set by a CIA timer value stored in the file. The file is recognised by the
// tag "SONG" at offset 60.
#pragma once

#include "pelmit/format_player.h"
#include "pelmit/formats/player_controls.h"
#include "pelmit/mixer/sound_device.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace pelmit {

constexpr int sfxSampleCount = 15;
constexpr int sfxChannelCount = 4;
constexpr int sfxRowsPerPattern = 64;
constexpr int sfxOrderCount = 128;
// Note code of a cell without a note; codes 0..47 index sfxPeriods, and codes
// 0xE9..0xFF stand for the special period words 0xFFE9..0xFFFF.
constexpr uint8_t sfxNoNote = 60;

// The four octaves of SoundFX periods.
extern const std::array<uint16_t, 48> sfxPeriods;
// Periods for a note code plus or minus up to a semitone count: the lowest
// and highest periods of sfxPeriods repeated at either end.
extern const std::array<uint16_t, 72> sfxArpeggioPeriods;

// One pattern cell as the replayer reads it.
struct SfxCell {
    uint8_t note; // 0..47, sfxNoNote, or a special code 0xE9..0xFF
    uint8_t sample;
    uint8_t effect;
    uint8_t parameter;
};

struct SfxChannel {
    uint16_t rowPeriod; // the period word of the current row; 0 without a note
    uint8_t sample;
    uint8_t effect;
    uint8_t parameter;
    uint8_t note;
    int16_t slideStep;
    uint16_t slidePeriod;
    uint16_t slideTarget;
    // Kept between ticks and sent on every tick; only the flags are cleared.
    VoiceCommand command;
};

struct SfxSample {
    char name[23];
    uint32_t size;       // bytes of sample data in the file
    uint32_t length;     // bytes the record describes
    uint32_t loopStart;  // bytes
    uint32_t loopLength; // bytes; 0 = no loop
    uint16_t volume;     // 0-64
};

// Nonzero when the four bytes at offset 60 are "SONG".
int identifySoundFx(std::FILE* stream, const char* path);

class SoundFxPlayer final : public FormatPlayer {
public:
    SoundFxPlayer() = default;
    ~SoundFxPlayer() override;
    SoundFxPlayer(const SoundFxPlayer&) = delete;
    SoundFxPlayer& operator=(const SoundFxPlayer&) = delete;

    int loadSong(const char* path) override;
    void startSong() override;
    void stopSong() override;
    void releaseSong() override;
    uint16_t songPosition() override { return uint16_t(position); }
    // Positions past the song's orders are ignored: they name no pattern.
    void setSongPosition(uint16_t p) override {
        if (p < songLength) position = p;
    }
    int patternRow() override { return int(row); }
    int songFinished() override { return int(ended); }
    void songTitle(char* buffer, size_t size) override;
    int songLengthMs() override { return int(lengthMs); }
    int seekToMs(int targetMs) override;

    static FormatPlayer* create();

    // What the information dialog shows, and what tests look at.
    const SfxChannel& channel(int c) const { return channels[c & 3]; }
    const SfxSample& sample(int i) const { return samples[uint32_t(i) % sfxSampleCount]; }
    uint32_t orderCount() const { return songLength; }
    uint32_t patternCount() const { return patternTotal; }
    uint32_t effectsUsed() const { return usedEffects; }
    uint16_t timer() const { return timerValue; }

private:
    static void tickCallback(void* self);
    int load(std::FILE* f, const char* path);
    // Resets the song and starts the tick timer on it; null without a timer.
    TickTimer* begin();
    void reset();
    void tick();
    void readRow();
    void laterTick(SfxChannel& ch);

    int32_t lengthMs = 0;
    int32_t started = 0;
    TickInProgress inTick;
    VoiceSet* voices = nullptr;
    uint8_t orders[sfxOrderCount] = {};
    std::unique_ptr<SfxCell[]> patterns;
    char title[256] = {};
    uint16_t tickCounter = 0;
    uint32_t position = 0;
    uint32_t row = 0;
    uint32_t ended = 0;
    SfxChannel channels[sfxChannelCount] = {};
    uint16_t timerValue = 0;
    SfxSample samples[sfxSampleCount] = {};
    uint32_t songLength = 0;
    uint32_t patternTotal = 0;
    uint32_t usedEffects = 0;
};

} // namespace pelmit
