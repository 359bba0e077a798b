// Seeds for the own-format skin fuzz target: the fixture skin with its
// parts bitmap after a zero byte, and smaller skins that reach the gizmos,
// chains and odd values.
#include "sabrith/skin/tests/skin_fixtures.h"
#include "sabrith/skin/tests/skin_test_rig.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace sabrith::test;

namespace {

bool writeSeed(const std::string& folder, const char* name, std::string text,
               const std::vector<uint8_t>& bitmap) {
    // Bitmap sections in the seeds name "a.bmp", the fuzzed one.
    for (std::size_t at; (at = text.find("parts.bmp")) != std::string::npos;)
        text.replace(at, 9, "a.bmp");
    std::vector<uint8_t> bytes(text.begin(), text.end());
    if (!bitmap.empty()) {
        bytes.push_back(0);
        bytes.insert(bytes.end(), bitmap.begin(), bitmap.end());
    }
    const std::string path = folder + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    std::vector<uint8_t> parts;
    for (const auto& [name, bytes] : ownSkinFixtureBitmaps())
        if (name == "parts.bmp") parts = bytes;
    const std::string small = "[Lumbrin Skin]\nSkinVersion=2\nNumSkins=2\nSkin_1=S\nSkin_2=S\n"
                              "[S]\nNumImages=2\nImage_1=I\nImage_2=J\n[I]\nSize=30,5\n"
                              "TileMode=Horizontal\nBitmap=B\nSeeThrough=Yes\n"
                              "SeeThroughColor=0,0,0\nOnMouseEnter=J,0\nOnTime=I,5\n"
                              "NumGizmos=2\nGizmo_1=T\nGizmo_2=K\n[J]\nSize=3,3\n"
                              "HorizontalAlignment=Middle\nDriftVelocity=-7\nBitmap=C\n"
                              "Transparency=Translucent\nOnMouseExit=I,9\n[T]\nType=TrackInfo\n"
                              "Font=F\nSize=40,6\n[K]\nType=Button\nImage=J\n[F]\n"
                              "CharacterSize=5,6\nImage=J\n[B]\nImage=b.bmp\n[C]\nImage=c.bmp\n";
    const bool ok = writeSeed(folder, "fixture.lbs", ownSkinFixtureText, parts) &&
                    writeSeed(folder, "small.lbs", small, {}) &&
                    writeSeed(folder, "nogizmo.lbs",
                              "[Lumbrin Skin]\nSkinVersion=2\nSkin_1=S\n[S]\nNumImages=1\n"
                              "Image_1=I\n[I]\nSize=9,9\nBitmap=A\nTransparency=Masked\n"
                              "MaskColor=300,0,-1\nNumGizmos=1\nGizmo_1=G\n[G]\nType=TimeInfo\n"
                              "Font=W\n[W]\nType=Windows\nCharacterSize=4,9\n[A]\nImage=a.bmp\n",
                              parts);
    return ok ? 0 : 1;
}
