// Reading ".lbs" files: acceptance, every section kind, defaults, and the
// hostile files (deep chains, huge counts, long names) that must load within
// bounds or not at all.
#include "sabrith/skin/skin_drawing.h"
#include "sabrith/skin/tests/skin_test_rig.h"

#include <gtest/gtest.h>

namespace sabrith::test {
namespace {

const std::string header = "[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n";

std::string oneImage(const std::string& imageKeys, const std::string& more = "") {
    return header + "[S]\nNumImages=1\nImage_1=I\n[I]\n" + imageKeys + "\n" + more;
}

// The same file with a second skin "S2", defined in the text.
std::string withSecondSkin(std::string text) {
    const std::string one = "Skin_1=S\n";
    text.replace(text.find(one), one.size(), "NumSkins=2\nSkin_1=S\nSkin_2=S2\n");
    return text;
}

TEST(OwnSkinFiles, AcceptanceByExtensionHeaderAndVersion) {
    struct Case {
        const char* name;
        const char* text;
        int loaded;
        std::size_t messages;
    };
    const Case cases[] = {
        {"UPPER.LBS", "[Lumbrin Skin]\nSkinVersion=2\nNumSkins=0\n", 1, 0},
        {"x.lbs.bak", "[Lumbrin Skin]\nSkinVersion=2\n", 0, 0},
        {"noheader.lbs", "[Other]\nSkinVersion=2\n", 0, 0},
        {"emptyheader.lbs", "[Lumbrin Skin]\n[Other]\nSkinVersion=2\n", 0, 0},
        {"noversion.lbs", "[Lumbrin Skin]\nNumSkins=1\n", 0, 1},
        {"version3.lbs", "[Lumbrin Skin]\nSkinVersion=3\n", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SkinRig rig;
        EXPECT_EQ(rig.load(c.text, 100, 100, c.name), c.loaded);
        ASSERT_EQ(rig.ui.messages.size(), c.messages);
        if (c.messages) {
            EXPECT_NE(rig.ui.messages[0].find("v2 skins"), std::string::npos);
        }
    }
}

TEST(OwnSkinFiles, NoSkinsLoadsNothingAndReadsNoTexts) {
    SkinRig rig;
    ASSERT_EQ(rig.load("[Lumbrin Skin]\nSkinVersion=2\nNumSkins=0\nSkinName=Named\n"), 1);
    EXPECT_EQ(rig.set.currentSkin, nullptr);
    EXPECT_EQ(rig.set.active, 0);
    EXPECT_EQ(rig.set.ownFormat, 1);
    EXPECT_EQ(rig.set.skinName, "");
}

TEST(OwnSkinFiles, ReadsTextsSizesInsetsAndKeywordsInAnyCase) {
    SkinRig rig;
    ASSERT_EQ(rig.load("[Lumbrin Skin]\nSkinVersion=2\nSkinName=Blue\nDesignerName=Ann\n"
                       "Skin_1=S\n[S]\nMinWidth=20\nMaxWidth=300\nMinHeight=10\nMaxHeight=200\n"
                       "LeftInset=-3\nRightInset=7\nTopInset=1\nBottomInset=2\nNumImages=1\n"
                       "Image_1=I\n[I]\nSize=0,0\nAction=PLAY\nHorizontalAlignment=middle\n"
                       "TileMode=vertical\nNumGizmos=1\nGizmo_1=G\n[G]\nType=timeinfo\nSize=2,3\n"
                       "Font=F\n[F]\nCharacterSize=5,9\nType=windows\nFontName=Tahoma\n"
                       "TextCol=300,-1,20\nTextBackCol=1,2\n"),
              1);
    SkinSet& set = rig.set;
    EXPECT_EQ(set.skinName, "Blue");
    EXPECT_EQ(set.designerName, "Ann");
    int32_t h = 0, v = 0;
    set.getInsetTotals(h, v);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(set.isResizable(), 1);
    const SkinImage* image = imageNamed(set, "I");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 1);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->action, 1);
    EXPECT_EQ(image->hAlign, 1);
    EXPECT_EQ(image->tileMode, 2);
    ASSERT_EQ(image->gizmos.size(), 1u);
    const Gizmo& gizmo = *image->gizmos[0];
    EXPECT_EQ(gizmo.gizmoKind, gizmoTimeInfo);
    EXPECT_EQ(gizmo.width, 5);
    EXPECT_EQ(gizmo.height, 5);
    ASSERT_NE(gizmo.font, nullptr);
    EXPECT_EQ(gizmo.font->fontKind, 1);
    EXPECT_EQ(gizmo.font->faceName, "Tahoma");
    ASSERT_EQ(rig.fonts.made.size(), 1u);
    EXPECT_EQ(rig.fonts.made[0].height, 11);
    EXPECT_EQ(rig.fonts.made[0].weight, 400);
    // Components are clamped to 0-255; a colour of two numbers is white.
    EXPECT_EQ(gizmo.font->textColour, 0x1400FFu);
    EXPECT_EQ(gizmo.font->backColour, 0xFFFFFFu);
}

TEST(OwnSkinFiles, EventsNameImagesThatAreNotSlots) {
    SkinRig rig;
    ASSERT_EQ(rig.load(oneImage("OnMouseEnter=J,5\nOnTime=I,10\nOnMouseUp=Missing,1",
                                "[J]\nOnMouseExit=I,7\n")),
              1);
    SkinImage* i = imageNamed(rig.set, "I");
    SkinImage* j = imageNamed(rig.set, "J");
    ASSERT_NE(i, nullptr);
    ASSERT_NE(j, nullptr);
    EXPECT_EQ(i->events[onMouseEnter], j);
    EXPECT_EQ(i->delays[onMouseEnter], 5);
    EXPECT_EQ(j->events[onMouseExit], i);
    EXPECT_EQ(i->events[onMouseUp], i); // a missing section: no switch
    ASSERT_EQ(rig.set.currentSkin->images.size(), 1u);
    // Naming itself in OnTime never switches.
    ImageSlot& slot = rig.set.currentSkin->images[0];
    for (int tick = 0; tick < 5; ++tick) {
        rig.clock.time += 20;
        runDueSwitch(slot, rig.clock.time);
    }
    EXPECT_EQ(slot.shownImage, i);
    EXPECT_EQ(slot.switchTime, 0u);
}

TEST(OwnSkinFiles, TransparencyMasksAndAlphaMaps) {
    SkinRig rig;
    rig.files.add("c:\\skins\\p.bmp",
                  bmpOf(4, 4, [](int x, int) { return x < 2 ? 0x0Au : 0x808080u; }));
    ASSERT_EQ(rig.load(withSecondSkin(
                  oneImage("Size=4,4\nBitmap=P\nTransparency=Translucent\nTransparencyLocation=2,0",
                           "[K]\nSize=4,4\nBitmap=P\nTransparency=masked\nMaskColor=0,0,10\n"
                           "[L]\nSize=4,4\nBitmap=P\nTransparency=Masked\nMaskColor=bad\n"
                           "[S2]\nNumImages=2\nImage_1=K\nImage_2=L\n[P]\nImage=p.bmp\n"))),
              1);
    const SkinImage* translucent = imageNamed(rig.set, "I");
    EXPECT_EQ(translucent->alphaBitmapName, "P"); // the image's own bitmap
    EXPECT_EQ(alphaAt(translucent->pixels, 0, 0), 0x80u);
    const SkinImage* masked = imageNamed(rig.set, "K");
    EXPECT_EQ(masked->transparency, 1);
    EXPECT_EQ(alphaAt(masked->pixels, 0, 0), 0u);
    EXPECT_EQ(alphaAt(masked->pixels, 3, 0), 255u);
    EXPECT_EQ(imageNamed(rig.set, "L")->transparency, 0); // no valid colour: opaque
}

TEST(OwnSkinFiles, GizmoTypesAndFonts) {
    SkinRig rig;
    ASSERT_EQ(rig.load(oneImage("Size=10,10\nNumGizmos=4\nGizmo_1=Odd\nGizmo_2=B\nGizmo_3=T\n"
                                "Gizmo_4=Missing",
                                "[Odd]\nType=Clock\n[B]\nType=BUTTON\nOffset=3,4\nImage=Face\n"
                                "[Face]\nSize=2,2\n[T]\nType=TrackInfo\nFont=F\nSize=40,12\n"
                                "[F]\nImage=Glyphs\n[Glyphs]\nSize=155,18\n")),
              1);
    const SkinImage* image = imageNamed(rig.set, "I");
    EXPECT_EQ(rig.set.findElement("Odd"), nullptr); // no trace of an unknown type
    ASSERT_EQ(image->gizmos.size(), 2u);
    const Gizmo& button = *image->gizmos[0];
    EXPECT_EQ(button.gizmoKind, gizmoButton);
    EXPECT_EQ(button.offsetX, 3);
    EXPECT_EQ(button.image, imageNamed(rig.set, "Face"));
    const Gizmo& track = *image->gizmos[1];
    EXPECT_EQ(track.newText, "Lumbrin ***");
    ASSERT_NE(track.strip, nullptr);
    EXPECT_EQ(track.strip->width(), 40);
    ASSERT_NE(track.font, nullptr);
    // A bitmap font without CharacterSize has 0 x 0 cells.
    EXPECT_EQ(track.font->fontKind, 0);
    EXPECT_EQ(track.font->charWidth, 0);
    EXPECT_EQ(track.font->glyphImage, imageNamed(rig.set, "Glyphs"));
    EXPECT_EQ(track.font->backColour, 0xFFFFFFu);
}

TEST(OwnSkinFiles, BrokenBitmapsGiveBlackPlaceholders) {
    SkinRig rig;
    std::vector<uint8_t> truncated = bmpOf(8, 8, [](int, int) { return 0xFFFFFFu; });
    truncated.resize(truncated.size() - 20);
    rig.files.add("c:\\skins\\cut.bmp", truncated);
    rig.files.add("c:\\skins\\one.bmp", bmpOf(1, 1, [](int, int) { return 0xFFFFFFu; }));
    ASSERT_EQ(rig.load(withSecondSkin(
                  oneImage("Size=3,3\nBitmap=Cut",
                           "[J]\nSize=3,3\nBitmap=One\n[K]\nSize=3,3\nBitmap=None\n"
                           "[Cut]\nImage=cut.bmp\n[One]\nImage=one.bmp\n[None]\nImage=no.bmp\n"
                           "[S2]\nNumImages=2\nImage_1=J\nImage_2=K\n"))),
              1);
    const auto* cut = static_cast<SkinBitmap*>(rig.set.findElement("Cut"));
    EXPECT_EQ(cut->pixels.width(), 16);
    EXPECT_EQ(rgbAt(imageNamed(rig.set, "I")->pixels, 0, 0), 0u);
    const SkinImage* one = imageNamed(rig.set, "J");
    EXPECT_EQ(rgbAt(one->pixels, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(one->pixels, 1, 0), 0u); // outside the 1 x 1 picture
    EXPECT_EQ(rgbAt(imageNamed(rig.set, "K")->pixels, 0, 0), 0u);
}

TEST(OwnSkinFiles, HostileFilesLoadWithinBounds) {
    // A chain of 2,000 images, each switching to the next on time.
    std::string chain = oneImage("OnTime=C1,1");
    for (int i = 1; i <= 2000; ++i)
        chain += "[C" + std::to_string(i) + "]\nOnTime=C" + std::to_string(i + 1) + ",1\n";
    SkinRig deep;
    ASSERT_EQ(deep.load(chain), 1);
    EXPECT_NE(imageNamed(deep.set, "C200"), nullptr);
    EXPECT_EQ(imageNamed(deep.set, "C1999"), nullptr);

    SkinRig counts;
    ASSERT_EQ(
        counts.load("[Lumbrin Skin]\nSkinVersion=2\nNumSkins=2147483647\nSkin_1=S\n"
                    "[S]\nNumImages=2147483647\nImage_1=I\nImage_2=I\nImage_999=J\n"
                    "Image_1001=K\n[I]\nNumGizmos=2147483647\n[J]\nSize=1,1\n[K]\nSize=1,1\n"),
        1);
    EXPECT_EQ(counts.set.skins.size(), 1u);
    EXPECT_EQ(counts.set.currentSkin->images.size(), 3u); // I twice and J; K lies past 1,000

    SkinRig names;
    const std::string longName(127, 'x'), fullName(63, 'y');
    ASSERT_EQ(names.load(oneImage("OnMouseEnter=" + longName + ",1\nOnMouseExit=" + fullName + ",2",
                                  "[" + longName + "]\n[" + fullName + "]\nSize=1,1\n")),
              1);
    const SkinImage* image = imageNamed(names.set, "I");
    EXPECT_EQ(image->events[onMouseEnter], image);
    EXPECT_EQ(image->events[onMouseExit], imageNamed(names.set, fullName));

    SkinRig sizes;
    ASSERT_EQ(sizes.load(oneImage("Size=100000,100000\nOffset=-2147483648,2147483647")), 1);
    EXPECT_EQ(imageNamed(sizes.set, "I"), nullptr);
    EXPECT_TRUE(sizes.set.currentSkin->images.empty());
}

} // namespace
} // namespace sabrith::test
