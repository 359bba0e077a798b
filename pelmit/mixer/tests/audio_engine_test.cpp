// The AudioEngine: tick lengths from tempos and CIA timer values, the timer's
// states, the device it describes; and the players' path through it to the
// one Mixer.
#include "pelmit/mixer/audio_engine.h"
#include "pelmit/mixer/mixer.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace pelmit;

namespace {

// A Mixer and an engine of their own, opened at a rate.
struct EnginePair {
    std::unique_ptr<Mixer> mixer = std::make_unique<Mixer>();
    AudioEngine engine{*mixer};
    explicit EnginePair(uint32_t rate) {
        engine.openDevice();
        engine.setDeviceRate(rate);
    }
};

} // namespace

TEST(TickTimer, TickLengthsAtTheOfferedRates) {
    struct Row {
        uint32_t rate;
        uint32_t bpm125, bpm32, bpm255, cia14188, cia65535;
    } rows[] = {
        {31500, 630, 2460, 308, 630, 2910},
        {44100, 882, 3445, 432, 882, 4074},
        {48000, 960, 3750, 470, 960, 4434},
        {96000, 1920, 7500, 941, 1920, 8868},
    };
    for (const Row& r : rows) {
        EnginePair p(r.rate);
        struct Setting {
            bool cia;
            uint32_t value, frames;
        } settingsToTry[] = {
            {false, 125, r.bpm125},
            {false, 32, r.bpm32},
            {false, 255, r.bpm255},
            {true, 14188, r.cia14188},
            {true, 65535, r.cia65535},
            // Only the low 8 or 16 bits count.
            {false, 381, r.bpm125},
            {true, 79724, r.cia14188},
        };
        for (const Setting& s : settingsToTry) {
            if (s.cia) {
                p.engine.setCiaTimer(s.value);
            } else {
                p.engine.setBpm(s.value);
            }
            EXPECT_EQ(p.engine.tickLength(), s.frames)
                << r.rate << (s.cia ? " CIA " : " BPM ") << s.value;
            EXPECT_EQ(p.mixer->currentBlockSize(), s.frames);
        }
        // The CIA clock is a tenth of the PAL clock: 14,188 ticks are 1/50 s.
        EXPECT_NEAR(14188 / 709378.92, 0.02, 1e-5);
    }
}

TEST(TickTimer, TellsTheMixerOnlyOfChanges) {
    EnginePair p(44100);
    p.mixer->setBlockSize(100);
    p.engine.setBpm(125); // the first setting always arrives
    EXPECT_EQ(p.mixer->currentBlockSize(), 882u);
    p.mixer->setBlockSize(100);
    p.engine.setCiaTimer(14188); // same tick length: not passed on
    EXPECT_EQ(p.mixer->currentBlockSize(), 100u);
    p.engine.setBpm(124);
    EXPECT_EQ(p.mixer->currentBlockSize(), 889u);
}

TEST(TickTimer, OutOfRangeTicksKeepTheLastLength) {
    struct Case {
        uint32_t rate;
        bool cia;
        uint32_t value;
        uint32_t frames; // after a valid 125 BPM
    } cases[] = {
        {44100, false, 0, 882},   // a tempo of 0
        {44100, false, 256, 882}, // low byte 0
        {31500, true, 22, 630},   // below one frame per tick
        {96000, true, 7, 1920},        {96000, true, 0, 1920},
        {96000, false, 1, ringFrames}, // 240,000 frames: cut to the ring
        {8000, false, 1, 20000},
    };
    for (const Case& c : cases) {
        EnginePair p(c.rate);
        p.engine.setBpm(125);
        if (c.cia) {
            p.engine.setCiaTimer(c.value);
        } else {
            p.engine.setBpm(c.value);
        }
        EXPECT_EQ(p.engine.tickLength(), c.frames) << c.rate << " " << c.value;
        EXPECT_EQ(p.mixer->currentBlockSize(), c.frames);
    }
    // Absurd rates are clamped before they reach the tick arithmetic.
    EnginePair low(0), high(0xFFFFFFFF);
    EXPECT_EQ(low.mixer->outputRate(), minSampleRate);
    EXPECT_EQ(high.mixer->outputRate(), maxSampleRate);
    low.engine.setBpm(125);
    high.engine.setBpm(125);
    EXPECT_EQ(low.engine.tickLength(), minSampleRate / 50);
    EXPECT_EQ(high.engine.tickLength(), maxSampleRate / 50);
}

TEST(TickTimer, RunTickCallsThePlayerOnlyWhileRunning) {
    EnginePair p(44100);
    int ticks = 0;
    p.engine.runTick(); // no callback yet
    p.engine.setCallback([](void* counter) { ++*static_cast<int*>(counter); }, &ticks);
    p.engine.runTick();
    EXPECT_EQ(ticks, 0);
    p.engine.start();
    p.engine.runTick();
    p.engine.runTick();
    EXPECT_EQ(ticks, 2);
    p.engine.stop();
    p.engine.release();
    p.engine.runTick();
    EXPECT_EQ(ticks, 2);
}

TEST(AudioEngine, DescribesItselfAndOpensTheOutput) {
    EnginePair p(44100);
    ASSERT_NE(p.engine.deviceInfo(), nullptr);
    EXPECT_STREQ(p.engine.deviceInfo()->name, "Default");
    EXPECT_EQ(p.engine.deviceInfo()->voiceCount, 256u);
    EXPECT_EQ(p.engine.deviceTickTimer(), static_cast<TickTimer*>(&p.engine));
    EXPECT_EQ(p.mixer->deviceInfo(), nullptr);
    EXPECT_EQ(p.mixer->deviceTickTimer(), nullptr);

    // 16-bit signed stereo without the filter, at the SampleRate setting (a
    // rate of 0 in the settings file cannot reach the arithmetic).
    for (int32_t rate : {22050, 48000, 0}) {
        settings.SampleRate = rate;
        p.mixer->setLedFilter(1);
        ASSERT_EQ(p.engine.openDevice(), 1u);
        EXPECT_EQ(p.mixer->currentOutputFlags(), outputStereo | output16Bit | outputSigned);
        EXPECT_EQ(p.mixer->outputRate(), saneSampleRate(rate));
    }
    settings.SampleRate = 44100;
}

// The players' path: front operations on the one Mixer, through the one engine.
class FrontOperations : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mixer.connect(), 1u); }
    void TearDown() override { mixer.disconnect(); }
};

TEST_F(FrontOperations, VoiceSetsAndSamples) {
    EXPECT_EQ(mixer.getTickTimer(), static_cast<TickTimer*>(&audioEngine));
    mixer.setSampleRate(44100);
    mixer.enableBoost();

    VoiceSet* set = mixer.allocateVoices(4);
    ASSERT_NE(set, nullptr);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(set->voices[i], i);
    EXPECT_EQ(mixer.voicesInUse(), 4u);
    EXPECT_EQ(mixer.tableValue(255, -128), -15974); // boosted, 4 voices
    EXPECT_EQ(mixer.allocateVoices(253), nullptr);  // only 252 left
    EXPECT_EQ(mixer.allocateVoices(0xFFFFFFFF), nullptr);
    EXPECT_EQ(mixer.voicesInUse(), 4u);

    const int8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const SampleDescriptor d = {bytes, 8, 2, 6, 8363, 3, 0};
    ASSERT_EQ(mixer.loadSample(set, &d), 1u);
    EXPECT_EQ(set->loadedCount, 1u);
    EXPECT_EQ(mixer.slotState(3).loopEnd - mixer.slotState(3).start, 6);

    // Sample bytes in and out, cut to the slot.
    int8_t out[6];
    std::memset(out, 0x55, sizeof out);
    mixer.readSampleBytes(set, out, 3, 4, 6);
    EXPECT_EQ(std::vector<int8_t>(out, out + 6), (std::vector<int8_t>{5, 6, 7, 8, 0, 0}));
    const int8_t patch[4] = {-1, -2, -3, -4};
    mixer.writeSampleBytes(set, patch, 3, 6, 4);
    mixer.writeSampleBytes(set, patch, 9, 0, 4); // an empty slot: nothing happens
    mixer.readSampleBytes(set, out, 3, 4, 4);
    EXPECT_EQ(std::vector<int8_t>(out, out + 4), (std::vector<int8_t>{5, 6, -1, -2}));

    VoiceCommand c = {};
    c.flags = cmdTrigger | cmdVolume | cmdPeriod;
    c.slot = 3;
    c.voice = 2;
    c.volume = 64;
    c.period = 428 << 16;
    mixer.sendVoiceCommand(set, &c);
    EXPECT_NE(mixer.voiceState(2).position, nullptr);
    c.voice = 4; // outside the set
    c.volume = 1;
    mixer.sendVoiceCommand(set, &c);
    EXPECT_EQ(mixer.voiceState(4).volume, 0);

    audioEngine.setBpm(125);
    mixer.resetOutput();
    const uint32_t counted = mixer.renderVoices(set);
    EXPECT_EQ(counted, mixer.frameCount());
    EXPECT_EQ(mixer.queuedFrames(), 882u);

    // Chip memory played in place; released with the set, but never freed.
    std::vector<uint16_t> chip(0x40000, 0x1234);
    const SampleDescriptor chipRam = {chip.data(), 0x80000, 0, 0, 8363, 0, sampleWordSwapped};
    mixer.attachSampleMemory(0, &chipRam);
    EXPECT_EQ(mixer.slotState(0).start, reinterpret_cast<int8_t*>(chip.data()));
    EXPECT_TRUE(mixer.slotState(0).wordSwapped);
    mixer.releaseVoices(set);
    EXPECT_EQ(mixer.voicesInUse(), 0u);
    EXPECT_EQ(mixer.tableValue(255, -128), 0);
    EXPECT_EQ(mixer.slotState(3).start, nullptr);
    EXPECT_EQ(mixer.slotState(0).start, nullptr);

    // All 256 voices can be taken once the set is back.
    VoiceSet* all = mixer.allocateVoices(256);
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->voices[255], 255u);
    mixer.releaseVoices(all);
}

TEST_F(FrontOperations, LengthMeasurementInSkipMode) {
    // The players' sequence: timer set-up, skip mode, ticks until the song
    // ends, then the length.
    mixer.setSampleRate(48000);
    VoiceSet* set = mixer.allocateVoices(4);
    ASSERT_NE(set, nullptr);
    TickTimer* timer = mixer.getTickTimer();
    mixer.resetOutput();
    timer->setBpm(125);
    struct Song {
        VoiceSet* set;
        int ticksLeft;
    } song = {set, 150}; // three seconds at 50 ticks a second
    timer->setCallback(
        [](void* argument) {
            auto* s = static_cast<Song*>(argument);
            --s->ticksLeft;
            mixer.renderVoices(s->set);
        },
        &song);
    timer->start();
    mixer.beginSkip();
    while (song.ticksLeft > 0) audioEngine.runTick();
    EXPECT_EQ(mixer.endSkip(), 3000);
    EXPECT_EQ(mixer.queuedFrames(), 0u);
    timer->stop();
    timer->release();
    mixer.releaseVoices(set);
}
