// Tovrel ".design" skins: acceptance, the outline, buttons and their hover
// faces, the title label and gauges, and hostile files.
#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/skin_pixels.h"
#include "sabrith/skin/tests/skin_test_rig.h"
#include "sabrith/skin/tests/skin_workout.h"
#include "sabrith/skin/tovrel_skin_reader.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace sabrith::test {
namespace {

constexpr uint32_t faceColour = 0x405060, playColour = 0xE01010, hoverColour = 0x10E010;

// A button bitmap: white around a 4 x 2 block of colour at (2, 2).
std::vector<uint8_t> button(uint32_t colour) {
    return bmpOf(8, 6, [colour](int x, int y) {
        return x >= 2 && x < 6 && y >= 2 && y < 4 ? colour : 0xFFFFFFu;
    });
}

const std::string ringPoints = "UseWindowShape=1\nNumberOfWindowShapePoints=10\n"
                               "P1x=0\nP1y=0\nP2x=10\nP2y=0\nP3x=10\nP3y=10\nP4x=0\nP4y=10\n"
                               "P5x=0\nP5y=0\nP6x=2\nP6y=2\nP7x=8\nP7y=2\nP8x=8\nP8y=8\n"
                               "P9x=2\nP9y=8\nP10x=2\nP10y=2\n";

struct TovrelRig : SkinRig {
    TovrelRig() : SkinRig(allSkinFormats()) {
        files.add(std::string(skinFolder) + "face.bmp",
                  bmpOf(40, 30, [](int, int) { return faceColour; }));
        files.add(std::string(skinFolder) + "play.bmp", button(playColour));
        files.add(std::string(skinFolder) + "playhover.bmp", button(hoverColour));
    }
    int loadDesign(const std::string& text, const std::string& name = "blue.design") {
        return load(text, 40, 30, name);
    }
};

const std::string general = "[General]\nBitmap=face.bmp\nWindowWidth=40\nWindowHeight=30\n";
const std::string playButton = "[Button Play]\nBitmap1=play.bmp\nBitmap2=playhover.bmp\n"
                               "Left=20\nTop=16\n";

TEST(TovrelSkins, AcceptanceByExtensionAndSection) {
    struct Case {
        const char* name;
        std::string text;
        int loaded;
    };
    const Case cases[] = {
        {"BLUE.DESIGN", general, 1},
        {"blue.design.bak", general, 0},
        {"blue.design", "[Other]\nBitmap=face.bmp\n", 0},
        {"blue", general, 0},
    };
    for (const Case& c : cases) {
        TovrelRig rig;
        EXPECT_EQ(rig.loadDesign(c.text, c.name), c.loaded) << c.name;
    }
}

TEST(TovrelSkins, FaceSizeLimitsAndOutline) {
    TovrelRig rig;
    ASSERT_EQ(rig.loadDesign(general + ringPoints), 1);
    SkinSet& set = rig.set;
    EXPECT_EQ(set.ownFormat, 0);
    EXPECT_EQ(set.isResizable(), 0);
    int32_t width = 7, height = 700;
    set.clampWindowSize(width, height);
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
    // A 10 x 10 ring with a 6 x 6 hole is all that is left of the window.
    Region ring = Region::rect(0, 0, 10, 10);
    ring.subtract(Region::rect(2, 2, 8, 8));
    const auto shape = buildWindowShape(set);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(*shape, ring);
    EXPECT_EQ(imageNamed(set, "Tovrel Main Image")->seeThroughKind, 2);
    DibImage frame("frame");
    ASSERT_EQ(frame.resize(40, 30), 1);
    drawSkin(set, frame);
    EXPECT_EQ(rgbAt(frame, 39, 29), faceColour);
}

TEST(TovrelSkins, OutlinesThatGiveNoShape) {
    struct Case {
        const char* what;
        std::string keys;
    };
    const Case cases[] = {
        {"one point", "UseWindowShape=1\nNumberOfWindowShapePoints=1\nP1x=5\nP1y=5\n"},
        {"not switched on", "UseWindowShape=0\n" + ringPoints.substr(ringPoints.find('\n') + 1)},
        {"a line covers nothing",
         "UseWindowShape=1\nNumberOfWindowShapePoints=2\nP1x=0\nP1y=0\nP2x=30\nP2y=20\n"},
    };
    for (const Case& c : cases) {
        TovrelRig rig;
        ASSERT_EQ(rig.loadDesign(general + c.keys), 1) << c.what;
        EXPECT_EQ(buildWindowShape(rig.set), nullptr) << c.what;
    }
}

TEST(TovrelSkins, OutlinePointsAreCappedAtOneThousand) {
    // A 10 x 10 square in the first points; the rest up to 1000 default to
    // (0, 0) and cover nothing; points past 1000 would add a second square.
    std::string keys = "UseWindowShape=1\nNumberOfWindowShapePoints=100000\n"
                       "P1x=0\nP1y=0\nP2x=10\nP2y=0\nP3x=10\nP3y=10\nP4x=0\nP4y=10\n";
    const int far[][2] = {{20, 0}, {30, 0}, {30, 10}, {20, 10}};
    for (int i = 0; i < 4; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "P%dx=%d\nP%dy=%d\n", 1001 + i, far[i][0], 1001 + i,
                      far[i][1]);
        keys += line;
    }
    TovrelRig rig;
    ASSERT_EQ(rig.loadDesign(general + keys), 1);
    const auto shape = buildWindowShape(rig.set);
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(*shape, Region::rect(0, 0, 10, 10));
}

TEST(TovrelSkins, ButtonsHoverAndActOnRelease) {
    TovrelRig rig;
    ASSERT_EQ(
        rig.loadDesign(general + playButton + "[Button Stop]\nLeft=30\nTop=20\n"), // no bitmaps
        1);
    SkinSet& set = rig.set;
    ASSERT_EQ(set.currentSkin->images.size(), 3u) << "face, Play, Stop; no hover faces";
    SkinImage* play = set.currentSkin->images[1].shownImage;
    EXPECT_EQ(play->name, "Tovrel Image1 - Button Play");
    EXPECT_EQ((std::array{play->offsetX, play->offsetY, play->width, play->height}),
              (std::array{20, 16, 8, 6}));
    EXPECT_EQ(play->transparency, 1);
    EXPECT_EQ(play->maskColour, 0xFFFFFFu);
    EXPECT_EQ(play->action, 1);
    ASSERT_NE(play->events[onMouseEnter], play);
    EXPECT_EQ(play->events[onMouseEnter]->events[onMouseExit], play);

    // Without bitmaps the section still gets its button: invisible, acting.
    const SkinImage* stop = set.currentSkin->images[2].shownImage;
    EXPECT_EQ(stop->action, 2);
    EXPECT_EQ(stop->width, 16);
    EXPECT_EQ(alphaAt(stop->pixels, 0, 0), 0u);
    EXPECT_EQ(alphaAt(stop->pixels, 15, 15), 0u);
    // No section, no button: nothing closes the window from its corner.
    EXPECT_EQ(imageNamed(set, "Tovrel Image1 - Button Close"), nullptr);
    // (The gauges without sections stand at the top left as ever.)
    EXPECT_EQ(skinMouseEvent(set, 1, 20, mouseDown), 0);
    EXPECT_EQ(skinMouseEvent(set, 1, 20, mouseUp), 0);

    DibImage frame("frame");
    ASSERT_EQ(frame.resize(40, 30), 1);
    const auto at = [&](int x, int y) {
        drawSkin(set, frame);
        return rgbAt(frame, x, y);
    };
    EXPECT_EQ(at(22, 18), playColour);
    EXPECT_EQ(at(20, 16), faceColour) << "the white is keyed out";
    skinMouseEvent(set, 23, 18, mouseMove);
    skinTick(set);
    EXPECT_EQ(at(22, 18), hoverColour);
    skinMouseEvent(set, 5, 25, mouseMove);
    skinTick(set);
    EXPECT_EQ(at(22, 18), playColour);
    skinMouseEvent(set, 23, 18, mouseMove);
    skinTick(set);
    EXPECT_EQ(skinMouseEvent(set, 23, 18, mouseDown), mouseOverAction);
    EXPECT_EQ(skinMouseEvent(set, 23, 18, mouseUp), 1);
}

TEST(TovrelSkins, LabelColoursFontAndGauges) {
    TovrelRig rig;
    ASSERT_EQ(rig.loadDesign(general + "[Label SongName]\nFontName=Verdana\nFontColor=$0000FF\n"
                                       "FontBold=1\nLeft=3\nTop=4\nWidth=2\n"
                                       "[Gauge PlaylistPos]\nLeft=1\nTop=25\nWidth=38\n"
                                       "Height=3\n"),
              1);
    const SkinImage* main = imageNamed(rig.set, "Tovrel Main Image");
    ASSERT_EQ(main->gizmos.size(), 3u);
    const Gizmo* track = main->gizmos[0];
    EXPECT_EQ(track->gizmoKind, gizmoTrackInfo);
    EXPECT_EQ((std::array{track->offsetX, track->offsetY, track->width, track->height}),
              (std::array{3, 4, 5, 14}));
    ASSERT_NE(track->font, nullptr);
    EXPECT_EQ(track->font->textColour, colourFromComponents(255, 0, 0)) << "red";
    EXPECT_EQ(track->font->backColour, colourFromComponents(63, 64, 64));
    EXPECT_EQ(track->font->charHeight, 14) << "FontSize 8";
    ASSERT_EQ(rig.fonts.made.size(), 1u);
    EXPECT_EQ(rig.fonts.made[0].faceName, "Verdana");
    EXPECT_EQ(rig.fonts.made[0].weight, 700);
    const Gizmo* song = main->gizmos[1];
    const Gizmo* list = main->gizmos[2];
    EXPECT_EQ(song->source, 0);
    EXPECT_EQ((std::array{song->offsetX, song->offsetY, song->width, song->height}),
              (std::array{0, 0, 100, 14}))
        << "the defaults";
    EXPECT_EQ(list->source, 1);
    EXPECT_EQ((std::array{list->offsetX, list->offsetY, list->width, list->height}),
              (std::array{1, 25, 38, 5}));
}

TEST(TovrelSkins, HexColoursTakeEveryDigit) {
    struct Case {
        const char* text;
        uint32_t colour;
    };
    const Case cases[] = {
        {"$0000FF", 0x0000FF},   {"", 0},         {"$ff8800", 0xFF8800},
        {"$12345678", 0x345678}, {"z1y2x", 0x12}, {"#FFFFFFFFFFFFFFFFFFFFFFFF", 0xFFFFFF},
    };
    for (const Case& c : cases) EXPECT_EQ(parseHexColour(c.text), c.colour) << c.text;
}

TEST(TovrelSkins, HostileFilesLoadWithinBounds) {
    struct Case {
        const char* what;
        std::string text;
    };
    std::vector<uint8_t> truncated = button(playColour);
    truncated.resize(30);
    const Case cases[] = {
        // Window sizes past a screen are refused (skin_bounds_test.cpp).
        {"a window larger than any face", "[General]\nBitmap=face.bmp\nWindowWidth=8192\n"
                                          "WindowHeight=4096\n" +
                                              ringPoints},
        {"missing face and buttons",
         "[General]\nBitmap=nothing.bmp\n[Button Play]\nBitmap1=none.bmp\nBitmap2=\n"},
        {"far points", general +
                           "UseWindowShape=1\nNumberOfWindowShapePoints=4\nP1x=-2147483648\n"
                           "P1y=-2147483648\nP2x=2147483647\nP2y=-2147483648\nP3x=2147483647\n"
                           "P3y=2147483647\n"},
        {"odd label", general +
                          "[Label SongName]\nFontSize=2147483647\nWidth=-3\nHeight=99999\n"
                          "FontColor=$" +
                          std::string(300, 'F') + "\n[Gauge SongPos]\nWidth=2147483647\n"},
        {"broken bitmaps", general + "[Button Play]\nBitmap1=tiny.bmp\nBitmap2=cut.bmp\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TovrelRig rig;
        rig.files.add(std::string(skinFolder) + "tiny.bmp",
                      bmpOf(1, 1, [](int, int) { return 0x123456u; }));
        rig.files.add(std::string(skinFolder) + "cut.bmp", truncated);
        ASSERT_EQ(rig.loadDesign(c.text), 1);
        for (int size : {40, 333}) workOutSkin(rig.set, rig.clock, size, size);
    }
}

} // namespace
} // namespace sabrith::test
