// The bundled demo song is the project's own: it depacks to exactly what the
// demo writer makes, and converts to a module with its drum.
#include "tolvern/lha.h"
#include "tolvern/tests/demo_song.h"
#include "tolvern/tests/xm_check.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tolvern;
using namespace tolvern::test;

TEST(Demo, BundledSongIsTheWritersAndConverts) {
    const char* source = std::getenv("JK_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "JK_SOURCE_DIR is not set: run the test through ctest";
    const std::vector<uint8_t> archive = readFile(std::string(source) + "/tolvern/demo/demo.ym");
    std::vector<uint8_t> image;
    ASSERT_EQ(depackLha(archive.data(), archive.size(), image), LhaStatus::ok);
    EXPECT_EQ(image, buildYm(demoSong())) << "regenerate it with tolvern_make_demo";

    TempDir dir;
    ConvertedSong xm(demoSong(), dir);
    EXPECT_EQ(xm.module().get_num_patterns(), 8);
    // The first kick: a row late, after the cell that silences the unused voice.
    EXPECT_EQ(xm.cell(0, 4), volumeCell(0));
    EXPECT_EQ(xm.cell(1, 4), noteCell(37, 17, 60));
    EXPECT_EQ(xm.cell(32, 4), noteCell(37, 17, 60));
    EXPECT_TRUE(fileExists(dir / "sample16.smp"));
    EXPECT_TRUE(xm.sink.messages.empty());
}
