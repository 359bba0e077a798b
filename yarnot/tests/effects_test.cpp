#include "yarnot/effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace yarnot {
namespace {

// Every texel names its own place: row << 8 | column.
std::unique_ptr<Texture> coordinateTexture() {
    auto t = std::make_unique<Texture>();
    for (int i = 0; i < texelCount; ++i) t->texel[i] = uint32_t(i);
    return t;
}

struct Picture {
    int width, height, skip;
    std::vector<uint32_t> pixels;
    Picture(int w, int h, int rowSkip = 0, uint32_t fill = 0)
        : width(w), height(h), skip(rowSkip), pixels(size_t((w + rowSkip) * h), fill) {}
    PixelTarget target() { return {pixels.data(), width, height, skip}; }
    uint32_t at(int x, int y) const { return pixels[size_t(y * (width + skip) + x)]; }
    int row(int x, int y) const { return int(at(x, y) >> 8); }
    int column(int x, int y) const { return int(at(x, y) & 255); }
};

TEST(SineTable, ValuesAndCosine) {
    const SineTable& t = Sines();
    const int index[] = {0, 128, 256, 512, 768};
    const int value[] = {0, 11584, 16383, 0, -16383};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(t.value[index[i]], value[i]) << index[i];
    EXPECT_EQ(t.cos(0), 16383);
    EXPECT_EQ(t.cos(256), 0);
    // The angle grows without bound and wraps at the table's length.
    EXPECT_EQ(t.sin(1024u * 5000 + 256), 16383);
    EXPECT_EQ(t.cos(uint32_t(-256)), 0);
    EXPECT_EQ(t.sin(uint32_t(-256)), -16383);
}

TEST(Blur, EachLevelAddsItsShareOfTheOldPixel) {
    const uint32_t old = 0xFF8040;
    EXPECT_EQ(BlendPixel(0x010203, old, 0), 0x010203u);
    EXPECT_EQ(BlendPixel(0x010203, old, 1), 0x010203u + 0x7F4020);
    EXPECT_EQ(BlendPixel(0x010203, old, 2), 0x010203u + 0x7F4020 + 0x3F2010);
    EXPECT_EQ(BlendPixel(0x010203, old, 3), 0x010203u + 0x7F4020 + 0x3F2010 + 0x1F1008);
}

// A still picture under blur settles where the new texel plus the shares of
// the old pixel give the old pixel back; from black it climbs to the lower of
// the fixed points, and no channel ever spills into the next.
TEST(Blur, SteadyStatesOfAStillPicture) {
    struct Case {
        int blur;
        uint32_t source, settled;
    };
    const Case cases[] = {
        {1, 0xFF8002, 0xFD7F01}, // (c AND 0xFE) - 1 per channel
        {2, 0xFF8002, 0xF77B00},
        {3, 0xFF8002, 0xE76F00},
    };
    WaveRows silence{};
    for (const Case& c : cases) {
        auto texture = std::make_unique<Texture>();
        for (uint32_t& t : texture->texel) t = (c.source & textureMask[c.blur]) >> c.blur;
        Picture picture(8, 4);
        for (int frame = 0; frame < 40; ++frame) {
            DrawQuorl1(*texture, silence, c.blur, picture.target());
            for (uint32_t p : picture.pixels) ASSERT_EQ(p & 0xFF000000u, 0u);
        }
        for (uint32_t p : picture.pixels) EXPECT_EQ(p, c.settled) << "blur " << c.blur;
    }
}

TEST(WaveSteps, DifferencesAndSilenceBehindTheLastSample) {
    signed char row[rowLength] = {};
    row[0] = 5, row[1] = -3, row[2] = 127, row[574] = -128, row[575] = 100;
    std::vector<int> steps(600, 99);
    WaveSteps(row, 600, steps.data());
    EXPECT_EQ(steps[0], -8);
    EXPECT_EQ(steps[1], 130);
    EXPECT_EQ(steps[2], -127);
    EXPECT_EQ(steps[573], -128);
    EXPECT_EQ(steps[574], 228);
    for (int i = 575; i < 600; ++i) EXPECT_EQ(steps[i], 0) << i;
}

TEST(Quorl, SilentFrames) {
    auto texture = coordinateTexture();
    WaveRows silence{};
    Picture one(300, 280, 5, 0xDEAD), two(300, 280, 5, 0xDEAD);
    DrawQuorl1(*texture, silence, 0, one.target());
    DrawQuorl2(*texture, silence, 0, two.target());
    for (int y = 0; y < 280; y += 7)
        for (int x = 0; x < 300; x += 3) {
            ASSERT_EQ(one.at(x, y), uint32_t((y & 255) << 8 | (x & 255))) << x << "," << y;
            ASSERT_EQ(two.at(x, y), 0u) << x << "," << y;
        }
    // The row skip is left alone.
    EXPECT_EQ(one.pixels[300], 0xDEADu);
}

// Along a row the steps add up to the difference between two samples, so
// any waveform gives each pixel in closed form.
TEST(Quorl, WaveformsMoveAlongTheRowsInClosedForm) {
    auto texture = coordinateTexture();
    WaveRows wave;
    std::srand(7);
    for (auto& row : wave)
        for (signed char& v : row) v = static_cast<signed char>(std::rand() & 255);
    const int w = 576, h = 400;
    Picture one(w, h), two(w, h);
    DrawQuorl1(*texture, wave, 0, one.target());
    DrawQuorl2(*texture, wave, 0, two.target());
    for (int y = 0; y < h; y += 13)
        for (int x = 0; x < w; x += 11) {
            int a = wave[0][x] - wave[0][0], b = wave[1][x] - wave[1][0];
            EXPECT_EQ(one.column(x, y), (wave[0][y] + x - a) & 255) << x << "," << y;
            EXPECT_EQ(one.row(x, y), (y - wave[1][y] + b) & 255) << x << "," << y;
            EXPECT_EQ(two.column(x, y), (wave[0][y] + a) & 255) << x << "," << y;
            EXPECT_EQ(two.row(x, y), (wave[1][y] + b) & 255) << x << "," << y;
        }
}

TEST(RotZoomer, TurnRule) {
    struct Case {
        int turn, hold, mid;
        int turnAfter, holdAfter;
    };
    const Case cases[] = {
        {0, 0, 320, -10, 320},                      // the first peak after a start turns clockwise
        {-10, 0, 320, 10, 320},                     // against the current direction
        {10, 0, 320, -10, 320}, {10, 0, 31, 0, 31}, // below 32: the turn stops
        {5, 320, 320, 5, 304},  {5, 320, 100, 5, 304}, {-3, -16, 0, 0, 0},
    };
    for (const Case& c : cases) {
        RotZoomState s;
        s.turn = int16_t(c.turn);
        s.hold = c.hold;
        UpdateTurn(s, c.mid);
        EXPECT_EQ(s.turn, c.turnAfter) << c.turn << " " << c.hold << " " << c.mid;
        EXPECT_EQ(s.hold, c.holdAfter) << c.turn << " " << c.hold << " " << c.mid;
    }
}

TEST(RotZoomer, BandSums) {
    SpectrumRows rows{};
    for (int i = 0; i < rowLength; ++i) rows[0][i] = rows[1][i] = uint8_t(i < 4 ? 10 : 1);
    rows[1][40] = 200;
    rows[0][115] = 100;
    rows[0][116] = 255; // between the bins
    EXPECT_EQ(BassSum(rows), 80);
    EXPECT_EQ(MidSum(rows), 32 - 2 + 200 + 100);
    for (auto& row : rows)
        for (int i = 0; i < 4; ++i) row[i] = 255;
    EXPECT_EQ(BassSum(rows), 512);
}

TEST(RotZoomer, ZoomRisesAtOnceAndDecays) {
    auto texture = coordinateTexture();
    SpectrumRows loud{}, silence{};
    loud[0][0] = 200, loud[1][0] = 200;
    const int plain[] = {400, 300, 225, 169, 127};
    const int perspective[] = {400, 352, 304, 256, 208};
    RotZoomState a, b;
    Picture picture(16, 8);
    for (int frame = 0; frame < 5; ++frame) {
        DrawRotZoomer(a, *texture, frame ? silence : loud, 0, picture.target());
        DrawFakePerspective(b, *texture, frame ? silence : loud, 0, picture.target());
        EXPECT_EQ(a.zoom, plain[frame]) << frame;
        EXPECT_EQ(b.zoom, perspective[frame]) << frame;
    }
    b.zoom = 30;
    DrawFakePerspective(b, *texture, silence, 0, picture.target());
    EXPECT_EQ(b.zoom, 0);
}

TEST(RotZoomer, SilenceAtAngleZero) {
    // About two texels per pixel, the picture's centre on texel (128, 128).
    RotZoomSteps k = RotZoomStart(16383, 0, 0, 320, 240);
    EXPECT_EQ(k.du, 0);
    EXPECT_EQ(k.dv, -16383);
    auto texture = coordinateTexture();
    SpectrumRows silence{};
    RotZoomState state;
    Picture picture(320, 240, 3);
    DrawRotZoomer(state, *texture, silence, 0, picture.target());
    struct Point {
        int x, y, row, column;
    };
    const Point points[] = {
        {0, 0, 111, 191}, {160, 120, 128, 128}, {319, 239, 146, 66}, {100, 50, 11, 247}};
    for (const Point& p : points) {
        EXPECT_EQ(picture.row(p.x, p.y), p.row) << p.x << "," << p.y;
        EXPECT_EQ(picture.column(p.x, p.y), p.column) << p.x << "," << p.y;
    }
    EXPECT_EQ(state.angle, 0u);
    EXPECT_EQ(state.hold, -16);
}

// A turned and zoomed frame: every pixel at P0 + x du + y dv, Q0 + x dv - y du.
TEST(RotZoomer, FixedRowsTurnAndZoomEveryPixel) {
    auto texture = coordinateTexture();
    SpectrumRows rows;
    for (auto& row : rows)
        for (unsigned char& v : row) v = 100;
    RotZoomState state;
    const int w = 200, h = 120;
    Picture picture(w, h);
    DrawRotZoomer(state, *texture, rows, 0, picture.target());
    EXPECT_EQ(state.zoom, 512);
    EXPECT_EQ(state.hold, 3200);
    EXPECT_EQ(state.turn, -100); // the angle moves from the next frame on
    EXPECT_EQ(state.angle, 0u);
    DrawRotZoomer(state, *texture, rows, 0, picture.target());
    EXPECT_EQ(state.angle, uint32_t(-100));
    EXPECT_EQ(state.hold, 3184);                               // 3200 again is no new peak
    DrawRotZoomer(state, *texture, rows, 0, picture.target()); // drawn at angle -100
    EXPECT_EQ(state.angle, uint32_t(-200));
    EXPECT_EQ(state.hold, 3200);
    EXPECT_EQ(state.turn, 100);

    const double pi = std::acos(-1.0);
    int c = int(std::cos(-100 * 2 * pi / 1024) * 0x3FFF);
    int s = int(std::sin(-100 * 2 * pi / 1024) * 0x3FFF);
    int du = s * 512 / -1024, dv = c * 512 / -1024;
    int p0 = 0x100000 - (du * w + dv * h) / 2, q0 = 0x100000 - (dv * w - du * h) / 2;
    for (int y = 0; y < h; y += 7)
        for (int x = 0; x < w; x += 9) {
            EXPECT_EQ(picture.row(x, y), ((p0 + x * du + y * dv) >> 13) & 255) << x << "," << y;
            EXPECT_EQ(picture.column(x, y), ((q0 + x * dv - y * du) >> 13) & 255) << x << "," << y;
        }
}

TEST(FakePerspective, CentredAndSwellingTowardTheMiddle) {
    auto texture = coordinateTexture();
    SpectrumRows silence{};
    for (auto [w, h] : {std::pair{320, 240}, std::pair{4, 4}, std::pair{576, 200}}) {
        RotZoomState state;
        Picture picture(w, h, 2);
        DrawFakePerspective(state, *texture, silence, 0, picture.target());
        EXPECT_NEAR(picture.row(w / 2, h / 2), 128, 3) << w << "x" << h;
        EXPECT_NEAR(picture.column(w / 2, h / 2), 128, 3) << w << "x" << h;
    }
    // At angle 0 a row keeps one texel row, and the columns race through
    // the middle of the picture and crawl at its edges.
    RotZoomState state;
    Picture picture(320, 240);
    DrawFakePerspective(state, *texture, silence, 0, picture.target());
    for (int x = 0; x < 320; ++x) ASSERT_EQ(picture.row(x, 60), picture.row(0, 60)) << x;
    auto span = [&](int x0, int x1) {
        return (picture.column(x0, 120) - picture.column(x1, 120)) & 255;
    };
    EXPECT_GT(span(152, 168), span(0, 16));
    EXPECT_GT(span(152, 168), span(304, 320 - 1) + 1);
}

} // namespace
} // namespace yarnot
