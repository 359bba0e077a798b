#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/face_drawer.h"
#include "umbrek/vastrel/shade_modes.h"
#include "umbrek/vastrel/texture_manager.h"
#include "umbrek/vastrel/camera.h"

#include "umbrek/glide/glide.h"
#include "umbrek/vastrel/drawing_surface.h"
#include "umbrek/vastrel/engine.h"

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace umbrek::vastrel {

GlideDevice& glideDevice() {
    static GlideDevice device;
    return device;
}

namespace {

void emptyModeList(GlideDevice& d) {
    d.modes.assign(1, VideoMode{});
}

int resolutionCode(int width, int height) {
    static constexpr int sizes[][2] = {{320, 200}, {320, 240}, {400, 256}, {512, 384},
                                       {640, 200}, {640, 350}, {640, 400}, {640, 480},
                                       {800, 600}, {960, 720}, {856, 480}};
    for (int i = 0; i < int(std::size(sizes)); ++i)
        if (sizes[i][0] == width && sizes[i][1] == height) return i;
    return -1;
}

int refreshCode(int hz) {
    static constexpr int rates[] = {60, 70, 72, 75, 80, 90, 100, 85, 120};
    for (int i = 0; i < int(std::size(rates)); ++i)
        if (rates[i] == hz) return i;
    return -1;
}

// What a stop must forget, so that a restart downloads and applies afresh.
void forgetCachedState(GlideDevice& d) {
    d.appliedGroup = -1;
    d.lastTable = nullptr;
    engine().lastBoundMaterial = -1;
}

void shutdownAtExit() {
    grGlideShutdown();
}

} // namespace

int KX_DetectGlide() {
    GlideDevice& d = glideDevice();
    emptyModeList(d);
    grGlideInit();
    GrHwConfiguration hw{};
    if (!grSstQueryHardware(&hw) || hw.num_sst < 1) return 0;
    std::strcpy(d.family, "Voodoo");
    static constexpr const char* boards[] = {"VOODOO", "SST96", "AT3D"};
    const int type = hw.SSTs[0].type;
    std::strcpy(d.board, type >= 0 && type < 3 ? boards[type] : "");
    d.id = glideDeviceId;
    KX_AddVideoMode(7, 640, 480, 16, 1, 1, 2);
    KX_AddVideoMode(8, 800, 600, 16, 1, 1, 2);
    return glideDeviceId;
}

void KX_AddVideoMode(int mode, int width, int height, int bits, int a, int b, int c) {
    GlideDevice& d = glideDevice();
    if (d.modes.empty()) emptyModeList(d);
    if (int(d.modes.size()) - 1 >= maxVideoModes) return;
    d.modes.insert(d.modes.end() - 1,
                   VideoMode{mode, width, height, bits, a & 0xFF, b & 0xFF, c & 0xFF});
}

void KX_InstallGlide() {
    KX_SetFpuPrecision();
    Engine& e = engine();
    GlideDevice& d = glideDevice();
    DeviceOps& ops = e.device;
    ops.openVideoMode = KX_OpenVideoMode;
    ops.beginScreen = KX_BeginScreen;
    ops.endScreen = KX_EndScreen;
    ops.setClipWindow = KX_SetClipWindow;
    ops.setColour = KX_SetColour;
    ops.fillRect = KX_FillRect;
    ops.rectangle = KX_Rectangle;
    ops.line = KX_Line;
    ops.vLine = KX_VLine;
    ops.hLine = KX_HLine;
    ops.drawText = KX_DrawText;
    ops.packRgb = KX_PackRGB;
    ops.readRegion = KX_ReadRegion;
    ops.writeRegion = KX_WriteRegion;
    ops.drawBitmap8 = KX_DrawBitmap8;
    ops.clearScreen = KX_ClearScreen;
    ops.clearViewport = KX_ClearViewport;
    ops.clearViewportAll = KX_ClearViewportAll;
    ops.setRenderBuffer = KX_SetRenderBuffer;
    ops.swapBuffers = KX_SwapBuffers;
    ops.createTexture = KX_CreateTexture;
    ops.allocTextures = KX_AllocTextures;
    ops.freeTextures = KX_FreeTextures;
    ops.loadTexture = KX_LoadTexture;
    ops.drawSprite = KX_DrawSprite;
    ops.drawTexturedRect = KX_DrawTexturedRect;
    ops.lightVertex = KX_LightVertex;
    ops.flushTriangles = KX_FlushTriangles;
    ops.drawFaces = KX_DrawFaces;
    d.floatTextureCoordinates = true;
    d.textureCoordinateMin = 1.5f;
    d.textureCoordinateMax = 254.5f;
    e.lightsIn1024ths = true;
    e.depthKeyRule = 3;
    d.texoraOption = -1;
    // Nobody may set the fog range, and a range of 0..0 would make every
    // fading material wholly transparent: nothing fades before the camera's
    // default far distance.
    d.fogNear = d.fogFar = 65535;
    d.fogScale = 0;
    KX_InitShadeModes();
    forgetCachedState(d);
    static bool atExitRegistered = false;
    if (!atExitRegistered) atExitRegistered = std::atexit(shutdownAtExit) == 0;
}

// Undoes the detection and the installation: with the board shut down, a
// slot called before the next installation is the default fatal error rather
// than a call into a closed board, the mode list's memory goes, and shade
// modes an application replaced are the engine's own again.
void KX_ShutdownGlide() {
    grGlideShutdown();
    GlideDevice& d = glideDevice();
    d.frameBuffer = nullptr;
    d.pitch = 0;
    d.bytesPerPixel = 0;
    std::vector<VideoMode>().swap(d.modes);
    forgetCachedState(d);
    resetDeviceOps(engine().device);
    KX_InitShadeModes();
}

void KX_SetClipRect(int x1, int y1, int x2, int y2) {
    GlideDevice& d = glideDevice();
    d.clipX1 = x1, d.clipY1 = y1, d.clipX2 = x2, d.clipY2 = y2;
    KX_DrawingSurface& s = KX_CurrentSurface();
    s.clipLeft = x1, s.clipTop = y1, s.clipRight = x2, s.clipBottom = y2;
}

void KX_SetDrawingBitmap(KX_Bitmap* bitmap) {
    if (!bitmap) return;
    KX_DrawingSurface& s = KX_CurrentSurface();
    s.width = KX_BitmapWidth(bitmap);
    s.height = KX_BitmapHeight(bitmap);
    s.pixels = KX_BitmapPixels(bitmap);
    KX_SetClipRect(0, 0, s.width - 1, s.height - 1);
}

int KX_OpenVideoMode(int width, int height, int refreshHz) {
    GlideDevice& d = glideDevice();
    grSstSelect(0);
    const int resolution = resolutionCode(width, height);
    if (resolution < 0) return -1;
    const int refresh = refreshCode(refreshHz);
    if (refresh < 0) return -2;
    if (!grSstWinOpen(FxWindow(d.window), resolution, refresh, GR_COLORFORMAT_RGBA,
                      GR_ORIGIN_UPPER_LEFT, 2, 1))
        return 0;
    forgetCachedState(d);
    d.frameBuffer = nullptr;
    d.bytesPerPixel = 0;
    // The lock is only for the stride; a board that refuses 8888 leaves the
    // pitch unknown until the first KX_BeginScreen finds a mode it takes.
    d.pitch = 0;
    GrLfbInfo_t info{};
    info.size = sizeof info;
    if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_8888,
                  GR_ORIGIN_UPPER_LEFT, FXTRUE, &info)) {
        d.pitch = int(info.strideInBytes / 4);
        grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    }
    grLfbWriteColorFormat(GR_COLORFORMAT_RGBA);
    d.screenWidth = width, d.screenHeight = height;
    d.refreshCode = refresh;
    d.bitsPerPixel = 16;
    KX_DrawingSurface& s = KX_CurrentSurface();
    s.width = width, s.height = height;
    KX_SetClipWindow(0, 0, width - 1, height - 1);
    d.renderBuffer = 0;
    d.parity = 0;
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_NEAREST_DITHER, FXFALSE);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LEQUAL);
    grDepthMask(FXTRUE);
    grCullMode(GR_CULL_DISABLE);
    return 1;
}

void KX_BeginScreen() {
    GlideDevice& d = glideDevice();
    const GrBuffer_t buffer = d.renderBuffer == 0 ? GR_BUFFER_FRONTBUFFER : GR_BUFFER_BACKBUFFER;
    GrLfbInfo_t info{};
    info.size = sizeof info;
    if (grLfbLock(GR_LFB_WRITE_ONLY, buffer, GR_LFBWRITEMODE_8888, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                  &info))
        d.bytesPerPixel = 4;
    else if (grLfbLock(GR_LFB_WRITE_ONLY, buffer, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
                       FXFALSE, &info))
        d.bytesPerPixel = 2;
    else {
        d.frameBuffer = nullptr;
        d.bytesPerPixel = 0;
        KX_FatalError("Cannot lock surface for LFB write", "KX_BeginScreen");
        return;
    }
    d.pitch = int(info.strideInBytes / unsigned(d.bytesPerPixel));
    d.frameBuffer = info.lfbPtr;
}

// The address is forgotten: an 8888 lock may be a copy that the unlock
// writes back and frees. The pitch stays for the next lock.
void KX_EndScreen() {
    GlideDevice& d = glideDevice();
    d.frameBuffer = nullptr;
    if (d.renderBuffer == 0 || d.renderBuffer == 1) grLfbUnlock(GR_LFB_WRITE_ONLY, d.renderBuffer);
}

void KX_SetRenderBuffer(int buffer) {
    glideDevice().renderBuffer = buffer;
    if (buffer == 0 || buffer == 1) grRenderBuffer(buffer);
}

int KX_SwapBuffers(int interval) {
    GlideDevice& d = glideDevice();
    grBufferSwap(interval);
    KX_BeginScreen();
    KX_EndScreen();
    const int old = d.parity;
    d.parity ^= 1;
    return old;
}

void KX_SetFogColour(std::uint32_t colour) {
    grFogColorValue(colour);
}

void KX_SetFogMode(int mode) {
    glideDevice().fogOn = mode == 1;
    grFogMode(mode == 1 ? GR_FOG_WITH_TABLE : GR_FOG_DISABLE);
}

void KX_SetFogRange(float nearDistance, float farDistance) {
    GlideDevice& d = glideDevice();
    d.fogNear = nearDistance, d.fogFar = farDistance;
    // The fading families read the scale; an empty or reversed band gives 0
    // rather than an infinite or negative factor.
    d.fogScale = farDistance > nearDistance ? 1 / (farDistance - nearDistance) : 0;
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, nearDistance, farDistance);
    grFogTable(table);
}

} // namespace umbrek::vastrel
