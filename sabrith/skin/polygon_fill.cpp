#include "sabrith/skin/polygon_fill.h"

#include <algorithm>

namespace sabrith {
namespace {

struct Edge {
    int64_t x0, y0, x1, y1; // y0 < y1
};

int64_t floorDiv(int64_t num, int64_t den) { // den > 0
    return num >= 0 ? num / den : -((-num + den - 1) / den);
}

int64_t clampPoint(int64_t value) {
    return std::clamp<int64_t>(value, -Region::coordinateLimit, Region::coordinateLimit);
}

} // namespace

std::vector<OutlineFigure> splitOutlineFigures(const std::vector<OutlinePoint>& points) {
    std::vector<OutlineFigure> figures;
    size_t i = 0;
    while (i < points.size()) {
        OutlineFigure figure{points[i]};
        size_t j = i + 1;
        for (; j < points.size(); ++j) {
            figure.push_back(points[j]);
            if (points[j] == points[i]) {
                ++j;
                break;
            }
        }
        figures.push_back(std::move(figure));
        i = j;
    }
    return figures;
}

Region fillEvenOdd(const std::vector<OutlineFigure>& figures, const RegionRect& clip) {
    std::vector<Edge> edges;
    int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (const OutlineFigure& figure : figures)
        for (size_t i = 0; i < figure.size(); ++i) {
            const OutlinePoint& a = figure[i];
            const OutlinePoint& b = figure[(i + 1) % figure.size()];
            if (a.y == b.y) continue; // horizontal edges cross no row centre
            Edge edge{clampPoint(a.x), clampPoint(a.y), clampPoint(b.x), clampPoint(b.y)};
            if (edge.y0 > edge.y1) {
                std::swap(edge.x0, edge.x1);
                std::swap(edge.y0, edge.y1);
            }
            if (edge.y0 == edge.y1) continue;
            edges.push_back(edge);
            top = std::min(top, edge.y0);
            bottom = std::max(bottom, edge.y1);
        }
    RegionBuilder builder;
    if (edges.empty()) return builder.finish();
    top = std::max<int64_t>(top, clip.top);
    bottom = std::min<int64_t>(bottom, clip.bottom);
    std::vector<int64_t> starts;
    for (int64_t y = top; y < bottom; ++y) {
        starts.clear();
        for (const Edge& edge : edges) {
            if (y < edge.y0 || y >= edge.y1) continue;
            // The crossing X = num / den; the first pixel at or right of it
            // is ceil(X).
            const int64_t den = edge.y1 - edge.y0;
            const int64_t num = edge.x0 * den + (y - edge.y0) * (edge.x1 - edge.x0);
            starts.push_back(-floorDiv(-num, den));
        }
        std::sort(starts.begin(), starts.end());
        for (size_t i = 0; i + 1 < starts.size(); i += 2) {
            const int64_t left = std::max<int64_t>(starts[i], clip.left);
            const int64_t right = std::min<int64_t>(starts[i + 1], clip.right);
            if (left < right) builder.addSpan(y, left, right);
        }
    }
    return builder.finish();
}

} // namespace sabrith
