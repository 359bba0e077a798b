// Texture uploads and modes as GL call sequences, from bitmap files written
// into the test's own folder, and the Space action's walk over a fake folder.
#include "fennick/texture.h"
#include "fennick/tests/bmp_writer.h"
#include "fennick/tests/recording_gl.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fennick {
namespace {

using jk::test::tempPath;
using testing::BmpSpec;
using testing::callsOf;
using testing::glLog;
using Lines = std::vector<std::string>;

std::string writeBmp(const std::string& name, const BmpSpec& spec) {
    std::string path = tempPath(name);
    jk::test::writeFile(path, testing::makeBmp(spec)); // throws "PATH: REASON"
    return path;
}

std::uint32_t bluish(int, int) {
    return 0x102030;
} // red 0x10, green 0x20, blue 0x30

const Lines pixelStore = {"glPixelStorei 3317 4", "glPixelStorei 3314 0", "glPixelStorei 3315 0",
                          "glPixelStorei 3316 0"};

TEST(Texture, UploadIsTwoDimensionalOrOneDimensionalForASingleRowOrColumn) {
    struct Case {
        int width, height;
        const char* build;
    } cases[] = {
        {3, 2, "gluBuild2DMipmaps 3553 3 3 2 6407 5121 16 32 48"},
        {5, 1, "gluBuild1DMipmaps 3552 3 5 6407 5121 16 32 48"},
        {1, 6, "gluBuild1DMipmaps 3552 3 6 6407 5121 16 32 48"},
    };
    GlEntryPoints gl = testing::recordingGl();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.build);
        BmpSpec spec;
        spec.width = c.width;
        spec.height = c.height;
        spec.pixel = bluish;
        std::string path = writeBmp("upload.bmp", spec);
        glLog().clear();
        EXPECT_EQ(uploadTexture(gl, path.c_str()), 0);
        Lines expected = pixelStore;
        expected.push_back(c.build);
        EXPECT_EQ(glLog(), expected);
    }
}

TEST(Texture, EachModeSetsItsFilters) {
    BmpSpec spec;
    spec.pixel = bluish;
    std::string path = writeBmp("mode.bmp", spec);
    const Lines wrap = {"glTexParameteri 3553 10242 10497", "glTexParameteri 3553 10243 10497"};
    const Lines tail = {"glTexParameteri 3553 10241 9728", "glTexEnvi 8960 8704 3042",
                        "glEnable 3553"};
    struct Case {
        int mode;
        bool linear;
        Lines filter;
    } cases[] = {
        {1, false, {"glTexParameteri 3553 10240 9728", "glHint 3152 4353", "glHint 3155 4353"}},
        {2, false, {"glTexParameteri 3553 10240 9728"}},
        {3, false, {"glTexParameteri 3553 10240 9729"}},
        {1, true, {"glTexParameteri 3553 10240 9729"}},
        {2, true, {"glTexParameteri 3553 10240 9729"}},
        {7, false, {"glTexParameteri 3553 10240 9729"}}, // a stored mode above 3 reads as 3
    };
    GlEntryPoints gl = testing::recordingGl();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.mode) + (c.linear ? " linear" : ""));
        glLog().clear();
        int result = c.linear ? loadTextureLinear(gl, c.mode, 9, path.c_str())
                              : loadTexture(gl, c.mode, 9, path.c_str());
        EXPECT_EQ(result, 0);
        Lines expected = {"glBindTexture 3553 9"};
        expected.insert(expected.end(), pixelStore.begin(), pixelStore.end());
        expected.push_back("gluBuild2DMipmaps 3553 3 3 2 6407 5121 16 32 48");
        expected.insert(expected.end(), wrap.begin(), wrap.end());
        expected.insert(expected.end(), c.filter.begin(), c.filter.end());
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(glLog(), expected);
    }
}

TEST(Texture, OffOrUnreadableLeavesTexturingDisabled) {
    BmpSpec good;
    std::string goodPath = writeBmp("good.bmp", good);
    BmpSpec eightBitCut;
    eightBitCut.bitsPerPixel = 8;
    eightBitCut.truncateTo = 100;
    BmpSpec unpadded; // zero image size would once be read as unpadded rows
    unpadded.zeroSizeImage = true;
    unpadded.truncateTo = 14 + 40 + 18;
    struct Case {
        const char* name;
        int mode;
        std::string path;
        Lines calls;
    } cases[] = {
        {"mode off", 0, goodPath, {"glDisable 3553"}},
        {"missing file", 3, tempPath("none.bmp"), {"glBindTexture 3553 4", "glDisable 3553"}},
        {"truncated 8-bit",
         2,
         writeBmp("cut.bmp", eightBitCut),
         {"glBindTexture 3553 4", "glDisable 3553"}},
        {"unpadded rows",
         1,
         writeBmp("unpadded.bmp", unpadded),
         {"glBindTexture 3553 4", "glDisable 3553"}},
        {"negative mode", -5, goodPath, {"glDisable 3553"}},
    };
    GlEntryPoints gl = testing::recordingGl();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        glLog().clear();
        EXPECT_EQ(loadTexture(gl, c.mode, 4, c.path.c_str()), -1);
        EXPECT_EQ(glLog(), c.calls);
    }
}

// A folder whose listing comes in the order given, not sorted.
class FakeFolder : public FileSearch {
public:
    std::vector<std::string> files;
    int position = -1; // -1: no search open
    int starts = 0;
    bool startedWhileOpen = false;

    bool start(const std::string& pattern, std::string& first) override {
        EXPECT_EQ(pattern, "G3D_*.bmp");
        startedWhileOpen |= position >= 0;
        ++starts;
        if (files.empty()) return false;
        position = 0;
        first = files[0];
        return true;
    }
    bool next(std::string& name) override {
        EXPECT_GE(position, 0) << "next on a closed search";
        if (position + 1 >= int(files.size())) return false;
        name = files[std::size_t(++position)];
        return true;
    }
    void close() override { position = -1; }
};

TEST(Texture, SpaceWalksTheMatchesAndRepeatsTheFirstAfterTheLast) {
    FakeFolder folder;
    folder.files = {"G3D_b.bmp", "G3D_DEF.bmp", "G3D_a.bmp"};
    GlEntryPoints gl = testing::recordingGl();
    TextureCycle cycle;
    Lines paths;
    for (int i = 0; i < 9; ++i) paths.push_back(cycleTexture(cycle, folder, "C:\\vis\\", gl, 3, 2));
    EXPECT_EQ(paths, (Lines{"C:\\vis\\G3D_b.bmp", "C:\\vis\\G3D_DEF.bmp", "C:\\vis\\G3D_a.bmp",
                            "C:\\vis\\G3D_b.bmp", "C:\\vis\\G3D_b.bmp", "C:\\vis\\G3D_DEF.bmp",
                            "C:\\vis\\G3D_a.bmp", "C:\\vis\\G3D_b.bmp", "C:\\vis\\G3D_b.bmp"}));
    EXPECT_FALSE(folder.startedWhileOpen);
}

TEST(Texture, SpaceWithNoMatchTriesTheFolderAndTurnsTexturingOff) {
    FakeFolder empty;
    GlEntryPoints gl = testing::recordingGl();
    TextureCycle cycle;
    glLog().clear();
    EXPECT_EQ(cycleTexture(cycle, empty, tempPath(""), gl, 3, 2), tempPath(""));
    EXPECT_FALSE(cycle.searchOpen);
    EXPECT_EQ(callsOf("glDisable"), Lines{"glDisable 3553"});
    EXPECT_EQ(callsOf("glEnable"), Lines{});
}

} // namespace
} // namespace fennick
