// Linear frame-buffer locks and regions, clears and the swap.
#include "umbrek/glide/tests/screen_fixture.h"

#include <cstring>

using namespace umbrek::glide;
using namespace umbrek::glide::test;

namespace {

using Lfb = Screen;

TEST_F(Lfb, A565LockPointsIntoTheBufferWithThePitchStride) {
    GrLfbInfo_t info{};
    ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                          GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_EQ(info.strideInBytes, 2048u); // pitch 1024 pixels at a width of 320
    EXPECT_EQ(info.writeMode, GR_LFBWRITEMODE_565);
    auto* row = static_cast<uint16_t*>(info.lfbPtr);
    row[5] = 0x1234;
    row[3 * 1024 + 319] = 0xABCD;
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info))
        << "already locked";
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    EXPECT_FALSE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER)) << "not locked";
    EXPECT_EQ(pixel(5, 0), 0x1234);
    EXPECT_EQ(pixel(319, 3), 0xABCD);
}

// The 8888 shadow holds every pixel expanded by bit replication as RGBA words;
// written words return truncated to 5-6-5, untouched pixels exactly as they were.
TEST_F(Lfb, An8888LockRoundTripsTheBuffer) {
    std::vector<uint16_t> picture(320 * 200);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint16_t(i * 2654435761u >> 7);
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 320, 200, 640,
                                 picture.data()));
    GrLfbInfo_t info{};
    ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888,
                          GR_ORIGIN_UPPER_LEFT, FXTRUE, &info));
    EXPECT_EQ(info.strideInBytes, 4096u);
    auto* words = static_cast<uint32_t*>(info.lfbPtr);
    const uint16_t p = picture[2 * 320 + 7];
    const uint32_t r5 = p >> 11, g6 = p >> 5 & 63, b5 = p & 31;
    EXPECT_EQ(words[2 * 1024 + 7], (r5 << 3 | r5 >> 2) << 24 | (g6 << 2 | g6 >> 4) << 16 |
                                       (b5 << 3 | b5 >> 2) << 8 | 0xFF);
    words[0] = 0x12345678; // r 0x12, g 0x34, b 0x56
    words[1024 + 1] = 0xFFFFFF00;
    ASSERT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
    picture[0] = rgb565(0x12, 0x34, 0x56);
    picture[321] = 0xFFFF;
    std::vector<uint16_t> back(320 * 200);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 320, 200, 640, back.data()));
    EXPECT_EQ(back, picture);
}

TEST_F(Lfb, LockModesAndOptions) {
    GrLfbInfo_t info{};
    for (int mode : {1, 2, 3, 4, 6, 15})
        EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, mode, GR_ORIGIN_UPPER_LEFT,
                               FXFALSE, &info))
            << mode;
    EXPECT_FALSE(grLfbLock(0, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                           FXFALSE, &info));
    EXPECT_FALSE(
        grLfbLock(GR_LFB_WRITE_ONLY, 2, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_FALSE(
        grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, 1, FXFALSE, &info));
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, nullptr));
    // Both buffers may be locked at once.
    EXPECT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_565,
                          GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888,
                          GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER));
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));

    // The engine falls back to 5-6-5 on a board that refuses 8888; another pitch.
    grGlideShutdown();
    options().no8888 = true;
    options().pitch = 400;
    grGlideInit();
    ASSERT_TRUE(grSstWinOpen(0, 0, 0, GR_COLORFORMAT_RGBA, GR_ORIGIN_UPPER_LEFT, 2, 1));
    EXPECT_FALSE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888,
                           GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    ASSERT_TRUE(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565,
                          GR_ORIGIN_UPPER_LEFT, FXFALSE, &info));
    EXPECT_EQ(info.strideInBytes, 800u);
    EXPECT_TRUE(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER));
}

// Regions are clipped to the buffer; the clip window does not apply.
TEST_F(Lfb, RegionsAreClippedToTheBuffer) {
    grClipWindow(0, 0, 1, 1);
    const uint16_t source[4 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 318, 198, GR_LFB_SRC_FMT_565, 4, 4, 8,
                                 const_cast<uint16_t*>(source)));
    EXPECT_EQ(pixel(318, 198), 1);
    EXPECT_EQ(pixel(319, 198), 2);
    EXPECT_EQ(pixel(319, 199), 6);
    // Negative corners (as the engine's signed coordinates arrive) cut the top left.
    ASSERT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, FxU32(-2), FxU32(-1), GR_LFB_SRC_FMT_565, 4,
                                 4, 8, const_cast<uint16_t*>(source)));
    EXPECT_EQ(pixel(0, 0), 7);
    EXPECT_EQ(pixel(1, 0), 8);
    EXPECT_EQ(pixel(1, 2), 16);
    EXPECT_EQ(pixel(2, 0), 0);

    uint16_t out[4 * 4];
    std::fill(std::begin(out), std::end(out), 0xEEEE);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 318, 198, 4, 4, 8, out));
    const uint16_t expected[4 * 4] = {1,      2,      0xEEEE, 0xEEEE, 5,      6,
                                      0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE,
                                      0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE};
    EXPECT_EQ(std::memcmp(out, expected, sizeof out), 0);
    std::fill(std::begin(out), std::end(out), 0xEEEE);
    ASSERT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, FxU32(-2), FxU32(-1), 4, 4, 8, out));
    EXPECT_EQ(out[0], 0xEEEE);
    EXPECT_EQ(out[4 + 2], 7);
    EXPECT_EQ(out[12 + 3], 16);

    // Wholly outside, empty or negative sizes: nothing.
    const FxU32 nothing[][4] = {{320, 0, 4, 4},
                                {0, 200, 4, 4},
                                {FxU32(-10), 0, 4, 4},
                                {0, 0, 0, 4},
                                {0, 0, FxU32(-4), 4},
                                {0, 0, 4, FxU32(-4)},
                                {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}};
    for (const auto& r : nothing) {
        std::fill(std::begin(out), std::end(out), 0xEEEE);
        EXPECT_TRUE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, r[0], r[1], r[2], r[3], 8, out));
        EXPECT_EQ(out[0], 0xEEEE);
        EXPECT_TRUE(grLfbWriteRegion(GR_BUFFER_BACKBUFFER, r[0], r[1], GR_LFB_SRC_FMT_565, r[2],
                                     r[3], 8, const_cast<uint16_t*>(source)));
    }
    EXPECT_FALSE(grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, 4, 4, 8, nullptr));
    EXPECT_FALSE(
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, GR_LFB_SRC_FMT_565, 4, 4, 8, nullptr));
    EXPECT_FALSE(
        grLfbWriteRegion(GR_BUFFER_BACKBUFFER, 0, 0, 1, 4, 4, 8, const_cast<uint16_t*>(source)));
    EXPECT_FALSE(grLfbReadRegion(5, 0, 0, 4, 4, 8, out));
}

// The swap copies back to front, so the back buffer keeps the picture shown.
TEST_F(Lfb, SwapCopiesBackToFront) {
    grBufferClear(0xFF000000, 0, 0); // red, into the back buffer
    EXPECT_EQ(pixel(0, 0, GR_BUFFER_FRONTBUFFER), 0);
    grBufferSwap(0);
    EXPECT_EQ(pixel(0, 0, GR_BUFFER_FRONTBUFFER), 0xF800);
    EXPECT_EQ(pixel(319, 199, GR_BUFFER_FRONTBUFFER), 0xF800);
    EXPECT_EQ(pixel(0, 0, GR_BUFFER_BACKBUFFER), 0xF800);
    // Drawing to the front buffer leaves the back one alone.
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    rect(0, 0, 1, 1, vertex(0, 0, 0, 0, 255));
    EXPECT_EQ(pixel(0, 0, GR_BUFFER_FRONTBUFFER), 0x001F);
    EXPECT_EQ(pixel(0, 0, GR_BUFFER_BACKBUFFER), 0xF800);
    EXPECT_EQ(counters().swaps, 1u);
    EXPECT_EQ(grBufferNumPending(), 0);
}

} // namespace
