#include "sabrith/dib_image.h"

#include <gtest/gtest.h>

namespace sabrith {
namespace {

uint32_t at(const DibImage& image, int x, int y) {
    return image.pixels()[y * image.width() + x];
}

void fillAll(DibImage& image, uint32_t pixel) {
    for (int i = 0; i < image.width() * image.height(); ++i) image.pixels()[i] = pixel;
}

TEST(DibImage, ResizeRaisesSidesAndRefusesWhileLocked) {
    DibImage image("frame");
    EXPECT_FALSE(image.valid());
    ASSERT_EQ(image.resize(2, 3), 1);
    EXPECT_EQ(image.width(), 4);
    EXPECT_EQ(image.height(), 4);
    FrameView view;
    ASSERT_EQ(image.lockView(view), 1);
    EXPECT_EQ(view.imageWidth, 4);
    EXPECT_EQ(image.resize(8, 8), 0);
    EXPECT_EQ(image.width(), 4) << "the old bitmap stays";
    EXPECT_EQ(image.resize(4, 4), 1) << "same size needs no new bitmap";
    image.unlockView(view);
    EXPECT_EQ(image.resize(8, 8), 1);
    image.release();
    EXPECT_FALSE(image.valid());
    EXPECT_EQ(image.lockView(view), 0);
}

TEST(DibImage, BlitClipsOnEverySideAndHonoursModes) {
    DibImage source("source"), target("target");
    source.resize(4, 4);
    target.resize(6, 5);
    for (int i = 0; i < 16; ++i) source.pixels()[i] = uint32_t(i + 1);
    // Negative destination moves the source start; the rest is cut at the edge.
    target.blit(-1, -2, 10, 10, source, 0, 0, BlitMode::copy);
    EXPECT_EQ(at(target, 0, 0), 10u); // source (1, 2)
    EXPECT_EQ(at(target, 2, 1), 16u); // source (3, 3)
    EXPECT_EQ(at(target, 3, 0), 0u);
    // Negative source start moves the destination.
    target.clear();
    target.blit(0, 0, 4, 4, source, -2, -3, BlitMode::copy);
    EXPECT_EQ(at(target, 2, 3), 1u);
    EXPECT_EQ(at(target, 3, 3), 2u);
    EXPECT_EQ(at(target, 4, 3), 0u);
    target.blit(6, 0, 4, 4, source, 0, 0, BlitMode::copy); // past the edge: nothing
    // Keyed copies only pixels with a fourth byte; alpha blends by it.
    target.clear();
    fillAll(target, 0x00102030);
    source.pixels()[0] = 0x00FFFFFF;
    source.pixels()[1] = 0x80FFFFFF;
    target.blit(0, 0, 2, 1, source, 0, 0, BlitMode::keyed);
    EXPECT_EQ(at(target, 0, 0), 0x00102030u);
    EXPECT_EQ(at(target, 1, 0), 0x80FFFFFFu);
    fillAll(target, 0x01FF0010);
    source.pixels()[0] = 0x80000020;
    target.blit(0, 0, 1, 1, source, 0, 0, BlitMode::alphaBlend);
    // red 255 + (0 - 255) * 128 >> 8 = 127 (rounding down); blue 16 + 8 = 24.
    EXPECT_EQ(at(target, 0, 0), 0x017F0018u);
}

TEST(DibImage, FillRectWritesOrBlendsInsideTheImage) {
    DibImage image("fill");
    image.resize(4, 4);
    image.fillRect(0x0000FF, 255, -2, -2, 4, 3); // red
    EXPECT_EQ(at(image, 0, 0), 0x00FF0000u);
    EXPECT_EQ(at(image, 1, 0), 0x00FF0000u);
    EXPECT_EQ(at(image, 2, 0), 0u);
    EXPECT_EQ(at(image, 0, 1), 0u);
    image.fillRect(0xFFFFFF, 0, 0, 0, 4, 4);
    EXPECT_EQ(at(image, 3, 3), 0u) << "alpha 0 does nothing";
    image.fillRect(0xFFFFFF, 128, 3, 3, 9, 9);
    EXPECT_EQ(at(image, 3, 3), 0x007F7F7Fu);
}

TEST(DibImage, FadeSubtractsAndRefusesOtherSizes) {
    DibImage image("frame"), trail("trail"), small("small");
    image.resize(4, 4);
    trail.resize(4, 4);
    small.resize(5, 4);
    fillAll(image, 0x00102005);
    fillAll(trail, 0xAA000000);
    EXPECT_EQ(image.fade(0, &trail), 1);
    EXPECT_EQ(at(trail, 0, 0), 0xAA000000u) << "0 leaves the target";
    EXPECT_EQ(image.fade(16, &trail), 1);
    EXPECT_EQ(at(trail, 2, 2), 0xAA001000u);
    EXPECT_EQ(image.fade(128, &trail), 1);
    EXPECT_EQ(at(trail, 2, 2), 0u);
    EXPECT_EQ(image.fade(16, &small), 0);
    EXPECT_EQ(image.blurFade(16, &small), 0);
}

TEST(DibImage, BlurFadeAlternatesItsBlockGrid) {
    DibImage image("frame"), trail("trail");
    image.resize(6, 6);
    trail.resize(6, 6);
    image.pixels()[2 * 6 + 2] = 0x00404040; // one lit pixel at (2, 2)
    ASSERT_EQ(image.blurFade(1, &trail), 1);
    // Phase 0: block (2..3, 2..3) averages 0x40 / 4 = 16, minus 1.
    for (auto [x, y] : {std::pair{2, 2}, {3, 2}, {2, 3}, {3, 3}})
        EXPECT_EQ(at(trail, x, y), 0x000F0F0Fu) << x << "," << y;
    EXPECT_EQ(at(trail, 1, 1), 0u);
    EXPECT_EQ(image.blurPhase(), 1);
    EXPECT_EQ(trail.blurPhase(), 1);
    ASSERT_EQ(image.blurFade(0, &trail), 1);
    // Phase 1: blocks start at (1, 1), so (2, 2) falls in block (1..2, 1..2).
    for (auto [x, y] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}})
        EXPECT_EQ(at(trail, x, y), 0x00101010u) << x << "," << y;
    EXPECT_EQ(at(trail, 3, 3), 0u);
    // The border is cleared first; with the odd grid no block covers it.
    // 128 clears all without a phase change.
    ASSERT_EQ(image.blurPhase(), 0);
    image.blurFade(0, &trail);
    fillAll(trail, 0x00FFFFFF);
    fillAll(image, 0x00FFFFFF);
    image.blurFade(0, &trail);
    EXPECT_EQ(at(trail, 0, 3), 0u);
    EXPECT_EQ(at(trail, 5, 5), 0u);
    EXPECT_EQ(at(trail, 2, 2), 0x00FFFFFFu);
    const int phase = image.blurPhase();
    image.blurFade(128, &trail);
    EXPECT_EQ(at(trail, 2, 2), 0u);
    EXPECT_EQ(image.blurPhase(), phase);
}

} // namespace
} // namespace sabrith
