// The bundled demo module is what its composer writes, and it plays.
#include "pelmit/demo/demo_song.h"
#include "pelmit/formats/tests/mod_fixture.h"

#include <fstream>
#include <iterator>

using namespace pelmit;
using pelmit::test::ModTest;

TEST_F(ModTest, BundledDemoIsItsComposersAndPlays) {
    const char* source = std::getenv("JK_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::ifstream f(std::string(source) + "/pelmit/demo/quistor-demo.mod", std::ios::binary);
    const std::vector<uint8_t> bundled{std::istreambuf_iterator<char>(f), {}};
    EXPECT_EQ(bundled, demo::composeDemoSong())
        << "regenerate it: build/native/bin/compose_demo pelmit/demo/quistor-demo.mod";
    ASSERT_TRUE(load(write(bundled, "quistor-demo.mod")));
    EXPECT_EQ(player->songData().trackerType, trackerProTracker);
    EXPECT_GT(player->songLengthMs(), 35000);
    EXPECT_LT(player->songLengthMs(), 45000);
    char title[128];
    player->songTitle(title, sizeof title);
    EXPECT_STREQ(title, "quistor demo - made for Pelmit");
}
