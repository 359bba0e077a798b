// The scene's pure parts: the settings' limits, the private generator, the
// effect scheduler, the sound levels, the point clouds and the screenshot file.
#include "umbrek/effect_scheduler.h"
#include "umbrek/point_clouds.h"
#include "umbrek/screenshot_file.h"
#include "umbrek/settings.h"
#include "umbrek/sound_levels.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <filesystem>

namespace umbrek {
namespace {

TEST(Settings, DefaultsAndKeyOrder) {
    const Settings s;
    const std::array<std::int32_t, 7> defaults = {600, 200, 3, 70, 0, 0, 0};
    const char* names[7] = {"EffectTime",   "EffectFade", "NumEffects", "MotionBlur",
                            "RenderDevice", "RenderHAL",  "RunInWindow"};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_STREQ(settingKeys[i].name, names[i]);
        EXPECT_EQ(s.*settingKeys[i].field, defaults[i]) << names[i];
    }
}

TEST(Settings, HandEditedValuesAreHeldToTheirLimits) {
    struct Case {
        std::int32_t Settings::*field;
        std::int32_t read, held;
    };
    const Case cases[] = {
        {&Settings::numEffects, 0, 1},          {&Settings::numEffects, 7, 6},
        {&Settings::numEffects, -1, 1},         {&Settings::numEffects, INT_MAX, 6},
        {&Settings::numEffects, 4, 4},          {&Settings::effectFade, 0, 1},
        {&Settings::effectFade, INT_MIN, 1},    {&Settings::effectTime, 0, 1},
        {&Settings::effectTime, -5, 1},         {&Settings::effectTime, INT_MAX, INT_MAX},
        {&Settings::motionBlur, 1000, 255},     {&Settings::motionBlur, -1, 0},
        {&Settings::motionBlur, 255, 255},      {&Settings::renderDevice, -7, -7},
        {&Settings::runInWindow, 12345, 12345},
    };
    for (const Case& c : cases) {
        Settings s;
        s.*c.field = c.read;
        clampSettings(s);
        EXPECT_EQ(s.*c.field, c.held) << "read " << c.read;
    }
}

TEST(CrtRandom, FollowsTheRunTimeSequence) {
    // The run-time generator's first values after seed 1.
    CrtRandom r;
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358})
        EXPECT_EQ(r.next(), expected);
    CrtRandom big{0xFFFFFFFFu};
    EXPECT_EQ(big.next(), int(((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFF));
}

Settings effectSettings(int count, int time, int fade) {
    Settings s;
    s.numEffects = count, s.effectTime = time, s.effectFade = fade;
    return s;
}

TEST(EffectScheduler, FirstFillStaggersAndAllowsTheSameEffectTwice) {
    // Seed 1 gives picks 1 7 4 0 9 4 8 8 2 4 5 5 1 7 1 (mod 10): the busy
    // numbers are passed over, and the first fill does not mark its picks.
    CrtRandom random;
    EffectSchedule schedule;
    fillEffectSlots(schedule, effectSettings(6, 600, 200), random);
    ASSERT_EQ(schedule.count, 6);
    const std::int32_t effects[6] = {1, 0, 5, 5, 1, 1};
    const std::int32_t frames[6] = {600, 900, 1200, 1500, 1800, 2100};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(schedule.slots[i].effect, effects[i]) << i;
        EXPECT_EQ(schedule.slots[i].left, frames[i]) << i;
        EXPECT_EQ(schedule.slots[i].total, frames[i]) << i;
    }
    const std::array<std::uint8_t, 10> busy = {0, 0, 1, 0, 1, 0, 1, 1, 1, 1};
    EXPECT_EQ(schedule.busy, busy);
    // The generator moved on by exactly those 15 picks.
    CrtRandom expected;
    for (int i = 0; i < 15; ++i) expected.next();
    EXPECT_EQ(random.seed, expected.seed);
}

TEST(EffectScheduler, HugeEffectTimeStaggersWithoutOverflow) {
    CrtRandom random;
    EffectSchedule schedule;
    fillEffectSlots(schedule, effectSettings(6, INT_MAX, 1), random);
    EXPECT_EQ(schedule.slots[0].total, INT_MAX);
    EXPECT_EQ(schedule.slots[5].total, INT_MAX);
}

TEST(EffectScheduler, NewPickFreesTheOldNumberAndMarksTheNew) {
    CrtRandom random{7};
    EffectSchedule schedule;
    fillEffectSlots(schedule, effectSettings(1, 600, 200), random);
    const int old = schedule.slots[0].effect;
    CrtRandom copy = random;
    int expected;
    do expected = copy.next() % 10;
    while (schedule.busy[std::size_t(expected)]);
    pickNewEffect(schedule, 0, effectSettings(1, 300, 200), random);
    EXPECT_EQ(schedule.slots[0].effect, expected);
    EXPECT_EQ(schedule.slots[0].left, 300);
    EXPECT_EQ(schedule.slots[0].total, 300);
    EXPECT_EQ(schedule.busy[std::size_t(expected)], 1);
    if (expected != old) {
        EXPECT_EQ(schedule.busy[std::size_t(old)], 0);
    }
}

TEST(EffectScheduler, FiveHundredBusyPicksKeepTheEffect) {
    CrtRandom random{99};
    EffectSchedule schedule;
    fillEffectSlots(schedule, effectSettings(2, 600, 200), random);
    schedule.busy.fill(1);
    schedule.slots[1].left = 1;
    const std::int32_t kept = schedule.slots[1].effect;
    CrtRandom expected = random;
    for (int i = 0; i < effectPickTries; ++i) expected.next();
    pickNewEffect(schedule, 1, effectSettings(2, 450, 200), random);
    EXPECT_EQ(schedule.slots[1].effect, kept);
    EXPECT_EQ(schedule.slots[1].left, 450);
    EXPECT_EQ(schedule.slots[1].total, 450);
    EXPECT_EQ(random.seed, expected.seed);
}

TEST(EffectScheduler, OneEffectFadesInAndOutOverTwoHundredFrames) {
    const Settings s = effectSettings(1, 600, 200);
    CrtRandom random;
    EffectSchedule schedule;
    fillEffectSlots(schedule, s, random);
    const std::int32_t first = schedule.slots[0].effect;
    struct Step {
        int frame;
        float fade;
    };
    const Step steps[] = {{1, 1.0f / 200}, {100, 0.5f},   {199, 199.0f / 200},
                          {200, 1},        {400, 1},      {401, 0.995f},
                          {500, 0.5f},     {599, 0.005f}, {600, 0},
                          {601, 0.005f},   {800, 1},      {1200, 0}};
    std::size_t next = 0;
    for (int frame = 1; frame <= 1200; ++frame) {
        const float fade = advanceEffectSlot(schedule, 0, s, random);
        if (frame < 600) {
            ASSERT_EQ(schedule.slots[0].effect, first) << frame;
        }
        if (next < std::size(steps) && steps[next].frame == frame) {
            EXPECT_FLOAT_EQ(fade, steps[next].fade) << "frame " << frame;
            ++next;
        }
    }
    EXPECT_EQ(next, std::size(steps));
}

TEST(SoundLevels, TableOfSpectra) {
    struct Case {
        const char* what;
        int from, to, value; // bins [from, to) set to value, the rest 0
        std::int32_t bass, sum, alpha, overlay;
    };
    // Run in order: the bass level carries over from row to row.
    const Case cases[] = {
        {"silence", 0, 0, 0, 0, 0, 0, 70},
        {"bass peak", 3, 4, 200, 200, 0, 0, 70},
        {"decays by 10", 0, 0, 0, 190, 0, 0, 70},
        {"a lower peak does not pull it down", 0, 16, 100, 180, 0, 0, 70},
        {"a higher one lifts it", 15, 16, 250, 250, 0, 0, 70},
        {"middle bins at 2", 16, 144, 2, 240, 256, 64, 74},
        {"middle bins full", 16, 144, 255, 230, 32640, 255, 255},
        {"bin 144 is not counted", 144, 576, 255, 220, 0, 0, 70},
        {"bin 143 is", 143, 144, 100, 210, 100, 25, 71},
    };
    SoundLevels levels;
    for (const Case& c : cases) {
        std::array<std::uint8_t, spectrumBins> row{};
        for (int i = c.from; i < c.to; ++i) row[std::size_t(i)] = std::uint8_t(c.value);
        analyseSound(levels, row.data(), 70);
        EXPECT_EQ(levels.bassLevel, c.bass) << c.what;
        EXPECT_EQ(levels.sum, c.sum) << c.what;
        EXPECT_EQ(levels.alpha, c.alpha) << c.what;
        EXPECT_EQ(levels.overlayOpacity, c.overlay) << c.what;
    }
    // Down to 15: one more step leaves 5, and a level of 10 or less drops to 0.
    levels.bassLevel = 15;
    analyseSound(levels, nullptr, 0);
    EXPECT_EQ(levels.bassLevel, 5);
    analyseSound(levels, nullptr, 0);
    EXPECT_EQ(levels.bassLevel, 0);
    EXPECT_EQ(levels.overlayOpacity, 0);
}

TEST(PointClouds, TubeCloudPoints) {
    TubeCloud cloud;
    makeTubeCloud(cloud);
    struct Point {
        std::size_t index;
        float x, y, z;
    };
    // 15 angles of 24 degrees, 20 rings each from z -200 to 180.
    const Point points[] = {{0, 60, 0, -200},
                            {19, 60, 0, 180},
                            {20, 54.812727f, 24.404198f, -200},
                            {101, -30, 51.961524f, -180},
                            {299, 54.812727f, -24.404198f, 180}};
    for (const Point& p : points) {
        EXPECT_NEAR(cloud[p.index].x, p.x, 1e-5) << p.index;
        EXPECT_NEAR(cloud[p.index].y, p.y, 1e-5) << p.index;
        EXPECT_EQ(cloud[p.index].z, p.z) << p.index;
    }
    for (const vastrel::Vec3& v : cloud) EXPECT_NEAR(std::hypot(v.x, v.y), 60, 1e-4);
}

TEST(PointClouds, StarFieldComesFromTheGeneratorAndStreams) {
    CrtRandom random;
    StarField stars;
    makeStarField(stars, random);
    // 41, 18467, 6334: x = 500 - 41, y = 500 - 467, z = -334.
    EXPECT_EQ(stars[0].x, 459);
    EXPECT_EQ(stars[0].y, 33);
    EXPECT_EQ(stars[0].z, -334);
    for (const vastrel::Vec3& s : stars) {
        EXPECT_TRUE(s.x > -500 && s.x <= 500 && s.y > -500 && s.y <= 500);
        EXPECT_TRUE(s.z <= 0 && s.z > -1000);
    }
    stars[1].z = 395;
    moveStarField(stars, 175); // 175 / 16 = 10
    EXPECT_EQ(stars[0].z, -324);
    EXPECT_EQ(stars[1].z, -1000); // beyond 400: back to the far end
}

TEST(ScreenshotFile, HeaderAndPixelRule) {
    const std::uint16_t pixels[] = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410, 0x0000};
    const std::vector<std::uint8_t> tga = encodeTga(pixels, 3, 2);
    ASSERT_EQ(tga.size(), std::size_t(tgaHeaderSize + 6 * 3));
    const std::uint8_t header[tgaHeaderSize] = {0, 0, 2, 0, 0, 0, 0, 0,  0,
                                                0, 0, 0, 3, 0, 2, 0, 24, 0x20};
    EXPECT_TRUE(std::equal(header, header + tgaHeaderSize, tga.begin()));
    const std::uint8_t bgr[6][3] = {{248, 252, 248}, {0, 0, 248},     {0, 252, 0},
                                    {248, 0, 0},     {128, 128, 128}, {0, 0, 0}};
    for (std::size_t i = 0; i < 6; ++i)
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(tga[tgaHeaderSize + 3 * i + k], bgr[i][k]) << "pixel " << i;
}

TEST(ScreenshotFile, FullScreenFileUnderTheNextFreeNumber) {
    namespace fs = std::filesystem;
    const std::string folder = jk::test::tempPath("shots/");
    fs::remove_all(folder);
    fs::create_directories(folder);
    int number = 0;
    EXPECT_EQ(nextScreenshotName(folder, &number), folder + "screen1.tga");
    EXPECT_EQ(number, 1);
    jk::test::writeFile(folder + "screen1.tga", "x", 1);
    jk::test::writeFile(folder + "screen2.tga", "x", 1);
    const std::string name = nextScreenshotName(folder, &number);
    EXPECT_EQ(name, folder + "screen3.tga");
    EXPECT_EQ(number, 3);
    std::vector<std::uint16_t> picture(640 * 480, 0xFFFF);
    ASSERT_TRUE(writeTga(name, picture.data(), 640, 480));
    const std::vector<std::uint8_t> bytes = jk::test::readFile(name);
    ASSERT_EQ(bytes.size(), 921618u);
    EXPECT_EQ(bytes[12] | bytes[13] << 8, 640);
    EXPECT_EQ(bytes[14] | bytes[15] << 8, 480);
    EXPECT_EQ(bytes[921617], 248);
    // A gap is filled first.
    fs::remove(folder + "screen2.tga");
    EXPECT_EQ(nextScreenshotName(folder), folder + "screen2.tga");
    // A file that cannot be made is reported, not written elsewhere.
    EXPECT_FALSE(writeTga(folder + "missing/screen1.tga", picture.data(), 640, 480));
}

} // namespace
} // namespace umbrek
