#include "sabrith/skin/tests/skin_fixtures.h"

#include "sabrith/skin/tests/skin_test_rig.h"

namespace sabrith::test {

const char* const ownSkinFixtureText = R"([Lumbrin Skin]
SkinVersion=2
NumSkins=1
SkinName=Fixture
DesignerName=Tests
Skin_1=Main Skin
[Main Skin]
MinWidth=120
MinHeight=60
TopInset=20
LeftInset=6
RightInset=6
BottomInset=20
NumImages=4
Image_1=Face
Image_2=Title Bar
Image_3=Glow
Image_4=Play Up
[Face]
Size=275,116
Bitmap=Face Bitmap
SeeThrough=Yes
SeeThroughColor=255,0,255
NumGizmos=2
Gizmo_1=Track
Gizmo_2=Time
[Title Bar]
Size=25,14
TileMode=Horizontal
Bitmap=Parts
Location=0,0
[Glow]
Size=40,20
HorizontalAlignment=Middle
VerticalAlignment=Bottom
Offset=0,2
Bitmap=Parts
Location=0,20
Transparency=Translucent
TransparencyLocation=40,20
OnTime=Glow Dim,400
[Glow Dim]
Size=40,20
HorizontalAlignment=Middle
VerticalAlignment=Bottom
Offset=0,2
Bitmap=Parts
Location=0,20
Transparency=Translucent
TransparencyLocation=80,20
OnTime=Glow,400
DriftVelocity=2
[Play Up]
Size=16,16
HorizontalAlignment=Right
VerticalAlignment=Bottom
Offset=8,8
Action=Play
Bitmap=Parts
Location=0,44
Transparency=Masked
MaskColor=255,0,255
OnMouseEnter=Play Over,0
[Play Over]
Size=16,16
HorizontalAlignment=Right
VerticalAlignment=Bottom
Offset=8,8
Action=Play
Bitmap=Parts
Location=16,44
Transparency=Masked
MaskColor=255,0,255
OnMouseExit=Play Up,0
[Track]
Type=TrackInfo
Font=Small Font
Size=150,6
Offset=10,24
[Time]
Type=TimeInfo
Font=System Font
Size=40,14
Offset=200,22
[Small Font]
CharacterSize=5,6
Image=Glyphs
TextCol=255,255,255
TextBackCol=0,0,0
[System Font]
CharacterSize=6,12
Type=Windows
FontName=Arial
TextCol=0,255,0
TextBackCol=0,0,0
[Glyphs]
Size=155,18
Bitmap=Glyph Bitmap
[Face Bitmap]
Image=face.bmp
[Parts]
Image=parts.bmp
[Glyph Bitmap]
Image=glyphs.bmp
)";

std::vector<std::pair<std::string, std::vector<uint8_t>>> ownSkinFixtureBitmaps() {
    return {
        // A shaded face with magenta (see-through) rounded-off corners.
        {"face.bmp", bmpOf(275, 116,
                           [](int x, int y) {
                               const int cx = x < 8 ? 8 - x : x > 266 ? x - 266 : 0;
                               const int cy = y < 8 ? 8 - y : y > 107 ? y - 107 : 0;
                               if (cx * cx + cy * cy > 64) return 0xFF00FFu;
                               return uint32_t(0x203040 + (y / 4) * 0x010101);
                           })},
        // Title tiles, the glow and its two alpha ramps, the button faces.
        {"parts.bmp", bmpOf(128, 60,
                            [](int x, int y) {
                                if (y < 14) return 0x4060A0u + uint32_t(x % 25);
                                if (y >= 20 && y < 40)
                                    return x < 40 ? 0xFFE080u : uint32_t((x % 40) * 6) * 0x010101u;
                                if (y >= 44 && x < 32) {
                                    const int dx = x % 16 - 8, dy = y - 52;
                                    return dx * dx + dy * dy < 40 ? (x < 16 ? 0x30C030u : 0x60FF60u)
                                                                  : 0xFF00FFu;
                                }
                                return 0u;
                            })},
        // Glyph cells with a dot pattern per cell.
        {"glyphs.bmp",
         bmpOf(155, 18,
               [](int x, int y) { return (x % 5 + y % 6 + x / 5) % 3 == 0 ? 0xFFFFFFu : 0u; })},
    };
}

std::string addOwnSkinFixture(MemoryFiles& files, const std::string& folder) {
    for (auto& [name, bytes] : ownSkinFixtureBitmaps()) files.add(folder + name, bytes);
    files.add(folder + "fixture.lbs", std::string_view(ownSkinFixtureText));
    return folder + "fixture.lbs";
}

} // namespace sabrith::test
