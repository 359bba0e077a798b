// The scene's pictures held to hashes recorded from the board's per-fragment
// reference spans: the benchmark's mixes of six effects under loud noise and
// the default settings' scene, each after a few frames from a fixed seed.
// Any faster path of the board or the engine must leave them unchanged.
#include "umbrek/fixtures/noise_row.h"
#include "umbrek/fixtures/scene_archive.h"
#include "umbrek/glide/glide_test.h"
#include "umbrek/scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace umbrek {
namespace {

// FNV-1a over the visible rows of the back buffer.
std::uint64_t pictureHash() {
    const glide::Buffer b = glide::colourBuffer(1);
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const std::uint16_t p =
                b.pixels[std::size_t(y) * std::size_t(b.pitch) + std::size_t(x)];
            h = (h ^ (p & 0xFF)) * 1099511628211ull;
            h = (h ^ (p >> 8)) * 1099511628211ull;
        }
    return h;
}

struct Mix {
    const char* name;
    int numEffects;
    std::array<int, 6> effects; // -1: the seed's own pick
    int frames;
    std::uint64_t hash;
};

TEST(ScenePictures, EveryMixLeavesItsRecordedPicture) {
    const std::vector<std::uint8_t> archive =
        fixtures::writeArchive(fixtures::ArchiveVariant::complete);
    const auto noise = fixtures::loudNoiseRow();
    const Mix mixes[] = {
        {"seed 1", 6, {-1, -1, -1, -1, -1, -1}, 6, 0x61b30e9e27590e18ull},
        {"overlay only", 6, {2, 2, 2, 2, 2, 2}, 6, 0x4f2d9f141eeda325ull},
        {"6 star fields", 6, {0, 0, 0, 0, 0, 0}, 6, 0x554f10696c45bc60ull},
        {"6 flare tubes", 6, {1, 1, 1, 1, 1, 1}, 6, 0xdf1152dae4877993ull},
        {"6 logos", 6, {3, 3, 3, 3, 3, 3}, 6, 0xc8a1d5508be045f5ull},
        {"6 tube sets", 6, {5, 5, 5, 5, 5, 5}, 6, 0xfff1e1af93e2170dull},
        {"one of each", 6, {0, 1, 3, 5, 0, 1}, 6, 0x84708bf322488b63ull},
        {"default settings", 3, {-1, -1, -1, -1, -1, -1}, 40, 0x39059e12fd5d5242ull},
    };
    for (const Mix& mix : mixes) {
        SceneStart start;
        start.settings.numEffects = mix.numEffects;
        if (mix.numEffects == 6) {
            start.settings.effectFade = 1;       // full opacity from the first frame
            start.settings.effectTime = 1000000; // the mix stays as set
        }
        start.randomSeed = 1;
        start.libraryBytes = archive.data();
        start.librarySize = archive.size();
        ASSERT_EQ(startScene(start), 0) << mix.name;
        EffectSchedule& slots = sceneEffects();
        for (std::size_t i = 0; i < 6; ++i)
            if (mix.effects[i] >= 0) slots.slots[i].effect = mix.effects[i];
        for (int i = 0; i < mix.frames; ++i) renderSceneFrame(noise.data(), nullptr);
        const std::uint64_t hash = pictureHash();
        EXPECT_EQ(hash, mix.hash) << mix.name << ": 0x" << std::hex << hash;
        stopScene();
    }
    glide::resetOptions();
}

} // namespace
} // namespace umbrek
