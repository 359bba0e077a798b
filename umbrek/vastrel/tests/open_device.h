// Opening and closing the render device on the headless board for the device
// tests: a 320x200 screen, and everything the
// device and the engine keep between tests put back afterwards.
#pragma once

#include "umbrek/glide/glide_test.h"
#include "umbrek/vastrel/engine.h"
#include "umbrek/vastrel/glide_device.h"
#include "umbrek/vastrel/platform.h"
#include "umbrek/vastrel/texture_manager.h"

#include <gtest/gtest.h>

namespace umbrek::vastrel::test {

// Detects, installs and opens the device; the board's options stay as the
// test set them.
inline void openTestDevice() {
    ASSERT_EQ(KX_DetectGlide(), glideDeviceId);
    KX_InstallGlide();
    ASSERT_EQ(KX_OpenVideoMode(320, 200, 60), 1);
}

inline void closeTestDevice() {
    KX_FreeTextures();
    KX_ShutdownGlide();
    umbrek::glide::resetOptions();
    Engine& e = engine();
    e.materials.clear();
    e.deferred.count = 0;
    e.textureFormat = 0;
    glideDevice().textMode = textForeground;
    KX_ClearFatal();
    platformHooks() = defaultPlatformHooks();
}

} // namespace umbrek::vastrel::test
