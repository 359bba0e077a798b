// The engine's one render device, drawn through Umbrek's software board: the
// device record, the installation that fills the engine's slot table, the
// video-mode list, the fog hooks and the 2D operations of the slots. Every
// platform call is a board call, so the device is portable and its tests run
// against the headless board.
#pragma once

#include "umbrek/vastrel/device.h"

#include <cstdint>
#include <vector>

namespace umbrek::vastrel {

constexpr int glideDeviceId = 4;
constexpr int maxVideoModes = 255;

struct VideoMode {
    std::int32_t mode = -1; // -1 ends the list
    std::int32_t width = 0, height = 0, bits = 0;
    std::int32_t a = 0, b = 0, c = 0; // each a byte
};

// Text modes: which bits of a glyph write a pixel.
enum TextMode { textForeground = 0, textBackground = 1, textBoth = 2 };

struct GlideDevice {
    int id = 0;
    char family[20] = {};
    char board[20] = {};
    int screenWidth = 0, screenHeight = 0;
    int pitch = 0;               // frame-buffer pixels per row; 0 until known
    void* frameBuffer = nullptr; // while locked
    int bytesPerPixel = 0;       // of the locked buffer: 2 or 4
    int bitsPerPixel = 0;
    int refreshCode = 0;
    int renderBuffer = 0; // 0 front, 1 back; kept whatever was asked
    int clipX1 = 0, clipY1 = 0, clipX2 = -1, clipY2 = -1; // inclusive
    std::uint32_t colour = 0;
    int textMode = textForeground;
    std::uint32_t textForegroundColour = 0xFFFFFFFF, textBackgroundColour = 0x000000FF;
    int appliedGroup = -1; // shade-state group applied last; -1 none
    int parity = 0;
    bool fogOn = false;
    float fogNear = 65535, fogFar = 65535, fogScale = 0; // scale 0 when far <= near
    // Binds a texture for the 2D and face drawing; set by the texture
    // manager, which ignores numbers outside its table.
    void (*bindTexture)(int texture) = nullptr;
    // The colour table downloaded last; forgotten at open and shutdown, since
    // a new table may then lie at the same address.
    const void* lastTable = nullptr;
    std::vector<VideoMode> modes; // the list ends with a mode of -1
    std::uintptr_t window = 0;    // the module's window, for the board's pop-up
    // Settings made by the installation.
    bool floatTextureCoordinates = false;
    float textureCoordinateMin = 0, textureCoordinateMax = 0;
    int texoraOption = 0; // passed on to Texora's mip set-up
};

GlideDevice& glideDevice();

int KX_DetectGlide();
void KX_InstallGlide();
void KX_ShutdownGlide();
void KX_AddVideoMode(int mode, int width, int height, int bits, int a, int b, int c);
void KX_SetClipRect(int x1, int y1, int x2, int y2);
void KX_SetDrawingBitmap(KX_Bitmap* bitmap);

// Fog hooks.
void KX_SetFogColour(std::uint32_t colour);
void KX_SetFogMode(int mode);
void KX_SetFogRange(float nearDistance, float farDistance);

// The slots.
int KX_OpenVideoMode(int width, int height, int refreshHz);
void KX_BeginScreen();
void KX_EndScreen();
void KX_SetClipWindow(int x1, int y1, int x2, int y2);
void KX_SetColour(std::uint32_t colour);
void KX_FillRect(int x1, int y1, int x2, int y2);
void KX_Rectangle(int x1, int y1, int x2, int y2);
void KX_Line(int x1, int y1, int x2, int y2);
void KX_VLine(int x, int y1, int y2);
void KX_HLine(int x1, int x2, int y);
void KX_DrawText(int x, int y, const Font* font, const char* text);
std::uint32_t KX_PackRGB(int r, int g, int b);
std::uint16_t* KX_ReadRegion(int x1, int y1, int x2, int y2);
void KX_WriteRegion(int x, int y, int width, int height, const std::uint16_t* pixels);
void KX_DrawBitmap8(int x, int y, const KX_Bitmap* bitmap, const std::uint8_t* palette,
                    int transparent);
void KX_ClearScreen();
void KX_ClearViewport(const Viewport* viewport);
void KX_ClearViewportAll(const Viewport* viewport);
void KX_SetRenderBuffer(int buffer);
int KX_SwapBuffers(int interval);
void KX_DrawSprite(int x, int y, int texture, int chromaKey);
void KX_DrawTexturedRect(int x1, int y1, int x2, int y2, int texture, int chromaKey);

// One character at (x, y) into the locked frame buffer; its width, 0 for a
// code of 128 or more. Without a font the built-in 8x8 one is used.
int KX_DrawChar(int x, int y, const Font* font, unsigned char code);
// The built-in font, in the layout fonts are given in.
const Font* builtinFont();

// A colour word (red in bits 24-31) as a 5-6-5 pixel.
constexpr std::uint16_t pixel565(std::uint32_t colour) {
    return std::uint16_t((colour >> 27) << 11 | ((colour >> 18) & 0x3F) << 5 |
                         ((colour >> 11) & 0x1F));
}

} // namespace umbrek::vastrel
