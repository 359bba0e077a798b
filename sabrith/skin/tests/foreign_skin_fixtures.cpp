#include "sabrith/skin/tests/foreign_skin_fixtures.h"

#include "sabrith/skin/tests/skin_test_rig.h"

namespace sabrith::test {

namespace {

// A face with a background-coloured margin (the see-through colour of a
// Nerrit face is its top-left pixel) and darker control areas.
uint32_t facePixel(int x, int y, bool pressed) {
    if (x < 4 || y < 4 || x >= 271 || y >= 112) return 0x00FF00u;
    const bool control = y >= 80 && y < 100 && x >= 10 && x < 170;
    if (control) return pressed ? 0x202020u : 0x606060u;
    return 0x304050u + uint32_t(y / 8);
}

} // namespace

std::string addNerritSkinFixture(MemoryFiles& files, const std::string& folder) {
    files.add(folder + "MainUp.bmp",
              bmpOf(275, 116, [](int x, int y) { return facePixel(x, y, false); }));
    files.add(folder + "MainDown.bmp",
              bmpOf(275, 116, [](int x, int y) { return facePixel(x, y, true); }));
    files.add(folder + "skin.ini", std::string_view(R"([Coordinates]
Prev=10, 80, 30, 20
Play=45, 80, 30, 20
Pause=80, 80, 30, 20
Stop=115, 80, 30, 20
Next=150, 80, 20, 20
Quit=255, 6, 12, 12
DisplayBar=10, 20, 200, 14
DisplayTime=215, 20, 50, 14
SeekBar=10, 60, 255, 8
DisplayFont=Arial
DisplayColour=200, 230, 255
)"));
    return folder + "skin.ini";
}

std::string addTovrelSkinFixture(MemoryFiles& files, const std::string& folder) {
    files.add(folder + "face.bmp", bmpOf(275, 116, [](int x, int y) {
                  return 0x402010u + uint32_t((x + y) / 16) * 0x000101u;
              }));
    const auto button = [](uint32_t colour) {
        return bmpOf(20, 16, [colour](int x, int y) {
            return x == 0 || y == 0 ? 0xFFFFFFu : colour + uint32_t(x);
        });
    };
    files.add(folder + "play1.bmp", button(0x208020u));
    files.add(folder + "play2.bmp", button(0x40C040u));
    files.add(folder + "stop1.bmp", button(0x802020u));
    files.add(folder + "stop2.bmp", button(0xC04040u));
    files.add(folder + "skin.design", std::string_view(R"([General]
Bitmap=face.bmp
WindowWidth=275
WindowHeight=116
UseWindowShape=1
NumberOfWindowShapePoints=9
P1x=10
P1y=0
P2x=265
P2y=0
P3x=275
P3y=10
P4x=275
P4y=106
P5x=265
P5y=116
P6x=10
P6y=116
P7x=0
P7y=106
P8x=0
P8y=10
P9x=10
P9y=0
[Button Play]
Bitmap1=play1.bmp
Bitmap2=play2.bmp
Left=20
Top=85
[Button Stop]
Bitmap1=stop1.bmp
Bitmap2=stop2.bmp
Left=45
Top=85
[Label SongName]
FontName=Arial
FontColor=$00FFFF
Left=15
Top=20
Width=240
Height=16
FontSize=9
[Gauge SongPos]
Left=15
Top=60
Width=245
Height=6
[Gauge PlaylistPos]
Left=15
Top=70
Width=245
Height=4
)"));
    return folder + "skin.design";
}

} // namespace sabrith::test
