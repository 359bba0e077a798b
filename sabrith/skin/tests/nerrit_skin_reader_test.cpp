// Nerrit skin folders: which paths are skins, the face and its see-through
// background, the controls and their faces, the displays, and broken or
// hostile folders that must load within bounds or not at all.
#include "sabrith/skin/foreign_skin_common.h"
#include "sabrith/skin/nerrit_skin_reader.h"
#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/skin_pixels.h"
#include "sabrith/skin/tests/skin_test_rig.h"
#include "sabrith/skin/tests/skin_workout.h"

#include <gtest/gtest.h>

namespace sabrith::test {
namespace {

constexpr uint32_t background = 0xFF00FF; // magenta, the colour cut out
constexpr uint32_t upFace = 0x203040, downFace = 0x708090;

// A 64 x 48 face: a 2-pixel magenta border (and a magenta notch at
// (30, 0)-(34, 4)) around a plain face of the given colour.
std::vector<uint8_t> face(uint32_t colour) {
    return bmpOf(64, 48, [colour](int x, int y) {
        const bool border = x < 2 || y < 2 || x >= 62 || y >= 46;
        const bool notch = x >= 30 && x < 34 && y < 4;
        return border || notch ? background : colour;
    });
}

Region faceShape() {
    Region shape = Region::rect(2, 2, 62, 46);
    return shape.subtract(Region::rect(30, 0, 34, 4));
}

const char* const coordinates = "[Coordinates]\n"
                                "Play=10,20,12,8\n"
                                "Stop=30, 20,  12, 8\n"
                                "Pause=1,2,3\n"
                                "Next=nonsense\n"
                                "DisplayFont=Tahoma\n"
                                "DisplayColour=200, 10, 255\n"
                                "DisplayBar=4, 4, 3, 9\n"
                                "SeekBar=4, 40, 50, 3\n";

struct NerritRig : SkinRig {
    NerritRig() : SkinRig(allSkinFormats()) {}
    int loadFolder(const std::string& text, const std::string& folder = "c:\\skins\\blue\\") {
        files.add(folder + "MainUp.bmp", face(upFace));
        files.add(folder + "MainDown.bmp", face(downFace));
        return loadAt(text, folder + "skin.ini");
    }
    int loadAt(const std::string& text, const std::string& path) {
        files.add(path, text);
        const int loaded = set.loadSkinFile(path);
        set.setWindowSize(64, 48);
        return loaded;
    }
};

TEST(NerritSkins, AcceptanceByNameAndSection) {
    struct Case {
        const char* path;
        const char* text;
        int loaded;
    };
    const Case cases[] = {
        {"C:\\Skins\\Blue\\SKIN.INI", "[Coordinates]\nPlay=1,1,5,5\n", 1},
        {"c:\\skins\\blue\\myskin.ini", "[Coordinates]\nPlay=1,1,5,5\n", 1},
        {"c:\\skins\\blue\\skin.ini.old", "[Coordinates]\nPlay=1,1,5,5\n", 0},
        // The first "skin.ini" of the path must end it.
        {"c:\\skins\\skin.ini.x\\skin.ini", "[Coordinates]\nPlay=1,1,5,5\n", 0},
        {"c:\\skins\\blue\\skin.ini", "[Other]\nPlay=1,1,5,5\n", 0},
        {"c:\\skins\\blue\\skin.ini", "[Coordinates]\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        NerritRig rig;
        EXPECT_EQ(rig.loadAt(c.text, c.path), c.loaded);
        if (!c.loaded) continue;
        EXPECT_EQ(rig.set.ownFormat, 0);
        EXPECT_EQ(rig.set.showsEffect(), 0);
        // The path is stored as the test left it: in lower case.
        std::string lower = c.path;
        for (char& ch : lower) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(rig.set.skinPath, lower);
    }
    // The test works on a copy: the caller's text stays as it was.
    NerritRig rig;
    const std::string path = "C:\\Skins\\Blue\\SKIN.INI";
    rig.loadAt("[Coordinates]\nPlay=1,1,5,5\n", path);
    EXPECT_EQ(path, "C:\\Skins\\Blue\\SKIN.INI");
}

TEST(NerritSkins, FaceFixesTheWindowAndItsBackgroundIsCutOut) {
    NerritRig rig;
    ASSERT_EQ(rig.loadFolder(coordinates), 1);
    SkinSet& set = rig.set;
    EXPECT_EQ(set.isResizable(), 0);
    int32_t width = 500, height = 7;
    set.clampWindowSize(width, height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    const auto shape = buildWindowShape(set);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(*shape, faceShape());
    const SkinImage* main = imageNamed(set, "Nerrit Main Image");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->seeThroughColour, colourFromComponents(255, 0, 255));
    EXPECT_EQ(main->transparency, 0) << "the face stays opaque";
}

TEST(NerritSkins, ControlsDisplaysAndColours) {
    NerritRig rig;
    ASSERT_EQ(rig.loadFolder(coordinates), 1);
    SkinSet& set = rig.set;
    // The main image and the released face of Stop and Play, in reading
    // order; the pressed faces are not slots.
    ASSERT_EQ(set.currentSkin->images.size(), 3u);
    const SkinImage* stop = set.currentSkin->images[1].shownImage;
    const SkinImage* play = set.currentSkin->images[2].shownImage;
    EXPECT_EQ(stop->name, "Nerrit Image1 - Stop");
    EXPECT_EQ(play->name, "Nerrit Image1 - Play");
    EXPECT_EQ(play->action, 1);
    EXPECT_EQ(stop->action, 2);
    EXPECT_EQ((std::array{play->offsetX, play->offsetY, play->width, play->height}),
              (std::array{10, 20, 12, 8}));
    EXPECT_EQ(play->sourceX, 10);
    EXPECT_EQ(stop->offsetX, 30);
    const SkinImage* pressed = play->events[onMouseDown];
    ASSERT_NE(pressed, nullptr);
    EXPECT_EQ(pressed->name, "Nerrit Image2 - Play");
    EXPECT_EQ(pressed->events[onMouseUp], play);
    EXPECT_EQ(imageNamed(set, "Nerrit Image1 - Pause"), nullptr) << "three numbers";
    EXPECT_EQ(imageNamed(set, "Nerrit Image1 - Next"), nullptr);

    const SkinImage* main = set.currentSkin->images[0].shownImage;
    ASSERT_EQ(main->gizmos.size(), 2u) << "no DisplayTime: no time gizmo";
    const Gizmo* track = main->gizmos[0];
    EXPECT_EQ(track->gizmoKind, gizmoTrackInfo);
    EXPECT_EQ(track->width, 5) << "a width of 3 is raised to 5";
    EXPECT_EQ(track->height, 9);
    ASSERT_NE(track->font, nullptr);
    EXPECT_EQ(track->font->faceName, "Tahoma");
    EXPECT_EQ(track->font->charHeight, 9);
    EXPECT_EQ(track->font->textColour, colourFromComponents(200, 10, 255));
    EXPECT_EQ(track->font->backColour, colourFromComponents(8, 74, 63));
    ASSERT_EQ(rig.fonts.made.size(), 1u);
    EXPECT_EQ(rig.fonts.made[0].height, 9);
    EXPECT_EQ(rig.fonts.made[0].weight, 400);
    const Gizmo* seek = main->gizmos[1];
    EXPECT_EQ(seek->gizmoKind, gizmoProgress);
    EXPECT_EQ((std::array{seek->offsetX, seek->offsetY, seek->width, seek->height}),
              (std::array{4, 40, 50, 5}));
}

TEST(NerritSkins, ControlsShowTheirPressedFaceOnlyWhilePressed) {
    NerritRig rig;
    ASSERT_EQ(rig.loadFolder(coordinates), 1);
    SkinSet& set = rig.set;
    DibImage frame("frame");
    ASSERT_EQ(frame.resize(64, 48), 1);
    const auto playFace = [&] {
        drawSkin(set, frame);
        return rgbAt(frame, 15, 24);
    };
    EXPECT_EQ(playFace(), upFace) << "not pressed before the first click";
    EXPECT_EQ(skinMouseEvent(set, 15, 24, mouseDown), mouseOverAction);
    skinTick(set);
    EXPECT_EQ(playFace(), downFace);
    EXPECT_EQ(skinMouseEvent(set, 15, 24, mouseUp), 1) << "play on release";
    skinTick(set);
    EXPECT_EQ(playFace(), upFace);
    // Pressed, then released away from the control: no action, face back.
    skinMouseEvent(set, 15, 24, mouseDown);
    skinTick(set);
    EXPECT_EQ(skinMouseEvent(set, 50, 40, mouseUp), 0);
    skinTick(set);
    EXPECT_EQ(playFace(), upFace);
}

TEST(NerritSkins, BrokenAndHostileFoldersLoadWithinBounds) {
    const std::string folder = "c:\\skins\\odd\\";
    struct Case {
        const char* what;
        std::vector<uint8_t> up;
        int size; // of the window the face asks for
    };
    std::vector<uint8_t> truncated = face(upFace);
    truncated.resize(truncated.size() / 2);
    const Case cases[] = {
        {"missing bitmaps: the black placeholder", {}, 16},
        {"truncated bitmap", truncated, 16},
        {"1 x 1 bitmap", bmpOf(1, 1, [](int, int) { return 0x00FF00u; }), 4},
    };
    const std::string hostile = std::string("[Coordinates]\n") +
                                "Play=-5,-5,-100,100000\n"
                                "Stop=2147483647,2147483647,2147483647,2147483647\n"
                                "Open=99999999999999999999,1,1,1\n"
                                "DisplayBar=0,0,100000,100000\n"
                                "DisplayTime=-10,-10,-10,-10\n"
                                "SeekBar=1,1,2147483647,-7\n"
                                "DisplayColour=999, -4, 12\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NerritRig rig;
        if (!c.up.empty()) rig.files.add(folder + "MainUp.bmp", c.up);
        ASSERT_EQ(rig.loadAt(hostile, folder + "skin.ini"), 1);
        int32_t width = 100, height = 100;
        rig.set.clampWindowSize(width, height);
        EXPECT_EQ(width, c.size);
        EXPECT_EQ(height, c.size);
        const Gizmo* track = nullptr;
        for (const Gizmo* g : rig.set.currentSkin->images[0].shownImage->gizmos)
            if (g->gizmoKind == gizmoTrackInfo) track = g;
        if (track) {
            EXPECT_EQ(track->font->textColour, colourFromComponents(255, 0, 12));
        }
        // Tick, draw and shape at two sizes without touching outside.
        for (int size : {c.size, 300}) workOutSkin(rig.set, rig.clock, size, size);
    }
}

TEST(NerritSkins, RefusedFolderKeepsTheOldSkin) {
    NerritRig rig;
    ASSERT_EQ(rig.loadFolder(coordinates), 1);
    Skin* before = rig.set.currentSkin;
    EXPECT_EQ(rig.loadAt("[Coordinates]\nPlay=1,1,5,5\n", "c:\\skins\\skin.ini.x\\skin.ini"), 0);
    EXPECT_EQ(rig.set.currentSkin, before);
    EXPECT_EQ(rig.set.skinPath, "c:\\skins\\blue\\skin.ini");
}

TEST(ForeignSkinParts, NumberListsAsTheScanReadsThem) {
    struct Case {
        const char* text;
        std::optional<std::array<int32_t, 4>> expected;
    };
    const Case cases[] = {
        {"10,20,30,40", std::array{10, 20, 30, 40}},
        {" 1, -2,\t+3,  4 trailing", std::array{1, -2, 3, 4}},
        {"1 ,2,3,4", std::nullopt}, // a blank before the comma stops the scan
        {"1,2,3", std::nullopt},
        {"1,2,,4", std::nullopt},
        {"", std::nullopt},
        {"99999999999,-99999999999,0,0", std::array{INT32_MAX, INT32_MIN, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseIntegers<4>(c.text), c.expected) << c.text;
    EXPECT_EQ(shiftedBackColour(colourFromComponents(200, 10, 255)),
              colourFromComponents(8, 74, 63));
}

} // namespace
} // namespace sabrith::test
