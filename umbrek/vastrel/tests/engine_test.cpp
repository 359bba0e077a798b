// Start-up and restart, the frame start and its counter wrap, result
// messages, fatal errors from device slots, and the start and user paths.
#include "umbrek/vastrel/tests/engine_fixture.h"

#include <climits>
#include <string>

using namespace umbrek::vastrel;
using namespace umbrek::vastrel::test;

namespace {

using EngineCore = EngineFixture;

TEST_F(EngineCore, StartingAgainResetsTheStateButKeepsThePaths) {
    EXPECT_EQ(engine().polygonCapacity, 64);
    EXPECT_EQ(engine().deferred.order.size(), 64u);
    EXPECT_EQ(engine().depthKeyRule, 1);
    EXPECT_TRUE(engine().keepImagePalette);
    KX_RecordStartPath("D:\\plugins\\umbrek.dll");
    engine().frameCounter = 99;
    engine().depthKeyRule = 3;
    engine().keepImagePalette = false;
    engine().fatal = true;
    KX_AddCamera(camera);

    ASSERT_EQ(KX_InitEngine(16), 0);
    EXPECT_EQ(engine().frameCounter, 0);
    EXPECT_EQ(engine().depthKeyRule, 1);
    EXPECT_TRUE(engine().keepImagePalette);
    EXPECT_FALSE(KX_FatalRaised());
    EXPECT_EQ(KX_FirstCamera(), nullptr);
    EXPECT_EQ(engine().textures, nullptr);
    EXPECT_EQ(engine().startPath, "\\plugins");
    EXPECT_EQ(engine().startDrive, 4);
    EXPECT_EQ(engine().deferred.keys.size(), 16u);

    static int precisionSet = 0;
    platformHooks().setFpuPrecision = [] { ++precisionSet; };
    KX_SetFpuPrecision();
    EXPECT_EQ(precisionSet, 1);

    KX_FreeEngineBuffers();
    EXPECT_TRUE(engine().deferred.order.empty());
    EXPECT_EQ(KX_InitEngine(-5), 0);
    EXPECT_TRUE(engine().deferred.records.empty());
}

TEST_F(EngineCore, TheFrameStartClearsCountsAndWrapsTheCounter) {
    textures.textures = {{"A", 8, 8, 1, 1, 500}, {"B", 8, 8, 1, 1, 7}};
    Engine& e = engine();
    e.trianglesDrawn = 12, e.deferred.count = 5, e.activeLights.count = 3;
    e.lastBoundMaterial = 4, e.frameCounter = 41;
    KX_BeginFrame();
    EXPECT_EQ(e.trianglesDrawn, 0);
    EXPECT_EQ(e.deferred.count, 0);
    EXPECT_EQ(e.activeLights.count, 0);
    EXPECT_EQ(e.lastBoundMaterial, -1);
    EXPECT_EQ(e.frameCounter, 42);
    EXPECT_EQ(textures.textures[0].lastUsed, 500);

    e.frameCounter = INT_MAX - 1;
    KX_BeginFrame();
    EXPECT_EQ(e.frameCounter, INT_MAX);
    EXPECT_EQ(textures.textures[0].lastUsed, 500);
    KX_BeginFrame();
    EXPECT_EQ(e.frameCounter, 0);
    EXPECT_EQ(textures.textures[0].lastUsed, 0);
    EXPECT_EQ(textures.textures[1].lastUsed, 0);
    KX_BeginFrame();
    EXPECT_EQ(e.frameCounter, 1);
}

TEST(ResultMessages, CodesWithoutAMessageHaveNone) {
    EXPECT_STREQ(KX_ResultMessage(resultSuccess), "Generic Success message");
    EXPECT_STREQ(KX_ResultMessage(resultTextureNotFound), "Texture map not found in array");
    EXPECT_STREQ(KX_ResultMessage(resultShadeTableLoadError), "Error loading the shadetable");
    for (int code : {-8, -13, -14, -15, -16, 1, INT_MIN})
        EXPECT_EQ(KX_ResultMessage(code), nullptr);
    KX_ReportResult(resultTextureLoadError, "sky.bmp"); // logged nowhere
    KX_ReportResult(-15, nullptr);
}

TEST_F(EngineCore, ASlotCalledBeforeADeviceIsInstalledIsAFatalErrorWithNoText) {
    resetDeviceOps(engine().device);
    const DeviceOps& ops = engine().device;
    int calls = 0;
    const auto expectFatal = [&](auto&& call, const char* slot) {
        KX_ClearFatal();
        recorded().messageBoxes.clear();
        call();
        ++calls;
        EXPECT_TRUE(KX_FatalRaised()) << slot;
        ASSERT_EQ(recorded().messageBoxes.size(), 1u) << slot;
        EXPECT_EQ(recorded().messageBoxes[0].first, "") << slot;
        EXPECT_EQ(recorded().messageBoxes[0].second, "") << slot;
    };
    expectFatal([&] { EXPECT_EQ(ops.openVideoMode(640, 480, 60), 0); }, "open");
    expectFatal([&] { ops.beginScreen(); }, "begin screen");
    expectFatal([&] { ops.endScreen(); }, "end screen");
    expectFatal([&] { ops.flushTriangles(); }, "flush");
    expectFatal([&] { ops.setClipWindow(0, 0, 1, 1); }, "clip window");
    expectFatal([&] { ops.setColour(0); }, "colour");
    expectFatal([&] { ops.fillRect(0, 0, 1, 1); }, "fill");
    expectFatal([&] { ops.rectangle(0, 0, 1, 1); }, "rectangle");
    expectFatal([&] { ops.line(0, 0, 1, 1); }, "line");
    expectFatal([&] { ops.vLine(0, 0, 1); }, "vline");
    expectFatal([&] { ops.hLine(0, 1, 0); }, "hline");
    expectFatal([&] { ops.drawText(0, 0, nullptr, "x"); }, "text");
    expectFatal([&] { EXPECT_EQ(ops.packRgb(1, 2, 3), 0u); }, "pack");
    expectFatal([&] { EXPECT_EQ(ops.readRegion(0, 0, 1, 1), nullptr); }, "read region");
    expectFatal([&] { ops.writeRegion(0, 0, 1, 1, nullptr); }, "write region");
    expectFatal([&] { ops.drawBitmap8(0, 0, nullptr, nullptr, 0); }, "bitmap");
    expectFatal([&] { ops.clearScreen(); }, "clear screen");
    expectFatal([&] { ops.clearViewport(&viewport); }, "clear viewport");
    expectFatal([&] { ops.clearViewportAll(&viewport); }, "clear viewport all");
    expectFatal([&] { ops.setRenderBuffer(1); }, "render buffer");
    expectFatal([&] { EXPECT_EQ(ops.swapBuffers(1), 0); }, "swap");
    expectFatal([&] { EXPECT_EQ(ops.createTexture("a", nullptr), 0); }, "create texture");
    expectFatal([&] { ops.createTexturePair("a", nullptr, nullptr); }, "create pair");
    expectFatal([&] { ops.allocTextures(8); }, "alloc textures");
    expectFatal([&] { ops.freeTextures(); }, "free textures");
    expectFatal([&] { ops.loadTexture("a.bmp"); }, "load texture");
    expectFatal([&] { ops.loadTexturePair("a.bmp", "b.bmp"); }, "load pair");
    expectFatal([&] { ops.drawSprite(0, 0, 0, 0); }, "sprite");
    expectFatal([&] { ops.drawTexturedRect(0, 0, 1, 1, 0, 0); }, "textured rect");
    expectFatal([&] { ops.drawFaces(nullptr, nullptr, nullptr, 0); }, "faces");
    expectFatal([&] { ops.lightVertex(nullptr, nullptr); }, "light vertex");
    EXPECT_EQ(calls, deviceSlotCount);
}

TEST_F(EngineCore, AFatalErrorFailsTheStartUpStepAndAbandonsTheFrame) {
    // A start-up step: the device cannot set the clip window of a viewport.
    engine().device.setClipWindow = [](int, int, int, int) {
        KX_FatalError("Cannot lock surface for LFB write", "KX_BeginScreen");
    };
    Viewport second;
    EXPECT_NE(KX_NewViewport(second, 0, 0, 319, 199, 2), 0);
    EXPECT_EQ(second.depth, nullptr);
    EXPECT_TRUE(KX_FatalRaised());
    ASSERT_EQ(recorded().messageBoxes.size(), 1u);
    EXPECT_EQ(recorded().messageBoxes[0].first, "Cannot lock surface for LFB write");
    EXPECT_EQ(recorded().messageBoxes[0].second, "KX_BeginScreen");

    // A frame: the first segment's drawing fails, the second is not drawn.
    KX_BeginFrame();
    EXPECT_FALSE(KX_FatalRaised());
    engine().device.drawFaces = [](Face* faces, Vertex*, ScreenVertex*, int count) {
        recorded().draws.push_back({faces, nullptr, nullptr, count, {}});
        KX_FatalError("draw", "faces");
    };
    engine().view = identityMatrix();
    Model model;
    model.segments.resize(2);
    for (Segment& seg : model.segments) seg.flags = segmentVisible;
    EntityPtr entity(KX_CreateEntity(&model, nullptr));
    KX_DrawEntity(entity.get());
    EXPECT_EQ(recorded().draws.size(), 1u);
    EXPECT_TRUE(KX_FatalRaised());
}

TEST_F(EngineCore, ViewportsFillTheirRecordAndDepthBuffer) {
    EXPECT_EQ(recorded().clipWindows, (std::vector<std::array<int, 4>>{{0, 0, 639, 479}}));
    EXPECT_EQ(viewport.width, 640);
    EXPECT_EQ(viewport.height, 480);
    EXPECT_EQ(viewport.horizontalScale, 320.1f);
    EXPECT_EQ(viewport.verticalScale, 240.1f);
    EXPECT_EQ(viewport.centreX, 320.4f);
    EXPECT_EQ(viewport.centreY, 240.4f);
    // No depth bytes: no buffer and no far depth value.
    EXPECT_EQ(viewport.depth, nullptr);
    EXPECT_EQ(viewport.farDepth, 0u);

    Viewport deep;
    ASSERT_EQ(KX_NewViewport(deep, 10, 20, 19, 29, 0x102), 0);
    EXPECT_EQ(deep.depthBytes, 2);
    EXPECT_EQ(deep.farDepth, 0x8000u);
    EXPECT_EQ(deep.flags, 0x102u);
    ASSERT_NE(deep.depth, nullptr);
    EXPECT_EQ(engine().depthBuffer, deep.depth);
    EXPECT_EQ(deep.centreX, float(4.5 + 0.6 + 10 + 0.3));
    deep.depth[10 * 10 * 2 - 1] = 1; // the last byte is the buffer's
    KX_FreeViewport(deep);
    EXPECT_EQ(deep.depth, nullptr);
    EXPECT_EQ(engine().depthBuffer, nullptr);
    KX_FreeViewport(deep);
}

TEST_F(EngineCore, TheStartPathIsThePluginsFolderWithoutItsClosingSeparator) {
    const struct {
        const char* path;
        int drive;
        const char* folder;
    } cases[] = {
        {"C:\\a\\b\\x.dll", 3, "\\a\\b"},
        {"x.dll", 3, ""}, // no drive: the current one
        {"/a/b/", 3, "/a/b"},
        {"e:/games/jukora/plugins/", 5, "/games/jukora/plugins"},
        {"C:\\a\\b\\\\x.dll", 3, "\\a\\b\\"}, // only one separator goes
        {"Z:x.dll", 26, ""},
        {"C:\\x.dll", 3, "\\"}, // the root stays the root
        {"", 3, ""},
        {nullptr, 3, ""},
    };
    for (const auto& c : cases) {
        KX_RecordStartPath(c.path);
        EXPECT_EQ(engine().startDrive, c.drive) << (c.path ? c.path : "none");
        EXPECT_EQ(engine().startPath, c.folder) << (c.path ? c.path : "none");
        EXPECT_EQ(engine().userPath, "C:\\users\\me");
    }
    // Paths of any length.
    const std::string deep =
        "C:" + std::string(300, 'd') + "\\" + std::string(300, 'e') + "\\x.dll";
    recorded().folder = std::string(1000, 'u');
    KX_RecordStartPath(deep.c_str());
    EXPECT_EQ(engine().startPath, std::string(300, 'd') + "\\" + std::string(300, 'e'));
    EXPECT_EQ(engine().userPath, std::string(1000, 'u'));

    KX_SwitchToStartPath();
    EXPECT_EQ(recorded().drivesChanged, std::vector<int>{3});
    EXPECT_EQ(recorded().foldersChanged, std::vector<std::string>{engine().startPath});
}

} // namespace
