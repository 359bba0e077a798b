// What the effect tests share: a store over an in-memory registry and ini
// files in the test's folder, spectra, and a canvas whose view is framed by
// a border of canary pixels that no effect may touch.
#pragma once

#include "sabrith/effect.h"
#include "sabrith/settings_store.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace sabrith::test {

constexpr uint32_t canary = 0x5A123456;

struct StoreFixture {
    MemoryRegistry registry;
    IniFileProfile profile;
    SettingsStore store{"Lumbrin", registry, profile};
    CrtRandom random;
    EffectContext context{store, nullptr, &random};

    std::string presetPath(const std::string& name) const {
        return jk::test::tempFolder() + name + ".lbp";
    }
    std::string writePreset(const std::string& name, const std::string& text) const {
        const std::string path = presetPath(name);
        jk::test::writeFile(path, text.data(), text.size());
        return path;
    }
};

using SpectrumRows = std::array<uint32_t, 2 * spectrumBins>;

inline SpectrumRows flatSpectrum(int left, int right) {
    SpectrumRows rows{};
    for (int i = 0; i < spectrumBins; ++i) {
        rows[std::size_t(i)] = uint32_t(left) << 8;
        rows[std::size_t(spectrumBins + i)] = uint32_t(right) << 8;
    }
    return rows;
}

// An image of the view's size plus `border` pixels on every side, all canary.
struct Canvas {
    Canvas(int width, int height, int border = 3) : image("canvas") {
        EXPECT_EQ(image.resize(width + 2 * border, height + 2 * border), 1);
        for (int i = 0; i < image.width() * image.height(); ++i) image.pixels()[i] = canary;
        view = FrameView{border, border, width, height};
        image.lockView(view);
        // Inside the view the picture starts black.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) at(border + x, border + y) = 0;
    }
    ~Canvas() { image.unlockView(view); }
    uint32_t& at(int x, int y) { return image.pixels()[y * image.width() + x]; }
    // Pixel of the view (view coordinates).
    uint32_t& inView(int x, int y) { return at(view.x + x, view.y + y); }
    bool outsideView(int x, int y, int slackRight = 0, int slackBottom = 0) const {
        return x < view.x || y < view.y || x >= view.x + view.width + slackRight ||
               y >= view.y + view.height + slackBottom;
    }
    // Every canary outside the view (plus slack to the right and below) kept.
    void expectCanariesKept(int slackRight = 0, int slackBottom = 0) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (outsideView(x, y, slackRight, slackBottom) && at(x, y) != canary) {
                    FAIL() << "written outside the view at " << x << "," << y;
                }
    }

    DibImage image;
    FrameView view;
};

} // namespace sabrith::test
