// Umbrek's graphics-board interface: the software board the Vastrel engine
// draws through. C linkage, the calls, types and codes the engine uses and
// nothing else. Natively the board is headless; on Windows it shows its front
// buffer in a pop-up window over the monitor of the window it was opened for.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t FxBool;
typedef uint32_t FxU32;
typedef int32_t FxI32;
typedef uint16_t FxU16;
typedef int16_t FxI16;
typedef uint8_t FxU8;
typedef float FxFloat;
// Pointer-wide, so that a 64-bit build never cuts a window handle.
typedef uintptr_t FxWindow;

#define FXTRUE 1
#define FXFALSE 0

typedef FxU32 GrColor_t; // in the colour format given to grSstWinOpen (2: R in bits 24-31)
typedef FxU8 GrAlpha_t;
typedef FxI32 GrChipID_t;
typedef FxI32 GrBuffer_t;
typedef FxI32 GrScreenResolution_t;
typedef FxI32 GrScreenRefresh_t;
typedef FxI32 GrColorFormat_t;
typedef FxI32 GrOriginLocation_t;
typedef FxI32 GrLock_t;
typedef FxI32 GrLfbWriteMode_t;
typedef FxI32 GrLfbSrcFmt_t;
typedef FxI32 GrCmpFnc_t;
typedef FxI32 GrDepthBufferMode_t;
typedef FxI32 GrCullMode_t;
typedef FxI32 GrColorCombineFnc_t;
typedef FxI32 GrCombineFunction_t;
typedef FxI32 GrCombineFactor_t;
typedef FxI32 GrCombineLocal_t;
typedef FxI32 GrCombineOther_t;
typedef FxI32 GrAlphaSource_t;
typedef FxI32 GrTextureCombineFnc_t;
typedef FxI32 GrAlphaBlendFnc_t;
typedef FxI32 GrChromakeyMode_t;
typedef FxI32 GrMipMapMode_t;
typedef FxI32 GrTextureFilterMode_t;
typedef FxI32 GrTextureClampMode_t;
typedef FxI32 GrTexTable_t;
typedef FxI32 GrFogMode_t;
typedef FxI32 GrLOD_t;
typedef FxI32 GrAspectRatio_t;
typedef FxI32 GrTextureFormat_t;
typedef FxU8 GrFog_t;

// Screen resolutions 0..10: 320x200, 320x240, 400x256, 512x384, 640x200,
// 640x350, 640x400, 640x480, 800x600, 960x720, 856x480.
#define GR_RESOLUTION_640x480 7
#define GR_RESOLUTION_MAX 10
#define GR_REFRESH_60Hz 0
#define GR_REFRESH_MAX 8
#define GR_COLORFORMAT_RGBA 2
#define GR_ORIGIN_UPPER_LEFT 0

#define GR_BUFFER_FRONTBUFFER 0
#define GR_BUFFER_BACKBUFFER 1

#define GR_LFB_WRITE_ONLY 1
#define GR_LFBWRITEMODE_565 0
#define GR_LFBWRITEMODE_8888 5
#define GR_LFB_SRC_FMT_565 0

#define GR_CMP_NEVER 0
#define GR_CMP_LESS 1
#define GR_CMP_EQUAL 2
#define GR_CMP_LEQUAL 3
#define GR_CMP_GREATER 4
#define GR_CMP_NOTEQUAL 5
#define GR_CMP_GEQUAL 6
#define GR_CMP_ALWAYS 7

#define GR_DEPTHBUFFER_DISABLE 0
#define GR_DEPTHBUFFER_WBUFFER 2

#define GR_CULL_DISABLE 0

#define GR_COLORCOMBINE_CCRGB 1
#define GR_COLORCOMBINE_ITRGB 2
#define GR_COLORCOMBINE_DECAL_TEXTURE 4
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB 6

#define GR_COMBINE_FUNCTION_SCALE_OTHER 3
#define GR_COMBINE_FUNCTION_BLEND 7
#define GR_COMBINE_FACTOR_LOCAL 1
#define GR_COMBINE_FACTOR_ONE 8
#define GR_COMBINE_LOCAL_ITERATED 0
#define GR_COMBINE_LOCAL_CONSTANT 1
#define GR_COMBINE_OTHER_TEXTURE 1

#define GR_ALPHASOURCE_ITERATED_ALPHA 1
#define GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA 3

#define GR_TMU0 0
#define GR_TEXTURECOMBINE_DECAL 1

#define GR_BLEND_ZERO 0
#define GR_BLEND_SRC_ALPHA 1
#define GR_BLEND_DST_COLOR 2 // as the source factor
#define GR_BLEND_SRC_COLOR 2 // as the destination factor
#define GR_BLEND_ONE 4
#define GR_BLEND_ONE_MINUS_SRC_ALPHA 5
#define GR_BLEND_ONE_MINUS_DST_COLOR 6 // as the source factor
#define GR_BLEND_ONE_MINUS_SRC_COLOR 6 // as the destination factor

#define GR_CHROMAKEY_DISABLE 0
#define GR_CHROMAKEY_ENABLE 1

#define GR_MIPMAP_DISABLE 0
#define GR_MIPMAP_NEAREST 1
#define GR_MIPMAP_NEAREST_DITHER 2
#define GR_TEXTUREFILTER_POINT_SAMPLED 0
#define GR_TEXTUREFILTER_BILINEAR 1
#define GR_TEXTURECLAMP_WRAP 0
#define GR_TEXTURECLAMP_CLAMP 1
#define GR_MIPMAPLEVELMASK_BOTH 3

#define GR_TEXTABLE_NCC0 0
#define GR_TEXTABLE_NCC1 1
#define GR_TEXTABLE_PALETTE 2

#define GR_FOG_DISABLE 0
#define GR_FOG_WITH_TABLE 2
#define GR_FOG_TABLE_SIZE 64

#define GR_LOD_256 0
#define GR_LOD_1 8
#define GR_ASPECT_8x1 0
#define GR_ASPECT_1x1 3
#define GR_ASPECT_1x8 6

#define GR_TEXFMT_RGB_332 0
#define GR_TEXFMT_YIQ_422 1
#define GR_TEXFMT_ALPHA_8 2
#define GR_TEXFMT_INTENSITY_8 3
#define GR_TEXFMT_ALPHA_INTENSITY_44 4
#define GR_TEXFMT_P_8 5
#define GR_TEXFMT_ARGB_8332 8
#define GR_TEXFMT_AYIQ_8422 9
#define GR_TEXFMT_RGB_565 10
#define GR_TEXFMT_ARGB_1555 11
#define GR_TEXFMT_ARGB_4444 12
#define GR_TEXFMT_ALPHA_INTENSITY_88 13
#define GR_TEXFMT_AP_88 14

#define GR_SSTTYPE_VOODOO 0

// The engine stores its own words in the fields the board does not read
// (z, ooz, the second texture unit); only x, y, r, g, b, a, oow and the first
// unit's sow, tow are used here.
typedef struct {
    float sow, tow, oow;
} GrTmuVertex;

typedef struct {
    float x, y, z;
    float r, g, b;
    float ooz;
    float a;
    float oow;
    GrTmuVertex tmuvtx[2];
} GrVertex;

typedef struct {
    GrLOD_t smallLod;
    GrLOD_t largeLod;
    GrAspectRatio_t aspectRatio;
    GrTextureFormat_t format;
    void* data;
} GrTexInfo;

typedef struct {
    int size;
    void* lfbPtr;
    FxU32 strideInBytes;
    GrLfbWriteMode_t writeMode;
    GrOriginLocation_t origin;
} GrLfbInfo_t;

typedef struct {
    int type;
    int reserved[7];
} GrSstConfig;

typedef struct {
    int num_sst;
    GrSstConfig SSTs[4];
} GrHwConfiguration;

// The whole rendering state, opaque to callers.
typedef struct {
    FxU32 words[160];
} GrState;

typedef struct {
    FxU32 data[256]; // 0x00RRGGBB
} GuTexPalette;

typedef struct {
    FxU8 yRGB[16];
    FxI16 iRGB[4][3];
    FxI16 qRGB[4][3];
} GuNccTable;

typedef union {
    GuNccTable nccTable;
    GuTexPalette palette;
} GuTexTable;

typedef struct {
    FxU32 width, height;
    int small_lod, large_lod;
    GrAspectRatio_t aspect_ratio;
    GrTextureFormat_t format;
} Gu3dfHeader;

typedef struct {
    Gu3dfHeader header;
    GuTexTable table;
    void* data;
    FxU32 mem_required;
} Gu3dfInfo;

void grGlideInit(void);
FxBool grSstQueryHardware(GrHwConfiguration* hw);
void grSstSelect(int which);
FxBool grSstWinOpen(FxWindow window, GrScreenResolution_t resolution, GrScreenRefresh_t refresh,
                    GrColorFormat_t format, GrOriginLocation_t origin, int colourBuffers,
                    int auxBuffers);
void grGlideShutdown(void);

FxBool grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t mode, GrOriginLocation_t origin,
                 FxBool pixelPipeline, GrLfbInfo_t* info);
FxBool grLfbUnlock(GrLock_t type, GrBuffer_t buffer);
void grLfbWriteColorFormat(GrColorFormat_t format);
FxBool grLfbReadRegion(GrBuffer_t buffer, FxU32 x, FxU32 y, FxU32 width, FxU32 height,
                       FxU32 strideInBytes, void* dst);
FxBool grLfbWriteRegion(GrBuffer_t buffer, FxU32 x, FxU32 y, GrLfbSrcFmt_t format, FxU32 width,
                        FxU32 height, FxI32 strideInBytes, void* src);

int grBufferNumPending(void);
void grBufferClear(GrColor_t colour, GrAlpha_t alpha, FxU16 depth);
void grBufferSwap(int interval);
void grRenderBuffer(GrBuffer_t buffer);
void grClipWindow(FxU32 minX, FxU32 minY, FxU32 maxX, FxU32 maxY);
void grColorMask(FxBool rgb, FxBool alpha);
void grDepthMask(FxBool on);
void grDepthBufferMode(GrDepthBufferMode_t mode);
void grDepthBufferFunction(GrCmpFnc_t function);
void grDepthBiasLevel(FxI16 level);
void grCullMode(GrCullMode_t mode);

void grConstantColorValue(GrColor_t colour);
void guColorCombineFunction(GrColorCombineFnc_t function);
void grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                    GrCombineOther_t other, FxBool invert);
void grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                    GrCombineOther_t other, FxBool invert);
void guAlphaSource(GrAlphaSource_t source);
void grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t function);
void grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgbFunction, GrCombineFactor_t rgbFactor,
                  GrCombineFunction_t alphaFunction, GrCombineFactor_t alphaFactor,
                  FxBool rgbInvert, FxBool alphaInvert);
void grAlphaBlendFunction(GrAlphaBlendFnc_t rgbSource, GrAlphaBlendFnc_t rgbDestination,
                          GrAlphaBlendFnc_t alphaSource, GrAlphaBlendFnc_t alphaDestination);
void grAlphaTestFunction(GrCmpFnc_t function);
void grAlphaTestReferenceValue(GrAlpha_t value);
void grChromakeyMode(GrChromakeyMode_t mode);
void grChromakeyValue(GrColor_t value);

void grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c);
void grDrawLine(const GrVertex* a, const GrVertex* b);

void grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lodBlend);
void grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minFilter,
                     GrTextureFilterMode_t magFilter);
void grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t s, GrTextureClampMode_t t);
FxU32 grTexMinAddress(GrChipID_t tmu);
FxU32 grTexMaxAddress(GrChipID_t tmu);
FxU32 grTexTextureMemRequired(FxU32 levels, GrTexInfo* info);
void grTexDownloadMipMap(GrChipID_t tmu, FxU32 start, FxU32 levels, GrTexInfo* info);
void grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void* data);
void grTexSource(GrChipID_t tmu, FxU32 start, FxU32 levels, GrTexInfo* info);

void grGlideGetState(GrState* state);
void grGlideSetState(const GrState* state);
void grDisableAllEffects(void);

void grFogColorValue(GrColor_t colour);
void grFogMode(GrFogMode_t mode);
void guFogGenerateLinear(GrFog_t* table, float nearW, float farW);
void grFogTable(const GrFog_t* table);

FxBool gu3dfGetInfo(const char* fileName, Gu3dfInfo* info);
FxBool gu3dfLoad(const char* fileName, Gu3dfInfo* info);

#ifdef __cplusplus
}
static_assert(sizeof(GrVertex) == 60, "the engine lays out vertices of 15 floats");
#else
_Static_assert(sizeof(GrVertex) == 60, "the engine lays out vertices of 15 floats");
#endif
