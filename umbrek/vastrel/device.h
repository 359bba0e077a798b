// The render device's operation table. The scene code draws only through it,
// so it never calls a graphics library itself. Before a device is installed
// every slot holds the default operation: a fatal error with no text, which
// makes the start-up step or frame that called it fail.
#pragma once

#include "umbrek/vastrel/records.h"

#include <cstdint>

// The data library's bitmap (bitmap.h).
struct KX_Bitmap;

namespace umbrek::vastrel {

// The image readers' bitmap; a font is a block of bytes in the layout the
// device's text drawing reads (a 16-bit offset at byte 15 to the table of
// character offsets), never accessed as a record.
using Bitmap = ::KX_Bitmap;
struct Font;

// The slots in the device's order (slot 1 first).
struct DeviceOps {
    int (*openVideoMode)(int width, int height, int refreshHz);
    void (*beginScreen)();
    void (*endScreen)();
    void (*flushTriangles)();
    void (*setClipWindow)(int x1, int y1, int x2, int y2);
    void (*setColour)(std::uint32_t colour);
    void (*fillRect)(int x1, int y1, int x2, int y2);
    void (*rectangle)(int x1, int y1, int x2, int y2);
    void (*line)(int x1, int y1, int x2, int y2);
    void (*vLine)(int x, int y1, int y2);
    void (*hLine)(int x1, int x2, int y);
    void (*drawText)(int x, int y, const Font* font, const char* text);
    std::uint32_t (*packRgb)(int r, int g, int b);
    std::uint16_t* (*readRegion)(int x1, int y1, int x2, int y2);
    void (*writeRegion)(int x, int y, int width, int height, const std::uint16_t* pixels);
    void (*drawBitmap8)(int x, int y, const Bitmap* bitmap, const std::uint8_t* palette,
                        int transparent);
    void (*clearScreen)();
    void (*clearViewport)(const Viewport* viewport);
    void (*clearViewportAll)(const Viewport* viewport);
    void (*setRenderBuffer)(int buffer);
    int (*swapBuffers)(int interval);
    int (*createTexture)(const char* name, Bitmap* bitmap);
    int (*createTexturePair)(const char* name, Bitmap* bitmap, Bitmap* second);
    int (*allocTextures)(int count);
    void (*freeTextures)();
    int (*loadTexture)(const char* fileName);
    int (*loadTexturePair)(const char* fileName, const char* secondFileName);
    void (*drawSprite)(int x, int y, int texture, int chromaKey);
    void (*drawTexturedRect)(int x1, int y1, int x2, int y2, int texture, int chromaKey);
    void (*drawFaces)(Face* faces, Vertex* vertices, ScreenVertex* screen, int count);
    void (*lightVertex)(const Vertex* vertex, const ScreenVertex* screen);
};

constexpr int deviceSlotCount = 31;
static_assert(sizeof(DeviceOps) == deviceSlotCount * sizeof(void (*)()));

// Puts the default operation in every slot.
void resetDeviceOps(DeviceOps& ops);

} // namespace umbrek::vastrel
