// A Mixer of its own for tests and the WAV tool: opened at a rate, with a block
// size, some voices in use and samples from memory, read out the way the decode
// thread reads it.
#pragma once

#include "pelmit/mixer/mixer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelmit::test {

struct RigOptions {
    uint32_t rate = 44100;
    uint32_t voices = 1;
    bool stereo = false;
    bool boost = false;
    uint32_t blockSize = 882;
    int32_t separation = 0;
};

class MixerRig {
public:
    explicit MixerRig(const RigOptions& options = {});

    Mixer& mixer() { return *m; }
    VoiceSet& voices() { return set; }

    // Uploads a sample (loopEnd 0 = no loop).
    void load(uint8_t slot, const std::vector<int8_t>& bytes, uint32_t loopStart = 0,
              uint32_t loopEnd = 0, uint8_t flags = 0);
    // Sends a command, dropping what is rendered and not yet read, so that the
    // next read starts with the command's effect.
    void command(uint32_t voice, const VoiceCommand& c) {
        m->resetOutput();
        m->voiceCommand(&c, voice);
    }
    // Starts a slot on a voice at a period, full volume.
    void play(uint32_t voice, uint8_t slot, uint32_t period, uint32_t offset = 0);

    // Renders one block.
    void tick() { m->render(&set); }
    // Reads `frames` frames, ticking whenever the ring runs short; 16-bit
    // samples, interleaved in stereo.
    std::vector<int16_t> read(uint32_t frames);

private:
    std::unique_ptr<Mixer> m = std::make_unique<Mixer>();
    uint32_t voiceList[mixerVoiceCount] = {};
    VoiceSet set = {};
    bool stereo;
};

VoiceCommand trigger(uint8_t slot, uint32_t period, uint32_t offset = 0);

// Frequency of a signal from its rising zero crossings (interpolated between
// frames); `stride` 2 with `channel` picks one side of interleaved stereo.
double zeroCrossingFrequency(const std::vector<int16_t>& pcm, uint32_t rate, uint32_t stride = 1,
                             uint32_t channel = 0);

// A looped square wave of `length` bytes: the first half high, the rest low.
std::vector<int8_t> squareWave(uint32_t length, int8_t high = 100);
// Deterministic white noise.
std::vector<int8_t> whiteNoise(uint32_t length, uint32_t seed = 1);

// 16-bit PCM WAV; a file that cannot be written throws with its path.
void writeWav(const std::string& path, const std::vector<int16_t>& pcm, uint32_t rate,
              uint32_t channels);

} // namespace pelmit::test
