// The device the Mixer finds at start-up: it names itself, forwards the voice,
// sample and render work to the Mixer, sets the output format when it opens,
// and is the players' tick timer. There is no real clock: a tick happens when
// someone calls runTick (the decode thread when the ring runs short, players in
// their length and seek loops), and each tick renders one block of the tick's
// length.
#pragma once

#include "pelmit/mixer/sound_device.h"
#include "pelmit/mixer/tick_timer.h"

#include <cstdint>

namespace pelmit {

class Mixer;

class AudioEngine final : public SoundDevice, public TickTimer {
public:
    explicit AudioEngine(Mixer& mixer) : mixer(mixer) {}
    // Unloading the plug-in stops the timer.
    ~AudioEngine() { stop(); }
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // --- SoundDevice: forwarded to the Mixer, except where noted ----------------
    // Opens the Mixer and sets 16-bit signed stereo without the LED filter at
    // the SampleRate setting.
    uint32_t openDevice() override;
    void closeDevice() override;
    uint32_t resetVoices(const VoiceSet* set) override;
    void setDeviceOption(uint32_t option) override;
    void voiceCommand(const VoiceCommand* command, uint32_t voice) override;
    uint32_t render(const VoiceSet* set) override;
    void readSample(void* destination, uint32_t slot, uint32_t offset, uint32_t length) override;
    void writeSample(const void* source, uint32_t slot, uint32_t offset, uint32_t length) override;
    uint32_t uploadSample(uint32_t slot, const SampleDescriptor* descriptor) override;
    uint32_t isAvailable() override { return 1; }
    void updateVoiceUsage(const uint32_t inUse[256]) override;
    const DeviceInfo* deviceInfo() override; // "Default", 256 voices
    TickTimer* deviceTickTimer() override { return this; }
    void boostOn() override;
    void boostOff() override;
    void freeSamples() override;
    // Keeps the rate for the tick lengths, then sets it in the Mixer.
    void setDeviceRate(uint32_t rate) override;

    // --- TickTimer -----------------------------------------------------------
    void setCallback(TickCallback callback, void* argument) override;
    void setParameter(uint32_t) override {}
    // Tick length ((rate * 125) / (bpm & 0xFF)) / 50 frames.
    void setBpm(uint32_t bpm) override;
    // Tick length (value & 0xFFFF) periods of the PAL CIA clock, in frames.
    void setCiaTimer(uint32_t value) override;
    void start() override { running = 1; }
    void stop() override { running = 0; }
    void release() override {}

    // One tick: calls the player's tick routine while the timer runs.
    void runTick();

    uint32_t tickLength() const { return samplesPerTick; }
    uint32_t isRunning() const { return running; }

private:
    // A tick length of 0 (a tempo of 0, too small a timer value) is ignored and
    // the last one kept; longer ticks than the ring are cut to the ring.
    void applyTickLength(int64_t frames);

    Mixer& mixer;
    TickCallback callback = nullptr;
    void* callbackArgument = nullptr;
    uint32_t running = 0;
    uint32_t rate = 0;
    uint32_t samplesPerTick = 0;
};

// The one AudioEngine, and the device pointer that the Mixer's findEngine reads.
extern AudioEngine audioEngine;
extern SoundDevice* const engineDevice;

} // namespace pelmit
