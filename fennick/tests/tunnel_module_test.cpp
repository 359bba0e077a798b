// The Tunnel's bands, flares, rings and walls on fixed rows, worked out by
// hand, and its picture as GL calls: 840 wall triangles, two more for each
// flare drawn, additive blending and a depth test that is always turned
// back on.
#include "fennick/tests/module_fixture.h"
#include "fennick/texture.h"
#include "fennick/tunnel_module.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <tuple>

namespace fennick {
namespace {

using testing::callsOf;
using testing::countOf;
using testing::glLog;
using testing::primitives;

struct Tunnel : testing::ModuleFixture {
    std::unique_ptr<TunnelState> state = std::make_unique<TunnelState>();
    void start() {
        startTunnel(gl, *state, *scene, settings, "/nonexistent/");
        glLog().clear();
    }
    void frames(int n) {
        for (int f = 0; f < n; ++f) updateTunnel(*state, *scene, settings, rows());
    }
    void draw() {
        glLog().clear();
        drawTunnel(gl, *state, settings, fade);
    }
    Flare& activeFlare(float z, float r = 255, float g = 0, float b = 0) {
        for (Flare& f : state->flares)
            if (!f.active) {
                f = Flare{};
                f.z = z;
                f.r = r;
                f.g = g;
                f.b = b;
                f.size = 1;
                f.active = 1;
                ++state->flareCount;
                return f;
            }
        throw std::logic_error("no free flare");
    }
};

TEST_F(Tunnel, SpawnTakesTheFirstFreeRecordUntil99AreCounted) {
    start();
    spawnFlare(*state, 1, 2, 3, 4);
    spawnFlare(*state, 5, 6, 7, 8);
    EXPECT_EQ(state->flareCount, 2);
    EXPECT_EQ((std::tuple{state->flares[1].r, state->flares[1].size, state->flares[1].z}),
              (std::tuple{5.0f, 8.0f, tunnelNear}));
    state->flares[0].active = 0; // expired without being uncounted
    state->flareCount = 99;
    spawnFlare(*state, 1, 1, 1, 1);
    EXPECT_EQ(state->flares[0].active, 0);
    for (Flare& f : state->flares) f.active = 1;
    state->flareCount = 50;
    spawnFlare(*state, 1, 1, 1, 1);
    EXPECT_EQ(state->flareCount, 50);
}

TEST_F(Tunnel, BandHistoryReplacesTheFirstSmallerEntrySoTheAverageOnlyRises) {
    struct Step {
        float value, average;
    } steps[] = {{5, 0.5f}, {3, 0.8f}, {0, 0.8f}, {10, 1.3f}, {3, 1.6f}, {2, 1.8f}, {1, 1.9f}};
    BandHistory band;
    for (const Step& s : steps) {
        updateBand(band, s.value);
        EXPECT_FLOAT_EQ(band.average, s.average) << s.value;
    }
    EXPECT_EQ(band.history[0], 10);
}

TEST_F(Tunnel, BandPeaksLaunchFlaresInTheirColourAndSize) {
    start();
    settings.Light2 = 0x00FF0000; // treble blue
    spectrum[0][3] = 255;         // bass
    spectrum[0][30] = 51;         // middle
    spectrum[0][574] = 100;       // treble's last bin
    spectrum[0][575] = 255;       // in no band
    settings.FlareSpeed = 200;
    frames(1);
    ASSERT_EQ(state->flareCount, 3);
    struct Expected {
        float r, g, b, size;
    } expected[] = {{229.5f, 0, 0, 63.75f}, {0, 51, 0, 12.75f}, {0, 0, 100, 50}};
    for (int i = 0; i < 3; ++i) {
        const Flare& f = state->flares[i];
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(f.r, expected[i].r);
        EXPECT_FLOAT_EQ(f.g, expected[i].g);
        EXPECT_FLOAT_EQ(f.b, expected[i].b);
        EXPECT_FLOAT_EQ(f.size, expected[i].size);
        EXPECT_FLOAT_EQ(f.z, tunnelNear - 2 * expected[i].size);
    }
    // The bass average is now 25.5; with sensitivity 5 a peak must pass 20.5,
    // and after that 21 the average is 27.6, so 22 no longer launches one.
    std::memset(spectrum, 0, sizeof spectrum);
    spectrum[0][0] = 21;
    frames(1);
    EXPECT_EQ(state->flareCount, 4);
    spectrum[0][0] = 22;
    frames(1);
    EXPECT_EQ(state->flareCount, 4);
}

TEST_F(Tunnel, FlaresMoveBySizeAndSpeedAndExpireBeyondTheFarEnd) {
    struct Case {
        int flares, flareSpeed;
        float step;
    } cases[] = {{1, 100, 10}, {1, 250, 25}, {1, 0, 0.1f}, {1, -7, 0.1f}, {0, 250, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flareSpeed);
        start();
        settings.Flares = c.flares;
        settings.FlareSpeed = c.flareSpeed;
        Flare& f = activeFlare(0);
        f.x = 50;
        f.size = 10;
        frames(1);
        EXPECT_FLOAT_EQ(f.z, -c.step);
        EXPECT_EQ(f.x, 0);
    }
    start();
    settings.Flares = 0;
    Flare& f = activeFlare(tunnelFar + 5);
    f.size = 5;
    frames(1);
    EXPECT_EQ((std::pair{f.active, state->flareCount}), (std::pair{1, 1})) << "at the far end";
    frames(1);
    EXPECT_EQ((std::pair{f.active, state->flareCount}), (std::pair{0, 0}));
}

TEST_F(Tunnel, RingsAreRoundNearTheEyeBulgeWithTheWaveformAndEndBlack) {
    start();
    settings.Bright = 7;
    waveform[0][5 * 4] = 100; // ring 5, point 4: 228 x 1.5 + 200
    frames(1);
    const auto& rings = state->rings;
    EXPECT_EQ((std::tuple{rings[0][0].x, rings[0][0].y, rings[0][0].z}),
              (std::tuple{328.0f, 0.0f, -750.0f}));
    EXPECT_EQ(rings[2][0].x, 328) << "no path offset";
    float r = std::trunc(128 * 1.5f + 200);
    EXPECT_EQ(rings[3][0].x, r + state->offsetX[3]);
    EXPECT_EQ(rings[3][0].z, 0);
    const TrigTables& t = scene->trig;
    EXPECT_EQ(rings[5][4].x,
              std::trunc(float(228 * 1.5 + 200) * cosDegOf(t, 32)) + state->offsetX[5]);
    EXPECT_EQ(rings[5][42].x, rings[5][0].x);
    // Path offsets: 0.56 then 25 degrees a ring, RotSpeed x 4 long.
    EXPECT_FLOAT_EQ(state->offsetX[0], 200 * sinDegOf(t, 25));
    EXPECT_FLOAT_EQ(state->offsetY[10], 200 * cosDegOf(t, int(wrapDegrees(0.56f + 275))));
    // Without flares each ring keeps Bright twice over (its own and the
    // probe's); ring 10 is black.
    EXPECT_EQ(rings[4][9].r, 14);
    EXPECT_EQ(rings[10][9].r + rings[10][42].g, 0);
    activeFlare(0);
    frames(1);
    EXPECT_GT(rings[3][0].r, 14) << "the flare lights ring 3 (z 0)";
    EXPECT_EQ(rings[3][0].g, 14);
    EXPECT_EQ(rings[10][3].r, 0);
}

TEST_F(Tunnel, VisibleFlaresAreThoseBrightEnoughInARingsSlotUpToAHundred) {
    start();
    activeFlare(500 - 124.5f);              // ring 5's slot, halfway
    activeFlare(500 - 124.5f, 139, 69, 39); // too dim for every band
    activeFlare(500 - 124.5f, 0, 0, 40);    // blue passes 255 - 215
    activeFlare(tunnelNear - 1);            // beyond every slot
    settings.FlareSpeed = 1;                // they stay nearly where they are
    frames(1);
    ASSERT_EQ(state->visibleCount, 2);
    const VisibleFlare& v = state->visible[0];
    float t = (v.z - 500) / 249;
    EXPECT_NEAR(t, -0.5f, 0.01f);
    EXPECT_FLOAT_EQ(v.x, state->offsetX[5] + t * (state->offsetX[5] - state->offsetX[4]));
    EXPECT_EQ(state->visible[1].b, 40);
    settings.Flares = 0;
    frames(1);
    EXPECT_EQ(state->visibleCount, 0) << "lit but never drawn";

    start();
    settings.Flares = 1;
    for (int i = 0; i < flareRecordCount; ++i) activeFlare(0 - float(i));
    frames(1);
    EXPECT_EQ(state->visibleCount, visibleFlareLimit);
}

TEST_F(Tunnel, WallsAreTexturedAroundWithAWideClosingSegmentAndScroll) {
    start();
    state->scrollS = 0.99f;
    frames(1);
    draw();
    auto tris = primitives(glTriangles);
    ASSERT_EQ(tris.size(), 1u);
    ASSERT_EQ(tris[0].size(), 840u * 3);
    auto coords = callsOf("glTexCoord2f");
    // Ring 0's last segment: V2 is s = 45 steps + scroll; the scroll passed 1
    // after this band and started again from 0.
    float s = 0.99f;
    char expected[64];
    std::snprintf(expected, sizeof expected, "glTexCoord2f %g %g", 45 * tunnelTexStep + s,
                  1 * tunnelTexStep);
    EXPECT_EQ(coords[41 * 6 + 1], expected);
    EXPECT_FLOAT_EQ(state->scrollS, 7 / 255.0f);
    EXPECT_FLOAT_EQ(state->scrollT, 10 / 255.0f);
}

TEST_F(Tunnel, DrawsTwoAdditiveTrianglesPerFlareInFrontOfTheViewerAndRestoresTheDepthTest) {
    start();
    settings.FlareSpeed = 1;
    activeFlare(500 - 10);
    activeFlare(250 - 10);
    activeFlare(-10); // listed behind ring 3 but under 100: not drawn
    frames(1);
    ASSERT_EQ(state->visibleCount, 3);
    draw();
    auto tris = primitives(glTriangles);
    ASSERT_EQ(tris.size(), 3u);
    EXPECT_EQ(tris[1].size(), 6u);
    EXPECT_EQ(countOf("glBlendFunc 1 1"), 2);
    EXPECT_EQ(countOf("glEnable 3042"), 2);
    EXPECT_EQ(countOf("glDisable 3042"), 2);
    EXPECT_EQ(countOf("glDisable 2929"), 2);
    EXPECT_EQ(countOf("glEnable 2929"), 3);
    EXPECT_EQ(glLog().back(), "glPopMatrix");
    EXPECT_EQ(countOf("glPushMatrix"), countOf("glPopMatrix"));
    EXPECT_EQ(callsOf("gluPerspective"), std::vector<std::string>{"gluPerspective 120 1 1 2000"});
}

TEST_F(Tunnel, StartUncountsFlaresLeftInFlightAndStopDeletesBothTextures) {
    start();
    for (int i = 0; i < 40; ++i) activeFlare(0);
    start();
    EXPECT_EQ(state->flareCount, 0);
    EXPECT_EQ(state->flares[39].active, 0);
    EXPECT_EQ(state->flares[39].z, tunnelNear);
    spectrum[0][0] = 255;
    frames(1);
    EXPECT_EQ(state->flareCount, 1);
    glLog().clear();
    stopTunnel(gl, *state);
    EXPECT_EQ(glLog(), std::vector<std::string>{"glDeleteTextures 2"});
}

TEST_F(Tunnel, RandomizeGivesEachFlareAnOffsetOfMinus200To199) {
    settings.Randomize = 1;
    start();
    float low = 0, high = 0;
    for (const Flare& f : state->flares) {
        low = std::min({low, f.dx, f.dy});
        high = std::max({high, f.dx, f.dy});
        EXPECT_EQ(f.dx, std::trunc(f.dx));
    }
    EXPECT_GE(low, -200);
    EXPECT_LE(high, 199);
    EXPECT_LT(low, -150);
    EXPECT_GT(high, 150);
}

// Space's action runs on the 14th frame after the press: the wall texture
// is loaded again within that frame's draw.
class OneFile : public FileSearch {
public:
    bool start(const std::string&, std::string& first) override {
        first = "G3D_A.bmp";
        return true;
    }
    bool next(std::string&) override { return false; }
    void close() override {}
};

struct SpaceContext {
    TunnelState* state;
    GlEntryPoints gl;
    std::vector<std::string> paths;
};

TEST_F(Tunnel, SpaceCyclesTheWallTextureOnTheFourteenthFrame) {
    start();
    SpaceContext context{state.get(), gl, {}};
    startFadeOut(
        fade,
        [](void* c) {
            auto* space = static_cast<SpaceContext*>(c);
            TextureCycle cycle;
            OneFile search;
            space->paths.push_back(
                cycleTexture(cycle, search, "/x/", space->gl, 3, space->state->wallTexture));
        },
        &context);
    for (int frame = 1; frame <= 14; ++frame) {
        frames(1);
        draw();
        EXPECT_EQ(context.paths.size(), frame == 14 ? 1u : 0u) << frame;
    }
    EXPECT_EQ(context.paths[0], "/x/G3D_A.bmp");
    EXPECT_EQ(countOf("glBindTexture 3553 " + std::to_string(state->wallTexture)), 2);
}

} // namespace
} // namespace fennick
