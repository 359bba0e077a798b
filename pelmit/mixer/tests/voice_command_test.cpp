// What voices play after each kind of command: read back from the mono output
// of one voice at full volume, where every sample byte has its own level.
#include "pelmit/mixer/tests/mixer_rig.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace pelmit;
using namespace pelmit::test;

namespace {

constexpr uint32_t slowPeriod = 428; // about 0.19 bytes per frame at 44.1 kHz: no byte skipped

// The sample bytes a mono rig played, each run of equal frames once; silence
// reads as 0, so test samples avoid byte 0.
std::vector<int> played(MixerRig& rig, uint32_t frames) {
    std::map<int16_t, int> level;
    for (int s = -128; s < 128; ++s) level[rig.mixer().tableValue(255, int8_t(s))] = s;
    std::vector<int> bytes;
    for (int16_t v : rig.read(frames)) {
        const int b = level.count(v) ? level[v] : 1000;
        if (bytes.empty() || bytes.back() != b) bytes.push_back(b);
    }
    return bytes;
}

std::vector<int8_t> counting(int n) {
    std::vector<int8_t> s(n);
    for (int i = 0; i < n; ++i) s[i] = int8_t(i + 1);
    return s;
}

std::vector<int> repeat(std::vector<int> head, const std::vector<int>& loop, int times) {
    for (int t = 0; t < times; ++t) head.insert(head.end(), loop.begin(), loop.end());
    return head;
}

std::vector<int> prefix(const std::vector<int>& v, size_t n) {
    return {v.begin(), v.begin() + std::min(n, v.size())};
}

VoiceCommand queue(uint8_t slot, uint32_t offset, uint32_t length) {
    VoiceCommand c = {};
    c.flags = cmdQueue;
    c.slot = slot;
    c.offset = offset;
    c.length = length;
    return c;
}

} // namespace

TEST(VoiceCommand, FirstPassThenLoopThenStop) {
    MixerRig rig;
    rig.load(0, counting(10), 4, 8); // bytes 1..10, loop over offsets 4..7
    rig.play(0, 0, slowPeriod);
    EXPECT_EQ(prefix(played(rig, 4000), 20),
              prefix(repeat({1, 2, 3, 4, 5, 6, 7, 8}, {5, 6, 7, 8}, 4), 20));

    rig.load(1, counting(6)); // no loop: plays once, then the voice is stopped
    rig.play(0, 1, slowPeriod);
    EXPECT_EQ(played(rig, 4000), (std::vector<int>{1, 2, 3, 4, 5, 6, 0}));
    EXPECT_EQ(rig.mixer().voiceState(0).position, nullptr);
}

TEST(VoiceCommand, QueueReplacesTheNextLoopOnly) {
    MixerRig rig;
    rig.load(0, counting(8), 0, 8);
    rig.play(0, 0, slowPeriod);
    rig.command(0, queue(0, 2, 2)); // heard once the first pass ends
    EXPECT_EQ(prefix(played(rig, 4000), 14), repeat({1, 2, 3, 4, 5, 6, 7, 8}, {3, 4}, 3));

    // Length 0 on a playing voice: it stops when its stretch ends.
    rig.play(0, 0, slowPeriod);
    rig.command(0, queue(0, 0, 0));
    EXPECT_EQ(played(rig, 4000), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 0}));

    // On a stopped voice a range starts at once and loops; length 0 keeps it stopped.
    rig.command(0, queue(0, 0, 0));
    EXPECT_EQ(played(rig, 500), (std::vector<int>{0}));
    rig.command(0, queue(0, 5, 2));
    EXPECT_EQ(prefix(played(rig, 1000), 6), (std::vector<int>{6, 7, 6, 7, 6, 7}));
}

TEST(VoiceCommand, TriggerOffsetsAndKeepPlaying) {
    MixerRig rig;
    rig.load(0, counting(10), 4, 8);
    rig.load(1, counting(10));
    // An offset at or past the first stretch starts the loop, or nothing.
    rig.play(0, 0, slowPeriod, 8);
    EXPECT_EQ(prefix(played(rig, 1000), 8), repeat({}, {5, 6, 7, 8}, 2));
    rig.play(0, 1, slowPeriod, 10);
    EXPECT_EQ(played(rig, 500), (std::vector<int>{0}));
    EXPECT_EQ(rig.mixer().voiceState(0).position, nullptr);

    // Keep-playing on a stopped voice is a plain trigger...
    VoiceCommand keep = trigger(0, slowPeriod);
    keep.flags |= cmdKeepPlaying;
    rig.command(0, keep);
    EXPECT_EQ(prefix(played(rig, 1000), 4), (std::vector<int>{1, 2, 3, 4}));
    // ...and on a playing voice it takes over only the slot's loop: the loop
    // cycle under way finishes, then the new loop repeats.
    rig.read(1000);
    rig.load(2, counting(10), 0, 2);
    keep.slot = 2;
    rig.command(0, keep);
    const std::vector<int> after = played(rig, 2000);
    const auto newLoop = std::find(after.begin(), after.end(), 1);
    ASSERT_NE(newLoop, after.end());
    const std::vector<int> finishing(after.begin(), newLoop);
    ASSERT_FALSE(finishing.empty());
    EXPECT_EQ(finishing.back(), 8);
    for (size_t i = 0; i < finishing.size(); ++i)
        EXPECT_EQ(finishing[i], 9 - int(finishing.size()) + int(i));
    EXPECT_EQ(std::vector<int>(newLoop, newLoop + 4), (std::vector<int>{1, 2, 1, 2}));
}

TEST(VoiceCommand, LoopRangeDelayAndFreeze) {
    MixerRig rig;
    rig.load(0, counting(10));
    VoiceCommand range = trigger(0, slowPeriod, 6);
    range.flags |= cmdLoopRange;
    range.length = 3;
    rig.command(0, range);
    EXPECT_EQ(prefix(played(rig, 1000), 6), (std::vector<int>{7, 8, 9, 7, 8, 9}));

    // 10,000 us at 44.1 kHz: 441 silent frames.
    VoiceCommand delayed = trigger(0, slowPeriod);
    delayed.flags |= cmdDelay;
    delayed.delay = 10000;
    rig.command(0, delayed);
    const std::vector<int16_t> pcm = rig.read(600);
    for (int i = 0; i < 441; ++i) ASSERT_EQ(pcm[i], 0) << i;
    EXPECT_NE(pcm[441], 0);

    // Period 0 freezes the voice without stopping it; a period resumes it.
    rig.load(1, counting(10), 0, 10);
    rig.play(0, 1, slowPeriod);
    rig.read(882);
    const MixerVoice before = rig.mixer().voiceState(0);
    VoiceCommand freeze = {};
    freeze.flags = cmdPeriod;
    rig.command(0, freeze);
    EXPECT_EQ(played(rig, 3000), (std::vector<int>{0}));
    EXPECT_EQ(rig.mixer().voiceState(0).position, before.position);
    EXPECT_EQ(rig.mixer().voiceState(0).fraction, before.fraction);
    freeze.period = slowPeriod << 16;
    rig.command(0, freeze);
    const std::vector<int> resumed = played(rig, 2000);
    EXPECT_EQ(resumed.front(), *before.position + (before.fraction >> 16));
}

TEST(VoiceCommand, OrderFlagsAndPeriodsAboveTheTable) {
    MixerRig rig;
    rig.load(0, counting(10), 0, 10);
    // Stop comes before trigger, volume is capped, flags 0 does nothing.
    VoiceCommand c = trigger(0, slowPeriod);
    c.flags |= cmdStop;
    c.volume = 999;
    rig.command(0, c);
    EXPECT_NE(rig.mixer().voiceState(0).position, nullptr);
    EXPECT_EQ(rig.mixer().voiceState(0).volume, 255);
    VoiceCommand nothing = c;
    nothing.flags = 0;
    nothing.volume = 3;
    rig.command(0, nothing);
    EXPECT_EQ(rig.mixer().voiceState(0).volume, 255);

    for (uint32_t period : {1u, 113u, 3628u, 3629u, 20000u, 65535u}) {
        VoiceCommand p = {};
        p.flags = cmdPeriod;
        p.period = (period << 16) | 0xFFFF; // the low 16 bits do not count
        rig.command(0, p);
        EXPECT_EQ(rig.mixer().voiceState(0).step, periodToStep(period, 44100)) << period;
    }
    EXPECT_EQ(periodToStep(428, 44100), 12315u);
}

TEST(VoiceCommand, WordSwappedSlotsPlayHostOrderWords) {
    MixerRig rig;
    const std::vector<int8_t> memory = {0x34, 0x12, 0x78, 0x56};
    SampleDescriptor d = {memory.data(), 4, 0, 0, 8363, 0, sampleWordSwapped};
    rig.mixer().attachSampleMemory(0, &d);
    rig.play(0, 0, slowPeriod);
    EXPECT_EQ(played(rig, 1000), (std::vector<int>{0x12, 0x34, 0x56, 0x78, 0}));

    // The Amiga addresses words: an odd offset starts at the word's first byte.
    rig.play(0, 0, slowPeriod, 3);
    EXPECT_EQ(played(rig, 1000), (std::vector<int>{0x56, 0x78, 0}));
}

TEST(VoiceCommand, InterpolationLeansTowardTheNextByte) {
    struct Case {
        const char* name;
        uint32_t loopEnd; // 0: no loop, the last byte leans toward silence
        int8_t after;
    } cases[] = {{"looped", 4, 10}, {"unlooped", 0, 0}};
    for (const Case& c : cases) {
        MixerRig rig;
        settings.Interpolation = 1;
        rig.load(0, {10, 20, 30, 40}, 0, c.loopEnd);
        rig.play(0, 0, slowPeriod, 3); // start on the last byte
        const uint32_t d = rig.mixer().voiceState(0).step;
        const std::vector<int16_t> pcm = rig.read(64);
        settings.Interpolation = 0;
        const int32_t a = rig.mixer().tableValue(255, 40);
        const int32_t b = rig.mixer().tableValue(255, c.after);
        for (uint32_t i = 0; i * d < 65536; ++i) {
            const int64_t f = int64_t(i) * d;
            EXPECT_EQ(pcm[i], a + ((int64_t(b - a) * f) >> 16)) << c.name << " frame " << i;
        }
    }
}

TEST(VoiceCommand, HostileValuesStayInsideTheSamples) {
    // Every case renders a few seconds under the sanitizers; the slot memory is
    // exactly as large as the sample, so a read past it fails the test.
    MixerRig rig({.rate = 96000, .voices = 4, .stereo = true, .boost = true, .blockSize = 8868});
    rig.load(0, counting(100), 90, 400);  // loop past the end: cut to the sample
    rig.load(1, counting(100), 150, 300); // loop entirely past the end: dropped
    rig.load(2, {}, 0, 0);                // zero length: the slot stays empty
    rig.load(3, counting(7), 3, 7);       // odd lengths
    rig.load(4, counting(3), 1, 2);       // a one-byte loop
    EXPECT_EQ(rig.mixer().slotState(0).loopEnd, rig.mixer().slotState(0).end);
    EXPECT_EQ(rig.mixer().slotState(1).loopEnd, nullptr);
    EXPECT_EQ(rig.mixer().slotState(2).start, nullptr);

    const uint32_t periods[] = {0, 1, 2, 3, 4, 5, 28, 0xFFFF};
    for (uint8_t slot = 0; slot < 6; ++slot) {
        for (uint32_t period : periods) {
            for (uint32_t offset : {0u, 1u, 99u, 0x7FFFEu, 0xFFFFFFFFu}) {
                rig.play(slot % 4, slot, period, offset);
                VoiceCommand q = queue(slot, offset, 131070);
                rig.command((slot + 1) % 4, q);
                VoiceCommand r = trigger(slot, period, offset);
                r.flags |= cmdLoopRange | cmdDelay;
                r.length = 0xFFFFFFFF;
                r.delay = 0xFFFF;
                rig.command((slot + 2) % 4, r);
                rig.command(300, r); // outside the voices: ignored
                rig.read(100);
            }
        }
    }
    // A one-byte loop at the shortest period moves many loop lengths a frame.
    rig.play(0, 4, 1);
    rig.read(20000);
    EXPECT_NE(rig.mixer().voiceState(0).position, nullptr);
}
