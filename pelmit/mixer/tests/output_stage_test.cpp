// The output stage: volume table, pans and separation, the ring and its
// cursors, the converters and the LED filter, skip mode.
#include "pelmit/mixer/output_converters.h"
#include "pelmit/mixer/tests/mixer_rig.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace pelmit;
using namespace pelmit::test;

TEST(VolumeTable, GainPerVoiceCount) {
    struct Case {
        uint32_t voices;
        bool boost;
        uint32_t row;
        int8_t sample;
        int16_t value;
    } cases[] = {
        {4, true, 255, -128, -15974},
        {4, true, 255, 127, 15849},
        {1, false, 255, -128, -31129},
        {4, true, 0, -128, 0},
        {4, true, 200, 0, 0},
        // No voice in use: silence everywhere.
        {0, true, 255, -128, 0},
        // One boosted voice would pass 16 bits; the entries saturate.
        {1, true, 255, -128, -32768},
        {1, true, 255, 127, 32767},
    };
    for (const Case& c : cases) {
        MixerRig rig({.voices = c.voices, .boost = c.boost});
        EXPECT_EQ(rig.mixer().tableValue(c.row, c.sample), c.value)
            << c.voices << " voices, boost " << c.boost << ", row " << c.row;
    }
}

TEST(Separation, DefaultPansAndLeftRightBalance) {
    struct Case {
        int32_t separation;
        uint16_t pans[4];
    } cases[] = {
        {64, {64, 192, 192, 64}},      {128, {0, 255, 255, 0}},       {200, {0, 255, 255, 0}},
        {0, {128, 128, 128, 128}},     {-64, {192, 64, 64, 192}},     {-128, {255, 0, 0, 255}},
        {INT32_MAX, {0, 255, 255, 0}}, {INT32_MIN, {255, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        MixerRig rig({.voices = 4, .stereo = true, .boost = true, .separation = c.separation});
        for (uint32_t v = 0; v < 4; ++v) {
            EXPECT_EQ(rig.mixer().voiceState(v).pan, c.pans[v]) << c.separation << " voice " << v;
        }
        // What each side hears of a voice: the rows ((255 - pan) x 255) >> 8 and
        // (pan x 255) >> 8 of the volume table.
        rig.load(0, squareWave(32), 0, 32);
        for (uint32_t v = 0; v < 4; ++v) {
            rig.play(v, 0, 428);
            const std::vector<int16_t> pcm = rig.read(4410);
            rig.command(v, VoiceCommand{cmdStop, 0, 0, 0, 0, 0, 0, 0});
            double left = 0, right = 0;
            for (size_t i = 0; i < pcm.size(); i += 2) {
                left += std::abs(pcm[i]);
                right += std::abs(pcm[i + 1]);
            }
            const uint32_t pan = c.pans[v];
            const double leftRow = ((255 - pan) * 255) >> 8, rightRow = (pan * 255) >> 8;
            if (leftRow == 0 || rightRow == 0) {
                // Full separation: the far side gets nothing at all.
                EXPECT_EQ(leftRow == 0 ? left : right, 0) << c.separation << " voice " << v;
            } else {
                EXPECT_NEAR(left / right, leftRow / rightRow, 0.01 * leftRow / rightRow)
                    << c.separation << " voice " << v;
            }
        }
    }
}

TEST(Separation, RepansOnlyTheVoicesInUse) {
    MixerRig rig({.voices = 4, .stereo = true, .separation = 64});
    VoiceSet six = {nullptr, 6, 0, 0};
    rig.mixer().resetVoices(&six); // voices 4 and 5 get default pans too
    rig.mixer().setSeparation(128);
    EXPECT_EQ(rig.mixer().voiceState(3).pan, 0);
    EXPECT_EQ(rig.mixer().voiceState(4).pan, 64); // not in use: kept

    // resetVoices silences and stops, but keeps pitch and loops.
    rig.load(0, squareWave(32), 0, 32);
    rig.play(1, 0, 428);
    const MixerVoice before = rig.mixer().voiceState(1);
    rig.mixer().resetVoices(&rig.voices());
    const MixerVoice& after = rig.mixer().voiceState(1);
    EXPECT_EQ(after.position, nullptr);
    EXPECT_EQ(after.volume, 0);
    EXPECT_EQ(after.pan, 255);
    EXPECT_EQ(after.step, before.step);
    EXPECT_EQ(after.loopStart, before.loopStart);
}

TEST(OutputRing, WrapAndBlockSizeChanges) {
    MixerRig rig({.stereo = true});
    Mixer& m = rig.mixer();
    std::vector<int16_t> sink(2 * ringFrames);
    auto drainTo = [&](uint32_t keep) { // read 576-frame blocks while more than `keep` wait
        while (m.queuedFrames() >= 576 + keep) m.readBlock(sink.data(), 576);
    };
    // 882-frame blocks wrap at 65,268 (74 blocks).
    for (int i = 0; i < 74; ++i) {
        rig.tick();
        drainTo(0);
    }
    RingCursors c = m.ringCursors();
    EXPECT_EQ(c.renderPos, 65268u);
    EXPECT_EQ(c.renderLimit, 65268u);
    rig.tick();
    c = m.ringCursors();
    EXPECT_EQ(c.renderPos, 882u);
    EXPECT_EQ(c.renderLimit, 65268u);
    ASSERT_GT(c.readPos, c.renderPos); // the reader is still on the previous lap

    // A new tick length: the renderer's lap ends at 65,010; the reader keeps
    // 65,268 until it wraps there.
    m.setBlockSize(1002);
    c = m.ringCursors();
    EXPECT_EQ(c.renderLimit, 65010u);
    EXPECT_EQ(c.readLimit, 65268u);
    while (m.ringCursors().readPos > 882) {
        rig.tick();
        ASSERT_TRUE(m.readBlock(sink.data(), 576));
    }
    EXPECT_EQ(m.ringCursors().readLimit, 65010u);

    // Out-of-range sizes: 0 is ignored, more than the ring is cut to it.
    m.setBlockSize(0);
    EXPECT_EQ(m.currentBlockSize(), 1002u);
    m.setBlockSize(70000);
    EXPECT_EQ(m.currentBlockSize(), ringFrames);
    m.resetOutput();
    rig.tick();
    EXPECT_EQ(m.queuedFrames(), ringFrames);
    EXPECT_FALSE(m.readBlock(sink.data(), ringFrames + 1));
    EXPECT_TRUE(m.readBlock(sink.data(), ringFrames));
}

TEST(OutputRing, LedFilterNeedsFourMoreFrames) {
    MixerRig rig({.stereo = true, .blockSize = 579});
    Mixer& m = rig.mixer();
    int16_t out[2 * 576];
    rig.tick();
    m.setLedFilter(1);
    const RingCursors before = m.ringCursors();
    EXPECT_FALSE(m.readBlock(out, 576));
    const RingCursors after = m.ringCursors();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    m.setLedFilter(0);
    EXPECT_TRUE(m.readBlock(out, 576));
    EXPECT_EQ(m.queuedFrames(), 3u);
}

TEST(OutputConverters, EveryFormat) {
    const int16_t left[7] = {0, -32768, 0x12FF, -1, 32767, 100, -100};
    const int16_t right[7] = {32767, 0x0180, -256, 5, 0, 0, 0};
    struct Case {
        uint32_t index;
        std::vector<uint8_t> bytes; // for the first 4 frames
    } cases[] = {
        {0, {0x80, 0x00, 0x92, 0x7F}},
        {1, {0x80, 0xFF, 0x00, 0x81, 0x92, 0x7F, 0x7F, 0x80}},
        {2, {0x00, 0x80, 0x00, 0x00, 0xFF, 0x92, 0xFF, 0x7F}},
        {3,
         {0x00, 0x80, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x81, 0xFF, 0x92, 0x00, 0x7F, 0xFF, 0x7F, 0x05,
          0x80}},
        {4, {0x00, 0x80, 0x12, 0xFF}},
        {5, {0x00, 0x7F, 0x80, 0x01, 0x12, 0xFF, 0xFF, 0x00}},
        {6, {0x00, 0x00, 0x00, 0x80, 0xFF, 0x12, 0xFF, 0xFF}},
        {7,
         {0x00, 0x00, 0xFF, 0x7F, 0x00, 0x80, 0x80, 0x01, 0xFF, 0x12, 0x00, 0xFF, 0xFF, 0xFF, 0x05,
          0x00}},
        // The LED filter averages four frames, rounding down:
        // left (0 - 32768 + 4863 - 1) / 4 = -6976.5 -> -6977 (0xE4BF),
        // right (32767 + 384 - 256 + 5) / 4 = 8225 (0x2021), ...
        {15,
         {0xBF, 0xE4, 0x21, 0x20, 0xBF, 0x04, 0x21, 0x00, 0xD8, 0x24, 0xC1, 0xFF, 0xFF, 0x1F, 0x01,
          0x00}},
    };
    for (const Case& c : cases) {
        uint8_t out[32] = {};
        const uint8_t* end = outputConverters[c.index](out, left, right, 4);
        EXPECT_EQ(std::vector<uint8_t>(out, out + (end - out)), c.bytes) << "converter " << c.index;
    }
    // 8-14 are 0-6 (the filter exists for 16-bit signed stereo only).
    for (uint32_t i = 8; i < 15; ++i) EXPECT_EQ(outputConverters[i], outputConverters[i - 8]) << i;
}

namespace {

// |X(f)| over a whole signal by the Goertzel recursion.
double magnitude(const std::vector<double>& x, double cyclesPerFrame) {
    const double w = 2 * std::numbers::pi * cyclesPerFrame;
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s = v + 2 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2);
}

std::vector<double> channel(const std::vector<int16_t>& pcm, uint32_t side) {
    std::vector<double> x;
    for (size_t i = side; i < pcm.size(); i += 2) x.push_back(pcm[i]);
    return x;
}

} // namespace

TEST(LedFilter, FourTapBoxResponse) {
    // The same noise with and without the filter; the filter's response must be
    // |cos(pi f/fs) cos(2 pi f/fs)|, with its null at a quarter of the rate.
    const std::vector<int8_t> noise = whiteNoise(65536);
    std::vector<int16_t> plain, filtered;
    for (bool led : {false, true}) {
        MixerRig rig({.voices = 4, .stereo = true, .boost = true});
        rig.load(0, noise, 0, 65536);
        rig.play(0, 0, 80); // a little over one byte per frame
        rig.mixer().setLedFilter(led);
        (led ? filtered : plain) = rig.read(88200);
    }
    for (uint32_t side : {0u, 1u}) {
        const std::vector<double> x = channel(plain, side), y = channel(filtered, side);
        for (double f : {0.01, 0.05, 0.1, 0.15, 0.2, 0.24, 0.25, 0.26, 0.3, 0.4, 0.45}) {
            const double expected =
                std::abs(std::cos(std::numbers::pi * f) * std::cos(2 * std::numbers::pi * f));
            EXPECT_NEAR(magnitude(y, f) / magnitude(x, f), expected, 0.02)
                << "f/fs " << f << ", side " << side;
        }
    }
}

namespace {

// A sawtooth over all 256 byte values, looped from its first byte: at frame i
// the voice reads byte (i x step) >> 16, modulo 256.
std::vector<int8_t> sawtooth() {
    std::vector<int8_t> s(256);
    for (int i = 0; i < 256; ++i) s[i] = int8_t(i - 128);
    return s;
}

// Tick lengths for stretches of a long render: real tempos, changes in
// mid-lap, and ticks shorter than the filter's four frames across a wrap.
struct Phase {
    uint32_t blockSize, ticks;
};
constexpr Phase phases[] = {{882, 100}, {1002, 50}, {3, 30000}, {4074, 20},
                            {1, 70000}, {8868, 10}, {630, 77},  {577, 33}};

void checkTenMinutes(bool led) {
    constexpr uint32_t rate = 44100, frames = 600 * rate;
    MixerRig rig({.rate = rate, .voices = 4, .stereo = true, .boost = true, .separation = 64});
    Mixer& m = rig.mixer();
    m.setLedFilter(led);
    rig.load(0, sawtooth(), 0, 256);
    rig.play(0, 0, 300);
    const uint64_t step = m.voiceState(0).step;
    int16_t leftRow[256], rightRow[256];
    for (int s = 0; s < 256; ++s) {
        leftRow[s] = m.tableValue(190, int8_t(s - 128)); // pan 64 at volume 255
        rightRow[s] = m.tableValue(63, int8_t(s - 128));
    }
    auto expected = [&](uint64_t i, uint32_t side) -> int16_t {
        const int16_t* row = side ? rightRow : leftRow;
        if (!led) return row[((i * step) >> 16) & 255];
        int32_t sum = 0;
        for (uint64_t k = i; k < i + 4; ++k) sum += row[((k * step) >> 16) & 255];
        return int16_t(sum >> 2);
    };

    std::vector<int16_t> block(2 * 576);
    size_t phase = 0;
    uint32_t ticksInPhase = 0;
    m.setBlockSize(phases[0].blockSize);
    for (uint64_t done = 0; done < frames; done += 576) {
        while (!m.readBlock(block.data(), 576)) {
            rig.tick();
            if (++ticksInPhase == phases[phase].ticks) {
                phase = (phase + 1) % std::size(phases);
                ticksInPhase = 0;
                m.setBlockSize(phases[phase].blockSize);
            }
        }
        for (uint32_t i = 0; i < 576; ++i) {
            for (uint32_t side : {0u, 1u}) {
                if (block[2 * i + side] != expected(done + i, side)) {
                    FAIL() << "frame " << done + i << " side " << side << ": "
                           << block[2 * i + side] << " instead of " << expected(done + i, side)
                           << " (ring " << m.ringCursors().readPos << "/"
                           << m.ringCursors().readLimit << ")";
                }
            }
        }
    }
}

} // namespace

TEST(OutputRing, TenMinutesWithoutAGlitch) {
    checkTenMinutes(false);
    checkTenMinutes(true);
}

TEST(SkipMode, AdvancesTimeAndVoicesWithoutOutput) {
    // Voices that start late, loop, end and take a queued loop during the skip.
    auto start = [](MixerRig& rig) {
        rig.load(0, squareWave(32), 0, 32);
        rig.load(1, whiteNoise(5000));
        rig.load(2, whiteNoise(3000), 1000, 2600);
        VoiceCommand c = trigger(0, 214);
        c.flags |= cmdDelay;
        c.delay = 50000;
        rig.command(0, c);
        rig.play(1, 1, 300);
        rig.play(2, 2, 123);
        VoiceCommand q = {};
        q.flags = cmdQueue;
        q.slot = 2;
        q.offset = 10;
        q.length = 500;
        rig.command(2, q);
    };
    constexpr uint32_t skipped = 882 * 1000; // 20 s
    MixerRig played({.voices = 4, .stereo = true, .boost = true, .separation = 64});
    start(played);
    played.read(skipped);
    const std::vector<int16_t> expected = played.read(44100);

    MixerRig skipping({.voices = 4, .stereo = true, .boost = true, .separation = 64});
    Mixer& m = skipping.mixer();
    start(skipping);
    m.beginSkip();
    const RingCursors before = m.ringCursors();
    for (uint32_t i = 0; i < skipped / 882; ++i) skipping.tick();
    const RingCursors after = m.ringCursors();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(m.frameCount(), skipped);
    EXPECT_EQ(m.elapsedMs(), 20000);
    EXPECT_EQ(m.endSkip(), 20000);
    EXPECT_FALSE(m.inSkipMode());
    EXPECT_EQ(skipping.read(44100), expected);
    // Outside skip mode the count goes on from where the skip left off.
    EXPECT_EQ(m.elapsedMs(), 21000);

    m.beginSkip();
    for (int i = 0; i < 100; ++i) skipping.tick();
    EXPECT_EQ(m.frameCount(), 88200u);
    m.setBlockSize(441);
    m.beginSkip();
    for (int i = 0; i < 100; ++i) skipping.tick();
    EXPECT_EQ(m.endSkip(), 1000);
}
