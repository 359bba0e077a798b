// Any values of Width, Height, Refresh, Blur and Flags as the profile
// functions would return them, brought into range for each module, then one
// frame of each module's effect at the size it would start with.
#include "yarnot/effects.h"
#include "yarnot/settings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FuzzProfile : yarnot::Profile {
    const char* keys[5] = {"Width", "Height", "Refresh", "Blur", "Flags"};
    int32_t values[5] = {};
    int ReadInt(const char* key, int fallback) override {
        for (int i = 0; i < 5; ++i)
            if (std::strcmp(key, keys[i]) == 0) return values[i];
        return fallback;
    }
    std::string ReadString(const char*, const char* fallback) override { return fallback; }
    void WriteString(const char*, const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace yarnot;
    FuzzProfile profile;
    if (size < sizeof profile.values) return 0;
    std::memcpy(profile.values, data, sizeof profile.values);
    data += sizeof profile.values;
    size -= sizeof profile.values;

    static auto texture = [] {
        auto t = std::make_unique<Texture>();
        for (int i = 0; i < texelCount; ++i) t->texel[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
        return t;
    }();
    WaveRows wave{};
    SpectrumRows spectrum{};
    std::memcpy(wave, data, std::min(size, sizeof wave));
    std::memcpy(spectrum, data, std::min(size, sizeof spectrum));

    for (int module = 0; module < 4; ++module) {
        Settings s = ReadSettings(profile);
        FitPictureSize(s, module < 2);
        if (s.width < minSize || s.width > maxSize || s.height < minSize || s.height > maxSize ||
            s.width % 4 || s.height % 4 || s.refresh < 10 || s.refresh > 60 || s.blur > 3)
            std::abort();
        if (module < 2 && (s.width > quorlMaxSize || s.height > quorlMaxSize)) std::abort();
        const int skip = int(size & 3);
        // One buffer for every run: the largest pictures are 64 MB.
        static std::vector<uint32_t> pixels;
        pixels.resize(std::max(pixels.size(), size_t(s.width + skip) * size_t(s.height)));
        PixelTarget target{pixels.data(), s.width, s.height, skip};
        RotZoomState state;
        switch (module) {
        case 0: DrawQuorl1(*texture, wave, s.blur, target); break;
        case 1: DrawQuorl2(*texture, wave, s.blur, target); break;
        case 2: DrawFakePerspective(state, *texture, spectrum, s.blur, target); break;
        default: DrawRotZoomer(state, *texture, spectrum, s.blur, target); break;
        }
    }
    return 0;
}
