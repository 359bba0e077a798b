#include "sabrith/effect.h"

#include "sabrith/file_dialog.h"

#include <cmath>

namespace sabrith {

const std::array<uint8_t, 256>& amplitudeCurve() {
    static const std::array<uint8_t, 256> curve = [] {
        std::array<uint8_t, 256> table{};
        for (int i = 1; i < 256; ++i)
            table[std::size_t(i)] = uint8_t(std::min(255.0, std::trunc(i * std::log(double(i)))));
        return table;
    }();
    return curve;
}

int binToHz(int bin) {
    return bin * 44000 / 575;
}

int CrtRandom::next() {
    seed_ = seed_ * 214013u + 2531011u;
    return int((seed_ >> 16) & 0x7FFF);
}

int Effect::loadPreset(void* owner) {
    std::string path;
    if (!context_.presets || !context_.presets->openFile(owner, path)) return 0;
    loadSettings(path.c_str());
    return 1;
}

int Effect::savePreset(void* owner) {
    std::string path;
    if (!context_.presets || !context_.presets->saveFile(owner, path)) return 0;
    saveSettings(path.c_str());
    return 1;
}

} // namespace sabrith
