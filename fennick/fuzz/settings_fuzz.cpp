// Any integer for every settings and preset key, as the profile functions
// would hand them over, then the uses that must hold whatever was stored:
// the grid and its bin step, the lights, and the resolution lookup.
#include "fennick/presets.h"
#include "fennick/resolution.h"
#include "fennick/scene.h"
#include "fennick/settings.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

using namespace fennick;

// Hands out the fuzz input four bytes at a time, for every key asked;
// missing keys once the input runs out.
class FuzzProfile : public ProfileStore {
public:
    FuzzProfile(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::int32_t readInt(const char*, const char*, std::int32_t fallback) override {
        if (pos_ + 4 > size_) return fallback;
        std::int32_t v;
        std::memcpy(&v, data_ + pos_, 4);
        pos_ += 4;
        return v;
    }
    std::string readString(const char*, const char* key) override {
        return std::strcmp(key, "presetname") == 0 && pos_ < size_ ? "fuzz" : "";
    }
    void writeString(const char*, const char*, const std::string&) override {}

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

Scene& sharedScene() {
    static std::unique_ptr<Scene> scene = [] {
        auto s = std::make_unique<Scene>();
        setUpScene(*s, 1);
        return s;
    }();
    return *scene;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzProfile store(data, size);
    Settings s = defaultSettings();
    for (ModuleKind kind : {ModuleKind::Wave, ModuleKind::Block, ModuleKind::Tunnel})
        readModuleSettings(store, kind, s);
    loadPreset(store, 0, s);

    Scene& scene = sharedScene();
    int n = gridResAtUse(s);
    buildGrid(scene, n, n, -330, 330, -300, 300);
    const std::int32_t colours[3] = {s.Light0, s.Light1, s.Light2};
    applyLightColours(scene, colours);
    placeLights(scene);
    moveLights(scene);
    lightGrid(scene);
    int step = binStepFor(scene.gridLines, scene.gridPoints);
    // The Block module reads cell numbers up to N x N and bins up to
    // N x N x binStep: both must stay inside its 577 peaks and 576 bins.
    if (n < 1 || n > gridResLimit || scene.gridLines != n || n * n > 576 || n * n * step > 576)
        std::abort();
    const Resolution& r = resolutionAt(fullScreenResAtUse(s));
    if (r.width < 320 || r.height < 240) std::abort();
    int mode = textureModeAtUse(s.TextureMode);
    int speed = flareSpeedAtUse(s);
    if (mode < 0 || mode > 3 || speed < 1 || speed > 400) std::abort();
    return 0;
}
