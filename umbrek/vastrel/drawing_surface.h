// The surface that the engine's software bitmap blits draw into: 8-bit
// pixels, its size and an inclusive clip rectangle. The render device sets it
// (KX_SetDrawingBitmap, KX_SetClipRect); KX_ScaleBlit draws into it.
#pragma once

#include "umbrek/vastrel/bitmap.h"

struct KX_DrawingSurface {
    uint8_t* pixels = nullptr;
    int width = 0, height = 0;
    int clipLeft = 0, clipTop = 0, clipRight = -1, clipBottom = -1;
};

// The engine's one current surface.
KX_DrawingSurface& KX_CurrentSurface();

// Draws BITMAP stretched over the inclusive rectangle (left, top)-(right,
// bottom) into the current surface, clipped to its clip rectangle; with
// TRANSPARENT, source pixels of 0 leave the surface as it is.
void KX_ScaleBlit(int left, int top, int right, int bottom, const KX_Bitmap* bitmap,
                  bool transparent);
// The same into a given surface.
void scaleBlitInto(KX_DrawingSurface& surface, int left, int top, int right, int bottom,
                   const KX_Bitmap* bitmap, bool transparent);
