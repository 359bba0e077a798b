// The software mixer: 256 voices playing 8-bit signed samples at Amiga periods,
// mixed into a ring of 16-bit frames that the decode thread reads in blocks.
//
// Players call the front operations (allocateVoices, sendVoiceCommand,
// renderVoices, ...), which pass through the AudioEngine and come back as the
// SoundDevice operations below. One tick of a player is any number of voice
// commands followed by one renderVoices, which renders one block of the tick's
// length. There is one Mixer, `mixer`. It takes no locks: only the decode
// thread renders and reads during play; the two values the host's thread may
// change meanwhile, voice pans (setSeparation) and the Interpolation setting,
// are read as whole atomic words.
#pragma once

#include "pelmit/mixer/sound_device.h"

#include <cstdint>

namespace pelmit {

constexpr uint32_t mixerVoiceCount = 256;
constexpr uint32_t mixerSlotCount = 256;
// Frames of the output ring, and the guard frames behind its end that the LED
// filter reads past the wrap.
constexpr uint32_t ringFrames = 65536;
constexpr uint32_t ringGuardFrames = 4;
// Periods whose steps come from the table; larger ones are computed per command.
constexpr uint32_t periodTableSize = 3628;
// The output rates the Mixer accepts; others are clamped into this range.
constexpr uint32_t minSampleRate = 8000;
constexpr uint32_t maxSampleRate = 192000;

// outputFlags bits. Together (0-15) they choose the output converter.
enum : uint32_t {
    outputStereo = 0x1,
    output16Bit = 0x2,
    outputSigned = 0x4,
    outputLedFilter = 0x8,
};

// A rate as the Mixer uses it: clamped to minSampleRate..maxSampleRate.
uint32_t saneSampleRate(int64_t rate);

// A 16.16 step of source bytes per output frame for an Amiga period at a rate,
// from the PAL clock. Period 0 gives 0.
uint32_t periodToStep(uint32_t period, uint32_t rate);

// One sample slot. Empty: all four pointers null. Loops always lie inside
// start..end with loopStart < loopEnd.
struct SampleSlot {
    int8_t* start;
    int8_t* end; // one past the last byte
    int8_t* loopStart;
    int8_t* loopEnd; // null: no loop
    uint32_t owned;  // allocated by the Mixer, freed by freeSamples
    uint32_t wordSwapped;
};

// One voice. The exact read point is position + fraction (16.16); position
// moves in even steps so that word-swapped reads stay on word boundaries.
struct MixerVoice {
    const int8_t* position;   // null: stopped
    const int8_t* segmentEnd; // end of the stretch now playing
    const int8_t* loopStart;  // where play continues after the stretch; null: stop
    const int8_t* loopEnd;    // the segmentEnd that goes with loopStart
    uint32_t step;            // 16.16 bytes per frame; 0 freezes the voice
    uint16_t volume;          // 0-255
    uint16_t pan;             // 0 (left) to 255 (right)
    uint32_t fraction;        // 16.16, below 2.0 between runs
    int32_t delay;            // frames to wait before sounding
    uint32_t wordSwapped;
};

// The output ring's cursors (for the decode thread's accounting and for tests).
struct RingCursors {
    uint32_t renderLimit, renderPos, fifoCount, readLimit, readPos;
};

class Mixer final : public SoundDevice {
public:
    Mixer() = default;
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // --- SoundDevice operations ---------------------------------------------
    // Empties the slots, allocates the ring and the volume table, resets the
    // cursors and clears outputFlags. 1 when every allocation succeeded.
    uint32_t openDevice() override;
    void closeDevice() override;
    // Voices 0..count-1: default pan, volume 0, stopped.
    uint32_t resetVoices(const VoiceSet* set) override;
    void setDeviceOption(uint32_t option) override;
    void voiceCommand(const VoiceCommand* command, uint32_t voice) override;
    // Mixes one block of the set's voices; returns frameCounter after it.
    uint32_t render(const VoiceSet* set) override;
    // Copy bytes out of or into a slot in memory order; the part of the range
    // outside the slot is not copied (reads give 0 there).
    void readSample(void* destination, uint32_t slot, uint32_t offset, uint32_t length) override;
    void writeSample(const void* source, uint32_t slot, uint32_t offset, uint32_t length) override;
    // Copies the sample into memory of the Mixer's own. 0 when memory ran out.
    uint32_t uploadSample(uint32_t slot, const SampleDescriptor* descriptor) override;
    uint32_t isAvailable() override { return 1; }
    // Counts the voices in use and rebuilds the volume table for that many.
    void updateVoiceUsage(const uint32_t inUse[256]) override;
    const DeviceInfo* deviceInfo() override { return nullptr; }
    TickTimer* deviceTickTimer() override { return nullptr; }
    // Choose the gain of the next volume-table build.
    void boostOn() override { boost = 1; }
    void boostOff() override { boost = 0; }
    // Frees every owned slot and empties the attached ones (their memory stays
    // the caller's), so no slot outlives the player that filled it.
    void freeSamples() override;
    // Stores the rate (clamped by saneSampleRate) and rebuilds the step table.
    void setDeviceRate(uint32_t rate) override;

    // --- Front operations for players ----------------------------------------
    // Finds the AudioEngine, frees every voice and opens the device through it.
    uint32_t connect();
    uint32_t findEngine();
    void disconnect();
    // The lowest `count` free voices, reset and counted in the volume table;
    // null when fewer are free.
    VoiceSet* allocateVoices(uint32_t count);
    // Voice numbers outside the set are ignored.
    void sendVoiceCommand(VoiceSet* set, const VoiceCommand* command);
    uint32_t renderVoices(VoiceSet* set);
    // Frees the set and its voices, rebuilds the table and frees the samples.
    void releaseVoices(VoiceSet* set);
    void readSampleBytes(VoiceSet* set, void* destination, uint32_t slot, uint32_t offset,
                         uint32_t length);
    void writeSampleBytes(VoiceSet* set, const void* source, uint32_t slot, uint32_t offset,
                          uint32_t length);
    uint32_t loadSample(VoiceSet* set, const SampleDescriptor* descriptor);
    // Plays the caller's memory in place as a slot (the emulated Amiga's chip
    // RAM as slot 0, word-swapped). An empty descriptor empties the slot.
    void attachSampleMemory(uint32_t slot, const SampleDescriptor* descriptor);
    TickTimer* getTickTimer();
    void enableBoost();
    void setSampleRate(uint32_t rate);

    // --- Output stage ----------------------------------------------------------
    // Converts `frames` frames of the ring into destination in the current
    // output format; 0 and no change when the ring holds too few (the LED filter
    // needs 4 more, which stay in the ring).
    uint32_t readBlock(void* destination, uint32_t frames);
    // Frames per render call (the tick length): 0 is ignored, more than the
    // ring is cut to the ring.
    void setBlockSize(uint32_t frames);
    void setStereo() { outputFlags |= outputStereo; }
    void set16Bit() { outputFlags |= output16Bit; }
    void setSigned() { outputFlags |= outputSigned; }
    void setLedFilter(uint32_t on);
    // Empties the ring; players call it when a song starts or after a seek.
    void resetOutput();
    // Stores the separation (0-128, negative for reversed stereo) and repans
    // voices 0..activeVoices-1 at once. Safe from the host's thread while the
    // decode thread renders: each pan is one atomic 16-bit store.
    void setSeparation(int32_t separation);
    // Skip mode: rendering moves the voices and counts frames without mixing or
    // touching the ring. beginSkip zeroes the frame counter; endSkip returns
    // elapsedMs and leaves skip mode.
    void beginSkip(uint32_t unused = 0);
    int32_t endSkip();
    // Milliseconds of frames rendered since the last beginSkip.
    int32_t elapsedMs() const;

    // --- State for the decode thread, players and tests --------------------------
    uint32_t outputRate() const { return rate; }
    uint32_t currentBlockSize() const { return blockSize; }
    uint32_t frameCount() const { return frameCounter; }
    uint32_t queuedFrames() const { return fifoCount; }
    uint32_t inSkipMode() const { return skipMode; }
    uint32_t voicesInUse() const { return activeVoices; }
    uint32_t currentOutputFlags() const { return outputFlags; }
    RingCursors ringCursors() const;
    const MixerVoice& voiceState(uint32_t voice) const { return voices[voice & 0xFF]; }
    const SampleSlot& slotState(uint32_t slot) const { return slots[slot & 0xFF]; }
    // Volume table entry for a row and a signed sample byte; 0 when closed.
    int16_t tableValue(uint32_t row, int8_t sample) const;

private:
    void renderVoice(MixerVoice& v);
    void beginRingBlock();
    void endRingBlock();
    void emptySlot(SampleSlot& slot);
    void fillSlot(SampleSlot& slot, int8_t* data, const SampleDescriptor& descriptor);
    uint32_t stepFor(uint32_t period) const;
    uint32_t defaultPan(uint32_t voice) const;

    uint32_t activeVoices = 0;
    uint32_t blockSize = 0;
    uint32_t outputFlags = 0;
    uint32_t rate = 0;
    int16_t (*volumeTable)[256] = nullptr;
    int16_t* leftBuffer = nullptr;
    int16_t* rightBuffer = nullptr;
    uint32_t renderLimit = 0, renderPos = 0, fifoCount = 0, readLimit = 0, readPos = 0;
    SampleSlot slots[mixerSlotCount] = {};
    MixerVoice voices[mixerVoiceCount] = {};
    uint32_t boost = 0;
    int32_t separation = 0;
    uint32_t skipMode = 0;
    uint32_t frameCounter = 0;
    SoundDevice* engine = nullptr;
    uint32_t voiceInUse[mixerVoiceCount] = {};
    // Where the ring wrapped last: the guard frames behind it mirror frames 0-3,
    // refreshed until the new lap has rendered all four.
    uint32_t guardPlace = 0;
    uint32_t guardPending = 0;
    uint32_t periodStepTable[periodTableSize + 1] = {}; // entry 0 unused
};

// The one Mixer of the plug-in.
extern Mixer mixer;

} // namespace pelmit
