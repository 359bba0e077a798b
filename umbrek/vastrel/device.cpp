#include "umbrek/vastrel/device.h"

#include "umbrek/vastrel/engine.h"

#include <type_traits>

namespace umbrek::vastrel {

namespace {

// The default operation for a slot of any signature: a fatal error with no
// text, and a zero result so that the caller's step is seen to fail.
template <class Slot>
struct DefaultOp;

template <class Result, class... Args>
struct DefaultOp<Result (*)(Args...)> {
    static Result call(Args...) {
        KX_FatalError("", "");
        if constexpr (!std::is_void_v<Result>) return Result{};
    }
};

template <class Slot>
void fillDefault(Slot& slot) {
    slot = &DefaultOp<Slot>::call;
}

} // namespace

void resetDeviceOps(DeviceOps& ops) {
    fillDefault(ops.openVideoMode);
    fillDefault(ops.beginScreen);
    fillDefault(ops.endScreen);
    fillDefault(ops.flushTriangles);
    fillDefault(ops.setClipWindow);
    fillDefault(ops.setColour);
    fillDefault(ops.fillRect);
    fillDefault(ops.rectangle);
    fillDefault(ops.line);
    fillDefault(ops.vLine);
    fillDefault(ops.hLine);
    fillDefault(ops.drawText);
    fillDefault(ops.packRgb);
    fillDefault(ops.readRegion);
    fillDefault(ops.writeRegion);
    fillDefault(ops.drawBitmap8);
    fillDefault(ops.clearScreen);
    fillDefault(ops.clearViewport);
    fillDefault(ops.clearViewportAll);
    fillDefault(ops.setRenderBuffer);
    fillDefault(ops.swapBuffers);
    fillDefault(ops.createTexture);
    fillDefault(ops.createTexturePair);
    fillDefault(ops.allocTextures);
    fillDefault(ops.freeTextures);
    fillDefault(ops.loadTexture);
    fillDefault(ops.loadTexturePair);
    fillDefault(ops.drawSprite);
    fillDefault(ops.drawTexturedRect);
    fillDefault(ops.drawFaces);
    fillDefault(ops.lightVertex);
}

} // namespace umbrek::vastrel
