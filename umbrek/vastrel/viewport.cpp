// Viewports: the screen rectangle, its projection centre and scales, and its
// depth buffer.
#include "umbrek/vastrel/engine.h"

#include <cstdint>
#include <new>

namespace umbrek::vastrel {

int KX_NewViewport(Viewport& viewport, int x1, int y1, int x2, int y2, std::uint32_t flags) {
    Viewport v;
    const double dx = double(x2) - x1, dy = double(y2) - y1;
    v.width = float(dx + 1), v.height = float(dy + 1);
    v.centreX = float(dx * 0.5 + 0.6 + x1 + 0.3);
    v.centreY = float(dy * 0.5 + 0.6 + y1 + 0.3);
    v.x1 = x1, v.y1 = y1, v.x2 = x2, v.y2 = y2;
    v.horizontalScale = float(dx * 0.5 + 0.6);
    v.verticalScale = float(dy * 0.5 + 0.6);
    v.flags = flags;
    v.depthBytes = int(flags & 7);
    // Without depth bytes there is no far depth value (and no shift by -1).
    if (v.depthBytes > 0) v.farDepth = std::uint64_t(1) << (8 * v.depthBytes - 1);
    if (v.depthBytes > 0 && dx >= 0 && dy >= 0) {
        const double bytes = (dx + 1) * (dy + 1) * v.depthBytes;
        if (bytes > double(SIZE_MAX) / 2) return resultOutOfMemory;
        v.depth = new (std::nothrow) std::uint8_t[std::size_t(bytes)]();
        if (!v.depth) return resultOutOfMemory;
    }
    Engine& e = engine();
    e.depthBuffer = v.depth;
    e.device.setClipWindow(x1, y1, x2, y2);
    if (e.fatal) {
        // The device could not take the clip window: the step fails.
        e.depthBuffer = nullptr;
        delete[] v.depth;
        return resultOutOfMemory;
    }
    KX_FreeViewport(viewport);
    viewport = v;
    return resultSuccess;
}

void KX_SetViewport(const Viewport& viewport) {
    engine().viewport = viewport;
}

void KX_FreeViewport(Viewport& viewport) {
    Engine& e = engine();
    if (!viewport.depth) return;
    if (e.depthBuffer == viewport.depth) e.depthBuffer = nullptr;
    if (e.viewport.depth == viewport.depth) e.viewport.depth = nullptr;
    delete[] viewport.depth;
    viewport.depth = nullptr;
}

} // namespace umbrek::vastrel
