// The window model driven as the window procedure drives it, over a fake
// platform and a fake skin that record what they are asked.
#include "sabrith/frame/skin_set_seam.h"
#include "sabrith/frame/tests/fake_platform.h"
#include "sabrith/frame/window_ids.h"
#include "sabrith/frame/window_model.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"
#include "sabrith/skin/tests/skin_fixtures.h"
#include "sabrith/skin/tests/skin_test_rig.h"
#include "host/messages.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace sabrith {
namespace {

struct FakeSkin final : SkinSeam {
    bool active = false;
    bool ownFormat = true;
    Size origin, totals;
    int minW = 0, maxW = 0, minH = 0, maxH = 0;
    std::string path;
    int draws = 0, nextSkins = 0, ticks = 0;
    int pressResult = 0, releaseResult = 0;
    bool follows = true;
    std::optional<std::vector<Rect>> shape;
    // What the next tick finds in the player's skin folder.
    std::optional<std::string> folderSkin;
    std::vector<std::string> loads;

    void clampWindowSize(int& w, int& h) const override {
        if (!active) return;
        if (maxW == 0 || minW <= maxW) w = std::max(w, minW);
        if (maxH == 0 || minH <= maxH) h = std::max(h, minH);
        if (maxW != 0) w = std::min(w, maxW);
        if (maxH > 0) h = std::min(h, maxH);
    }
    Size insetTotals() const override { return active ? totals : Size{}; }
    bool isResizable() const override { return true; }
    int loadSkinFile(const std::string& p) override {
        loads.push_back(p);
        path = p;
        active = true;
        return 1;
    }
    int chooseAndLoadSkin(void*) override { return loadSkinFile("chosen.lbs"); }
    std::string currentSkinPath() const override { return path; }
    bool isActive() const override { return active; }
    void setActive(bool on) override {
        if (!path.empty()) active = on;
    }
    bool showsEffect() const override { return ownFormat || !active; }
    Size insetOrigin() const override { return active ? origin : Size{}; }
    void setWindowSize(int, int) override {}
    std::optional<std::vector<Rect>> windowShape() const override {
        return active ? shape : std::nullopt;
    }
    void drawSkin(DibImage&) override { ++draws; }
    void setFocusState(DibImage&, bool) override {}
    void nextSkin() override { ++nextSkins; }
    bool followsPlayerSkins() const override { return follows; }
    void setFollowsPlayerSkins(bool follow) override { follows = follow; }
    bool tick() override {
        ++ticks;
        if (!follows || !folderSkin) return false;
        loadSkinFile(*folderSkin);
        folderSkin.reset();
        return true;
    }
    int mouseEvent(int event, int, int) override {
        return event == 1 ? pressResult : event == 2 ? releaseResult : 0;
    }
};

// Keeps the order in which values are written.
struct RecordingRegistry final : RegistryBackend {
    MemoryRegistry memory;
    std::vector<std::string> writes;
    bool openOrCreate(const std::string& s) override { return memory.openOrCreate(s); }
    std::optional<std::vector<uint8_t>> query(const std::string& s, const std::string& n) override {
        return memory.query(s, n);
    }
    void setDword(const std::string& s, const std::string& n, uint32_t v) override {
        writes.push_back(s + "\\" + n);
        memory.setDword(s, n, v);
    }
    void setString(const std::string& s, const std::string& n, const std::string& t) override {
        writes.push_back(s + "\\" + n);
        memory.setString(s, n, t);
    }
    int32_t dword(const std::string& s, const std::string& n) {
        const auto bytes = memory.query(s, n);
        if (!bytes || bytes->size() != 4) return -999;
        int32_t v;
        std::memcpy(&v, bytes->data(), 4);
        return v;
    }
};

struct Fixture : testing::Test {
    test::FakePlatform platform;
    FakeSkin skin;
    RecordingRegistry registry;
    IniFileProfile profile;
    test::FakeChooser chooser;
    std::unique_ptr<WindowModel> model;

    WindowModel& start() {
        model = std::make_unique<WindowModel>(WindowContext{
            platform, skin, registry, profile, chooser, jk::test::tempFolder() + "sabrith.dll"});
        model->create();
        return *model;
    }
    void setInt(const char* name, int value) {
        registry.memory.setDword("Lumbrin", name, uint32_t(value));
    }
    std::string writePreset(const std::string& name, const std::string& text) {
        const std::string path = jk::test::tempFolder() + name;
        jk::test::writeFile(path, text.data(), text.size());
        return path;
    }
    std::array<uint8_t, 2 * spectrumBins> loud() {
        std::array<uint8_t, 2 * spectrumBins> rows;
        rows.fill(200);
        return rows;
    }
};

TEST_F(Fixture, FirstStartUsesTheDefaultsAndWritesInOrder) {
    WindowModel& m = start();
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 275, 116}));
    EXPECT_EQ(m.effectId(), barsEffect);
    ASSERT_NE(dynamic_cast<FrequencyEffect*>(m.effect()), nullptr);
    EXPECT_EQ(m.linAmp(), 75);
    EXPECT_EQ(m.mode(), windowMode);
    EXPECT_EQ(m.onTop(), 0);
    EXPECT_EQ(m.displayMode(), (DisplayMode{320, 200, 32}));
    EXPECT_EQ(m.backImage().width(), 275);
    EXPECT_EQ(m.frontImage().height(), 116);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"create", "start"}));
    EXPECT_TRUE(m.running());
    // The presets' folder is remembered beside the plug-in.
    EXPECT_TRUE(registry.memory.query("LBNPresets", "DefaultDirectory").has_value());

    registry.writes.clear();
    m.close();
    const std::vector<std::string> lumbrin(registry.writes.begin(), registry.writes.begin() + 11);
    EXPECT_EQ(lumbrin,
              (std::vector<std::string>{"Lumbrin\\Skin", "Lumbrin\\FreeTop", "Lumbrin\\FreeLeft",
                                        "Lumbrin\\FreeWidth", "Lumbrin\\FreeHeight",
                                        "Lumbrin\\OnTop", "Lumbrin\\XRes", "Lumbrin\\YRes",
                                        "Lumbrin\\BPP", "Lumbrin\\LinAmp", "Lumbrin\\Module"}));
    // Then the effect writes its own section as it goes.
    ASSERT_GT(registry.writes.size(), 11u);
    EXPECT_EQ(registry.writes[11].rfind("RurizirudoviV\\", 0), 0u);
    EXPECT_EQ(registry.dword("Lumbrin", "Module"), 2);
    EXPECT_EQ(platform.calls.back(), "destroy");
    // stopModule's own teardown posts no quit, even when the destroy
    // message arrives meanwhile.
    m.onDestroy();
    EXPECT_EQ(platform.quits, 0);
}

TEST_F(Fixture, StoredSettingsAreReadAndClamped) {
    setInt("FreeLeft", 300);
    registry.memory.setString("Lumbrin", "FreeTop", "high"); // a text where a number belongs
    setInt("FreeWidth", 400);
    setInt("FreeHeight", 3);
    setInt("LinAmp", 9999);
    setInt("OnTop", 7);
    // 640 in two bytes reads as the default 320; 320 x 480 x 32 is not
    // offered, so the first offered mode is taken.
    registry.memory.keys["Lumbrin"]["XRes"] = {false, {0x80, 0x02}};
    setInt("YRes", 480);
    setInt("Module", 0);
    registry.memory.setString("Lumbrin", "Skin", std::string(10000, 'x'));
    WindowModel& m = start();
    EXPECT_EQ(m.windowRect(), (Rect{300, 50, 400, 8}));
    EXPECT_EQ(m.linAmp(), 256);
    EXPECT_EQ(m.onTop(), 1);
    EXPECT_EQ(m.displayMode(), (DisplayMode{320, 200, 32}));
    EXPECT_EQ(m.effectId(), noEffect);
    EXPECT_EQ(m.effect(), nullptr);
    EXPECT_EQ(m.menuState().effectItem, 0);
    EXPECT_TRUE(skin.loads.empty()); // a skin path too long reads as none
    EXPECT_TRUE(platform.topmost);
}

TEST_F(Fixture, TheSkinOfTheSettingsIsLoadedWithTheWindow) {
    registry.memory.setString("Lumbrin", "Skin", "C:\\skins\\blue.lbs");
    start();
    EXPECT_EQ(skin.loads, (std::vector<std::string>{"C:\\skins\\blue.lbs"}));
    model->close();
    EXPECT_EQ(registry.memory.query("Lumbrin", "Skin")->size(), 18u); // text and its zero
}

TEST_F(Fixture, IdleTicksDrawFromTheTenthOn) {
    WindowModel& m = start();
    const auto rows = loud();
    m.renderFrame(rows);
    const int afterHost = platform.presents;
    for (int tick = 1; tick <= 9; ++tick) m.timer(idleTimer);
    EXPECT_EQ(platform.presents, afterHost);
    m.timer(idleTimer);
    EXPECT_EQ(platform.presents, afterHost + 1);
    m.timer(idleTimer);
    m.timer(idleTimer);
    EXPECT_EQ(platform.presents, afterHost + 3);
    // A host frame starts the count again.
    m.renderFrame(rows);
    m.timer(idleTimer);
    EXPECT_EQ(m.idleTicks(), 1);
    EXPECT_EQ(platform.presents, afterHost + 4);
}

TEST_F(Fixture, IdleFramesLetTheLevelsDecay) {
    WindowModel& m = start();
    m.renderFrame(loud());
    const uint32_t peak = m.levels()[300];
    ASSERT_GT(peak, 0u);
    for (int tick = 0; tick < 10; ++tick) m.timer(idleTimer);
    EXPECT_EQ(m.levels()[300], peak - uint32_t(m.dropOff()));
    for (int tick = 0; tick < 100; ++tick) m.timer(idleTimer);
    EXPECT_EQ(m.levels()[300], 0u);
}

TEST_F(Fixture, PresentSwapsTheFadedCopyIntoTheBack) {
    setInt("Module", 0); // no effect: fade by 1
    WindowModel& m = start();
    DibImage* drawnOn = &m.backImage();
    std::fill_n(m.backImage().pixels(), 275 * 116, 0x00101010u);
    const int draws = skin.draws;
    m.renderFrame(loud());
    EXPECT_EQ(&m.frontImage(), drawnOn);
    EXPECT_EQ(m.frontImage().pixels()[500], 0x00101010u);
    EXPECT_EQ(m.backImage().pixels()[500], 0x000F0F0Fu);
    EXPECT_EQ(m.backImage().lockCount(), 0);
    EXPECT_EQ(skin.draws, draws + 1); // over the front image, after the copy
}

TEST_F(Fixture, TheEffectDrawsOnlyInsideTheInsets) {
    registry.memory.setString("Lumbrin", "Skin", "inset.lbs");
    skin.origin = {-20, 10}; // a negative left inset counts as 0
    skin.totals = {-10, 30};
    WindowModel& m = start();
    for (int frame = 0; frame < 5; ++frame) {
        const int w = m.backImage().width(), h = m.backImage().height();
        std::fill_n(m.backImage().pixels(), w * h, 0x00404040u);
        m.renderFrame(loud());
        const DibImage& drawn = m.frontImage();
        // Rows above the top inset and below the bottom one stay untouched;
        // no write left the image (ASan watches the rest).
        for (int y = 0; y < h; ++y) {
            if (y >= 10 && y < h - 20) continue;
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(drawn.pixels()[y * w + x], 0x00404040u) << x << "," << y;
        }
    }
}

TEST_F(Fixture, ImagesOfDifferentSizesSkipTheFrameAndHeal) {
    WindowModel& m = start();
    ASSERT_EQ(m.frontImage().resize(100, 100), 1);
    const int before = platform.presents;
    m.renderFrame(loud());
    EXPECT_EQ(platform.presents, before);
    EXPECT_EQ(m.frontImage().width(), 275);
    m.renderFrame(loud());
    EXPECT_EQ(platform.presents, before + 1);
}

TEST_F(Fixture, AForeignSkinIsDrawnByTheSkinTimer) {
    WindowModel& m = start();
    m.loadSkin("classic\\skin.ini");
    skin.ownFormat = false;
    const int before = platform.presents;
    const uint32_t frames = m.framesDrawn();
    m.renderFrame(loud());
    EXPECT_EQ(platform.presents, before);
    EXPECT_EQ(m.framesDrawn(), frames);
    EXPECT_EQ(m.idleTicks(), 0);
    m.timer(skinTimer);
    EXPECT_EQ(skin.ticks, 1);
    EXPECT_EQ(platform.presents, before + 1);
}

TEST_F(Fixture, ASkinFromThePlayersFolderReshapesTheWindowAtOnce) {
    WindowModel& m = start();
    const std::size_t moves = platform.moves.size();
    // Nothing new in the folder: the window is left alone.
    m.timer(skinTimer);
    EXPECT_EQ(platform.moves.size(), moves);
    const std::size_t shapes = platform.shapes.size();
    const int presents = platform.presents;

    skin.minW = 300, skin.maxW = 300, skin.minH = 140, skin.maxH = 140;
    skin.shape = std::vector<Rect>{{0, 0, 300, 100}, {10, 100, 280, 40}};
    skin.folderSkin = "C:\\Jukora\\Skins\\new.lbs";
    m.timer(skinTimer);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 300, 140}));
    EXPECT_EQ(platform.moves.back(), (Rect{50, 50, 300, 140}));
    ASSERT_GT(platform.shapes.size(), shapes);
    EXPECT_EQ(platform.shapes.back(), skin.shape);
    EXPECT_EQ(m.frontImage().width(), 300);
    EXPECT_GT(platform.presents, presents);

    // Not following the folder: a new skin there changes nothing.
    skin.follows = false;
    skin.folderSkin = "C:\\Jukora\\Skins\\other.lbs";
    const std::size_t before = platform.moves.size();
    m.timer(skinTimer);
    EXPECT_EQ(platform.moves.size(), before);
    EXPECT_EQ(skin.path, "C:\\Jukora\\Skins\\new.lbs");
}

// The same through the real skin set: a skin put into the player's folder is
// found by the timer's folder check and shapes the window on that tick.
TEST_F(Fixture, ThePlayersSkinFolderThroughTheSkinSet) {
    test::SkinRig rig;
    SkinSetSeam seam(rig.set);
    model = std::make_unique<WindowModel>(WindowContext{platform, seam, registry, profile, chooser,
                                                        jk::test::tempFolder() + "sabrith.dll"});
    model->create();
    ASSERT_FALSE(platform.shapes.empty());
    EXPECT_FALSE(platform.shapes.back().has_value());
    rig.host.folder = "c:\\player\\skins";
    const std::string path = test::addOwnSkinFixture(rig.files, "c:\\player\\skins\\");
    rig.clock.time += 2000;
    model->timer(skinTimer);
    EXPECT_EQ(seam.currentSkinPath(), path);
    ASSERT_TRUE(platform.shapes.back().has_value()) << "the see-through corners are cut";
    EXPECT_FALSE(platform.shapes.back()->empty());
    // Unticked on the Display page, the next change in the folder is left.
    seam.setFollowsPlayerSkins(false);
    rig.host.folder = "c:\\player\\other";
    test::addOwnSkinFixture(rig.files, "c:\\player\\other\\");
    rig.clock.time += 2000;
    model->timer(skinTimer);
    EXPECT_EQ(seam.currentSkinPath(), path);
    model.reset(); // before the skin set it uses
}

TEST_F(Fixture, PresetGoesToTheFirstEffectFoundInTheFile) {
    WindowModel& m = start();
    m.effect()->fade = 11; // the running effect's value, written as it goes
    const std::string both = writePreset("two.lbp", "[ZirarovoZ]\nFade=5\n[VedozadI]\nFade=7\n"
                                                    "NumParticles=0\n");
    m.loadPresetFile(both);
    EXPECT_EQ(m.effectId(), fountainsEffect);
    ASSERT_NE(dynamic_cast<FyreEffect*>(m.effect()), nullptr);
    EXPECT_EQ(m.effect()->fade, 7);
    EXPECT_EQ(registry.dword("RurizirudoviV", "Fade"), 11);

    const std::string none = writePreset("none.lbp", "[Other]\nFade=3\n");
    m.loadPresetFile(none);
    EXPECT_EQ(m.effectId(), fountainsEffect);
    EXPECT_EQ(m.effect()->fade, 7);

    // Dropped, and through the menu's dialog.
    m.onDrop({writePreset("flame.lbp", "[ZirarovoZ]\nFade=9\n")});
    EXPECT_EQ(m.effectId(), flameEffect);
    EXPECT_EQ(m.effect()->fade, 9);
    chooser.next = both;
    m.command(IDM_LOAD_PRESET);
    EXPECT_EQ(m.effectId(), fountainsEffect);
}

TEST_F(Fixture, DropsLoadSkinsAndFeedMusicToThePlayer) {
    WindowModel& m = start();
    m.onDrop({"C:\\a\\song.MP3", "noext", "C:\\s\\look.lbs", "pic.bmp"});
    EXPECT_EQ(platform.fed, (std::vector<std::string>{"C:\\a\\song.MP3"}));
    EXPECT_EQ(skin.loads, (std::vector<std::string>{"C:\\s\\look.lbs"}));
}

TEST_F(Fixture, ADroppedSkinSizesTheWindowWithinItsLimits) {
    WindowModel& m = start();
    skin.minW = 300, skin.maxW = 400, skin.minH = 150, skin.maxH = 150;
    skin.origin = {12, 20};
    skin.totals = {24, 34};
    m.onDrop({"C:\\s\\wide.lbs"});
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 300, 150}));
    EXPECT_EQ(m.freeRect(), (Rect{50, 50, 300, 150}));
    EXPECT_EQ(platform.moves.back(), (Rect{50, 50, 300, 150}));
    EXPECT_EQ(m.backImage().width(), 300);
    EXPECT_EQ(m.frontImage().height(), 150);
    // "Use Skin" off: the plain window again, at the size it has.
    m.command(IDM_USE_SKIN);
    EXPECT_FALSE(m.menuState().useSkinChecked);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 300, 150}));
}

TEST_F(Fixture, SavePresetWritesTheRunningEffectsSection) {
    setInt("Module", 3);
    WindowModel& m = start();
    m.effect()->fade = 42;
    // Saving adds to a file that is there already: a folder of its own, made
    // empty, so that the file holds this save alone.
    const std::filesystem::path folder = jk::test::tempFolder() + "save-preset";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(std::filesystem::create_directory(folder)) << folder;
    chooser.next = (folder / "saved.lbp").string();
    m.command(IDM_SAVE_PRESET);
    const std::vector<uint8_t> bytes = jk::test::readFile(chooser.next);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("[ZirarovoZ]"), std::string::npos) << text;
    EXPECT_NE(text.find("Fade=42"), std::string::npos) << text;
    // Loaded while another effect runs, it switches effect and values.
    m.command(IDM_BARS);
    m.loadPresetFile(chooser.next);
    EXPECT_EQ(m.effectId(), flameEffect);
    EXPECT_EQ(m.effect()->fade, 42);
}

TEST_F(Fixture, KeysThroughTheWindow) {
    WindowModel& m = start();
    m.onKey(true, 70, 1);
    m.onKey(false, 70, 1);
    m.onKey(true, 83, 1);
    m.onKey(false, 83, 1);
    m.onKey(true, 27, 1);
    EXPECT_EQ(platform.forwarded, (std::vector<uint32_t>{70, 70, 27}));
    EXPECT_EQ(skin.nextSkins, 1);
    EXPECT_EQ(platform.quits, 0);
    m.onKey(false, 27, 1);
    EXPECT_EQ(platform.quits, 1);

    m.onKey(false, 32, 1);
    EXPECT_EQ(m.mode(), fullScreenMode);
    EXPECT_EQ(m.windowRect(), (Rect{0, 0, 320, 200}));
    EXPECT_EQ(m.backImage().width(), 320);
    m.onKey(false, 32, 1);
    EXPECT_EQ(m.mode(), windowMode);
    EXPECT_EQ(m.onTop(), 1);
    EXPECT_TRUE(platform.topmost);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 275, 116}));
}

TEST_F(Fixture, FullScreenAndThePropertySheetNeverMeet) {
    // Properties from full screen gives the display back before the sheet's
    // thread starts; full screen (Space, menu) closes an open sheet first.
    // The display's mode then never changes while a sheet is open.
    WindowModel& m = start();
    const auto stepsOf = [&](auto action) {
        platform.calls.clear();
        action();
        return platform.calls;
    };
    using Steps = std::vector<std::string>;
    EXPECT_EQ(stepsOf([&] { m.onKey(false, 32, 1); }), (Steps{"close sheet", "enter full screen"}));
    EXPECT_EQ(stepsOf([&] { m.command(IDM_PROPERTIES); }), (Steps{"leave full screen", "sheet"}));
    EXPECT_EQ(m.mode(), windowMode);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 275, 116}));
    EXPECT_EQ(stepsOf([&] { m.command(IDM_FULL_SCREEN); }),
              (Steps{"close sheet", "enter full screen"}));
    EXPECT_EQ(m.mode(), fullScreenMode);
    // In window mode Properties only opens the sheet; leaving full screen
    // needs no sheet closed.
    EXPECT_EQ(stepsOf([&] { m.command(IDM_WINDOWED); }), Steps{"leave full screen"});
    EXPECT_EQ(stepsOf([&] { m.command(IDM_PROPERTIES); }), Steps{"sheet"});
}

TEST_F(Fixture, AFailedFullScreenFallsBackToTheWindow) {
    platform.enterWorks = false;
    WindowModel& m = start();
    m.command(IDM_FULL_SCREEN);
    EXPECT_EQ(m.mode(), windowMode);
    EXPECT_EQ(m.onTop(), 1);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 275, 116}));
}

TEST_F(Fixture, MenuStateAndCommands) {
    WindowModel& m = start();
    m.onRightDown(10, 10);
    ASSERT_EQ(platform.menus.size(), 1u);
    EXPECT_EQ(platform.menus[0], (MenuState{IDM_BARS, true, true, false, false}));

    m.command(IDM_FOUNTAINS);
    EXPECT_EQ(m.effectId(), fountainsEffect);
    m.command(IDM_FLAME);
    EXPECT_EQ(m.menuState().effectItem, IDM_FLAME);
    m.command(IDM_BARS);
    EXPECT_EQ(m.effectId(), barsEffect);

    m.command(IDM_ON_TOP);
    EXPECT_EQ(m.menuState(), (MenuState{IDM_BARS, true, true, true, false}));
    m.command(IDM_ON_TOP);
    EXPECT_EQ(m.onTop(), 0);

    m.command(IDM_LOAD_SKIN);
    EXPECT_TRUE(m.menuState().useSkinChecked);
    m.command(IDM_USE_SKIN);
    EXPECT_FALSE(skin.active);

    m.renderFrame(loud());
    m.command(IDM_CLEAR);
    EXPECT_EQ(*std::max_element(m.frontImage().pixels(), m.frontImage().pixels() + 275 * 116), 0u);

    m.command(IDM_ABOUT);
    ASSERT_EQ(platform.abouts.size(), 1u);
    // Every frame took 2 ms on the fake clock.
    EXPECT_EQ(platform.abouts[0], "FPS: 500.000000");
    m.command(IDM_PROPERTIES);
    EXPECT_EQ(platform.calls.back(), "sheet");
    m.command(IDM_EXIT);
    EXPECT_EQ(platform.quits, 1);
    // The tray: left restores, right opens the menu.
    m.onTray(TRAY_LEFT_DOWN);
    EXPECT_EQ(platform.calls.back(), "restore");
    m.onTray(TRAY_RIGHT_DOWN);
    EXPECT_EQ(platform.menus.size(), 2u);
}

TEST_F(Fixture, RecoverOnlyInWindowMode) {
    setInt("FreeLeft", 900);
    setInt("FreeTop", 700);
    WindowModel& m = start();
    m.command(IDM_FULL_SCREEN);
    m.command(IDM_RECOVER);
    EXPECT_EQ(m.windowRect(), (Rect{0, 0, 320, 200}));
    m.onRightDown(5, 5); // no menu in full screen
    EXPECT_TRUE(platform.menus.empty());
    m.command(IDM_WINDOWED);
    m.command(IDM_RECOVER);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 275, 116}));
    EXPECT_EQ(m.freeRect(), (Rect{50, 50, 275, 116}));
}

TEST_F(Fixture, SkinButtonsDriveThePlayerAndTakeThePress) {
    WindowModel& m = start();
    skin.pressResult = 100;
    skin.releaseResult = 1;
    m.onLeftDown(100, 50);
    EXPECT_EQ(m.dragZone(), 0); // the skin took it: no drag
    m.onLeftUp(100, 50);
    EXPECT_EQ(platform.commands, (std::vector<int>{cmdPlay}));
    for (int code : {7, 10, 14, 12}) m.action(code);
    EXPECT_EQ(platform.quits, 1);
    EXPECT_EQ(platform.abouts.size(), 1u);
    EXPECT_EQ(platform.calls.back(), "minimize");
}

TEST_F(Fixture, DraggingTheBodyMovesAndSnaps) {
    platform.candidates[0] = Rect{400, 300, 280, 140};
    WindowModel& m = start();
    platform.cursor = {100, 100};
    m.onLeftDown(100, 50);
    EXPECT_EQ(m.dragZone(), bodyZone);
    const std::size_t shapes = platform.shapes.size();
    // 9 px below the main window, lefts 20 apart: snaps flush below it.
    platform.cursor = {100 + 370, 100 + 399};
    m.onMouseMove(100, 50);
    EXPECT_EQ(m.windowRect(), (Rect{420, 440, 275, 116}));
    EXPECT_EQ(platform.shapes.size(), shapes) << "a move keeps the window's region";
    EXPECT_EQ(m.dockTarget(), 0);
    m.onLeftUp(100, 50);
    EXPECT_EQ(m.dragZone(), 0);
    EXPECT_EQ(platform.calls.back(), "release");

    // The host moves its window with "no size": we follow, the free
    // rectangle stays where the user put the window.
    m.followDockTarget(hookTargetRect(*platform.candidates[0], positionNoSize, 100, 80, 0, 0));
    EXPECT_EQ(m.windowRect(), (Rect{120, 220, 275, 116}));
    EXPECT_EQ(m.freeRect(), (Rect{420, 440, 275, 116}));

    // 10 px away: free again.
    platform.cursor = {100, 100};
    m.onLeftDown(100, 50);
    platform.cursor = {100 + 300, 100 + 400};
    m.onMouseMove(100, 50);
    EXPECT_EQ(m.dockTarget(), -1);
}

TEST_F(Fixture, DraggingACornerResizesWithinTheSizeRule) {
    WindowModel& m = start();
    platform.cursor = {500, 500};
    m.onLeftDown(274, 115); // zone 9
    EXPECT_EQ(m.dragZone(), 9);
    const std::size_t shapes = platform.shapes.size();
    platform.cursor = {500 - 300, 500 + 20};
    m.onMouseMove(274, 115);
    EXPECT_EQ(m.windowRect(), (Rect{50, 50, 8, 136}));
    EXPECT_EQ(platform.shapes.size(), shapes + 1) << "a resize shapes the window anew";
    m.onSize(8, 136);
    EXPECT_EQ(m.backImage().width(), 8);
    // Losing the focus ends the drag.
    m.onFocus(false);
    EXPECT_EQ(m.dragZone(), 0);
}

TEST_F(Fixture, WithoutAWindowNothingIsDrawnAndStopStillWrites) {
    platform.createWorks = false;
    registry.memory.setString("Lumbrin", "Skin", "x.lbs");
    WindowModel& m = start();
    EXPECT_EQ(skin.loads.size(), 1u); // the skin is still loaded
    m.renderFrame(loud());
    EXPECT_EQ(platform.presents, 0);
    m.close();
    EXPECT_EQ(registry.dword("Lumbrin", "FreeWidth"), 275);
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "destroy"), 0);
}

TEST_F(Fixture, AUserDestroyedWindowQuitsAndIsStillTornDown) {
    WindowModel& m = start();
    const int before = platform.presents;
    m.onDestroy();
    EXPECT_EQ(platform.quits, 1);
    m.renderFrame(loud());
    EXPECT_EQ(platform.presents, before);
    m.close();
    EXPECT_EQ(platform.calls.back(), "destroy");
}

TEST_F(Fixture, MinimisedWithTinyInsetsEveryEffectStaysInItsPicture) {
    registry.memory.setString("Lumbrin", "Skin", "thin.lbs");
    skin.origin = {1, 1};
    skin.totals = {2, 2};
    WindowModel& m = start();
    for (int effect : {fountainsEffect, barsEffect, flameEffect, noEffect}) {
        SCOPED_TRACE(effect);
        m.selectEffect(effect);
        m.action(14);
        m.onSize(0, 0); // the images shrink to 4 x 4
        EXPECT_EQ(m.backImage().width(), 4);
        for (int frame = 0; frame < 50; ++frame) m.renderFrame(loud());
        for (int tick = 0; tick < 20; ++tick) m.timer(idleTimer);
        m.onTray(TRAY_LEFT_DOWN);
        m.onSize(275, 116);
        m.renderFrame(loud());
        EXPECT_EQ(m.frontImage().width(), 275);
    }
}

TEST_F(Fixture, WhatTheSheetChanges) {
    WindowModel& m = start();
    m.setLinAmp(0);
    EXPECT_EQ(m.gain()[575].load(), 6138u);
    m.setLinAmp(300);
    EXPECT_EQ(m.linAmp(), 256);

    m.setFade(140);
    m.setBlur(5);
    m.setDropOff(-3);
    EXPECT_EQ(m.effect()->fade, 130);
    EXPECT_EQ(m.effect()->blur, 1);
    EXPECT_EQ(m.effect()->dropOff, 0);
    // With no effect the pages show the frame loop's own values, and
    // changes have nowhere to go.
    m.selectEffect(noEffect);
    m.setFade(3);
    EXPECT_EQ(m.blur(), 0);
    EXPECT_EQ(m.fade(), 1);
    EXPECT_EQ(m.dropOff(), 2000);

    EXPECT_EQ(m.displayModeRow(), 0);
    m.chooseDisplayModeRow(1);
    m.chooseDisplayModeRow(2); // past the list: ignored
    EXPECT_EQ(m.displayMode(), (DisplayMode{640, 480, 32}));
    EXPECT_EQ(m.displayModeRow(), 1);
    m.command(IDM_FULL_SCREEN);
    EXPECT_EQ(m.backImage().width(), 640);

    m.close();
    EXPECT_EQ(registry.dword("Lumbrin", "LinAmp"), 256);
    EXPECT_EQ(registry.dword("Lumbrin", "XRes"), 640);
    EXPECT_EQ(registry.dword("Lumbrin", "Module"), 0);
}

} // namespace
} // namespace sabrith
