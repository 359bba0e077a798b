// Future Composer 1.0-1.4 tunes: "SMOD" files (1.0-1.3), which play the
// built-in waves, and "FC14" files (1.4), which bring their own waves and may
// hold sample packs. Each voice walks its own patterns; every tick it runs a
// frequency sequence and a volume sequence that pick sounds, pitches and the
// envelope, and adds vibrato, portamento and pitch bend.
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

// 1 when the stream starts with "SMOD" or "FC14".
int identifyFutureComposer(std::FILE* stream);
FormatPlayer* createFutureComposerPlayer();

constexpr int fcSoundCount = 90; // samples 0-9, then waves 0-79
constexpr int fcPackEntries = 10;
constexpr uint32_t fcSequenceBytes = 64;
constexpr uint32_t fcSequenceAreaBytes = 4096;
constexpr uint32_t fcPatternBytes = 64; // 32 rows of note and info
constexpr uint32_t fcStepBytes = 13;

// Every volume and frequency sequence starts as this one: a short blip that
// stops, so sequences the file does not fill are harmless.
inline constexpr uint8_t fcDefaultSequence[fcSequenceBytes] = {0x01, 0, 0, 0, 0, 0, 0, 0xE1};

// Amiga periods of notes 0-127 (and four more).
extern const std::array<uint16_t, 132> fcPeriods;

// The sub-samples of a sample pack ("SSMP"), clipped to the pack.
struct FcPackEntry {
    const uint8_t* start; // null: no sub-sample
    uint32_t length;      // bytes
    uint32_t loopStart;   // bytes
    uint32_t loopLength;  // bytes
};

// 1 when the bytes begin with "SSMP"; then fills the 10 entries. Entries whose
// record or data lies past the pack are left empty, data running past it is cut.
int unpackSamplePack(const uint8_t* bytes, uint32_t size, FcPackEntry (&table)[fcPackEntries]);

// A sound's sample slot, and the slots of its pack's sub-samples.
struct FcSound {
    int32_t slot = -1; // -1: none
    bool hasPack = false;
    int32_t packSlots[fcPackEntries] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// A read position in a sequence area (or in the default sequence). Bytes
// outside the area read as E1, so a sequence that runs off its area stops.
struct FcSequenceCursor {
    const uint8_t* area = nullptr;
    uint32_t areaSize = 0;
    uint32_t start = 0; // offset of the sequence in the area
    uint16_t position = 0;

    uint8_t at(uint32_t ahead = 0) const;
};

struct FcVoice {
    uint32_t index = 0;
    uint32_t position = 0; // step
    int32_t pattern = -1;  // offset of the pattern in the pattern data; -1: empty pattern
    uint32_t row = 0;      // 0-32
    int8_t transpose = 0;  // added to notes
    int8_t soundTranspose = 0;
    uint8_t note = 0;
    uint8_t info = 0;

    FcSequenceCursor volumeSequence;
    uint8_t volumeSpeed = 1, volumeSpeedCounter = 1;
    uint8_t volumeSustain = 0;
    uint8_t volume = 0;
    int8_t slideStep = 0;
    uint8_t slideCount = 0;
    uint32_t slideToggle = 0;

    FcSequenceCursor frequencySequence;
    uint8_t frequencySustain = 0;
    uint8_t frequencyValue = 0;

    uint8_t vibratoSpeed = 0, vibratoDepth = 0, vibratoValue = 0, vibratoDelay = 0;
    bool vibratoRising = false;

    uint8_t portamentoParameter = 0;
    uint16_t portamentoValue = 0; // running period offset of portamento and pitch bend
    uint32_t portamentoToggle = 0;
    int8_t pitchBendSpeed = 0;
    uint8_t pitchBendTime = 0;
    uint32_t pitchBendToggle = 0;

    int32_t currentSlot = -1;
    VoiceCommand command = {};
};

class FutureComposerPlayer final : public FormatPlayer {
public:
    FutureComposerPlayer() = default;
    ~FutureComposerPlayer() override;
    FutureComposerPlayer(const FutureComposerPlayer&) = delete;
    FutureComposerPlayer& operator=(const FutureComposerPlayer&) = delete;

    int loadSong(const char* path) override;
    // The same from an open stream; path gives the title.
    int loadSong(std::FILE* stream, const char* path);
    void startSong() override;
    void stopSong() override;
    void releaseSong() override;
    int songFinished() override { return int(songEnded); }
    // At most 63 characters of the title.
    void songTitle(char* buffer, size_t size) override;
    int songLengthMs() override { return lengthMs; }
    int seekToMs(int targetMs) override;

    // What the song information shows.
    bool isVersion14() const { return variant == 1; }
    uint32_t stepCount() const { return steps; }
    uint32_t patternCount() const { return patterns; }
    uint8_t currentSpeed() const { return speed; }
    // The speed the song starts with: step 0's, or 3 when that is 0.
    uint8_t initialSpeed() const { return sequence && sequence[12] ? sequence[12] : 3; }

    // The state of a voice (0-3) and of the sounds, for the information dialog
    // and tests.
    const FcVoice& voice(int index) const { return voices[index & 3]; }
    const FcSound& sound(int index) const { return sounds[index]; }

    // One tick, as the timer calls it.
    static void tickCallback(void* player);

private:
    // Loader.
    bool readFutureComposer(std::FILE* stream);
    void loadSamples(std::FILE* stream, const uint16_t (&sampleInfo)[10][3], uint32_t& slot);
    void loadWaves(std::FILE* stream, const uint8_t (&waveLengths)[80], uint32_t& slot);
    void freeSong();

    // Replayer.
    void reset();
    void startTimer();
    void measure();
    void tick();
    void newRow(FcVoice& v);
    void takeStep(FcVoice& v);
    uint8_t patternByte(const FcVoice& v, uint32_t offset) const;
    void voiceEffects(FcVoice& v);
    bool runFrequencySequence(FcVoice& v);
    void runVolumeSequence(FcVoice& v);
    void slideVolume(FcVoice& v);
    int32_t soundSlot(uint8_t sound) const;

    VoiceSet* voiceSet = nullptr;
    uint32_t variant = 0; // 1: "FC14", 0: "SMOD"
    uint32_t steps = 0, patterns = 0;
    uint32_t frequencySequences = 0, volumeSequences = 0;
    std::unique_ptr<uint8_t[]> sequence;
    std::unique_ptr<uint8_t[]> patternData;
    uint32_t patternDataSize = 0;
    std::unique_ptr<uint8_t[]> volumeArea, frequencyArea;
    FcSound sounds[fcSoundCount];
    char title[256] = {};

    std::atomic<int> playing{0};
    TickInProgress inTick;
    uint32_t songEnded = 0;
    uint32_t tickCount = 0;
    uint8_t speed = 3, speedCounter = 3;
    FcVoice voices[4];
    int lengthMs = 0;
};

} // namespace pelmit
