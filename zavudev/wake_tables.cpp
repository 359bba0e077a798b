#include "zavudev/wake_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>

namespace zavudev {

namespace {

uint8_t floorByte(double v) {
    return uint8_t(int(std::floor(v)));
}

void buildZoomSteps(WakeTables& t) {
    // Shrinks the view from 2.5 to 1.25 of the picture over a cycle.
    for (int g = 0; g < zoomStepCount; ++g)
        t.zoomSteps[g] = uint32_t((30720 - 304 * g + g * g) * 16 / 3);
}

void buildCurves(WakeTables& t) {
    for (int k = 0; k < curveCount; ++k)
        for (int u = 0; u < 256; ++u)
            t.contrastCurves[k][u] = floorByte(255.0 * std::pow(u / 255.0, (9.0 + k) / 72.0));
}

// A sharp, lopsided peak: slow to rise from nothing, steep to the top at
// 128, then falling ever more slowly to nothing at 236. A power curve on
// each side, bent through the points the look was tuned on.
struct PeakPoint {
    int u, value;
};

constexpr PeakPoint risingPoints[] = {{21, 1},    {32, 4},    {64, 32},
                                      {100, 123}, {124, 234}, {128, 255}};
constexpr PeakPoint fallingPoints[] = {{128, 255}, {129, 249}, {130, 243}, {131, 237},
                                       {132, 231}, {154, 128}, {175, 64}};

double risingCurve(double u) {
    return 255.0 * std::pow(std::max(0.0, u - 1.0) / 127.0, 2.92);
}

double fallingCurve(double u) {
    return u >= 238.25 ? 0.0 : 255.0 * std::pow((238.25 - u) / 110.25, 2.56);
}

// The curve scaled by a factor that moves linearly from point to point.
template <size_t N>
double throughPoints(int u, const PeakPoint (&points)[N], double (*curve)(double)) {
    auto ratio = [&](const PeakPoint& p) { return p.value / curve(p.u); };
    if (u <= points[0].u) return curve(u) * ratio(points[0]);
    for (size_t i = 1; i < N; ++i) {
        if (u <= points[i].u) {
            double t = double(u - points[i - 1].u) / double(points[i].u - points[i - 1].u);
            return curve(u) * (ratio(points[i - 1]) * (1 - t) + ratio(points[i]) * t);
        }
    }
    return curve(u) * ratio(points[N - 1]);
}

double sharpPeak(int u) {
    // The tiny margin keeps a point's own value from flooring one below it.
    const double margin = 1e-9;
    if (u <= 128) return throughPoints(u, risingPoints, risingCurve) + margin;
    return throughPoints(u, fallingPoints, fallingCurve) + margin;
}

// A rounded hump, close to 255 x sqrt(u / 128).
double roundHump(int u) {
    if (u <= 128) return 255.0 * std::sqrt(u / 128.0);
    return 255.0 * std::sqrt((255.45 - u) / 128.0);
}

void buildWaves(WakeTables& t) {
    for (int u = 0; u < 256; ++u) {
        t.shapeWaves[0][u] = floorByte(255.0 * std::sin(std::numbers::pi * u / 256.0));
        t.shapeWaves[1][u] = uint8_t(u < 128 ? 2 * u : u == 128 ? 255 : 511 - 2 * u);
        t.shapeWaves[2][u] = floorByte(sharpPeak(u));
        t.shapeWaves[3][u] = floorByte(roundHump(u));
        for (int w = 0; w < 4; ++w) t.shapeWaves[w + 4][u] = uint8_t(255 - t.shapeWaves[w][u]);
    }
}

// Plane 0's angle map: 0 on the diagonal, rising with the angle away from it
// towards about 125 along the edges.
uint8_t angleFromDiagonal(int column, int row) {
    if (column == row) return 0;
    double degrees = std::atan2(row + 1.0, column + 1.0) * 180.0 / std::numbers::pi;
    double scale = column > row ? 2.82 : 2.85;
    return floorByte(scale * std::fabs(degrees - 45.0));
}

void buildMaps(WakeTables& t) {
    for (int row = 0; row < mapRows; ++row) {
        for (int column = 0; column < mapColumns; ++column) {
            t.mapU[0][row][column] =
                floorByte(15.0 * std::sqrt(double(column * column + row * row)) / 7.0);
            t.mapV[0][row][column] = angleFromDiagonal(column, row);
            t.mapU[1][row][column] = uint8_t((column + 1) * 255 / 96);
            t.mapV[1][row][column] = uint8_t(((row + 1) * (16384 / (16 + column))) >> 8);
            t.mapU[2][row][column] = uint8_t((row + 1) * 255 / 70);
            t.mapV[2][row][column] = uint8_t(((column + 1) * (16384 / (16 + row))) >> 8);
        }
    }
}

std::unique_ptr<WakeTables> buildTables() {
    auto t = std::make_unique<WakeTables>();
    buildZoomSteps(*t);
    buildCurves(*t);
    buildWaves(*t);
    buildMaps(*t);
    return t;
}

} // namespace

const WakeTables& wakeTables() {
    static const std::unique_ptr<WakeTables> tables = buildTables();
    return *tables;
}

} // namespace zavudev
