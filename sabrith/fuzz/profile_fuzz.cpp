// Any bytes as a preset file: the profile reader, then every effect's
// loadSettings and loadPreset from it and one frame of each into a small
// image whose border must keep its canaries (ASan and UBSan watch the rest).
#include "sabrith/file_dialog.h"
#include "sabrith/flame_effect.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"

#include <cstdlib>
#include <string_view>

namespace {

using namespace sabrith;

// One preset file held in memory, read with the portable profile rules.
class MemoryProfile final : public ProfileBackend {
public:
    explicit MemoryProfile(std::string_view text) : document_(text) {}
    int32_t getInt(const std::string&, const std::string& section, const std::string& key,
                   int32_t fallback) override {
        return document_.integer(section, key, fallback);
    }
    std::string getString(const std::string&, const std::string& section, const std::string& key,
                          const std::string& fallback, std::size_t capacity) override {
        std::string text = document_.value(section, key).value_or(fallback);
        if (capacity && text.size() > capacity - 1) text.resize(capacity - 1);
        return text;
    }
    std::size_t sectionEntries(const std::string&, const std::string& section) override {
        return document_.entryCount(section);
    }
    void writeString(const std::string&, const std::string& section, const std::string& key,
                     const std::string& value) override {
        document_.set(section, key, value);
    }

private:
    ProfileDocument document_;
};

class PresetChooser final : public FileChooser {
public:
    bool choose(bool, FileRequest& request) override {
        request.path = "fuzz.lbp";
        request.title = "fuzz.lbp";
        return true;
    }
};

constexpr uint32_t canary = 0xC0FFEE11;

void renderFramed(Effect& effect, const uint32_t* levels) {
    DibImage image("fuzz");
    image.resize(14, 12);
    for (int i = 0; i < 14 * 12; ++i) image.pixels()[i] = canary;
    FrameView view{3, 3, 8, 6};
    image.lockView(view);
    for (int y = 3; y < 9; ++y)
        for (int x = 3; x < 11; ++x) image.pixels()[y * 14 + x] = 0;
    effect.render(Spectrum(levels, 2 * spectrumBins), view);
    image.unlockView(view);
    // Particle squares may pass the view's right and bottom edges by up to 4.
    const bool particles = dynamic_cast<FyreEffect*>(&effect) != nullptr;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 14; ++x) {
            const bool inside =
                x >= 3 && y >= 3 && x < 11 + (particles ? 4 : 0) && y < 9 + (particles ? 4 : 0);
            if (!inside && image.pixels()[y * 14 + x] != canary) std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    MemoryRegistry registry;
    MemoryProfile profile(std::string_view(reinterpret_cast<const char*>(data), size));
    SettingsStore store("Lumbrin", registry, profile);
    PresetChooser chooser;
    FileDialog presets(presetFiles, registry, "C:\\Plugins\\sabrith.dll", chooser);
    CrtRandom random;
    const EffectContext context{store, &presets, &random};
    static uint32_t levels[2 * spectrumBins];
    for (int i = 0; i < 2 * spectrumBins; ++i) levels[i] = uint32_t(i * 977 % 65281);

    FrequencyEffect bars(context);
    FyreEffect fountains(context);
    FlameEffect flame(context);
    for (Effect* effect : {static_cast<Effect*>(&bars), static_cast<Effect*>(&fountains),
                           static_cast<Effect*>(&flame)}) {
        effect->loadSettings("fuzz.lbp");
        if (effect->loadPreset(nullptr) != 1) std::abort();
        renderFramed(*effect, levels);
    }
    return 0;
}
