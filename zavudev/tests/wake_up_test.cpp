// "wake up": the helpers, the generator uses, the mode word, the scenes and
// blends under forced state, the zoom cycle and the picture's symmetry.
#include "zavudev/picture.h"
#include "zavudev/wake_tables.h"
#include "zavudev/wake_up.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace zavudev {
namespace {

struct Fixture {
    std::unique_ptr<WakeUp> wake = std::make_unique<WakeUp>(); // zero, as at load
    RandomWords shared;
    CrtRandom crt;
    std::vector<uint8_t> picture = std::vector<uint8_t>(picturePixels, 0);

    Fixture() { startWakeUp(*wake, shared, crt); }
    void frame(unsigned flags = 0) { frameWakeUp(*wake, flags, picture.data()); }
    uint8_t at(int row, int column) const { return picture[size_t(row * pictureWidth + column)]; }

    // Every index a colour of the palette's half, and the picture mirrored
    // about both centre lines.
    void expectIndexesAndSymmetry(const char* what) const {
        for (int row = 0; row < pictureHeight; ++row) {
            for (int column = 0; column < pictureWidth; ++column) {
                uint8_t v = at(row, column);
                ASSERT_LE(v, 127) << what << " at " << row << "," << column;
                ASSERT_EQ(v, at(row, pictureWidth - 1 - column))
                    << what << " at " << row << "," << column;
                ASSERT_EQ(v, at(pictureHeight - 1 - row, column))
                    << what << " at " << row << "," << column;
            }
        }
    }
};

TEST(WakeUp, FoldAndReflect) {
    struct Case {
        int v, folded;
    } folds[] = {{0, 0},   {127, 127}, {128, 127}, {255, 0},
                 {256, 0}, {300, 44},  {-1, 0},    {-128, 127}};
    for (const Case& c : folds) EXPECT_EQ(fold(c.v), c.folded) << c.v;
    Case reflects[] = {{-256, 255}, {-1, 0}, {0, 0}, {255, 255}, {256, 255}, {300, 211}, {511, 0}};
    for (const Case& c : reflects) EXPECT_EQ(reflect(c.v), c.folded) << c.v;
}

TEST(WakeUp, PickRandomMapping) {
    int three[4] = {}, four[5] = {};
    for (int low = 0; low < 256; ++low) {
        ++three[pickFromByte(3, low)];
        ++four[pickFromByte(4, low)];
        EXPECT_EQ(pickFromByte(4, low), 1 + (low >> 6));
    }
    EXPECT_EQ(three[1], 86);
    EXPECT_EQ(three[2], 85);
    EXPECT_EQ(three[3], 85);
    EXPECT_EQ(pickFromByte(3, 85), 1);
    EXPECT_EQ(pickFromByte(3, 86), 2);
    EXPECT_EQ(pickFromByte(3, 171), 3);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(four[n], 64);

    // One step of the module's own pair, nothing of the shared words.
    Fixture f;
    RandomWords pair = f.wake->pair, shared = f.shared;
    int picked = pickRandom(*f.wake, 3);
    stepRandom(pair);
    EXPECT_EQ(picked, pickFromByte(3, pair.a & 255));
    EXPECT_EQ(f.wake->pair.a, pair.a);
    EXPECT_EQ(f.shared.a, shared.a);
}

// The start draws four run-time values: 41 and 18467 seed the shared words,
// 6334 and 26500 the pair, which then picks the scene and the blend.
TEST(WakeUp, StartSeedsAndAsksForEverything) {
    Fixture f;
    EXPECT_EQ(uint32_t(f.shared.a), 41u + 0x01234567u);
    EXPECT_EQ(uint32_t(f.shared.b), 18467u - 0x76543211u);
    RandomWords pair{int32_t(6334u + 0x01234567u), int32_t(26500u - 0x76543211u)};
    stepRandom(pair);
    EXPECT_EQ(f.wake->scene, pickFromByte(3, pair.a & 255));
    stepRandom(pair);
    EXPECT_EQ(f.wake->blendMode, pickFromByte(4, pair.a & 255));
    EXPECT_EQ(f.wake->pair.a, pair.a);
    EXPECT_EQ(f.wake->modeWord, uint32_t(modeFirstFrame));
    EXPECT_EQ(f.wake->voices[0].voiceSpeed, 128);
    EXPECT_EQ(f.wake->voices[1].nextSpeed, 128);
}

TEST(WakeUp, ModeWordAndPalette) {
    Fixture f;
    // The first frame builds a palette although it is no beat.
    f.frame();
    EXPECT_EQ(f.wake->modeWord, 0u);
    EXPECT_NE(f.wake->zoomSpeed, 0); // reconfigured
    uint8_t first[wakePaletteSize][4];
    std::memcpy(first, f.wake->palette, sizeof first);
    EXPECT_NE(std::memcmp(first, std::vector<uint8_t>(sizeof first, 0).data(), sizeof first), 0);
    f.frame();
    EXPECT_EQ(std::memcmp(first, f.wake->palette, sizeof first), 0);
    f.frame(wakeBeat);
    EXPECT_EQ(f.wake->modeWord, 0u);
    EXPECT_NE(std::memcmp(first, f.wake->palette, sizeof first), 0);
}

// Each channel reads one wave of one half at a stride of (1..32)/16 from an
// offset of 0..7; the fourth byte is never written.
TEST(WakeUp, PaletteComesFromTheWaves) {
    Fixture f;
    const WakeTables& t = wakeTables();
    for (int round = 0; round < 12; ++round) {
        std::memset(f.wake->palette, 0xEE, sizeof f.wake->palette);
        buildWakePalette(*f.wake);
        int halves = 0;
        for (int channel = 0; channel < 3; ++channel) {
            int found = 0;
            for (int wave = 0; wave < waveCount; ++wave) {
                for (int phase = 0; phase < 8; ++phase) {
                    for (int stride = 1; stride <= 32; ++stride) {
                        bool all = true;
                        for (int j = 0; j < wakePaletteSize && all; ++j)
                            all = f.wake->palette[j][channel] ==
                                  t.shapeWaves[wave][(phase + ((j * stride) >> 4)) & 255];
                        if (all) found |= wave < 4 ? 1 : 2;
                    }
                }
            }
            EXPECT_NE(found, 0) << "round " << round << " channel " << channel;
            halves |= found;
        }
        EXPECT_NE(halves, 3) << "channels from both halves in round " << round;
        for (int j = 0; j < wakePaletteSize; ++j) ASSERT_EQ(f.wake->palette[j][3], 0xEE);
    }
}

TEST(WakeUp, EverySceneAndBlendIsMirroredIndexes) {
    for (int scene = 1; scene <= 3; ++scene) {
        for (int blend = 1; blend <= 4; ++blend) {
            Fixture f;
            f.frame();
            // A snapshot and a history unlike the view.
            for (int j = 0; j < viewHeight; ++j)
                for (int i = 0; i < viewWidth; ++i) {
                    f.wake->snapshot[j][i] = uint8_t((i * 3 + j * 5) & 127);
                    f.wake->blend[j][i] = uint8_t((i * 7) & 127);
                }
            f.wake->scene = scene;
            f.wake->blendMode = blend;
            for (int frame = 0; frame < 40; ++frame) {
                // New parameters and palettes now and then, with the scene
                // and the blend held.
                if (frame % 9 == 4) reconfigureWakeUp(*f.wake);
                f.frame(frame % 9 == 4 ? unsigned(wakeNewPalette) : 0u);
                std::string what =
                    "scene " + std::to_string(scene) + " blend " + std::to_string(blend);
                f.expectIndexesAndSymmetry(what.c_str());
                if (HasFatalFailure()) return;
                const ViewImage& source = blend == 1 ? f.wake->view : f.wake->blend;
                for (auto [row, column] : {std::pair{95, 159}, {95, 160}, {96, 159}, {96, 160}})
                    ASSERT_EQ(f.at(row, column), source[0][0]) << what;
                if (blend == 3) {
                    for (int j = 0; j < viewHeight; ++j)
                        for (int i = 0; i < viewWidth; ++i)
                            if (f.wake->view[j][i] <= f.wake->snapshot[j][i]) {
                                ASSERT_EQ(f.wake->blend[j][i], 0) << what;
                            }
                }
            }
        }
    }
}

// The unfold reads column 80 of the source, which no one writes: with the
// source's last column at 100 the picture's outer column pair is 100, 50.
TEST(WakeUp, UnfoldReadsTheUnwrittenColumnAsZero) {
    Fixture f;
    f.wake->blendMode = 1;
    for (int j = 0; j < viewHeight; ++j)
        for (int i = 0; i < viewWidth; ++i) f.wake->view[j][i] = 100;
    composePicture(*f.wake, f.picture.data());
    EXPECT_EQ(f.at(96, 318), 100);
    EXPECT_EQ(f.at(96, 319), 50);
    EXPECT_EQ(f.at(97, 319), 50);
    EXPECT_EQ(f.at(96, 0), 50);
    EXPECT_EQ(f.at(97, 1), 100);
}

class ZoomCycle : public ::testing::TestWithParam<int> {};

// Over one cycle the source's rows 0..95 are refined into all 192 rows of
// the destination, each exactly once, seeds go in on the last frame, and
// the buffers then swap.
TEST_P(ZoomCycle, RefinesEveryRowOnceAndSwaps) {
    const int speed = GetParam();
    Fixture f;
    f.frame();
    WakeUp& w = *f.wake;
    w.scene = 1;
    w.zoomSpeed = uint8_t(speed);
    w.zoomPhase = 0;
    w.zoomSource = 0;
    for (int row = 0; row < zoomHeight; ++row)
        for (int column = 0; column < zoomWidth; ++column)
            w.zoom[0][row][column] = uint8_t((row + column) & 127);
    w.zoom[0][0][0] = 7;
    const uint8_t sentinel = 255; // beyond anything the refining writes
    std::memset(w.zoom[1], sentinel, sizeof w.zoom[1]);
    const int frames = 64 / speed;
    const int rowsPerFrame = (speed >> 1) * 3 * 2;
    for (int n = 1; n <= frames; ++n) {
        ASSERT_EQ(w.zoomSource, 0);
        f.frame();
        for (int row = 0; row < zoomHeight; ++row) {
            int untouched = 0;
            for (int column = 0; column < zoomWidth; ++column)
                untouched += w.zoom[1][row][column] == sentinel;
            bool refined = row < n * rowsPerFrame;
            ASSERT_EQ(untouched, refined ? 0 : zoomWidth) << "frame " << n << " row " << row;
        }
        if (n < frames) {
            ASSERT_EQ(w.zoom[1][0][0], 7) << "frame " << n;
            ASSERT_EQ(w.zoomPhase, n * speed);
        }
    }
    EXPECT_EQ(w.zoom[1][0][0], 64); // a seed, over the refined pixel
    EXPECT_EQ(w.zoomPhase, 0);
    EXPECT_EQ(w.zoomSource, 1);
    // The next frame shows the new source at full size: its top-left corner.
    f.frame();
    EXPECT_EQ(w.view[0][0], 64);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ZoomCycle, ::testing::Values(4, 8));

TEST(WakeUp, BeatPickingTheZoomStartsFromTheLastView) {
    Fixture f;
    f.frame();
    for (int beat = 0; beat < 64; ++beat) {
        for (int n = 0; n < 3; ++n) f.frame();
        std::vector<uint8_t> last(&f.wake->view[0][0], &f.wake->view[0][0] + sizeof(ViewImage));
        f.frame(wakeBeat);
        if (f.wake->scene != 1) continue;
        for (int j = 0; j < viewHeight; ++j)
            for (int i = 0; i < viewWidth; ++i)
                ASSERT_EQ(f.wake->zoom[0][j][i], last[size_t(j * viewPitch + i)]) << j << "," << i;
        EXPECT_EQ(f.wake->zoomSource, 0);
        EXPECT_EQ(f.wake->view[0][0], last[0]);
        if (f.wake->blendMode != 1) {
            EXPECT_EQ(std::memcmp(f.wake->snapshot, last.data(), sizeof(ViewImage)), 0);
        }
        return;
    }
    FAIL() << "no beat picked the zoom";
}

TEST(WakeUp, MemoryAndCycleOffsetOutliveAStart) {
    Fixture f;
    f.frame();
    f.wake->blendMode = 2;
    for (int n = 0; n < 5; ++n) f.frame();
    uint8_t offset = f.wake->cycleOffset;
    EXPECT_NE(offset, 0);
    std::vector<uint8_t> view(&f.wake->view[0][0], &f.wake->view[0][0] + sizeof(ViewImage));
    startWakeUp(*f.wake, f.shared, f.crt);
    EXPECT_EQ(f.wake->cycleOffset, offset);
    EXPECT_EQ(std::memcmp(f.wake->view, view.data(), view.size()), 0);
    EXPECT_EQ(f.wake->modeWord, uint32_t(modeFirstFrame));
}

TEST(WakeUp, DriftRule) {
    struct Case {
        uint8_t drift, step, moved;
    } cases[] = {{10, 2, 8}, {10, 8, 2}, {1, 4, 253}, {10, 66, 12}, {254, 72, 6}, {0, 70, 6}};
    for (const Case& c : cases)
        EXPECT_EQ(driftBy(c.drift, c.step), c.moved) << int(c.drift) << "," << int(c.step);
}

} // namespace
} // namespace zavudev
