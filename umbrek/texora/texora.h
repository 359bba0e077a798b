// Texora turns a true-colour image into a texture for the graphics board: it
// chooses power-of-two sizes within the board's limits (txSetUpMip),
// resamples the image to them, builds the mipmap chain and quantises every
// level into one of the board's texture formats, with an NCC table for the
// YIQ formats (txBuildTexture). It knows nothing of the engine or of the board's
// headers: its format, level-of-detail and aspect numbers are the board's own,
// kept here in small enumerations of the same values.
//
// Use: txSetUpMip(&mip, format, &w, &h, -1, TX_ROUND_UP) gives the byte size;
// the caller points mip.info.data at that many bytes and calls
// txBuildTexture(&mip, TX_ARGB_8888, w0, h0, pixels, 0, nullptr), which
// fills mip.data[] with the levels inside that block. Failures return 0 and
// write one "Texora: ..." message to the run-time error stream.
#pragma once

#include <cstddef>
#include <cstdint>

enum TxFormat {
    TX_RGB_332 = 0,
    TX_YIQ_422 = 1,
    TX_ALPHA_8 = 2,
    TX_INTENSITY_8 = 3,
    TX_ALPHA_INTENSITY_44 = 4,
    TX_P_8 = 5,
    TX_RSVD1 = 6,
    TX_RSVD2 = 7,
    TX_ARGB_8332 = 8,
    TX_AYIQ_8422 = 9,
    TX_RGB_565 = 10,
    TX_ARGB_1555 = 11,
    TX_ARGB_4444 = 12,
    TX_ALPHA_INTENSITY_88 = 13,
    TX_AP_88 = 14,
    TX_RSVD4 = 15,
    TX_ARGB_8888 = 16, // 0xAARRGGBB, Texora's working format
};

// Levels of detail: 256 texels on the long side is 0, 1 texel is 8.
enum TxLod { TX_LOD_256 = 0, TX_LOD_1 = 8 };
// Aspect ratios, width to height: 8x1 is 0 ... 1x1 is 3 ... 1x8 is 6.
enum TxAspect { TX_ASPECT_8x1 = 0, TX_ASPECT_1x1 = 3, TX_ASPECT_1x8 = 6 };

constexpr uint32_t TX_ROUND_UP = 0x1000;   // txSetUpMip: sides up to a power of two
constexpr uint32_t TX_ROUND_DOWN = 0x2000; // ...or down
constexpr int TX_MAX_LEVEL = 16;
constexpr int TX_MAX_SIDE = 1024;

// The NCC table of the YIQ formats: 16 Y values, 4 x (r, g, b) I and Q values.
struct TxNccTable {
    uint8_t y[16];
    int16_t i[4][3];
    int16_t q[4][3];
};

// What the board needs to know of a texture.
struct TxGlideInfo {
    int smallLod, largeLod, aspectRatio, format;
    void* data;
};

struct TxMip {
    int format;
    int width, height; // level 0
    int depth;         // levels
    void* data[TX_MAX_LEVEL];
    uint32_t size;         // bytes of all levels
    TxNccTable ncc;        // "yiq" and "ayiq8422"
    uint32_t palette[256]; // "p8" and "ap88"
    TxGlideInfo info;
};

// Fills MIP's sizes and levels for a texture of FORMAT from an image of
// *width x *height (both in and out) and returns the byte size of its data,
// or 0 (with a message) for sizes of 0 or above 1024 or an unknown format.
uint32_t txSetUpMip(TxMip* mip, int format, int* width, int* height, int levels, uint32_t flags);
// Converts the source image (SOURCE_TABLE: the NCC table or the 256 ARGB
// palette entries of a YIQ or palette source) into MIP's format, sizes and
// levels, writing into mip->info.data. 1 on success, 0 on failure.
int txBuildTexture(TxMip* mip, int sourceFormat, int width, int height, const void* sourceData,
                   uint32_t flags, const void* sourceTable);

// The steps, on "argb8888" records of one level (resize) or any (mipmap):
// area-weighted resampling of SOURCE's level 0 into DEST's level 0...
int txImageResize(TxMip* dest, const TxMip* source);
// ...the chain of averaged levels below level 0...
void txMipMipmap(TxMip* mip);
// ...and every level of SOURCE (argb8888) quantised into DEST's format.
int txQuantize(TxMip* dest, const TxMip* source, uint32_t flags);

// Texel bytes of a format: 1 for formats up to 7, 4 for argb8888, else 2.
int txTexelBytes(int format);
// The format's name as Texora's messages give it ("rgb565"), or "unknown".
const char* txFormatName(int format);

// The error routine: "Texora: MESSAGE" to the run-time error stream, or to
// SINK while one is set (tests capture the messages there).
void txError(const char* message);
using TxErrorSink = void (*)(const char* text, void* context);
void txSetErrorSink(TxErrorSink sink, void* context);
