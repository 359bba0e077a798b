// Seeds for the own-format skin fuzz target: the fixture skin with its
// parts bitmap as the fuzzed bitmap, and smaller skins that reach the
// gizmos, chains and odd values.
#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"
#include "sabrith/skin/tests/skin_fixtures.h"

#include <string>
#include <vector>

using namespace sabrith::test;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::vector<uint8_t> parts;
    for (const auto& [name, bytes] : ownSkinFixtureBitmaps())
        if (name == "parts.bmp") parts = bytes;
    std::string fixture = ownSkinFixtureText;
    // The fixture's bitmap sections all name the fuzzed bitmap.
    for (const char* file : {"parts.bmp", "face.bmp", "glyphs.bmp"})
        for (std::size_t at; (at = fixture.find(file)) != std::string::npos;)
            fixture.replace(at, std::string(file).size(), "a.bmp");
    const std::string small = "[Lumbrin Skin]\nSkinVersion=2\nNumSkins=2\nSkin_1=S\nSkin_2=S\n"
                              "[S]\nNumImages=2\nImage_1=I\nImage_2=J\n[I]\nSize=30,5\n"
                              "TileMode=Horizontal\nBitmap=B\nSeeThrough=Yes\n"
                              "SeeThroughColor=0,0,0\nOnMouseEnter=J,0\nOnTime=I,5\n"
                              "NumGizmos=2\nGizmo_1=T\nGizmo_2=K\n[J]\nSize=3,3\n"
                              "HorizontalAlignment=Middle\nDriftVelocity=-7\nBitmap=C\n"
                              "Transparency=Translucent\nOnMouseExit=I,9\n[T]\nType=TrackInfo\n"
                              "Font=F\nSize=40,6\n[K]\nType=Button\nImage=J\n[F]\n"
                              "CharacterSize=5,6\nImage=J\n[B]\nImage=b1.bmp\n[C]\nImage=b2.bmp\n";
    const std::string timeOnly =
        "[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=1\nImage_1=I\n[I]\nSize=9,9\n"
        "Bitmap=A\nTransparency=Masked\nMaskColor=300,0,-1\nNumGizmos=1\nGizmo_1=G\n"
        "[G]\nType=TimeInfo\nFont=W\n[W]\nType=Windows\nCharacterSize=4,9\n[A]\nImage=a.bmp\n";
    return writeFuzzSeed(argv[1], "fixture.lbs", fuzzSkinInput(fixture, parts)) |
           writeFuzzSeed(argv[1], "small.lbs", fuzzSkinInput(small, {})) |
           writeFuzzSeed(argv[1], "timeonly.lbs", fuzzSkinInput(timeOnly, parts));
}
