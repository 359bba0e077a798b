// A 320x200 headless screen for the layer's tests, with helpers to draw
// rectangles and read small areas of the buffers back.
#pragma once

#include "umbrek/glide/glide.h"
#include "umbrek/glide/glide_test.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace umbrek::glide::test {

// A vertex with white opaque colour, w = 1 and s = t = 0 unless given.
GrVertex vertex(float x, float y, float r = 255, float g = 255, float b = 255, float a = 255);
GrVertex texVertex(float x, float y, float s, float t, float oow = 1);

// 565 of an 8-bit RGB colour, by truncation.
constexpr uint16_t rgb565(int r, int g, int b) {
    return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
}

class Screen : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    uint16_t pixel(int x, int y, int buffer = GR_BUFFER_BACKBUFFER) const;
    uint16_t depthAt(int x, int y) const;
    // Rows of the area at (0, 0): '#' where the back buffer's pixel differs
    // from `background`, '.' elsewhere.
    std::vector<std::string> map(int width, int height, uint16_t background = 0) const;
    // Two triangles covering [x0, x1) × [y0, y1), every corner a copy of `v`
    // moved there.
    void rect(float x0, float y0, float x1, float y1, GrVertex v = vertex(0, 0));
    // A rectangle whose corners carry the given s and t (at w = 1 unless `oow`
    // varies from left to right).
    void texRect(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1,
                 float oowLeft = 1, float oowRight = 1);
    // Downloads a texture at `start` and selects it; the combine shows its
    // colour and alpha.
    void useTexture(const GrTexInfo& info, uint32_t start = 0);
};

} // namespace umbrek::glide::test
