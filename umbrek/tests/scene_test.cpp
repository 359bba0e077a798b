// The whole scene on the headless board over a library in memory: start-up,
// frames, stop and screenshots; every start-up failure with its message and
// nothing left behind; many start/stop cycles; the motion-blur overlay drawn
// before the frame's own drawing, and the trails it leaves.
#include "umbrek/scene.h"

#include "umbrek/glide/glide_test.h"
#include "umbrek/overlay_drawing.h"
#include "umbrek/tests/counting_allocator.h"
#include "umbrek/fixtures/scene_archive.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/shade_modes.h"
#include "umbrek/vastrel/texture_manager.h"
#include "umbrek/vastrel/tests/library_writer.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <functional>

namespace umbrek {
namespace {

using fixtures::ArchiveVariant;
using test::LibraryEntry;
using test::LibraryOptions;

// The archive maker's members of VARIANT, as library entries to change.
std::vector<LibraryEntry> members(ArchiveVariant variant = ArchiveVariant::complete) {
    return fixtures::libraryEntries(variant);
}

LibraryEntry& member(std::vector<LibraryEntry>& entries, const std::string& name) {
    for (LibraryEntry& e : entries)
        if (e.name == name) return e;
    throw std::runtime_error("no member " + name);
}

void drop(std::vector<LibraryEntry>& entries, const std::string& name) {
    std::erase_if(entries, [&](const LibraryEntry& e) { return e.name == name; });
}

// The last message box, kept without allocating (the allocation counts
// must not see it).
struct Box {
    int count = 0;
    char text[128] = {}, caption[64] = {};
};
Box box;

void recordBox(const char* text, const char* caption) {
    ++box.count;
    std::snprintf(box.text, sizeof box.text, "%s", text);
    std::snprintf(box.caption, sizeof box.caption, "%s", caption);
}

std::array<std::uint8_t, 576> loud() {
    // A loud noise row: every middle bin well up, so S / 4 passes 255.
    std::array<std::uint8_t, 576> row{};
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = std::uint8_t(160 + (i * 37) % 90);
    return row;
}

const std::array<std::uint8_t, 576> silence{};

class SceneTest : public ::testing::Test {
protected:
    void TearDown() override {
        stopScene();
        // A start with the plug-in's path makes its folder current; the
        // later tests of this program must not run in it, even after a
        // failed assertion.
        std::filesystem::current_path(hostFolder_);
        glide::resetOptions();
        box = Box{};
    }

    SceneStart startFor(const std::vector<LibraryEntry>& members, Settings settings = {},
                        const LibraryOptions& options = {}) {
        library_ = test::writeLibrary(members, options);
        SceneStart s;
        s.settings = settings;
        s.randomSeed = 1;
        s.messageBox = recordBox;
        s.libraryBytes = library_.data();
        s.librarySize = library_.size();
        return s;
    }

    static glide::Buffer back() { return glide::colourBuffer(1); }
    static std::uint16_t& backPixel(int x, int y) {
        const glide::Buffer b = back();
        return b.pixels[std::size_t(y) * std::size_t(b.pitch) + std::size_t(x)];
    }
    static int brightestRed() {
        const glide::Buffer b = back();
        int most = 0;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) most = std::max(most, backPixel(x, y) >> 11);
        return most;
    }

    std::vector<std::uint8_t> library_;
    const std::filesystem::path hostFolder_ = std::filesystem::current_path();
};

TEST_F(SceneTest, StartsDrawsAndStopsCleanly) {
    ASSERT_EQ(startScene(startFor(members())), 0) << box.text;
    EXPECT_TRUE(sceneRunning());
    EXPECT_EQ(box.count, 0);
    ASSERT_NE(back().pixels, nullptr);
    EXPECT_EQ(back().width, 640);
    EXPECT_EQ(back().height, 480);
    EXPECT_EQ(vastrel::shadeModes()[74].callback, overlayStateSetup);
    const auto row = loud();
    const std::uint64_t swaps = glide::counters().swaps;
    for (int i = 0; i < 30; ++i) EXPECT_EQ(renderSceneFrame(row.data(), nullptr), 0);
    EXPECT_EQ(glide::counters().swaps, swaps + 30);
    EXPECT_GT(brightestRed(), 0);
    stopScene();
    EXPECT_FALSE(sceneRunning());
    EXPECT_EQ(glide::colourBuffer(0).pixels, nullptr);
    EXPECT_TRUE(vastrel::engine().materials.empty());
    EXPECT_TRUE(vastrel::textureManager().records.empty());
    EXPECT_NE(vastrel::shadeModes()[74].callback, overlayStateSetup);
    // Frames and screenshots after the stop do nothing.
    EXPECT_EQ(renderSceneFrame(row.data(), nullptr), 0);
    EXPECT_EQ(saveScreenshot(), 0);
}

TEST_F(SceneTest, HostileSettingsAreHeldToTheirLimits) {
    Settings s;
    s.numEffects = 2147483647, s.effectFade = 0, s.effectTime = -5, s.motionBlur = 1000;
    ASSERT_EQ(startScene(startFor(members(), s)), 0);
    const auto row = loud();
    for (int i = 0; i < 50; ++i) renderSceneFrame(i % 2 ? row.data() : nullptr, nullptr);
    EXPECT_EQ(sceneSettings().numEffects, 6);
    EXPECT_EQ(sceneSettings().effectFade, 1);
    EXPECT_EQ(sceneSettings().effectTime, 1);
    EXPECT_EQ(sceneSettings().motionBlur, 255);
}

TEST_F(SceneTest, DamageTheModelLoaderToleratesStillStarts) {
    for (ArchiveVariant v : {ArchiveVariant::missingTexture, ArchiveVariant::overrun}) {
        ASSERT_EQ(startScene(startFor(members(v))), 0) << box.text;
        const auto row = loud();
        for (int i = 0; i < 5; ++i) renderSceneFrame(row.data(), nullptr);
        stopScene();
    }
}

struct Failure {
    const char* what;
    ArchiveVariant variant;
    std::function<void(std::vector<LibraryEntry>&)> damage;
    const char* text;
    const char* caption;
};

void noChange(std::vector<LibraryEntry>&) {}

TEST_F(SceneTest, EveryStartFailureIsReportedAndUndoesEverything) {
    using enum ArchiveVariant;
    const Failure failures[] = {
        {"no library", complete, [](auto& m) { m.clear(); }, "cannot open zephrin file", "logo"},
        {"bad password", badPassword, noChange, "cannot open zephrin file", "logo"},
        {"no r model", complete, [](auto& m) { drop(m, "R.KXO"); }, "cannot open r file", "logo"},
        {"no tubes model", complete, [](auto& m) { drop(m, "TUBES.KXO"); },
         "cannot open tubes file", "tubes"},
        {"no checker model", complete, [](auto& m) { drop(m, "CHECKER.KXO"); },
         "cannot open checker file", "checker"},
        {"no spin model", noSpin, noChange, "cannot open zephrinspin file", "zephrinspin"},
        {"no logo material", complete,
         [](auto& m) {
             // Another model under the logo's name: it defines no "zephrinmap".
             member(m, "ZEPHRIN.KXO").data = member(m, "CHECKER.KXO").data;
         },
         "Cannot find zephrin logo material", "logo"},
        {"no rmat", complete,
         [](auto& m) { member(m, "R.KXO").data = member(m, "CHECKER.KXO").data; },
         "Cannot find material rmat", "r.kxo"},
        {"no flare", noFlare, noChange, "Cannot open texture flare2.pcx", "flare2.pcx"},
        {"black image cut short", shortBlack, noChange, "Can't open HUD texture", "black.pcx"},
        {"no board", complete, [](auto&) { glide::options().noBoard = -1; },
         "Cannot find a Glide board", "Glide"},
        {"no window", complete, [](auto&) { glide::options().noWindow = -1; },
         "Cannot set video mode", "Glide"},
    };
    // One start and stop first, so that what lives for the whole process
    // (the board, the tables' singletons) is there before counting.
    ASSERT_EQ(startScene(startFor(members())), 0);
    stopScene();
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.what);
        std::vector<LibraryEntry> entries = members(f.variant);
        f.damage(entries);
        const SceneStart start = startFor(entries, {}, fixtures::libraryOptions(f.variant));
        box = Box{};
        const long before = test::liveAllocations();
        EXPECT_EQ(startScene(start), 1);
        EXPECT_EQ(box.count, 1);
        EXPECT_STREQ(box.text, f.text);
        EXPECT_STREQ(box.caption, f.caption);
        EXPECT_EQ(test::liveAllocations(), before);
        EXPECT_FALSE(sceneRunning());
        EXPECT_EQ(glide::colourBuffer(0).pixels, nullptr);
        EXPECT_EQ(glide::colourBuffer(1).pixels, nullptr);
        EXPECT_TRUE(vastrel::engine().materials.empty());
        glide::resetOptions();
        // Nothing of the failed start stands in the way of the next one.
        ASSERT_EQ(startScene(startFor(members())), 0) << box.text;
        stopScene();
    }
}

TEST_F(SceneTest, FiftyStartsAndStopsLeaveNothingBehind) {
    const SceneStart start = startFor(members());
    const auto row = loud();
    long afterFirst = 0;
    for (int cycle = 1; cycle <= 50; ++cycle) {
        ASSERT_EQ(startScene(start), 0);
        renderSceneFrame(row.data(), nullptr);
        renderSceneFrame(row.data(), nullptr);
        stopScene();
        if (cycle == 1) afterFirst = test::liveAllocations();
    }
    EXPECT_EQ(test::liveAllocations(), afterFirst);
}

// Seed 1 gives the single slot effect 1, the flare tube, whose flares follow
// the loudness: silent, they draw nothing.
Settings oneFlareTube(int motionBlur) {
    Settings s;
    s.numEffects = 1, s.effectFade = 1, s.motionBlur = motionBlur;
    return s;
}

TEST_F(SceneTest, OverlayDarkensTheLastPictureBeforeTheFrameIsDrawn) {
    ASSERT_EQ(startScene(startFor(members(), oneFlareTube(255))), 0);
    const auto row = loud();
    renderSceneFrame(row.data(), nullptr);
    backPixel(2, 2) = 0xFFFF;
    // At full opacity the overlay wipes the old picture, and the flares drawn
    // after it stand at full brightness: drawn later, it would black them out.
    renderSceneFrame(row.data(), nullptr);
    EXPECT_EQ(backPixel(2, 2), 0);
    EXPECT_EQ(brightestRed(), 31);
}

TEST_F(SceneTest, TrailsDecayByTheOverlaysBlendEachFrame) {
    ASSERT_EQ(startScene(startFor(members(), oneFlareTube(70))), 0);
    renderSceneFrame(silence.data(), nullptr);
    backPixel(2, 2) = 0xFFFF;
    // Opacity 70: each channel c (widened to 8 bits by repeating its top
    // bits) becomes (c * 185 + 127) / 255, cut back to 5 or 6 bits.
    //   red/blue 31: 255 -> 185 -> 23; 23: 189 -> 137 -> 17; 17: 140 -> 102 -> 12; ...
    //   green 63: 255 -> 185 -> 46; 46: 186 -> 135 -> 33; 33: 134 -> 97 -> 24; ...
    const int red[10] = {23, 17, 12, 9, 6, 4, 3, 2, 1, 0};
    const int green[10] = {46, 33, 24, 17, 12, 8, 5, 3, 2, 1};
    for (int frame = 0; frame < 10; ++frame) {
        renderSceneFrame(silence.data(), nullptr);
        const int p = backPixel(2, 2);
        EXPECT_EQ(p >> 11, red[frame]) << "frame " << frame + 1;
        EXPECT_EQ((p >> 5) & 63, green[frame]) << "frame " << frame + 1;
        EXPECT_EQ(p & 31, red[frame]) << "frame " << frame + 1;
    }
}

// The star field comes from the generator before the scene seeds it, so
// every start shows the same field whatever its seed; the seed picks only
// the effects.
TEST_F(SceneTest, TheStarFieldIsTheSameAtEveryStart) {
    Settings one;
    one.numEffects = 1;
    std::vector<std::uint16_t> pictures[2];
    const std::uint32_t seeds[2] = {1, 0x5EED1234};
    for (int run = 0; run < 2; ++run) {
        SceneStart start = startFor(members(), one);
        start.randomSeed = seeds[run];
        ASSERT_EQ(startScene(start), 0) << box.text;
        sceneEffects().slots[0].effect = 0;
        renderSceneFrame(silence.data(), nullptr);
        const glide::Buffer b = back();
        pictures[run].assign(b.pixels, b.pixels + std::size_t(b.pitch) * std::size_t(b.height));
        stopScene();
    }
    EXPECT_GT(std::count_if(pictures[0].begin(), pictures[0].end(),
                            [](std::uint16_t p) { return p != 0; }),
              20);
    EXPECT_TRUE(pictures[0] == pictures[1]);
}

TEST_F(SceneTest, FatalErrorInAFrameLeavesTheNextFrameFree) {
    ASSERT_EQ(startScene(startFor(members())), 0);
    vastrel::DeviceOps& device = vastrel::engine().device;
    const auto flush = device.flushTriangles;
    device.flushTriangles = [] { vastrel::KX_FatalError("Surface lost", "test"); };
    const std::uint64_t swaps = glide::counters().swaps;
    renderSceneFrame(silence.data(), nullptr);
    EXPECT_EQ(glide::counters().swaps, swaps); // abandoned
    EXPECT_STREQ(box.text, "Surface lost");
    device.flushTriangles = flush;
    renderSceneFrame(silence.data(), nullptr);
    EXPECT_EQ(glide::counters().swaps, swaps + 1);
}

TEST_F(SceneTest, AFrameAskedForWhileOneIsDrawnIsSkipped) {
    ASSERT_EQ(startScene(startFor(members())), 0);
    vastrel::DeviceOps& device = vastrel::engine().device;
    static int nested = -1;
    device.flushTriangles = [] {
        const std::uint64_t swaps = glide::counters().swaps;
        nested = renderSceneFrame(silence.data(), nullptr);
        EXPECT_EQ(glide::counters().swaps, swaps); // nothing drawn, nothing swapped
        vastrel::KX_FlushTriangles();
    };
    const std::uint64_t swaps = glide::counters().swaps;
    renderSceneFrame(silence.data(), nullptr);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(glide::counters().swaps, swaps + 1);
}

TEST_F(SceneTest, ScreenshotsGoToThePluginsFolderUnderTheNextNumber) {
    namespace fs = std::filesystem;
    const std::string folder = jk::test::tempPath("plugin");
    fs::remove_all(folder);
    fs::create_directories(folder);
    jk::test::writeFile(folder + "/screen1.tga", "x", 1);
    SceneStart start = startFor(members());
    const std::string host = fs::current_path().string();
    const std::string plugin = folder + "/umbrek.dll";
    start.pluginPath = plugin.c_str();
    ASSERT_EQ(startScene(start), 0) << box.text;
    EXPECT_EQ(sceneHostFolder(), host);
    // One folder, though Windows spells it with its drive and backslashes.
    EXPECT_TRUE(fs::equivalent(fs::current_path(), folder)) << fs::current_path();
    renderSceneFrame(loud().data(), nullptr);
    backPixel(0, 0) = 0xFFFF;
    backPixel(639, 479) = 0x8410;
    EXPECT_EQ(saveScreenshot(), 2);
    const std::vector<std::uint8_t> tga = jk::test::readFile(folder + "/screen2.tga");
    ASSERT_EQ(tga.size(), 921618u);
    EXPECT_EQ(tga[2], 2);
    EXPECT_EQ(tga[17], 0x20);
    // Every pixel is the back buffer's, top row first.
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const unsigned p = backPixel(x, y);
            const std::uint8_t* bgr = &tga[18 + 3 * (std::size_t(y) * 640 + std::size_t(x))];
            ASSERT_EQ(bgr[0], (p & 31) << 3) << x << "," << y;
            ASSERT_EQ(bgr[1], ((p >> 5) & 63) << 2) << x << "," << y;
            ASSERT_EQ(bgr[2], (p >> 11) << 3) << x << "," << y;
        }
    EXPECT_EQ(tga[18 + 2], 248);
}

TEST_F(SceneTest, ModeSeventyFourTakesTheOverlayStateAndPackedCorners) {
    glide::options().trace = true;
    ASSERT_EQ(startScene(startFor(members())), 0);
    using namespace vastrel;
    Material m;
    KX_SetMaterialName(m, "packed");
    KX_SetMaterialShadeMode(m, 74);
    KX_SetMaterialAlpha(m, 99);
    KX_SetMaterialTexture(m, 0);
    const int number = KX_AddMaterial(m);
    ASSERT_GE(number, 0);
    Vertex corners[3];
    ScreenVertex screen[3] = {};
    Face face;
    face.material = std::uint16_t(number);
    for (int i = 0; i < 3; ++i) {
        corners[i].screen = &screen[i];
        face.corner[i] = &corners[i];
        face.u[i] = float(10 * i), face.v[i] = float(20 * i);
    }
    face.cornerValue[0] = 0x00332211, face.cornerValue[1] = 0x00FFFFFF, face.cornerValue[2] = 0;
    glide::takeTrace();
    for (int pass = 0; pass < 2; ++pass) {
        setCurrentFace(&face, number);
        ShadeContext& c = shadeContext();
        c.applyState = c.computeVertices = true, c.perspective = false;
        shadeModes()[74].callback();
        EXPECT_TRUE(c.perspective);
    }
    const std::vector<std::string> trace = glide::takeTrace();
    const char* expected[] = {
        "guColorCombineFunction(6)", "grTexCombineFunction(0, 1)",       "grDepthBiasLevel(0)",
        "guAlphaSource(1)",          "grAlphaBlendFunction(1, 4, 4, 0)", "grAlphaTestFunction(7)"};
    for (const char* call : expected)
        EXPECT_EQ(std::count(trace.begin(), trace.end(), call), 1) << call;
    EXPECT_EQ(glideDevice().appliedGroup, overlayStateGroup);
    EXPECT_EQ(screen[0].r, 0x11);
    EXPECT_EQ(screen[0].g, 0x22);
    EXPECT_EQ(screen[0].b, 0x33);
    EXPECT_EQ(screen[1].r, 255);
    EXPECT_EQ(screen[2].b, 0);
    for (const ScreenVertex& v : screen) EXPECT_EQ(v.a, 99);
    EXPECT_EQ(screen[2].s, 20);
    EXPECT_EQ(screen[2].t, 40);
    setCurrentFace(nullptr, -1);
}

} // namespace
} // namespace umbrek
