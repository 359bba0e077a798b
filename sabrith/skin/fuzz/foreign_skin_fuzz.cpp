#include "sabrith/skin/fuzz/foreign_skin_fuzz.h"

#include "sabrith/skin/tests/skin_workout.h"

#include <algorithm>
#include <cstdio>

namespace sabrith::test {

void addFuzzSkin(MemoryFiles& files, const uint8_t* data, std::size_t size,
                 const std::string& skinFile, const std::string& mainBitmap) {
    const uint8_t* end = data + size;
    const uint8_t* split = std::find(data, end, uint8_t(0));
    const std::string folder = fuzzSkinFolder;
    files.add(folder + skinFile,
              std::string_view(reinterpret_cast<const char*>(data), std::size_t(split - data)));
    if (split != end) files.add(folder + mainBitmap, std::vector<uint8_t>(split + 1, end));
    files.add(folder + "b1.bmp",
              bmpOf(6, 5, [](int x, int y) { return x == 0 || y == 0 ? 0xFFFFFFu : 0x102030u; }));
    files.add(folder + "b2.bmp", bmpOf(3, 9, [](int x, int) { return x ? 0x00FF00u : 0u; }));
    files.add(folder + "MainDown.bmp",
              bmpOf(20, 12, [](int x, int y) { return uint32_t(x * 10 + y * 1000); }));
}

void runFuzzSkin(const uint8_t* data, std::size_t size, const std::string& skinFile,
                 const std::string& mainBitmap) {
    SkinRig rig;
    addFuzzSkin(rig.files, data, size, skinFile, mainBitmap);
    rig.set.loadSkinFile(fuzzSkinFolder + skinFile);
    workOutSkin(rig.set, rig.clock, 64, 48);
    workOutSkin(rig.set, rig.clock, 275, 116);
}

std::vector<uint8_t> fuzzSkinInput(const std::string& text, const std::vector<uint8_t>& bitmap) {
    std::vector<uint8_t> input(text.begin(), text.end());
    input.push_back(0);
    input.insert(input.end(), bitmap.begin(), bitmap.end());
    return input;
}

namespace {

std::vector<uint8_t> seedFace() {
    return bmpOf(40, 30, [](int x, int y) {
        return x < 2 || y < 2 ? 0xFF00FFu : uint32_t(0x203040 + x * 3 + y * 700);
    });
}

const char* const nerrit = "[Coordinates]\nPlay=10,20,12,8\nStop=24, 20, 6, 6\nQuit=30,2,5,5\n"
                           "DisplayFont=Arial\nDisplayColour=200, 10, 255\n"
                           "DisplayBar=4, 4, 30, 9\nDisplayTime=4,14,20,8\nSeekBar=2,26,36,3\n";

const char* const tovrel =
    "[General]\nBitmap=face.bmp\nWindowWidth=40\nWindowHeight=30\nUseWindowShape=1\n"
    "NumberOfWindowShapePoints=9\nP1x=4\nP1y=0\nP2x=36\nP2y=0\nP3x=40\nP3y=4\nP4x=40\n"
    "P4y=30\nP5x=0\nP5y=30\nP6x=0\nP6y=4\nP7x=4\nP7y=0\nP8x=10\nP8y=10\nP9x=14\nP9y=14\n"
    "[Button Play]\nBitmap1=b1.bmp\nBitmap2=b2.bmp\nLeft=20\nTop=16\n"
    "[Button Close]\nBitmap1=b2.bmp\nLeft=34\nTop=2\n"
    "[Label SongName]\nFontName=Arial\nFontColor=$0000FF\nFontBold=1\nLeft=2\nTop=2\n"
    "Width=30\nHeight=10\nFontSize=6\n"
    "[Gauge SongPos]\nLeft=2\nTop=26\nWidth=36\nHeight=3\n"
    "[Gauge PlaylistPos]\nLeft=2\nTop=22\nWidth=36\nHeight=3\n";

} // namespace

std::vector<uint8_t> nerritSeed() {
    return fuzzSkinInput(nerrit, seedFace());
}

std::vector<uint8_t> tovrelSeed() {
    return fuzzSkinInput(tovrel, seedFace());
}

int writeFuzzSeed(const char* folder, const std::string& name, const std::vector<uint8_t>& input) {
    const std::string path = std::string(folder) + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        return 1;
    }
    const bool written = std::fwrite(input.data(), 1, input.size(), f) == input.size();
    return std::fclose(f) == 0 && written ? 0 : 1;
}

} // namespace sabrith::test
