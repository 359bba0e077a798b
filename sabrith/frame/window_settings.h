// The window's settings, section "Lumbrin" of the registry: where the window
// stands in window mode, always on top, the full-screen mode, the spectrum's
// amplification and the effect. Read when the window object is built (the
// skin's path when the window is created), all written back when it goes.
#pragma once

#include "sabrith/settings_store.h"

#include <string>

namespace sabrith {

struct WindowSettings {
    int freeTop = 50;
    int freeLeft = 50;
    int freeWidth = 275;
    int freeHeight = 116;
    int onTop = 0;
    int xRes = 320;
    int yRes = 200;
    int bpp = 32;
    int linAmp = 75;
    int module = 2; // 0 none, 1 VedozadI, 2 RurizirudoviV, 3 ZirarovoZ
};

// Room for the skin's path: 299 characters and the zero; a longer registry
// text reads as no skin.
constexpr std::size_t skinPathCapacity = 300;

void readWindowSettings(SettingsStore& store, WindowSettings& settings);
std::string readSkinSetting(SettingsStore& store);
// Skin first, then the numbers in their reading order.
void writeWindowSettings(SettingsStore& store, const std::string& skinPath,
                         const WindowSettings& settings);

} // namespace sabrith
