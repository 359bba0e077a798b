// Sizes a skin file asks for, held to what a screen can show: windows forced
// past it are refused with the skin before kept, everything else a file can
// make the plug-in allocate (images, bitmaps, text strips, fonts) stays
// within the bounds of the screen and of the skin's pixel budget. The three
// readers alike.
#include "sabrith/screen_limits.h"
#include "sabrith/skin/skin_pixels.h"
#include "sabrith/skin/tests/foreign_skin_fixtures.h"
#include "sabrith/skin/tests/skin_test_rig.h"
#include "sabrith/skin/tests/skin_workout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace sabrith::test {
namespace {

const std::string goodSkin = "[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nMinWidth=10\n";

std::string ownSkin(const std::string& skinKeys) {
    return "[Lumbrin Skin]\nSkinVersion=2\nNumSkins=2\nSkin_1=S\nSkin_2=T\n[S]\nMinWidth=10\n"
           "[T]\n" +
           skinKeys + "\n";
}

std::string design(int width, int height) {
    return "[General]\nWindowWidth=" + std::to_string(width) +
           "\nWindowHeight=" + std::to_string(height) + "\n";
}

// A BMP whose header claims width x height over one pixel of data.
std::vector<uint8_t> claimedBmp(int32_t width, int32_t height) {
    std::vector<uint8_t> bytes = bmpOf(1, 1, [](int, int) { return 0x808080u; });
    std::memcpy(&bytes[18], &width, 4);
    std::memcpy(&bytes[22], &height, 4);
    return bytes;
}

TEST(SkinBounds, WindowsPastTheScreenAreRefusedWithTheSkinBeforeKept) {
    struct Case {
        const char* what;
        std::string name;
        std::string text;
        bool loads;
    };
    const Case cases[] = {
        {"design 65535 x 65535", "big.design", design(65535, 65535), false},
        {"design 2147483647 square", "big.design", design(2147483647, 2147483647), false},
        {"design a pixel wider than a screen", "wide.design", design(16385, 10), false},
        {"design past the screen's pixels", "wide.design", design(16384, 2049), false},
        {"design of no size", "none.design", design(0, 100), false},
        {"design negative", "none.design", design(-5, -2147483647 - 1), false},
        {"design as wide and tall as a screen", "edge.design", design(16384, 2048), true},
        {"own minimum 65535", "big.lbs", ownSkin("MinWidth=65535"), false},
        {"own insets 100000", "tall.lbs", ownSkin("TopInset=100000\nBottomInset=100000"), false},
        {"own insets that add up past", "tall.lbs", ownSkin("TopInset=9000\nBottomInset=9000"),
         false},
        {"own inset far negative", "left.lbs", ownSkin("LeftInset=-100000"), false},
        {"own minimum and insets at the edge", "edge.lbs",
         ownSkin("MinWidth=16384\nTopInset=2000\nBottomInset=40"), true},
        // A maximum past the screen forces nothing: the window's bounds hold.
        {"own maximum 100000", "max.lbs", ownSkin("MaxWidth=100000\nMaxHeight=100000"), true},
        {"own negative insets", "neg.lbs", ownSkin("LeftInset=-500\nTopInset=-16384"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinRig rig;
        ASSERT_EQ(rig.load(goodSkin, 100, 100, "good.lbs"), 1);
        EXPECT_EQ(rig.load(c.text, 100, 100, c.name), c.loads ? 1 : 0);
        EXPECT_TRUE(rig.ui.messages.empty());
        ASSERT_NE(rig.set.currentSkin, nullptr);
        EXPECT_EQ(rig.set.skinPath, skinFolder + (c.loads ? c.name : "good.lbs"));
        for (const Skin* skin : rig.set.skins)
            EXPECT_TRUE(skinWindowFits(skin->minWidth, skin->minHeight)) << skin->name;
        workOutSkin(rig.set, rig.clock, 275, 116);
    }
}

TEST(SkinBounds, ANerritFaceNoScreenShowsLeavesTheSmallPlaceholder) {
    // The face fixes the window: the BMP reader refuses one past its bounds.
    for (const auto& [width, height] : {std::pair{65535, 65535}, {16385, 1}, {4097, 4096}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        SkinRig rig;
        const std::string path = addNerritSkinFixture(rig.files, skinFolder);
        rig.files.add(std::string(skinFolder) + "MainUp.bmp", claimedBmp(width, height));
        ASSERT_EQ(rig.set.loadSkinFile(path), 1);
        EXPECT_EQ(rig.set.currentSkin->maxWidth, 16);
        EXPECT_EQ(rig.set.currentSkin->maxHeight, 16);
        workOutSkin(rig.set, rig.clock, 16, 16);
    }
}

TEST(SkinBounds, ElementsPastTheBudgetAreNotMade) {
    // A budget of three 100 x 100 images and a 10 x 10 one: the fourth big
    // image, a bitmap and a text strip that would pass it are not made; the
    // skin loads with what fits and keeps within it while it runs.
    SkinRig rig;
    rig.set.pixelBudget = 3 * 100 * 100 + 150;
    rig.files.add(std::string(skinFolder) + "big.bmp",
                  bmpOf(120, 120, [](int, int) { return 0xC0C0C0u; }));
    std::string text = "[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=5\n";
    for (int i = 1; i <= 4; ++i)
        text += "Image_" + std::to_string(i) + "=I" + std::to_string(i) + "\n";
    text += "Image_5=Text\n";
    for (int i = 1; i <= 4; ++i) text += "[I" + std::to_string(i) + "]\nSize=100,100\n";
    text += "[Text]\nSize=10,10\nBitmap=B\nNumGizmos=1\nGizmo_1=G\n[B]\nImage=big.bmp\n"
            "[G]\nType=TrackInfo\nFont=F\nSize=200,20\n[F]\nType=Windows\nCharacterSize=5,12\n";
    ASSERT_EQ(rig.load(text, 275, 116), 1);
    EXPECT_NE(imageNamed(rig.set, "I3"), nullptr);
    EXPECT_EQ(imageNamed(rig.set, "I4"), nullptr);
    const SkinImage* small = imageNamed(rig.set, "Text");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(rgbAt(small->pixels, 0, 0), 0u) << "the bitmap is the black placeholder";
    ASSERT_EQ(small->gizmos.size(), 1u);
    EXPECT_EQ(small->gizmos[0]->strip, nullptr);
    EXPECT_LE(rig.set.pixelsHeld, rig.set.pixelBudget);
    workOutSkin(rig.set, rig.clock, 275, 116);
    EXPECT_LE(rig.set.pixelsHeld, rig.set.pixelBudget);
    // A new load starts with the whole budget again.
    ASSERT_EQ(rig.load(text, 275, 116), 1);
    EXPECT_NE(imageNamed(rig.set, "I3"), nullptr);
}

TEST(SkinBounds, FontsTallerThanAScreenShowsAreNotMade) {
    struct Case {
        const char* what;
        std::string name;
        std::string text;
        int height; // of the one font asked for; 0: none is made
    };
    const std::string own = "[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=1\n"
                            "Image_1=I\n[I]\nSize=10,10\nNumGizmos=1\nGizmo_1=G\n[G]\n"
                            "Type=TimeInfo\nFont=F\nSize=50,20\n[F]\nType=Windows\n";
    const Case cases[] = {
        {"own 12", "a.lbs", own + "CharacterSize=5,12\n", 14},
        {"own 1022", "a.lbs", own + "CharacterSize=5,1022\n", 1024},
        {"own 1023", "a.lbs", own + "CharacterSize=5,1023\n", 0},
        {"own negative", "a.lbs", own + "CharacterSize=5,-2000\n", 0},
        {"design size 8", "a.design", design(40, 30) + "[Label SongName]\nFontSize=8\n", 14},
        {"design size 2000", "a.design", design(40, 30) + "[Label SongName]\nFontSize=2000\n", 0},
        {"nerrit bar 5000 tall", "skin.ini", "[Coordinates]\nDisplayBar=0,0,100,5000\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkinRig rig;
        ASSERT_EQ(rig.load(c.text, 100, 100, c.name), 1);
        if (c.height) {
            ASSERT_EQ(rig.fonts.made.size(), 1u);
            EXPECT_EQ(rig.fonts.made[0].height, c.height);
        } else {
            EXPECT_TRUE(rig.fonts.made.empty());
        }
        workOutSkin(rig.set, rig.clock, 100, 100);
    }
}

} // namespace
} // namespace sabrith::test
