// The live side of skins: the track text and its slide, the time and
// progress gizmos, the mouse, bitmap fonts and following the player's skin
// folder, against a fake player, clock and text renderer.
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/skin_gizmos.h"
#include "sabrith/skin/skin_pixels.h"
#include "sabrith/skin/tests/skin_test_rig.h"

#include <gtest/gtest.h>

namespace sabrith::test {
namespace {

const char* gizmoSkin = R"([Lumbrin Skin]
SkinVersion=2
Skin_1=S
[S]
NumImages=2
Image_1=Main
Image_2=Knob
[Main]
Size=100,40
NumGizmos=3
Gizmo_1=Track
Gizmo_2=Time
Gizmo_3=Button
[Track]
Type=TrackInfo
Font=Sys
Size=60,14
Offset=2,3
[Time]
Type=TimeInfo
Font=Sys
Size=30,12
Offset=60,20
[Button]
Type=Button
Offset=0,30
Image=Up
[Up]
Size=10,10
OnMouseEnter=Over,0
[Over]
Size=10,10
OnMouseExit=Up,0
OnMouseDown=Down,0
[Down]
Size=10,10
Action=Stop
OnMouseUp=Up,0
[Sys]
CharacterSize=5,14
Type=Windows
TextCol=255,255,255
TextBackCol=0,0,0
[Knob]
Size=10,10
Offset=80,0
Action=Play
OnMouseEnter=KnobLit,500
OnMouseExit=KnobLit,800
OnMouseDown=KnobLit,100
[KnobLit]
Size=10,10
)";

Gizmo& gizmoOf(SkinRig& rig, int index) {
    return *imageNamed(rig.set, "Main")->gizmos.at(std::size_t(index));
}

void tick(SkinRig& rig, int count) {
    for (int i = 0; i < count; ++i) {
        rig.clock.time += 20;
        skinTick(rig.set);
    }
}

TEST(TrackText, ComposesTitleAndState) {
    struct Case {
        int32_t state, lengthS;
        std::string title, text;
    };
    const Case cases[] = {
        {0, 0, "Song", "Song (Stopped)"},
        {1, 3725, "Song", "Song (62:05)"},
        {1, 0, "Song", "Song"},
        {3, 10, "Song", "Song (Paused)"},
        {2, 10, "Song", "Song (Wibble)"},
        {0, 0, "", "Lumbrin (Stopped)"},
        {0, 0, std::string(300, 'a'), std::string(179, 'a') + " (Stopped)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SkinRig rig;
        rig.host.state = c.state;
        rig.host.lengthS = c.lengthS;
        rig.host.positionMs = 4321;
        rig.host.title = c.title;
        rig.host.position = 3;
        rig.host.length = 9;
        EXPECT_EQ(composeTrackText(rig.set), c.text);
        EXPECT_EQ(rig.set.listPosition, 3);
        EXPECT_EQ(rig.set.listLength, 9);
        // Position and length are taken only while playing.
        EXPECT_EQ(rig.set.playPositionMs, c.state == 1 ? 4321 : 0);
    }
}

TEST(TrackText, RebuildsEveryTenTicksAndSlidesOnChange) {
    SkinRig rig;
    ASSERT_EQ(rig.load(gizmoSkin), 1);
    rig.host.title = "Song";
    Gizmo& track = gizmoOf(rig, 0);
    tick(rig, 10);
    EXPECT_EQ(rig.host.statusQueries, 0);
    EXPECT_EQ(track.newText, "Lumbrin ***");
    tick(rig, 1);
    EXPECT_EQ(rig.host.statusQueries, 1);
    EXPECT_EQ(track.newText, "Song (Stopped) *** ");
    EXPECT_EQ(track.oldText, "Lumbrin ***");
    EXPECT_EQ(track.newTextWidth, 19 * 6);
    EXPECT_EQ(track.slideRows, 13); // 14 rows, one already gone
    EXPECT_EQ(track.newScroll, 2);
    ASSERT_EQ(track.strip->height(), 2 * 14 + 2);
    EXPECT_EQ(track.strip->width(), 19 * 6);

    // A second change within the slide restarts it from the newest old text.
    rig.host.title = "Next";
    tick(rig, 10);
    EXPECT_EQ(rig.host.statusQueries, 2);
    EXPECT_EQ(track.oldText, "Song (Stopped) *** ");
    EXPECT_EQ(track.slideRows, 13);
    // An unchanged text only scrolls, modulo the text's width.
    tick(rig, 60);
    EXPECT_EQ(rig.host.statusQueries, 8);
    EXPECT_EQ(track.slideRows, 0);
    EXPECT_EQ(track.newScroll, 2 * 61 % (19 * 6));

    DibImage frame("frame");
    ASSERT_EQ(frame.resize(100, 100), 1);
    drawSkin(rig.set, frame);
    // White text on a keyed-out black strip: the visible width only.
    EXPECT_EQ(rgbAt(frame, 2, 3), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(frame, 61, 3), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(frame, 62, 3), 0u);
}

TEST(TimeText, ElapsedRemainingAndUnknownLength) {
    struct Case {
        int32_t lengthS, positionMs, remaining;
        const char* text;
    };
    const Case cases[] = {
        {0, 5000, 0, "-:--"},         {200, 65000, 0, " 1:05"},     {200, 65000, 1, "-2:15"},
        {7000, 6000000, 0, " 99:59"}, {7000, 6000000, 1, "-16:41"}, {100, 150000, 1, "-0:00"},
    };
    SkinRig rig;
    for (const Case& c : cases) {
        rig.set.songLengthS = c.lengthS;
        rig.set.playPositionMs = c.positionMs;
        EXPECT_EQ(timeText(rig.set, c.remaining), c.text);
    }
}

TEST(TimeText, KeepsMovingOnSkinsWithoutTrackText) {
    SkinRig rig;
    ASSERT_EQ(rig.load(std::string(gizmoSkin).replace(std::string(gizmoSkin).find("NumGizmos=3"),
                                                      11, "NumGizmos=1\nGizmo_1=Time")),
              1);
    rig.host.state = 1;
    rig.host.lengthS = 300;
    rig.host.positionMs = 65000;
    tick(rig, 10);
    EXPECT_EQ(rig.host.statusQueries, 1);
    EXPECT_EQ(gizmoOf(rig, 0).timeTextWidth, 5 * 6); // " 1:05"
    tick(rig, 10);
    EXPECT_EQ(rig.host.statusQueries, 2);
}

TEST(Progress, FillFollowsValueAndRange) {
    struct Case {
        int32_t current, range, filled;
    };
    const Case cases[] = {{50, 100, 50}, {1, 3, 33}, {0, 0, 100}, {300, 100, 100}, {0, 100, 0}};
    SkinRig rig;
    ASSERT_EQ(rig.load(gizmoSkin), 1);
    Gizmo* bar = rig.set.createGizmo("Bar");
    startProgressGizmo(*bar, 0, 100, 5);
    bar->offsetY = 45;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filled);
        bar->currentValue = c.current;
        bar->rangeValue = c.range;
        DibImage frame("frame");
        ASSERT_EQ(frame.resize(100, 60), 1);
        drawProgress(rig.set, frame, *imageNamed(rig.set, "Main"), *bar);
        int filled = 0;
        for (int x = 0; x < 100; ++x) filled += rgbAt(frame, x, 47) != 0;
        EXPECT_EQ(filled, c.filled);
        if (c.filled) {
            EXPECT_EQ(rgbAt(frame, 0, 47), 0x9A9A9Au); // 0xDC at alpha 180
        }
    }
}

TEST(SkinMouse, SlotsSwitchByDelayAndReportActions) {
    SkinRig rig;
    ASSERT_EQ(rig.load(gizmoSkin), 1);
    ImageSlot& knob = rig.set.currentSkin->images.at(1);
    const uint32_t t0 = rig.clock.time;
    EXPECT_EQ(skinMouseEvent(rig.set, 85, 5, mouseMove), 0);
    EXPECT_EQ(knob.switchTime, t0 + 500);
    EXPECT_EQ(skinMouseEvent(rig.set, 50, 5, mouseMove), 0); // exit at 800: later
    EXPECT_EQ(knob.switchTime, t0 + 500);
    EXPECT_EQ(skinMouseEvent(rig.set, 85, 5, mouseDown), mouseOverAction);
    EXPECT_EQ(knob.switchTime, t0 + 100);
    EXPECT_EQ(skinMouseEvent(rig.set, 85, 5, mouseUp), 1);   // play
    EXPECT_EQ(skinMouseEvent(rig.set, 50, 5, mouseDown), 0); // no action there
    rig.set.setActive(0);
    EXPECT_EQ(skinMouseEvent(rig.set, 85, 5, mouseUp), 0);
}

TEST(SkinMouse, ButtonFacesSwitchAtOnce) {
    SkinRig rig;
    ASSERT_EQ(rig.load(gizmoSkin), 1);
    Gizmo& button = gizmoOf(rig, 2);
    EXPECT_EQ(skinMouseEvent(rig.set, 5, 35, mouseMove), 0);
    EXPECT_EQ(button.image, imageNamed(rig.set, "Over"));
    EXPECT_EQ(skinMouseEvent(rig.set, 5, 35, mouseDown), mouseOverGizmo);
    EXPECT_EQ(button.image, imageNamed(rig.set, "Down"));
    EXPECT_EQ(skinMouseEvent(rig.set, 5, 35, mouseUp), 2); // the pressed face's stop
    EXPECT_EQ(button.image, imageNamed(rig.set, "Up"));
    skinMouseEvent(rig.set, 5, 35, mouseMove);
    skinMouseEvent(rig.set, 50, 5, mouseMove);
    EXPECT_EQ(button.image, imageNamed(rig.set, "Up"));
}

TEST(SkinMouse, TimeTogglesAndProgressSeeks) {
    SkinRig rig;
    ASSERT_EQ(rig.load(gizmoSkin, 100, 60), 1);
    Gizmo& time = gizmoOf(rig, 1);
    EXPECT_EQ(skinMouseEvent(rig.set, 70, 25, mouseMove), mouseOverGizmo);
    EXPECT_EQ(skinMouseEvent(rig.set, 70, 25, mouseUp), 0);
    EXPECT_EQ(time.showRemaining, 1);

    Gizmo* bar = rig.set.createGizmo("Bar");
    startProgressGizmo(*bar, 0, 100, 5);
    bar->offsetY = 45;
    rig.set.appendGizmo(bar, imageNamed(rig.set, "Main"));
    struct Case {
        int32_t source, range, width, x;
        std::vector<int32_t> seeks;
    };
    const Case cases[] = {
        {0, 200, 100, 50, {100000}},
        {0, 0, 100, 50, {}},
        {1, 200, 100, 50, {}},
        // A wide bar in an hour-long song passes 32 bits before the division.
        {0, 3600, 600, 599, {3594000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        rig.host.seeks.clear();
        bar->source = c.source;
        bar->rangeValue = c.range;
        bar->width = c.width;
        rig.set.setWindowSize(std::max(100, c.width), 60);
        EXPECT_EQ(skinMouseEvent(rig.set, c.x, 47, mouseDown), mouseOverGizmo);
        EXPECT_EQ(skinMouseEvent(rig.set, c.x, 47, mouseUp), 0);
        EXPECT_EQ(rig.host.seeks, c.seeks);
    }
}

TEST(BitmapFont, GlyphCellsAndTheFivePixelAdvance) {
    const GlyphMap map = buildGlyphMap();
    struct Case {
        unsigned char code;
        int column, row;
    };
    const Case cases[] = {{'A', 0, 0}, {'z', 25, 0}, {'"', 26, 0}, {' ', 29, 0},
                          {'7', 7, 1}, {':', 12, 1}, {'#', 30, 1}, {'?', 3, 2},
                          {'*', 4, 2}, {200, 29, 0}, {255, 29, 0}, {'~', 29, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(map[c.code].column, c.column) << int(c.code);
        EXPECT_EQ(map[c.code].row, c.row) << int(c.code);
    }

    // Cell (column, row) of 4 x 6 glyphs is coloured 0x10000 + column + 256 * row.
    // A font is read when a gizmo names it.
    SkinRig named;
    named.files.add("c:\\skins\\glyphs.bmp", bmpOf(155, 18, [](int x, int y) {
                        return 0x10000u + uint32_t(x / 4) + 256u * uint32_t(y / 6);
                    }));
    ASSERT_EQ(named.load("[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=1\nImage_1=I\n"
                         "[I]\nNumGizmos=1\nGizmo_1=T\n[T]\nType=TimeInfo\nFont=F\n"
                         "[F]\nCharacterSize=4,6\nImage=Glyphs\n[Glyphs]\nSize=155,18\nBitmap=G\n"
                         "[G]\nImage=glyphs.bmp\n"),
              1);
    const auto* font = static_cast<SkinFont*>(named.set.findElement("F"));
    ASSERT_NE(font, nullptr);
    DibImage target("target");
    ASSERT_EQ(target.resize(20, 6), 1);
    drawText(named.set, *font, target, "A1\xC8?", 0, 0, 20, 6);
    EXPECT_EQ(rgbAt(target, 0, 0), 0x10000u);
    EXPECT_EQ(rgbAt(target, 4, 0), 0u); // the fifth column of every 5 px step stays
    EXPECT_EQ(rgbAt(target, 5, 0), 0x10101u);
    EXPECT_EQ(rgbAt(target, 10, 0), 0x10000u + 29);
    EXPECT_EQ(rgbAt(target, 15, 0), 0x10000u + 3 + 512);
    EXPECT_EQ(textWidth(named.set, *font, "A1\xC8?"), 16);
}

std::string versionSkin(int version) {
    return "[Lumbrin Skin]\nSkinVersion=" + std::to_string(version) +
           "\nSkin_1=S\n[S]\nNumImages=1\nImage_1=I\n[I]\nSize=5,5\nHorizontalAlignment=Right\n";
}

TEST(HostSkinFolder, LoadsTheFirstLoadableSkinOfANewFolder) {
    SkinRig rig;
    rig.host.folder = "C:\\Jukora\\Skins";
    rig.files.add("c:\\jukora\\skins\\old.lbs", versionSkin(1));
    rig.files.add("c:\\jukora\\skins\\new.lbs", versionSkin(2));
    rig.files.add("c:\\jukora\\skins\\sub\\deeper.lbs", versionSkin(2));
    rig.set.setWindowSize(100, 50);
    rig.clock.time = rig.set.lastGizmoRefresh + 1000; // not more than a second yet
    EXPECT_FALSE(skinTick(rig.set));
    EXPECT_EQ(rig.files.searches, 0);
    rig.clock.time += 1;
    EXPECT_TRUE(skinTick(rig.set));
    EXPECT_EQ(rig.set.skinPath, "c:\\jukora\\skins\\new.lbs");
    EXPECT_EQ(rig.ui.messages.size(), 1u);         // the old version said why
    EXPECT_EQ(imageNamed(rig.set, "I")->posX, 95); // laid out anew
    // The same folder in other letters: no search.
    rig.host.folder = "c:\\JUKORA\\skins";
    rig.clock.time += 2000;
    EXPECT_FALSE(skinTick(rig.set));
    EXPECT_EQ(rig.files.searches, 1);
    // A folder without a loadable skin keeps the skin and is remembered.
    rig.host.folder = "c:\\empty";
    rig.clock.time += 2000;
    EXPECT_FALSE(skinTick(rig.set));
    rig.clock.time += 2000;
    EXPECT_FALSE(skinTick(rig.set));
    EXPECT_EQ(rig.files.searches, 2);
    EXPECT_EQ(rig.set.skinPath, "c:\\jukora\\skins\\new.lbs");
    // Switched off, or without a player: nothing.
    rig.host.folder = "c:\\other";
    rig.set.checkHostSkinChanges = 0;
    EXPECT_FALSE(followHostSkinFolder(rig.set));
    EXPECT_EQ(rig.files.searches, 2);
}

} // namespace
} // namespace sabrith::test
