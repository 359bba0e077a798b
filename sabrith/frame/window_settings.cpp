#include "sabrith/frame/window_settings.h"

#include "sabrith/effect.h"

namespace sabrith {
namespace {

using Key = IntKey<WindowSettings>;

// Reading and writing order; min = max = 0 means no limits.
constexpr Key windowKeys[] = {
    {"FreeTop", 0, &WindowSettings::freeTop, 50, 0, 0},
    {"FreeLeft", 0, &WindowSettings::freeLeft, 50, 0, 0},
    {"FreeWidth", 0, &WindowSettings::freeWidth, 275, 0, 0},
    {"FreeHeight", 0, &WindowSettings::freeHeight, 116, 0, 0},
    {"OnTop", 0, &WindowSettings::onTop, 0, 0, 1},
    {"XRes", 0, &WindowSettings::xRes, 320, 0, 0},
    {"YRes", 0, &WindowSettings::yRes, 200, 0, 0},
    {"BPP", 0, &WindowSettings::bpp, 32, 0, 0},
    {"LinAmp", 0, &WindowSettings::linAmp, 75, 0, 256},
    {"Module", 0, &WindowSettings::module, 2, 0, 3},
};

} // namespace

void readWindowSettings(SettingsStore& store, WindowSettings& settings) {
    readKeys<WindowSettings>(store, nullptr, nullptr, windowKeys, settings);
}

std::string readSkinSetting(SettingsStore& store) {
    return store.readString(nullptr, nullptr, "Skin", skinPathCapacity, "");
}

void writeWindowSettings(SettingsStore& store, const std::string& skinPath,
                         const WindowSettings& settings) {
    store.writeString(nullptr, nullptr, "Skin", skinPath.c_str());
    writeKeys<WindowSettings>(store, nullptr, nullptr, windowKeys, settings);
}

} // namespace sabrith
