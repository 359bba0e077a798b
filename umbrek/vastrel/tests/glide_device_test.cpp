// The render device against the headless board: installation and video
// modes, the 2D slots read back as pixels, the board calls they make, and the
// sizes Texora computes against what the board downloads.
#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/texora/texora.h"
#include "umbrek/vastrel/bitmap.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/platform.h"
#include "umbrek/vastrel/shade_modes.h"
#include "umbrek/vastrel/tests/open_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace umbrek::vastrel {
namespace {

namespace board = umbrek::glide;

std::vector<std::string> messages;

void recordMessage(const char* text, const char* caption) {
    messages.push_back(std::string(caption) + ": " + text);
}

constexpr std::uint16_t rgb565(int r, int g, int b) {
    return std::uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
}

constexpr std::uint32_t red = 0xFF0000FF, green = 0x00FF00FF, blue = 0x0000FFFF;

class TestTextures : public TextureTable {
public:
    std::vector<TextureInfo> records;
    int count() const override { return int(records.size()); }
    TextureInfo info(int number) const override { return records[std::size_t(number)]; }
    void resetLastUsed() override {}
};

std::vector<int> boundTextures;

void recordBind(int texture) {
    boundTextures.push_back(texture);
}

class GlideDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { board::resetOptions(); }

    // Detects, installs and opens a 320x200 screen drawing to the back buffer.
    void open() {
        PlatformHooks& hooks = platformHooks();
        hooks.messageBox = recordMessage;
        messages.clear();
        test::openTestDevice();
        KX_SetRenderBuffer(GR_BUFFER_BACKBUFFER);
        board::takeTrace();
    }

    void TearDown() override { test::closeTestDevice(); }

    static std::uint16_t pixel(int x, int y, int buffer = GR_BUFFER_BACKBUFFER) {
        const board::Buffer b = board::colourBuffer(buffer);
        return b.pixels[y * b.pitch + x];
    }

    // Rows of the area at (x0, y0): '#' where the back buffer differs from
    // `background`.
    static std::vector<std::string> map(int x0, int y0, int width, int height,
                                        std::uint16_t background = 0) {
        std::vector<std::string> rows;
        for (int y = y0; y < y0 + height; ++y) {
            std::string row;
            for (int x = x0; x < x0 + width; ++x) row += pixel(x, y) == background ? '.' : '#';
            rows.push_back(row);
        }
        return rows;
    }

    static bool traced(const std::vector<std::string>& trace, const std::string& start) {
        return std::any_of(trace.begin(), trace.end(),
                           [&](const std::string& line) { return line.rfind(start, 0) == 0; });
    }
};

TEST_F(GlideDeviceTest, DetectionListsTheModesAndInstallationFillsTheSlots) {
    open();
    const GlideDevice& d = glideDevice();
    EXPECT_STREQ(d.family, "Voodoo");
    EXPECT_STREQ(d.board, "VOODOO");
    ASSERT_EQ(d.modes.size(), 3u);
    EXPECT_EQ(d.modes[0].mode, 7);
    EXPECT_EQ(d.modes[0].width, 640);
    EXPECT_EQ(d.modes[1].mode, 8);
    EXPECT_EQ(d.modes[1].height, 600);
    EXPECT_EQ(d.modes[2].mode, -1);
    for (int i = 0; i < 300; ++i) KX_AddVideoMode(100 + i, 1, 1, 16, 0, 0, 0);
    EXPECT_EQ(d.modes.size(), std::size_t(maxVideoModes) + 1);
    EXPECT_EQ(d.modes.back().mode, -1);

    const DeviceOps& ops = engine().device;
    EXPECT_EQ(ops.fillRect, &KX_FillRect);
    EXPECT_EQ(ops.swapBuffers, &KX_SwapBuffers);
    EXPECT_EQ(ops.drawTexturedRect, &KX_DrawTexturedRect);
    EXPECT_EQ(engine().depthKeyRule, 3);
    EXPECT_TRUE(engine().lightsIn1024ths);
    EXPECT_EQ(d.textureCoordinateMin, 1.5f);
    EXPECT_EQ(d.textureCoordinateMax, 254.5f);
    // Nobody sets the fog range in the scenes: nothing may fade before the
    // far plane, and an empty band has no scale.
    EXPECT_EQ(d.fogNear, 65535.0f);
    EXPECT_EQ(d.fogFar, 65535.0f);
    EXPECT_EQ(d.fogScale, 0.0f);
    KX_SetFogRange(100, 50);
    EXPECT_EQ(d.fogScale, 0.0f);
    KX_SetFogRange(0, 100);
    EXPECT_FLOAT_EQ(d.fogScale, 0.01f);
}

TEST_F(GlideDeviceTest, OpeningChecksSizeRateAndWindow) {
    open();
    const GlideDevice& d = glideDevice();
    EXPECT_EQ(d.screenWidth, 320);
    EXPECT_EQ(d.pitch, 1024); // the board's rows are longer than the screen
    EXPECT_EQ(d.clipX2, 319);
    EXPECT_EQ(d.clipY2, 199);
    KX_ShutdownGlide();
    // 640x480 at 60 Hz: resolution code 7, refresh code 0, and the board
    // left with the w-buffer compared less-or-equal and written, no culling,
    // bilinear wrapped textures with nearest (dithered) mip levels.
    board::options().trace = true;
    grGlideInit();
    board::takeTrace();
    ASSERT_EQ(KX_OpenVideoMode(640, 480, 60), 1);
    const std::vector<std::string> trace = board::takeTrace();
    for (const char* call :
         {"grSstWinOpen(0, 7, 0, 2, 0, 2, 1)", "grTexMipMapMode(0, 2, 0)",
          "grTexFilterMode(0, 1, 1)", "grTexClampMode(0, 0, 0)", "grDepthBufferMode(2)",
          "grDepthBufferFunction(3)", "grDepthMask(1)", "grCullMode(0)"})
        EXPECT_TRUE(traced(trace, call)) << call;
    KX_ShutdownGlide();
    board::options().trace = false;
    struct Case {
        int width, height, hz, result;
    };
    for (const Case c : {Case{640, 481, 60, -1}, Case{640, 480, 61, -2}, Case{856, 480, 120, 1},
                         Case{640, 480, 60, 1}}) {
        grGlideInit();
        EXPECT_EQ(KX_OpenVideoMode(c.width, c.height, c.hz), c.result) << c.width << " " << c.hz;
        KX_ShutdownGlide();
    }
    board::options().noWindow = -1;
    grGlideInit();
    EXPECT_EQ(KX_OpenVideoMode(640, 480, 60), 0);
    board::options().noBoard = -1;
    EXPECT_EQ(KX_DetectGlide(), 0);
}

TEST_F(GlideDeviceTest, UninstalledSlotsAreFatalWithoutText) {
    open();
    // Slot 23 has no operation on this device.
    EXPECT_EQ(engine().device.createTexturePair("a", nullptr, nullptr), 0);
    EXPECT_TRUE(KX_FatalRaised());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], ": ");
    // Shutting the board down uninstalls: the slots are the fatal default
    // again, the mode list waits for the next detection, and a replaced shade
    // mode is the engine's own again.
    KX_ClearFatal();
    const ShadeCallback own = shadeModes()[74].callback;
    const ShadeCallback replacement = [] {};
    KX_RegisterShadeMode(74, replacement, false);
    KX_ShutdownGlide();
    EXPECT_TRUE(glideDevice().modes.empty());
    EXPECT_EQ(shadeModes()[74].callback, own);
    engine().device.fillRect(0, 0, 1, 1);
    EXPECT_TRUE(KX_FatalRaised());
}

TEST_F(GlideDeviceTest, RefusedTrueColourLockLeavesThePitchToTheFirstBeginScreen) {
    board::options().no8888 = true;
    open();
    GlideDevice& d = glideDevice();
    EXPECT_EQ(d.pitch, 0);
    KX_BeginScreen();
    EXPECT_EQ(d.bytesPerPixel, 2);
    EXPECT_EQ(d.pitch, 1024);
    KX_EndScreen();
    EXPECT_FALSE(KX_FatalRaised());
}

TEST_F(GlideDeviceTest, FillsOutlinesAndLinesStayInTheClipRectangle) {
    open();
    KX_SetClipWindow(2, 2, 9, 6);
    KX_SetColour(red);
    KX_FillRect(0, 0, 4, 3); // reaches over the top-left corner
    KX_Rectangle(6, 4, 12, 8);
    EXPECT_EQ(map(0, 0, 12, 9),
              (std::vector<std::string>{"............", "............", "..###.......",
                                        "..###.......", "......####..", "......#.....",
                                        "......#.....", "............", "............"}));
    EXPECT_EQ(pixel(2, 2), rgb565(255, 0, 0));
    // The fill clears the depth under it too, and only there.
    const board::Buffer depth = board::depthBuffer();
    EXPECT_EQ(depth.pixels[2 * depth.pitch + 2], 0xFFFF);
    EXPECT_EQ(depth.pixels[0], 0);
    board::takeTrace();
    KX_FillRect(10, 0, 20, 20); // beyond the clip rectangle
    EXPECT_FALSE(traced(board::takeTrace(), "grClipWindow"));

    KX_SetClipWindow(0, 0, 319, 199);
    KX_SetColour(green);
    KX_Line(20, 20, 29, 20);
    KX_VLine(40, 20, 24);
    KX_HLine(50, 52, 20);
    EXPECT_EQ(pixel(25, 20), rgb565(0, 255, 0));
    EXPECT_EQ(map(38, 19, 16, 7),
              (std::vector<std::string>{"................", "..#.........###.", "..#.............",
                                        "..#.............", "..#.............", "..#.............",
                                        "................"}));
}

TEST_F(GlideDeviceTest, PackedColoursAndTheirPixels) {
    EXPECT_EQ(KX_PackRGB(63, 0, 0), 0xFC0000FFu);
    EXPECT_EQ(KX_PackRGB(0, 63, 0), 0x00FC00FFu);
    EXPECT_EQ(KX_PackRGB(0, 0, 63), 0x0000FCFFu);
    EXPECT_EQ(pixel565(red), rgb565(255, 0, 0));
    EXPECT_EQ(pixel565(0x08040000u), rgb565(8, 4, 0));
}

// A font block with one character, 'A', of the given width and height, every
// bit set.
std::vector<std::uint8_t> solidFont(int width, int height) {
    const int rowBytes = std::min((width + 7) / 8, 8);
    std::vector<std::uint8_t> font(17 + 256 + 4 + std::size_t(rowBytes * height), 0xFF);
    font[15] = 17, font[16] = 0;
    const int at = 17 + 256;
    for (int code = 0; code < 128; ++code)
        font[std::size_t(17 + 2 * code)] = at & 0xFF, font[std::size_t(18 + 2 * code)] = at >> 8;
    font[at] = std::uint8_t(width), font[at + 1] = std::uint8_t(width >> 8);
    font[at + 2] = std::uint8_t(height), font[at + 3] = 0;
    return font;
}

TEST_F(GlideDeviceTest, TextIsTheSameThroughTrueColourAndSixteenBitLocks) {
    for (const bool no8888 : {false, true}) {
        SCOPED_TRACE(no8888 ? "5-6-5" : "8888");
        board::resetOptions();
        board::options().no8888 = no8888;
        open();
        GlideDevice& d = glideDevice();
        d.textForegroundColour = blue;
        KX_DrawText(0, 0, nullptr, "HI");
        EXPECT_EQ(map(0, 0, 16, 7), (std::vector<std::string>{
                                        "................", ".##..##..######.", ".##..##....##...",
                                        ".######....##...", ".##..##....##...", ".##..##..######.",
                                        "................"}));
        EXPECT_EQ(pixel(1, 1), rgb565(0, 0, 255));
        // Both colours; the clip rectangle cuts the character's right side.
        d.textMode = textBoth;
        d.textBackgroundColour = green;
        KX_SetClipWindow(0, 0, 19, 199);
        KX_DrawText(16, 0, nullptr, "I");
        EXPECT_EQ(pixel(16, 0), rgb565(0, 255, 0));
        EXPECT_EQ(pixel(17, 1), rgb565(0, 0, 255));
        EXPECT_EQ(pixel(20, 0), 0);
        // Background only: the character's own pixels stay as they were.
        d.textMode = textBackground;
        KX_SetClipWindow(0, 0, 319, 199);
        KX_DrawText(24, 0, nullptr, "I");
        EXPECT_EQ(pixel(24, 0), rgb565(0, 255, 0));
        EXPECT_EQ(pixel(25, 1), 0);
        d.textMode = textForeground;
        KX_ShutdownGlide();
    }
}

TEST_F(GlideDeviceTest, HostileGlyphsAndCodes) {
    open();
    GlideDevice& d = glideDevice();
    KX_BeginScreen();
    // A glyph 100 wide advances by 100 and draws 64 columns at most.
    const std::vector<std::uint8_t> wide = solidFont(100, 2);
    EXPECT_EQ(KX_DrawChar(0, 0, reinterpret_cast<const Font*>(wide.data()), 'A'), 100);
    EXPECT_EQ(KX_DrawChar(0, 10, nullptr, 200), 0);
    EXPECT_EQ(KX_DrawChar(-4, -4, nullptr, 'A'), 8); // over the top-left corner
    KX_EndScreen();
    EXPECT_EQ(d.frameBuffer, nullptr);
    EXPECT_NE(pixel(63, 0), 0);
    EXPECT_EQ(pixel(64, 0), 0);
    EXPECT_EQ(map(0, 8, 16, 8), std::vector<std::string>(8, "................"));
}

TEST_F(GlideDeviceTest, PalettedBitmapsSkipIndexZeroOnlyWhenTransparent) {
    open();
    KX_SetColour(red);
    KX_FillRect(0, 0, 319, 199);
    std::uint8_t palette[768] = {};
    palette[3 * 1 + 2] = 63; // 1: blue; 0 and 2: black
    OwnedBitmap bitmap(KX_NewBitmap(3, 2));
    const std::uint8_t indexes[] = {0, 1, 2, 2, 1, 0};
    std::memcpy(KX_BitmapPixels(bitmap.get()), indexes, sizeof indexes);
    for (const bool no8888 : {false, true}) {
        board::options().no8888 = no8888;
        KX_BeginScreen();
        KX_DrawBitmap8(10, 10, bitmap.get(), palette, 1);
        KX_DrawBitmap8(20, 10, bitmap.get(), palette, 0);
        KX_DrawBitmap8(318, 198, bitmap.get(), palette, 0); // cut at the corner
        KX_DrawBitmap8(400, 10, bitmap.get(), palette, 0);  // wholly outside
        KX_EndScreen();
        const std::uint16_t r = rgb565(255, 0, 0);
        // Index 2 is black in the palette but drawn: only index 0 is clear.
        EXPECT_EQ(pixel(10, 10), r);
        EXPECT_EQ(pixel(11, 10), pixel565(0x0000FCFF));
        EXPECT_EQ(pixel(12, 10), 0);
        EXPECT_EQ(pixel(12, 11), r);
        EXPECT_EQ(pixel(20, 10), 0);
        EXPECT_EQ(pixel(22, 11), 0);
        EXPECT_EQ(pixel(319, 199), pixel565(0x0000FCFF));
    }
    EXPECT_FALSE(KX_FatalRaised());
}

TEST_F(GlideDeviceTest, RegionsRoundTrip) {
    open();
    std::vector<std::uint16_t> pixels(6 * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint16_t(i * 2731);
    KX_WriteRegion(100, 50, 6, 4, pixels.data());
    EXPECT_EQ(pixel(101, 50), pixels[1]);
    std::uint16_t* back = KX_ReadRegion(100, 50, 105, 53);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), back));
    std::free(back);
    EXPECT_EQ(KX_ReadRegion(10, 10, 5, 5), nullptr);
    // The whole screen in the current colour, the depth at its farthest.
    KX_SetColour(blue);
    KX_ClearScreen();
    EXPECT_EQ(pixel(0, 0), rgb565(0, 0, 255));
    EXPECT_EQ(pixel(319, 199), rgb565(0, 0, 255));
    const board::Buffer depth = board::depthBuffer();
    EXPECT_EQ(depth.pixels[199 * depth.pitch + 319], 0xFFFF);
}

TEST_F(GlideDeviceTest, SwapsReturnTheParity) {
    open();
    EXPECT_EQ(KX_SwapBuffers(0), 0);
    EXPECT_EQ(KX_SwapBuffers(0), 1);
    EXPECT_EQ(KX_SwapBuffers(0), 0);
    EXPECT_EQ(board::counters().swaps, 3u);
    EXPECT_FALSE(KX_FatalRaised());
}

TEST_F(GlideDeviceTest, DepthOnlyClearKeepsThePictureAndClearsTheViewportsDepth) {
    open();
    grBufferClear(red, 255, 0x1234);
    Viewport viewport;
    viewport.x1 = 10, viewport.y1 = 20, viewport.x2 = 49, viewport.y2 = 39;
    KX_SetColour(green);
    KX_ClearViewportAll(&viewport);
    const board::Buffer depth = board::depthBuffer();
    auto depthAt = [&](int x, int y) { return depth.pixels[y * depth.pitch + x]; };
    EXPECT_EQ(pixel(10, 20), rgb565(255, 0, 0));
    EXPECT_EQ(pixel(49, 39), rgb565(255, 0, 0));
    EXPECT_EQ(depthAt(10, 20), 0xFFFF);
    EXPECT_EQ(depthAt(49, 39), 0xFFFF);
    EXPECT_EQ(depthAt(9, 20), 0x1234);
    EXPECT_EQ(depthAt(50, 39), 0x1234);
    EXPECT_EQ(depthAt(10, 40), 0x1234);
    KX_ClearViewport(&viewport);
    EXPECT_EQ(pixel(10, 20), rgb565(0, 255, 0));
    EXPECT_EQ(pixel(9, 20), rgb565(255, 0, 0));
}

TEST_F(GlideDeviceTest, TexturedRectanglesAndSprites) {
    open();
    TestTextures textures;
    textures.records = {{"wide", 16, 8, 1, 0.5f}, {"empty", 0, 8, 1, 1}, {"flat", 8, 0, 1, 1}};
    engine().textures = &textures;
    glideDevice().bindTexture = recordBind;
    boundTextures.clear();
    board::options().trace = true;
    KX_DrawSprite(5, 5, 0, 0);
    std::vector<std::string> trace = board::takeTrace();
    EXPECT_TRUE(traced(trace, "grDrawTriangle((5 5), (21 5), (21 13))"));
    EXPECT_TRUE(traced(trace, "grChromakeyMode(0)"));
    // One pixel wide or high, a texture of width 0, a texture number the
    // table does not hold: nothing divides by zero or reads past the table.
    KX_DrawTexturedRect(30, 30, 30, 40, 0, 1);
    KX_DrawTexturedRect(40, 30, 50, 30, 0, 0);
    KX_DrawSprite(60, 60, 1, 0);
    KX_DrawSprite(60, 60, 2, 0);
    KX_DrawSprite(60, 60, 7, 0);
    KX_DrawTexturedRect(70, 70, 80, 80, -5, 0);
    KX_DrawTexturedRect(400, 10, 410, 20, 0, 0); // wholly outside
    trace = board::takeTrace();
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                            [](const std::string& l) { return l.rfind("grDrawTriangle", 0) == 0; }),
              6);
    EXPECT_EQ(boundTextures, (std::vector<int>{0, 0, 0, -5}));
}

// What Texora sizes is what the board downloads: the two must agree for
// every format, aspect and range of levels.
TEST(BoardTextureSizes, TexoraAndTheBoardAgree) {
    const int formats[] = {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14};
    int checked = 0;
    for (const int format : formats)
        for (int w = 1; w <= 256; w *= 2)
            for (int h = 1; h <= 256; h *= 2) {
                if (w > 8 * h || h > 8 * w) continue;
                for (const int levels : {-1, 1, 2}) {
                    TxMip mip{};
                    int width = w, height = h;
                    const std::uint32_t size =
                        txSetUpMip(&mip, format, &width, &height, levels, TX_ROUND_UP);
                    ASSERT_NE(size, 0u) << format << " " << w << "x" << h;
                    GrTexInfo info{mip.info.smallLod, mip.info.largeLod, mip.info.aspectRatio,
                                   mip.info.format, nullptr};
                    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info), size)
                        << format << " " << w << "x" << h << " levels " << levels;
                    ++checked;
                }
            }
    EXPECT_GT(checked, 13 * 30);
}

} // namespace
} // namespace umbrek::vastrel
