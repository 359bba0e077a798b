// A set of pixels on the window, kept as horizontal bands of sorted spans, in
// the manner of a window region: a band covers rows [top, bottom) and holds
// disjoint, non-touching spans [left, right) in increasing order; bands are
// sorted, never overlap, and two adjacent bands never hold the same spans.
// That one canonical form makes equal pixel sets compare equal, keeps a
// rectangle one band whatever its height, and turns into a platform region in
// one call (rectangles band by band, the order window regions want).
//
// Building a hole pixel by pixel as a union of 1 x 1 rectangles is quadratic;
// `RegionBuilder` takes spans row by row and coalesces them instead.
//
// Coordinates are clamped to +-2^28 so that no offset or tiling can overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sabrith {

struct RegionRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const RegionRect&) const = default;
};

struct RegionSpan {
    int32_t left = 0;
    int32_t right = 0;
    bool operator==(const RegionSpan&) const = default;
};

class Region {
public:
    static constexpr int32_t coordinateLimit = 1 << 28;

    Region() = default;
    // Half-open rectangle; empty when it has no area.
    static Region rect(int64_t left, int64_t top, int64_t right, int64_t bottom);

    bool empty() const { return bands_.empty(); }
    bool contains(int64_t x, int64_t y) const;
    // (0, 0, 0, 0) when empty.
    RegionRect boundingBox() const;
    // The rectangles band by band, top to bottom and left to right.
    std::vector<RegionRect> rects() const;
    size_t rectCount() const { return spans_.size(); }

    Region& unite(const Region& other);
    Region& subtract(const Region& other);
    Region& exclusiveOr(const Region& other);
    Region& offset(int64_t dx, int64_t dy);
    // The union of `count` copies, the i-th moved by (i * stepX, i * stepY),
    // i from 0. Copies that do not overlap (the cut-out tiles of an image)
    // are laid side by side without a general union.
    Region tiled(int64_t count, int64_t stepX, int64_t stepY) const;

    bool operator==(const Region&) const = default;

private:
    friend class RegionBuilder;
    struct Band {
        int32_t top = 0;
        int32_t bottom = 0;
        uint32_t firstSpan = 0; // index into spans_
        uint32_t spanCount = 0;
        bool operator==(const Band&) const = default;
    };
    enum class Op { unite, subtract, exclusiveOr };

    static Region combine(const Region& a, const Region& b, Op op);
    // Appends a band, merging it into the last one when they touch and hold
    // the same spans.
    void appendBand(int32_t top, int32_t bottom, const RegionSpan* spans, size_t count);

    std::vector<Band> bands_;
    std::vector<RegionSpan> spans_;
};

// Collects spans row by row. Rows are expected top-down and spans left to
// right, which is what scans of images and polygons give; anything else is
// still handled correctly, only more slowly.
class RegionBuilder {
public:
    void addSpan(int64_t y, int64_t left, int64_t right);
    Region finish();

private:
    void flushRow();

    Region done_;
    Region outOfOrder_;
    std::vector<RegionSpan> row_;
    int32_t rowY_ = 0;
    bool haveRow_ = false;
};

} // namespace sabrith
