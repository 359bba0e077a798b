// The skin model: the element table, layout, switching and drift, the
// window's shape and drawing, with skins loaded from in-memory .lbs files.
#include "sabrith/skin/region.h"
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_pixels.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/tests/foreign_skin_fixtures.h"
#include "sabrith/skin/tests/skin_fixtures.h"
#include "sabrith/skin/tests/skin_test_rig.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace sabrith::test {
namespace {

TEST(SkinElements, NamesAreUniqueAcrossKindsAndCaseMatters) {
    SkinRig rig;
    SkinSet& set = rig.set;
    Skin* skin = set.createSkin("A");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(set.createImage("A"), nullptr);
    EXPECT_EQ(set.createFont(""), nullptr);
    SkinImage* lower = set.createImage("a");
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(set.findElement("A"), skin);
    EXPECT_EQ(set.findElement("a"), lower);
    // A bitmap by an existing name only when that name is a bitmap.
    EXPECT_EQ(set.findOrCreateBitmap("A"), nullptr);
    SkinBitmap* bitmap = set.findOrCreateBitmap("B");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(set.findOrCreateBitmap("B"), bitmap);
    EXPECT_EQ(bitmap->pixels.width(), 16);
    // Newest first; a discarded element leaves no trace.
    EXPECT_EQ(set.elementList().front().get(), bitmap);
    Gizmo* gizmo = set.createGizmo("G");
    set.discardElement(gizmo);
    EXPECT_EQ(set.findElement("G"), nullptr);
    EXPECT_EQ(set.elementList().size(), 3u);
    // Images start switching to themselves: no switch.
    EXPECT_EQ(lower->events[onTime], lower);
}

const char* twoSkins = R"([Lumbrin Skin]
SkinVersion=2
NumSkins=2
Skin_1=First
Skin_2=Second
[First]
MinWidth=50
NumImages=1
Image_1=Dot
[Second]
MaxWidth=70
[Dot]
Size=2,2
)";

TEST(SkinSet, FirstSkinIsCurrentAndNextSkinCycles) {
    SkinRig rig;
    ASSERT_EQ(rig.load(twoSkins), 1);
    SkinSet& set = rig.set;
    ASSERT_EQ(set.skins.size(), 2u);
    EXPECT_EQ(set.currentSkin->name, "First");
    EXPECT_EQ(set.isActive(), 1);
    EXPECT_EQ(set.showsEffect(), 1); // own skins frame the effect
    set.nextSkin();
    EXPECT_EQ(set.currentSkin->name, "Second");
    set.nextSkin();
    EXPECT_EQ(set.currentSkin->name, "First");
    int32_t w = 10, h = 10;
    set.clampWindowSize(w, h);
    EXPECT_EQ(w, 50);
    set.setActive(0);
    EXPECT_EQ(set.isActive(), 0);
    EXPECT_EQ(set.showsEffect(), 1);
}

TEST(SkinSet, RefusedFileKeepsTheOldSkin) {
    SkinRig rig;
    ASSERT_EQ(rig.load(twoSkins), 1);
    const std::string path = rig.set.skinPath;
    rig.files.add("c:\\skins\\v1.lbs", "[Lumbrin Skin]\nNumSkins=1\n");
    rig.files.add("c:\\skins\\plain.txt", "[Lumbrin Skin]\nSkinVersion=2\n");
    for (const char* refused :
         {"c:\\skins\\v1.lbs", "c:\\skins\\plain.txt", "c:\\skins\\missing.lbs", "no dot at all"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(rig.set.loadSkinFile(refused), 0);
        EXPECT_EQ(rig.set.skinPath, path);
        ASSERT_NE(rig.set.currentSkin, nullptr);
        EXPECT_EQ(rig.set.currentSkin->name, "First");
    }
    // Only the wrong version says why.
    EXPECT_EQ(rig.ui.messages.size(), 1u);
}

TEST(SkinSet, ChosenSkinFileLoads) {
    struct Chooser final : FileChooser {
        bool confirm = true;
        bool choose(bool, FileRequest& request) override {
            request.path = "c:\\skins\\chosen.lbs";
            return confirm;
        }
    } chooser;
    SkinRig rig;
    EXPECT_EQ(rig.set.chooseAndLoadSkin(nullptr), 0); // no dialog
    MemoryRegistry registry;
    FileDialog dialog(skinFiles, registry, "c:\\plugins\\sabrith.dll", chooser);
    rig.set.skinFileList = &dialog;
    rig.files.add("c:\\skins\\chosen.lbs", std::string_view(twoSkins));
    chooser.confirm = false;
    EXPECT_EQ(rig.set.chooseAndLoadSkin(nullptr), 0);
    EXPECT_EQ(rig.set.currentSkin, nullptr);
    chooser.confirm = true;
    EXPECT_EQ(rig.set.chooseAndLoadSkin(nullptr), 1);
    EXPECT_EQ(rig.set.skinPath, "c:\\skins\\chosen.lbs");
}

TEST(SkinSet, StoresTheLowerCasedPathOfAnOwnSkin) {
    SkinRig rig;
    rig.files.add("C:\\Skins\\Mixed.LBS", std::string_view(twoSkins));
    const std::string path = "C:\\Skins\\Mixed.LBS";
    ASSERT_EQ(rig.set.loadSkinFile(path), 1);
    // The skin.ini test before the own format's lower-cases its copy.
    EXPECT_EQ(rig.set.skinPath, "c:\\skins\\mixed.lbs");
    EXPECT_EQ(rig.set.currentSkinPath(), "c:\\skins\\mixed.lbs");
    EXPECT_EQ(path, "C:\\Skins\\Mixed.LBS");
}

TEST(SkinLayout, PlacesImagesByAlignmentAndTiling) {
    struct Case {
        const char* keys;
        int32_t x, y, effWidth, effHeight;
    };
    const Case cases[] = {
        {"Size=11,4\nOffset=3,2", 3, 2, 11, 4},
        {"Size=11,4\nHorizontalAlignment=middle", 44, 0, 11, 4},
        {"Size=11,4\nHorizontalAlignment=Middle\nOffset=-4,0", 40, 0, 11, 4},
        {"Size=11,4\nHorizontalAlignment=RIGHT\nVerticalAlignment=Bottom\nOffset=5,6", 84, 50, 11,
         4},
        {"Size=30,4\nTileMode=Horizontal\nVerticalAlignment=Middle", 0, 28, 100, 4},
        {"Size=30,4\nTileMode=Vertical\nHorizontalAlignment=Right", 70, 0, 30, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        SkinRig rig;
        ASSERT_EQ(rig.load(std::string("[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages="
                                       "1\nImage_1=I\n[I]\n") +
                               c.keys + "\n",
                           100, 60),
                  1);
        const SkinImage* image = imageNamed(rig.set, "I");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->posX, c.x);
        EXPECT_EQ(image->posY, c.y);
        EXPECT_EQ(image->effWidth, c.effWidth);
        EXPECT_EQ(image->effHeight, c.effHeight);
    }
}

// A 40 x 20 bitmap whose pixel at (x, y) is x + 256 * y, plus a see-through
// square of pure green at (4..5, 4..5).
std::vector<uint8_t> gradient() {
    return bmpOf(40, 20, [](int x, int y) {
        return x >= 4 && x < 6 && y >= 4 && y < 6 ? 0x00FF00u : uint32_t(x + 256 * y);
    });
}

std::string tiledSkin(const char* extra) {
    return std::string("[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=1\nImage_1=I\n"
                       "[I]\nSize=30,10\nBitmap=B\nOffset=0,5\nSeeThrough=Yes\n"
                       "SeeThroughColor=0,255,0\n") +
           extra + "\n[B]\nImage=g.bmp\n";
}

TEST(SkinDrawing, HorizontalTilesEndWithAPieceFromTheTilesLeftEdge) {
    SkinRig rig;
    rig.files.add("c:\\skins\\g.bmp", gradient());
    ASSERT_EQ(rig.load(tiledSkin("TileMode=Horizontal"), 100, 40), 1);
    DibImage frame("frame");
    ASSERT_EQ(frame.resize(100, 40), 1);
    drawSkin(rig.set, frame);
    for (int x : {0, 29, 30, 59, 60, 89, 90, 99}) {
        SCOPED_TRACE(x);
        const uint32_t column = x < 90 ? uint32_t(x % 30) : uint32_t(x - 90);
        EXPECT_EQ(rgbAt(frame, x, 5), column);
    }
    EXPECT_EQ(rgbAt(frame, 0, 4), 0u); // above the image: untouched

    // The hole repeats with every tile, the last piece included.
    const auto shape = buildWindowShape(rig.set);
    ASSERT_NE(shape, nullptr);
    for (int x : {4, 34, 64, 94}) {
        EXPECT_FALSE(shape->contains(x, 9)) << x;
        EXPECT_TRUE(shape->contains(x, 8)) << x;
    }
    EXPECT_TRUE(shape->contains(6, 9));
}

TEST(SkinDrawing, ImageLargerThanTheWindowIsNeitherDrawnNorShapeNorHit) {
    SkinRig rig;
    rig.files.add("c:\\skins\\g.bmp", gradient());
    ASSERT_EQ(rig.load(tiledSkin("Action=Play"), 100, 14), 1);
    DibImage frame("frame");
    ASSERT_EQ(frame.resize(100, 40), 1);
    frame.fillRect(0x123456, 255, 0, 0, 100, 40);
    rig.set.setWindowSize(100, 9); // the image is 10 high
    drawSkin(rig.set, frame);
    EXPECT_EQ(rgbAt(frame, 1, 6), pixelFromColor(0x123456));
    EXPECT_EQ(buildWindowShape(rig.set), nullptr);
    rig.set.setWindowSize(100, 10); // it returns when the window grows
    EXPECT_NE(buildWindowShape(rig.set), nullptr);
    drawSkin(rig.set, frame);
    EXPECT_EQ(rgbAt(frame, 1, 6), 1u + 256u);
}

TEST(SkinShape, NoHolesMeansNoShape) {
    SkinRig rig;
    ASSERT_EQ(rig.load(twoSkins), 1);
    EXPECT_EQ(buildWindowShape(rig.set), nullptr);
    rig.set.setActive(0);
    EXPECT_EQ(buildWindowShape(rig.set), nullptr);
}

TEST(SkinPixels, ColourDistanceBelowOneThousandMatches) {
    const uint32_t pixel = 0x0A141Eu;                                     // (10, 20, 30)
    EXPECT_TRUE(colourMatches(pixel, colourFromComponents(30, 40, 20)));  // 900
    EXPECT_FALSE(colourMatches(pixel, colourFromComponents(30, 40, 50))); // 1200
    EXPECT_TRUE(colourMatches(pixel, colourFromComponents(10, 20, 61)));  // 961
    EXPECT_FALSE(colourMatches(pixel, colourFromComponents(10, 20, 62))); // 1024
    // Components outside 0-255 stay in their own channel.
    EXPECT_EQ(colourFromComponents(300, -5, 256), 0xFF00FFu);
}

TEST(SkinDrawing, ModesCopyKeyAndBlend) {
    SkinRig rig;
    // Left half red, right half the mask colour blue; the alpha bitmap is
    // white on the left and black on the right.
    rig.files.add("c:\\skins\\p.bmp",
                  bmpOf(8, 4, [](int x, int) { return x < 4 ? 0xFF0000u : 0x0000FFu; }));
    rig.files.add("c:\\skins\\a.bmp",
                  bmpOf(8, 4, [](int x, int) { return x < 4 ? 0xFFFFFFu : 0u; }));
    const char* modes[] = {"Transparency=Opaque", "Transparency=Masked\nMaskColor=0,0,255",
                           "Transparency=Translucent\nTransparencyBitmap=A"};
    const uint32_t leftExpected[] = {0xFF0000u, 0xFF0000u, 0xFE0000u};
    const uint32_t rightExpected[] = {0x0000FFu, 0x808080u, 0x808080u};
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(modes[mode]);
        ASSERT_EQ(rig.load(std::string("[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=1"
                                       "\nImage_1=I\n[I]\nSize=8,4\nBitmap=P\n") +
                               modes[mode] + "\n[P]\nImage=p.bmp\n[A]\nImage=a.bmp\n",
                           20, 20),
                  1);
        EXPECT_EQ(imageNamed(rig.set, "I")->transparency, mode);
        DibImage frame("frame");
        ASSERT_EQ(frame.resize(20, 20), 1);
        frame.fillRect(0x808080, 255, 0, 0, 20, 20);
        drawSkin(rig.set, frame);
        EXPECT_EQ(rgbAt(frame, 1, 1), leftExpected[mode]);
        EXPECT_EQ(rgbAt(frame, 6, 1), rightExpected[mode]);
        EXPECT_EQ(rgbAt(frame, 9, 1), 0x808080u); // outside the image
    }
}

// Two images: A switches to B on mouse enter after 500 ms and on focus loss;
// B drifts back to its place at 3 pixels per tick and returns to A by time.
const char* switching = R"([Lumbrin Skin]
SkinVersion=2
Skin_1=S
[S]
NumImages=1
Image_1=A
[A]
Size=10,10
Offset=20,0
OnMouseEnter=B,500
OnMouseDown=B,100
OnMouseExit=B,800
OnLoseFocus=B,0
[B]
Size=10,10
Offset=0,4
DriftVelocity=3
OnTime=A,1000
)";

TEST(SkinSwitching, APendingSwitchYieldsOnlyToAnEarlierOne) {
    SkinRig rig;
    ASSERT_EQ(rig.load(switching), 1);
    ImageSlot& slot = rig.set.currentSkin->images.at(0);
    const uint32_t t0 = rig.clock.time;
    SkinImage* b = imageNamed(rig.set, "B");
    scheduleSwitch(slot, b, 500, t0);
    EXPECT_EQ(slot.switchTime, t0 + 500);
    scheduleSwitch(slot, b, 800, t0); // later: ignored
    EXPECT_EQ(slot.switchTime, t0 + 500);
    scheduleSwitch(slot, b, 100, t0); // earlier: takes over
    EXPECT_EQ(slot.switchTime, t0 + 100);
    scheduleSwitch(slot, slot.shownImage, 0, t0); // the shown image: nothing
    EXPECT_EQ(slot.pendingImage, b);

    runDueSwitch(slot, t0 + 99);
    EXPECT_EQ(slot.shownImage, imageNamed(rig.set, "A"));
    runDueSwitch(slot, t0 + 100);
    EXPECT_EQ(slot.shownImage, b);
    // B starts where A stood, then its time switch back is scheduled.
    EXPECT_EQ(b->posX, 20);
    EXPECT_EQ(b->posY, 0);
    EXPECT_EQ(b->placed, 0);
    EXPECT_EQ(slot.pendingImage, imageNamed(rig.set, "A"));
    EXPECT_EQ(slot.switchTime, t0 + 1100);
}

TEST(SkinSwitching, DriftStepsToThePlaceThenStops) {
    SkinRig rig;
    ASSERT_EQ(rig.load(switching), 1);
    SkinImage* b = imageNamed(rig.set, "B");
    b->posX = 20;
    b->posY = 0;
    b->placed = 0;
    // Distance (-20, 4): d = 20, steps (-3, 0) but y takes its whole 4 when
    // the nominal step truncates to 0.
    const int32_t expected[][2] = {{17, 4}, {14, 4}, {11, 4}, {8, 4}, {5, 4}, {2, 4}, {0, 4}};
    for (const auto& step : expected) {
        driftImage(rig.set, *b);
        EXPECT_EQ(b->posX, step[0]);
        EXPECT_EQ(b->posY, step[1]);
    }
    EXPECT_EQ(b->placed, 1);
}

TEST(SkinSwitching, FocusLossSwitchesAndRedraws) {
    SkinRig rig;
    ASSERT_EQ(rig.load(switching), 1);
    DibImage frame("frame");
    ASSERT_EQ(frame.resize(100, 100), 1);
    frame.fillRect(0x123456, 255, 0, 0, 100, 100);
    ImageSlot& slot = rig.set.currentSkin->images.at(0);
    setFocusState(rig.set, frame, 1); // unchanged: nothing
    EXPECT_EQ(slot.switchTime, 0u);
    setFocusState(rig.set, frame, 0);
    EXPECT_EQ(rig.set.focusState, 0);
    EXPECT_EQ(slot.pendingImage, imageNamed(rig.set, "B"));
    EXPECT_EQ(slot.switchTime, rig.clock.time);
    EXPECT_EQ(rgbAt(frame, 20, 0), 0u); // A (black, without a bitmap) was drawn
}

} // namespace
} // namespace sabrith::test

namespace sabrith::test {
namespace {

TEST(SkinFiles, DiskFilesReadAndListAFolder) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(jk::test::tempPath("disk skins"));
    fs::create_directories(folder / "inner.lbs");
    for (const char* name : {"a.lbs", "B.LBS", "c.lbs.bak", "d.ini"}) {
        std::FILE* f = jk::test::openFile((folder / name).string(), "wb");
        std::fputs(name, f);
        std::fclose(f);
    }
    DiskFiles files;
    std::vector<std::string> found = files.findFiles(folder.string(), ".lbs");
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"B.LBS", "a.lbs"}));
    const auto bytes = files.readFile((folder / "a.lbs").string());
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "a.lbs");
    EXPECT_FALSE(files.readFile((folder / "none.lbs").string()).has_value());
    EXPECT_TRUE(files.findFiles((folder / "none").string(), ".lbs").empty());
}

} // namespace
} // namespace sabrith::test

namespace sabrith::test {
namespace {

TEST(OwnSkinFixture, LoadsLaysOutShapesAndDraws) {
    SkinRig rig;
    ASSERT_EQ(rig.set.loadSkinFile(addOwnSkinFixture(rig.files, skinFolder)), 1);
    SkinSet& set = rig.set;
    set.setWindowSize(275, 116);
    ASSERT_EQ(set.currentSkin->images.size(), 4u);
    EXPECT_EQ(set.skinName, "Fixture");
    const SkinImage* face = imageNamed(set, "Face");
    ASSERT_EQ(face->gizmos.size(), 2u);
    EXPECT_EQ(face->gizmos[0]->font->glyphImage, imageNamed(set, "Glyphs"));
    EXPECT_EQ(face->gizmos[1]->font->fontKind, 1);
    EXPECT_EQ(imageNamed(set, "Title Bar")->effWidth, 275);
    EXPECT_EQ(imageNamed(set, "Glow")->posX, 117);
    EXPECT_EQ(imageNamed(set, "Glow")->posY, 94);
    EXPECT_EQ(imageNamed(set, "Play Up")->posX, 251);
    EXPECT_EQ(imageNamed(set, "Play Up")->posY, 92);

    const auto shape = buildWindowShape(set);
    ASSERT_NE(shape, nullptr);
    EXPECT_FALSE(shape->contains(0, 0));
    EXPECT_FALSE(shape->contains(274, 115));
    EXPECT_TRUE(shape->contains(137, 58));
    EXPECT_TRUE(shape->contains(8, 0));

    rig.host.title = "Fixture Song";
    rig.host.state = 1;
    rig.host.lengthS = 200;
    rig.host.positionMs = 61000;
    for (int i = 0; i < 30; ++i) {
        rig.clock.time += 20;
        skinTick(set);
    }
    EXPECT_EQ(skinMouseEvent(set, 255, 100, 0), 0);
    rig.clock.time += 20;
    skinTick(set);
    EXPECT_EQ(set.currentSkin->images[3].shownImage, imageNamed(set, "Play Over"));
    DibImage frame("frame");
    ASSERT_EQ(frame.resize(275, 116), 1);
    drawSkin(set, frame);
    EXPECT_EQ(rgbAt(frame, 30, 7), 0x4060A0u + 5); // a title tile
    EXPECT_EQ(rgbAt(frame, 259, 100), 0x60FF60u);  // the lit button
    int lit = 0;
    for (int x = 200; x < 240; ++x)
        for (int y = 22; y < 34; ++y) lit += rgbAt(frame, x, y) == 0x00FF00u;
    EXPECT_GT(lit, 0); // the time in the system font's green
}

} // namespace
} // namespace sabrith::test

namespace sabrith::test {
namespace {

// The benchmark's foreign skins are what they claim: fixed-size remote
// controls with an outline, no effect area.
TEST(ForeignSkinFixtures, LoadAsFixedSizeShapedSkins) {
    for (int format = 0; format < 2; ++format) {
        SCOPED_TRACE(format);
        SkinRig rig;
        const std::string path = format == 0 ? addNerritSkinFixture(rig.files, "c:\\n\\")
                                             : addTovrelSkinFixture(rig.files, "c:\\t\\");
        ASSERT_EQ(rig.set.loadSkinFile(path), 1);
        ASSERT_EQ(rig.set.isActive(), 1);
        EXPECT_EQ(rig.set.showsEffect(), 0);
        EXPECT_EQ(rig.set.isResizable(), 0);
        int32_t w = 10, h = 500;
        rig.set.clampWindowSize(w, h);
        EXPECT_EQ(w, 275);
        EXPECT_EQ(h, 116);
        rig.set.setWindowSize(w, h);
        const auto shape = buildWindowShape(rig.set);
        ASSERT_NE(shape, nullptr);
        EXPECT_FALSE(shape->contains(0, 0));
        EXPECT_TRUE(shape->contains(137, 58));
        EXPECT_GT(rig.set.currentSkin->images.size(), 2u);
    }
}

} // namespace
} // namespace sabrith::test
