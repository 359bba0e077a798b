// SoundMon tunes: the 2.0 format ("V.2") and the 2.2 format ("V.3"), with
// sample instruments and synth instruments that play a window of the synth
// tables while their ADSR, LFO, EG, FX and MOD sequences reshape it.
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

constexpr int soundMonInstrumentCount = 15;
constexpr int soundMonVoiceCount = 4;
constexpr int soundMonRowsPerPattern = 16;
constexpr uint32_t soundMonTableSize = 64;
// A song that has not ended by then (a 2.2 jump to its own position loops for
// ever) ends after 30 minutes, in play as in the length measurement.
constexpr uint32_t soundMonTickLimit = 30 * 60 * 50;

// Entry i is the period of note i - 35.
extern const std::array<uint16_t, 84> soundMonPeriods;
extern const std::array<int16_t, 8> soundMonVibrato;

// The LED-filter switch of the replayer (effect 3 and the start of a song),
// copied from the EmulateFilter setting.
extern std::atomic<int> soundMonEmulateFilter;

enum SoundMonKind : int32_t { soundMonSample = 0, soundMonSynth = 1, soundMonEmpty = 2 };

struct SoundMonStep {
    uint16_t pattern; // the file's number minus 1
    int8_t soundTranspose;
    int8_t noteTranspose;
};

struct SoundMonRow {
    int8_t note; // 0 = no note
    uint8_t instrument;
    uint8_t effect;
    uint8_t parameter;
};

struct SoundMonInstrument {
    int32_t kind;
    int32_t sampleSlot; // the synth slot for synth instruments, -1 for empty ones
    char name[25];
    uint16_t volume;
    // Sample instruments, in bytes.
    uint32_t length, loopStart, loopLength;
    // Synth instruments: tables are synth-table numbers, lengths count table
    // bytes, delays and speeds count ticks.
    uint8_t waveTable;
    uint32_t waveLength;
    uint8_t adsrControl, adsrTable;
    uint16_t adsrLength;
    uint8_t adsrSpeed;
    uint8_t lfoControl, lfoTable, lfoDepth;
    uint16_t lfoLength, lfoDelay;
    uint8_t lfoSpeed;
    uint8_t egControl, egTable;
    uint16_t egLength, egDelay;
    uint8_t egSpeed, egOffset;
    uint8_t fxControl, fxSpeed, fxDelay;
    uint8_t modControl, modTable, modSpeed, modDelay, modLength;
};

struct SoundMonVoice {
    uint16_t period;        // bit 15: a note start is pending
    uint8_t volumeOverride; // 0xFF: the instrument's volume
    uint8_t instrument;     // 1-15; 0 = none
    int8_t note;
    uint8_t arpeggio;
    int8_t autoslide;
    uint8_t autoArpeggio;
    uint16_t egPosition, lfoPosition, adsrPosition;
    uint16_t egCounter, lfoCounter, adsrCounter;
    uint8_t egValue, synthActive, egControl, lfoControl, adsrControl;
    int32_t modifiedWave; // the synth table this voice may change; -1 = none
    int8_t waveBackup[32];
    VoiceCommand command;
    uint16_t modPosition;
    uint8_t modCounter, fxCounter, modControl, fxControl, vibratoDivisor;
};

// 1 when the stream holds a SoundMon tune; the stream is then left after the
// instrument records.
int identifySoundMon(std::FILE* stream, const char* path = nullptr);
// The first 26 bytes of the file; an empty title when it cannot be read.
void readSoundMonTitle(const char* path, char* title, size_t size);

class SoundMonPlayer final : public FormatPlayer {
public:
    SoundMonPlayer() = default;
    ~SoundMonPlayer() override;
    SoundMonPlayer(const SoundMonPlayer&) = delete;
    SoundMonPlayer& operator=(const SoundMonPlayer&) = delete;

    int loadSong(const char* path) override;
    void startSong() override;
    void stopSong() override;
    void releaseSong() override;
    int songFinished() override { return int(songEnded); }
    void songTitle(char* buffer, size_t size) override;
    int songLengthMs() override { return lengthMs; }
    int seekToMs(int targetMs) override;

    static FormatPlayer* create();

    // What the information dialog shows, and what tests look at.
    int variant() const { return synthVariant; }
    uint32_t tableCount() const { return synthTableCount; }
    uint32_t stepCount() const { return steps ? stepTotal : 0; }
    uint32_t patternCount() const { return patternTotal; }
    uint32_t effectsUsed() const { return usedEffects; }
    int32_t synthSlotNumber() const { return synthSlot; }
    const SoundMonInstrument& instrument(int i) const { return instruments[uint32_t(i) % 15]; }
    const SoundMonStep& step(uint32_t i) const { return steps[i]; }
    const SoundMonRow& patternRowAt(uint32_t pattern, uint32_t r) const {
        return rows[pattern * soundMonRowsPerPattern + r];
    }
    const int8_t* tables() const { return synthTables.get(); }
    const SoundMonVoice& voice(int v) const { return voices[v & 3]; }
    uint32_t currentSpeed() const { return speed; }
    uint32_t currentPosition() const { return position; }
    uint32_t currentRow() const { return row; }

private:
    int load(std::FILE* f);
    void readInstrument(std::FILE* f, SoundMonInstrument& in);
    void measure();
    // Resets the song and starts the timer on it at 125 BPM; null without a timer.
    TickTimer* begin();
    void reset();
    void restoreTables();

    static void tickCallback(void* self);
    void tick();
    void voicePeriods();
    void rowStep(int v);
    void advanceRow();
    void noteStart(int v);
    void synthStep();
    void waveEffects(SoundMonVoice& vc, const SoundMonInstrument& in);
    int8_t tableByte(uint32_t table, uint32_t position) const;
    void writeWave(uint32_t offset, int8_t value);
    void restoreWave(SoundMonVoice& vc);

    // From loading.
    char title[27] = {};
    int synthVariant = 2;
    uint32_t synthTableCount = 0;
    uint32_t stepTotal = 0;
    uint32_t patternTotal = 0;
    uint32_t usedEffects = 0;
    std::unique_ptr<SoundMonStep[]> steps;
    std::unique_ptr<SoundMonRow[]> rows;
    std::unique_ptr<int8_t[]> synthTables;
    std::unique_ptr<int8_t[]> pristineSynthTables;
    int32_t synthSlot = -1;
    SoundMonInstrument instruments[soundMonInstrumentCount] = {};
    VoiceSet* voiceSet = nullptr;
    int32_t lengthMs = 0;

    // Playing state.
    uint32_t playing = 0;
    TickInProgress inTick;
    uint32_t songEnded = 0;
    uint32_t speed = 6, speedCounter = 1;
    uint32_t arpeggioPhase = 1;
    uint32_t repeatCount = 1;
    uint32_t position = 0, row = 0;
    uint32_t jumpPending = 0, jumpTarget = 0;
    uint32_t vibratoPhase = 0;
    uint32_t tickCount = 0;
    SoundMonVoice voices[soundMonVoiceCount] = {};
};

} // namespace pelmit
