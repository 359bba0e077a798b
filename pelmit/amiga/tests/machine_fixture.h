// What the machine's tests share: a booted machine whose four voices are
// the first of the one Mixer, connected at 44,100 Hz, and a tick timer that
// records the CIA values it is given.
#pragma once

#include "pelmit/amiga/amiga_machine.h"
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace pelmit::test {

class RecordingTimer final : public TickTimer {
public:
    std::vector<uint32_t> ciaValues;
    void setCallback(TickCallback, void*) override {}
    void setParameter(uint32_t) override {}
    void setBpm(uint32_t) override {}
    void setCiaTimer(uint32_t value) override { ciaValues.push_back(value); }
    void start() override {}
    void stop() override {}
    void release() override {}
};

class BootedMachine : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SampleRate = 44100;
        ASSERT_EQ(mixer.connect(), 1u);
        voices = mixer.allocateVoices(4);
        ASSERT_NE(voices, nullptr);
        machine = std::make_unique<AmigaMachine>();
        ASSERT_EQ(machine->bootMachine(), 1u);
        machine->setVoiceSet(voices);
        machine->setTickTimer(&timer);
    }
    void TearDown() override {
        mixer.releaseVoices(voices);
        machine.reset();
        mixer.disconnect();
    }

    const MixerVoice& voice(uint32_t channel) const {
        return mixer.voiceState(voices->voices[channel]);
    }
    // Where a byte offset of chip RAM lies for the Mixer (slot 0).
    static const int8_t* chip(uint32_t offset = 0) { return mixer.slotState(0).start + offset; }

    std::unique_ptr<AmigaMachine> machine;
    VoiceSet* voices = nullptr;
    RecordingTimer timer;
};

} // namespace pelmit::test
