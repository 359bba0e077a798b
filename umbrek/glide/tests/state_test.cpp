// The rendering state (refused codes, save and restore), the life cycle, the
// test options and the call trace.
#include "umbrek/glide/tests/screen_fixture.h"

#include <cstring>
#include <functional>

using namespace umbrek::glide;
using namespace umbrek::glide::test;

namespace {

using State = Screen;

bool sameState(const GrState& a, const GrState& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

GrState current() {
    GrState s;
    grGlideGetState(&s);
    return s;
}

TEST_F(State, CodesOutsideTheTablesLeaveTheStateUnchanged) {
    const GrState before = current();
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"depth mode 1", [] { grDepthBufferMode(1); }},
        {"depth mode 3", [] { grDepthBufferMode(3); }},
        {"depth mode 4", [] { grDepthBufferMode(4); }},
        {"depth function 8", [] { grDepthBufferFunction(8); }},
        {"alpha function -1", [] { grAlphaTestFunction(-1); }},
        {"blend factor 3", [] { grAlphaBlendFunction(3, 0, 4, 0); }},
        {"blend factor 7", [] { grAlphaBlendFunction(4, 7, 4, 0); }},
        {"blend factor 15", [] { grAlphaBlendFunction(4, 0, 15, 0); }},
        {"blend factor -1", [] { grAlphaBlendFunction(4, 0, 4, -1); }},
        {"colour combine 0", [] { guColorCombineFunction(0); }},
        {"colour combine 16", [] { guColorCombineFunction(16); }},
        {"general colour combine", [] { grColorCombine(1, 1, 0, 1, 0); }},
        {"general alpha combine", [] { grAlphaCombine(3, 1, 0, 0, 0); }},
        {"alpha source 4", [] { guAlphaSource(4); }},
        {"chroma mode 2", [] { grChromakeyMode(2); }},
        {"fog mode 1", [] { grFogMode(1); }},
        {"no fog table", [] { grFogTable(nullptr); }},
        {"render buffer 2", [] { grRenderBuffer(2); }},
        {"mipmap mode 3", [] { grTexMipMapMode(0, 3, FXFALSE); }},
        {"filter 2", [] { grTexFilterMode(0, 2, 1); }},
        {"filter on unit 1", [] { grTexFilterMode(1, 0, 0); }},
    };
    for (const auto& [name, call] : calls) {
        call();
        EXPECT_TRUE(sameState(before, current())) << name;
    }
    const FxBool refusedOpen[][2] = {{11, 0}, {-1, 0}, {0, 9}, {0, -1}};
    for (const auto& codes : refusedOpen)
        EXPECT_FALSE(grSstWinOpen(0, codes[0], codes[1], GR_COLORFORMAT_RGBA, 0, 2, 1));
    EXPECT_FALSE(grSstWinOpen(0, 7, 0, 0, 0, 2, 1)) << "colour format";
    EXPECT_FALSE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 1, 2, 1)) << "origin";
    // A refused open leaves the screen as it was.
    EXPECT_NE(colourBuffer(1).pixels, nullptr);
    EXPECT_TRUE(sameState(before, current()));
}

// Every piece of state survives a save, changes and a restore.
TEST_F(State, GetAndSetStateRoundTrip) {
    uint16_t texel = 0x07E0;
    useTexture({8, 8, GR_ASPECT_1x1, GR_TEXFMT_RGB_565, &texel});
    grAlphaBlendFunction(1, 5, 4, 0);
    grAlphaTestFunction(GR_CMP_GREATER);
    grAlphaTestReferenceValue(1);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LEQUAL);
    grDepthBiasLevel(-3);
    grClipWindow(1, 1, 9, 9);
    grConstantColorValue(0x11223344);
    grChromakeyValue(0x55667700);
    grFogColorValue(0x99AABB00);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, 1, 100);
    grFogTable(table);
    const GrState saved = current();
    grDisableAllEffects();
    guColorCombineFunction(GR_COLORCOMBINE_ITRGB);
    grClipWindow(0, 0, 320, 200);
    grDepthBiasLevel(0);
    grRenderBuffer(GR_BUFFER_FRONTBUFFER);
    EXPECT_FALSE(sameState(saved, current()));
    grGlideSetState(&saved);
    EXPECT_TRUE(sameState(saved, current()));
    // And it draws as saved: texture green, clipped at (1, 1), into the back buffer.
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grAlphaBlendFunction(4, 0, 4, 0);
    rect(0, 0, 4, 4);
    EXPECT_EQ(pixel(0, 0), 0);
    EXPECT_EQ(pixel(1, 1), 0x07E0);

    // A state that this board did not save is ignored.
    GrState junk;
    std::memset(&junk, 0xA5, sizeof junk);
    const GrState now = current();
    grGlideSetState(&junk);
    EXPECT_TRUE(sameState(now, current()));
    grGlideSetState(nullptr);
    grGlideGetState(nullptr);
}

TEST_F(State, DisableAllEffects) {
    grAlphaBlendFunction(1, 5, 4, 0);
    grAlphaTestFunction(GR_CMP_NEVER);
    grChromakeyMode(GR_CHROMAKEY_ENABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_NEVER);
    grFogMode(GR_FOG_WITH_TABLE);
    grDisableAllEffects();
    grBufferClear(0xFFFFFFFF, 0, 0);
    rect(0, 0, 1, 1,
         vertex(0, 0, 0, 0, 0, 0)); // black, alpha 0: the chroma key and a blend would hide it
    EXPECT_EQ(pixel(0, 0), 0);
}

// Nothing happens before init and open; shutdown is idempotent; the life
// cycle runs again in the same process.
TEST(Lifecycle, InitOpenShutdownInAnyOrder) {
    resetOptions();
    counters() = Counters{};
    grGlideShutdown();
    grGlideShutdown();
    const GrVertex a = vertex(0, 0), b = vertex(9, 0), c = vertex(0, 9);
    GrHwConfiguration hw{};
    EXPECT_FALSE(grSstQueryHardware(&hw)) << "before init";
    EXPECT_FALSE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 0, 2, 1)) << "before init";
    grDrawTriangle(&a, &b, &c);
    grBufferClear(0, 0, 0);
    grBufferSwap(0);
    GrLfbInfo_t info{};
    EXPECT_FALSE(grLfbLock(1, 1, 0, 0, 0, &info));
    EXPECT_FALSE(grLfbUnlock(1, 1));
    uint16_t px = 0;
    EXPECT_FALSE(grLfbReadRegion(1, 0, 0, 1, 1, 2, &px));
    EXPECT_EQ(counters().triangles, 0u);
    for (int round = 0; round < 2; ++round) {
        grGlideInit();
        grGlideInit();
        ASSERT_TRUE(grSstQueryHardware(&hw));
        EXPECT_EQ(hw.num_sst, 1);
        EXPECT_EQ(hw.SSTs[0].type, GR_SSTTYPE_VOODOO);
        grSstSelect(0);
        grDrawTriangle(&a, &b, &c); // before open
        EXPECT_EQ(counters().triangles, 0u);
        ASSERT_TRUE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 0, 2, 1));
        EXPECT_EQ(colourBuffer(1).width, 640);
        EXPECT_EQ(colourBuffer(1).height, 480);
        // A second open replaces the first screen.
        ASSERT_TRUE(grSstWinOpen(0, 10, 0, GR_COLORFORMAT_RGBA, 0, 2, 1));
        EXPECT_EQ(colourBuffer(1).width, 856);
        grDrawTriangle(&a, &b, &c);
        EXPECT_EQ(counters().triangles, 1u);
        grGlideShutdown();
        grGlideShutdown();
        EXPECT_EQ(colourBuffer(1).pixels, nullptr);
        counters() = Counters{};
    }
}

TEST(Lifecycle, OptionsFailStartsAndSizeTheBoard) {
    resetOptions();
    options().noBoard = -1;
    grGlideInit();
    GrHwConfiguration hw{};
    EXPECT_FALSE(grSstQueryHardware(&hw));
    EXPECT_EQ(hw.num_sst, 0);
    grGlideShutdown();

    // nowindow=1 fails the first open of the process only.
    std::string errors;
    resetOptions();
    parseOptions("nowindow=1,texmem=65536,,pitch=700,bogus,pitch=x,no8888=3", options(), errors);
    EXPECT_EQ(errors, "JK_GLIDE_OPTIONS: ignored \"bogus\"\nJK_GLIDE_OPTIONS: ignored \"pitch=x\"\n"
                      "JK_GLIDE_OPTIONS: ignored \"no8888=3\"\n");
    EXPECT_EQ(options().noWindow, 1);
    EXPECT_FALSE(options().no8888);
    grGlideInit();
    EXPECT_TRUE(grSstQueryHardware(&hw));
    EXPECT_FALSE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 0, 2, 1));
    EXPECT_TRUE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 0, 2, 1));
    EXPECT_EQ(grTexMaxAddress(0), 65536u);
    EXPECT_EQ(colourBuffer(1).pitch, 700);
    grGlideShutdown();

    resetOptions();
    parseOptions("noboard=2,nowindow", options(), errors);
    grGlideInit();
    EXPECT_FALSE(grSstQueryHardware(&hw));
    EXPECT_FALSE(grSstQueryHardware(&hw));
    EXPECT_TRUE(grSstQueryHardware(&hw));
    EXPECT_FALSE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 0, 2, 1));
    EXPECT_FALSE(grSstWinOpen(0, 7, 0, GR_COLORFORMAT_RGBA, 0, 2, 1));
    grGlideShutdown();
    resetOptions();
}

// The trace the device's tests read: one line per call with its arguments.
TEST_F(State, TheCallTraceNamesEachCallAndItsArguments) {
    options().trace = true;
    uint8_t texels[64 + 16 + 4 + 1] = {};
    GrTexInfo info{GR_LOD_1, 5, GR_ASPECT_1x1, GR_TEXFMT_P_8, texels};
    grTexDownloadMipMap(0, 1024, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(0, 1024, GR_MIPMAPLEVELMASK_BOTH, &info);
    grDepthBiasLevel(-1);
    const GrVertex a = vertex(0, 0), b = vertex(2.5f, 0), c = vertex(0, 2);
    grDrawTriangle(&a, &b, &c);
    EXPECT_EQ(takeTrace(), (std::vector<std::string>{
                               "grTexDownloadMipMap(0, 1024, 3, {8, 5, 3, 5})",
                               "grTexSource(0, 1024, 3, {8, 5, 3, 5})", "grDepthBiasLevel(-1)",
                               "grDrawTriangle((0 0), (2.5 0), (0 2))"}));
    EXPECT_TRUE(takeTrace().empty());
    EXPECT_EQ(counters().textureDownloads, 1u);
    EXPECT_EQ(counters().triangles, 1u);
}

} // namespace
