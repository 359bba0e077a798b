// The run-based renderer against a frame-by-frame model of a voice: random
// samples, loops, offsets, periods (down to 1), delays, queued loops, block
// sizes and rates must give the same PCM, frame for frame.
#include "pelmit/mixer/tests/mixer_rig.h"
#include "pelmit/settings.h"

#include <gtest/gtest.h>

#include <random>

using namespace pelmit;
using namespace pelmit::test;

namespace {

struct ModelSlot {
    std::vector<int8_t> memory;
    uint32_t loopStart = 0, loopEnd = 0; // as given to the mixer; 0 = no loop
    bool swapped = false;
};

// One voice, advanced one frame at a time: the exact read point x (16.16 from
// the slot's start) walks through the stretch; past its end the overshoot
// carries into the loop, or the voice stops.
struct ModelVoice {
    const ModelSlot* slot = nullptr;
    bool playing = false;
    uint64_t x = 0;
    uint32_t segmentEnd = 0;
    bool looped = false;
    uint32_t loopStart = 0, loopEnd = 0;
    uint32_t step = 0;
    uint32_t volume = 255;
    uint32_t delay = 0;

    int8_t byte(uint32_t k) const { return slot->memory[slot->swapped ? k ^ 1 : k]; }

    void setLoop(uint32_t begin, uint32_t end) {
        looped = begin < end;
        loopStart = begin;
        loopEnd = end;
    }

    // Clamped range of a command within the slot.
    std::pair<uint32_t, uint32_t> range(uint32_t offset, uint32_t length) const {
        const uint32_t size = static_cast<uint32_t>(slot->memory.size());
        const uint32_t begin = std::min(offset, size);
        return {begin, begin + std::min(length, size - begin)};
    }

    void trigger(const ModelSlot& s, uint32_t offset, bool loopRange, uint32_t length,
                 uint32_t delayFrames) {
        slot = &s;
        delay = delayFrames;
        const uint32_t size = static_cast<uint32_t>(s.memory.size());
        if (loopRange) {
            auto [begin, end] = range(offset, length);
            playing = begin < end;
            x = uint64_t(begin) << 16;
            segmentEnd = end;
            setLoop(begin, end);
            return;
        }
        const uint32_t loopEndClamped = std::min(s.loopEnd, size);
        if (s.loopEnd && s.loopStart < loopEndClamped) {
            setLoop(s.loopStart, loopEndClamped);
        } else {
            setLoop(0, 0);
        }
        segmentEnd = looped ? loopEnd : size;
        playing = offset < segmentEnd || looped;
        x = uint64_t(offset < segmentEnd ? offset : loopStart) << 16;
    }

    void queue(uint32_t offset, uint32_t length) {
        auto [begin, end] = range(offset, length);
        if (!playing && begin < end) {
            playing = true;
            x = uint64_t(begin) << 16;
            segmentEnd = end;
        }
        setLoop(begin, end);
    }

    int32_t frame(const Mixer& m, bool interpolate) {
        if (!playing || step == 0) return 0;
        if (delay) {
            --delay;
            return 0;
        }
        const uint32_t k = static_cast<uint32_t>(x >> 16);
        const int32_t a = m.tableValue(volume, byte(k));
        const int8_t following = k + 1 < segmentEnd ? byte(k + 1) : looped ? byte(loopStart) : 0;
        const int32_t c = m.tableValue(volume, following);
        const int32_t value =
            interpolate ? a + int32_t((int64_t(c - a) * int64_t(x & 0xFFFF)) >> 16) : a;
        x += step;
        if (x >= uint64_t(segmentEnd) << 16) {
            if (looped) {
                const uint64_t over =
                    (x - (uint64_t(segmentEnd) << 16)) % (uint64_t(loopEnd - loopStart) << 16);
                x = (uint64_t(loopStart) << 16) + over;
                segmentEnd = loopEnd;
            } else {
                playing = false;
            }
        }
        return volume ? value : 0;
    }
};

struct Scenario {
    std::mt19937 random;
    explicit Scenario(uint32_t seed) : random(seed) {}
    uint32_t below(uint32_t n) { return n ? random() % n : 0; }
    template <typename T>
    T pick(std::initializer_list<T> values) {
        return values.begin()[below(static_cast<uint32_t>(values.size()))];
    }
};

} // namespace

TEST(RenderReference, RunsMatchAFrameByFrameModel) {
    constexpr int scenarios = 400;
    for (int n = 0; n < scenarios; ++n) {
        Scenario s(1000 + n);
        const uint32_t rate = s.pick({8000u, 31500u, 44100u, 48000u, 96000u, 192000u});
        const uint32_t blockSize =
            s.pick({1u, 3u, 17u, 576u, 882u, 4074u, 8868u, 1 + s.below(9000)});
        const uint32_t voiceCount = 1 + s.below(4);
        const bool interpolate = s.below(2);
        MixerRig rig(
            {.rate = rate, .voices = voiceCount, .boost = s.below(2) != 0, .blockSize = blockSize});
        Mixer& m = rig.mixer();

        std::vector<ModelSlot> slots(voiceCount);
        std::vector<ModelVoice> model(voiceCount);
        for (uint32_t v = 0; v < voiceCount; ++v) {
            ModelSlot& slot = slots[v];
            slot.swapped = s.below(3) == 0;
            uint32_t size = 1 + s.pick({s.below(8), s.below(300), 70000 + s.below(70000)});
            if (slot.swapped) size = (size + 1) & ~1u;
            slot.memory = whiteNoise(size, n * 7 + v);
            if (s.below(3)) {
                slot.loopStart = s.below(size + 4);
                slot.loopEnd = slot.loopStart + 1 + s.pick({s.below(4), s.below(size + 8)});
                if (slot.swapped) {
                    slot.loopStart &= ~1u;
                    slot.loopEnd = (slot.loopEnd + 1) & ~1u;
                }
            }
            rig.load(uint8_t(v), slot.memory, slot.loopStart, slot.loopEnd,
                     slot.swapped ? sampleWordSwapped : 0);

            VoiceCommand c = {};
            c.flags = cmdTrigger | cmdPeriod | cmdVolume | cmdDelay;
            c.slot = uint8_t(v);
            const uint32_t period = s.pick({1u, 2u, 3u, 4u, 5u, 28u, 113u, 428u, 3628u, 3629u,
                                            60000u, s.below(1000), s.below(4000)});
            c.period = period << 16;
            c.volume = uint16_t(s.pick({255u, 64u, 0u, s.below(256)}));
            c.offset = s.pick({0u, s.below(size + 4)});
            if (slot.swapped) c.offset &= ~1u;
            c.delay = uint16_t(s.pick({0u, s.below(65536)}));
            if (s.below(4) == 0) {
                c.flags |= cmdLoopRange;
                c.length = s.pick({0u, 1u, s.below(size + 8)});
                if (slot.swapped) c.length &= ~1u;
            }
            rig.command(v, c);
            ModelVoice& mv = model[v];
            mv.step = periodToStep(period, rate);
            mv.volume = c.volume;
            mv.trigger(slot, c.offset, c.flags & cmdLoopRange, c.length,
                       uint32_t(uint64_t(c.delay) * rate / 1000000));
        }

        const uint32_t ticks = std::max(1u, 24000 / blockSize);
        const uint32_t queueTick = s.below(ticks);
        std::vector<int16_t> block(blockSize);
        settings.Interpolation = interpolate;
        for (uint32_t t = 0; t < ticks; ++t) {
            if (t == queueTick) {
                for (uint32_t v = 0; v < voiceCount; ++v) {
                    if (s.below(2)) continue;
                    VoiceCommand q = {};
                    q.flags = cmdQueue;
                    q.slot = uint8_t(v);
                    q.offset = s.below(uint32_t(slots[v].memory.size()) + 4);
                    q.length = s.pick({0u, 2u, s.below(uint32_t(slots[v].memory.size()) + 8)});
                    if (slots[v].swapped) q.offset &= ~1u, q.length &= ~1u;
                    m.voiceCommand(&q, v);
                    model[v].queue(q.offset, q.length);
                }
            }
            m.render(&rig.voices());
            ASSERT_TRUE(m.readBlock(block.data(), blockSize));
            for (uint32_t i = 0; i < blockSize; ++i) {
                int16_t expected = 0;
                for (ModelVoice& mv : model) {
                    expected = int16_t(uint16_t(expected + mv.frame(m, interpolate)));
                }
                if (block[i] != expected) {
                    settings.Interpolation = 0;
                    FAIL() << "scenario " << n << ", tick " << t << ", frame " << i << ": "
                           << block[i] << " instead of " << expected;
                }
            }
        }
        settings.Interpolation = 0;
        for (uint32_t v = 0; v < voiceCount; ++v) {
            EXPECT_EQ(m.voiceState(v).position != nullptr, model[v].playing)
                << "scenario " << n << ", voice " << v;
        }
    }
}
