// The AudioEngine: device forwarding and the tick timer.
#include "pelmit/mixer/audio_engine.h"

#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <algorithm>
#include <atomic>

namespace pelmit {

AudioEngine audioEngine(mixer);
SoundDevice* const engineDevice = &audioEngine;

namespace {

const DeviceInfo defaultDevice = {"Default", 256};

// The single-precision number nearest 1 / 709,378.92 (the PAL CIA clock, a tenth
// of 7,093,789.2 Hz), widened: the tick table depends on this exact value.
constexpr double ciaPeriodSeconds = static_cast<double>(static_cast<float>(1.0 / 709378.92));

} // namespace

uint32_t AudioEngine::openDevice() {
    if (!mixer.openDevice()) return 0;
    mixer.setStereo();
    mixer.set16Bit();
    mixer.setSigned();
    rate = saneSampleRate(
        std::atomic_ref<int32_t>(settings.SampleRate).load(std::memory_order_relaxed));
    mixer.setLedFilter(0);
    mixer.setDeviceRate(rate);
    return 1;
}

void AudioEngine::closeDevice() {
    mixer.closeDevice();
}
uint32_t AudioEngine::resetVoices(const VoiceSet* set) {
    return mixer.resetVoices(set);
}
void AudioEngine::setDeviceOption(uint32_t option) {
    mixer.setDeviceOption(option);
}
void AudioEngine::voiceCommand(const VoiceCommand* command, uint32_t voice) {
    mixer.voiceCommand(command, voice);
}
uint32_t AudioEngine::render(const VoiceSet* set) {
    return mixer.render(set);
}
void AudioEngine::readSample(void* destination, uint32_t slot, uint32_t offset, uint32_t length) {
    mixer.readSample(destination, slot, offset, length);
}
void AudioEngine::writeSample(const void* source, uint32_t slot, uint32_t offset, uint32_t length) {
    mixer.writeSample(source, slot, offset, length);
}
uint32_t AudioEngine::uploadSample(uint32_t slot, const SampleDescriptor* descriptor) {
    return mixer.uploadSample(slot, descriptor);
}
void AudioEngine::updateVoiceUsage(const uint32_t inUse[256]) {
    mixer.updateVoiceUsage(inUse);
}
const DeviceInfo* AudioEngine::deviceInfo() {
    return &defaultDevice;
}
void AudioEngine::boostOn() {
    mixer.boostOn();
}
void AudioEngine::boostOff() {
    mixer.boostOff();
}
void AudioEngine::freeSamples() {
    mixer.freeSamples();
}

void AudioEngine::setDeviceRate(uint32_t newRate) {
    rate = saneSampleRate(newRate);
    mixer.setDeviceRate(rate);
}

void AudioEngine::setCallback(TickCallback function, void* argument) {
    callback = function;
    callbackArgument = argument;
}

void AudioEngine::setBpm(uint32_t bpm) {
    const int32_t b = static_cast<int32_t>(bpm & 0xFF);
    if (b == 0) return;
    applyTickLength(static_cast<int32_t>(rate * 125) / b / 50);
}

void AudioEngine::setCiaTimer(uint32_t value) {
    const double v = value & 0xFFFF;
    applyTickLength(static_cast<int64_t>(v * rate * ciaPeriodSeconds));
}

void AudioEngine::applyTickLength(int64_t frames) {
    if (frames <= 0) return;
    const uint32_t t = static_cast<uint32_t>(std::min<int64_t>(frames, ringFrames));
    if (t == samplesPerTick) return;
    samplesPerTick = t;
    mixer.setBlockSize(t);
}

void AudioEngine::runTick() {
    if (callback && running) callback(callbackArgument);
}

} // namespace pelmit
