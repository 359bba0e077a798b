#include "sabrith/skin/region.h"

#include <algorithm>
#include <cstdlib>

namespace sabrith {
namespace {

int32_t clampCoordinate(int64_t value) {
    return int32_t(std::clamp<int64_t>(value, -Region::coordinateLimit, Region::coordinateLimit));
}

// Spans of one band, as edges toggling membership, merged from both inputs;
// the result changes only where an input does, so its spans never touch.
template <typename Keep>
void combineSpans(const RegionSpan* a, size_t countA, const RegionSpan* b, size_t countB, Keep keep,
                  std::vector<RegionSpan>& out) {
    out.clear();
    size_t ia = 0, ib = 0;
    bool inA = false, inB = false, inOut = false;
    int32_t start = 0;
    while (ia < countA || ib < countB) {
        const int32_t nextA = ia < countA ? (inA ? a[ia].right : a[ia].left) : INT32_MAX;
        const int32_t nextB = ib < countB ? (inB ? b[ib].right : b[ib].left) : INT32_MAX;
        const int32_t x = std::min(nextA, nextB);
        if (nextA == x) {
            if (inA) ++ia;
            inA = !inA;
        }
        if (nextB == x) {
            if (inB) ++ib;
            inB = !inB;
        }
        const bool now = keep(inA, inB);
        if (now && !inOut) start = x;
        if (!now && inOut) out.push_back({start, x});
        inOut = now;
    }
}

} // namespace

Region Region::rect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    Region region;
    const RegionSpan span{clampCoordinate(left), clampCoordinate(right)};
    const int32_t y0 = clampCoordinate(top), y1 = clampCoordinate(bottom);
    if (span.left < span.right && y0 < y1) region.appendBand(y0, y1, &span, 1);
    return region;
}

bool Region::contains(int64_t x, int64_t y) const {
    auto band = std::upper_bound(bands_.begin(), bands_.end(), y,
                                 [](int64_t value, const Band& b) { return value < b.top; });
    if (band == bands_.begin()) return false;
    --band;
    if (y >= band->bottom) return false;
    const RegionSpan* first = spans_.data() + band->firstSpan;
    const RegionSpan* last = first + band->spanCount;
    auto span = std::upper_bound(first, last, x,
                                 [](int64_t value, const RegionSpan& s) { return value < s.left; });
    return span != first && x < (span - 1)->right;
}

RegionRect Region::boundingBox() const {
    if (bands_.empty()) return {};
    RegionRect box{INT32_MAX, bands_.front().top, INT32_MIN, bands_.back().bottom};
    for (const Band& band : bands_) {
        box.left = std::min(box.left, spans_[band.firstSpan].left);
        box.right = std::max(box.right, spans_[band.firstSpan + band.spanCount - 1].right);
    }
    return box;
}

std::vector<RegionRect> Region::rects() const {
    std::vector<RegionRect> out;
    out.reserve(spans_.size());
    for (const Band& band : bands_)
        for (uint32_t i = 0; i < band.spanCount; ++i) {
            const RegionSpan& span = spans_[band.firstSpan + i];
            out.push_back({span.left, band.top, span.right, band.bottom});
        }
    return out;
}

void Region::appendBand(int32_t top, int32_t bottom, const RegionSpan* spans, size_t count) {
    if (count == 0 || top >= bottom) return;
    if (!bands_.empty()) {
        Band& last = bands_.back();
        if (last.bottom == top && last.spanCount == count &&
            std::equal(spans, spans + count, spans_.begin() + last.firstSpan)) {
            last.bottom = bottom;
            return;
        }
    }
    bands_.push_back({top, bottom, uint32_t(spans_.size()), uint32_t(count)});
    spans_.insert(spans_.end(), spans, spans + count);
}

Region Region::combine(const Region& a, const Region& b, Op op) {
    auto keep = [op](bool inA, bool inB) {
        switch (op) {
        case Op::unite: return inA || inB;
        case Op::subtract: return inA && !inB;
        case Op::exclusiveOr: return inA != inB;
        }
        return false;
    };
    Region out;
    std::vector<RegionSpan> spans;
    size_t ia = 0, ib = 0;
    const size_t na = a.bands_.size(), nb = b.bands_.size();
    int64_t y = INT64_MIN;
    while (ia < na || ib < nb) {
        const Band* bandA = ia < na ? &a.bands_[ia] : nullptr;
        const Band* bandB = ib < nb ? &b.bands_[ib] : nullptr;
        // Jump over rows that neither region covers.
        const int64_t nextTop =
            std::min<int64_t>(bandA ? bandA->top : INT64_MAX, bandB ? bandB->top : INT64_MAX);
        if (y < nextTop) y = nextTop;
        const bool inA = bandA && bandA->top <= y;
        const bool inB = bandB && bandB->top <= y;
        int64_t next = INT64_MAX;
        if (bandA) next = std::min<int64_t>(next, inA ? bandA->bottom : bandA->top);
        if (bandB) next = std::min<int64_t>(next, inB ? bandB->bottom : bandB->top);
        combineSpans(inA ? a.spans_.data() + bandA->firstSpan : nullptr, inA ? bandA->spanCount : 0,
                     inB ? b.spans_.data() + bandB->firstSpan : nullptr, inB ? bandB->spanCount : 0,
                     keep, spans);
        out.appendBand(int32_t(y), int32_t(next), spans.data(), spans.size());
        y = next;
        if (inA && bandA->bottom == y) ++ia;
        if (inB && bandB->bottom == y) ++ib;
    }
    return out;
}

Region& Region::unite(const Region& other) {
    if (empty()) return *this = other;
    if (!other.empty()) *this = combine(*this, other, Op::unite);
    return *this;
}

Region& Region::subtract(const Region& other) {
    if (!empty() && !other.empty()) *this = combine(*this, other, Op::subtract);
    return *this;
}

Region& Region::exclusiveOr(const Region& other) {
    if (empty()) return *this = other;
    if (!other.empty()) *this = combine(*this, other, Op::exclusiveOr);
    return *this;
}

Region& Region::offset(int64_t dx, int64_t dy) {
    if (empty() || (dx == 0 && dy == 0)) return *this;
    // Clamping keeps the form canonical: what crosses the limit collapses
    // onto it and is dropped, what stays inside keeps its order.
    Region moved;
    std::vector<RegionSpan> spans;
    for (const Band& band : bands_) {
        spans.clear();
        for (uint32_t i = 0; i < band.spanCount; ++i) {
            const RegionSpan& span = spans_[band.firstSpan + i];
            const RegionSpan shifted{clampCoordinate(span.left + dx),
                                     clampCoordinate(span.right + dx)};
            if (shifted.left < shifted.right) spans.push_back(shifted);
        }
        moved.appendBand(clampCoordinate(band.top + dy), clampCoordinate(band.bottom + dy),
                         spans.data(), spans.size());
    }
    return *this = std::move(moved);
}

Region Region::tiled(int64_t count, int64_t stepX, int64_t stepY) const {
    if (count <= 0 || empty()) return {};
    if (stepX == 0 && stepY == 0) return *this;
    // Copies past the coordinate limit collapse onto it, so larger steps or
    // counts change nothing but the time taken.
    stepX = std::clamp<int64_t>(stepX, -2 * coordinateLimit, 2 * coordinateLimit);
    stepY = std::clamp<int64_t>(stepY, -2 * coordinateLimit, 2 * coordinateLimit);
    count = std::min<int64_t>(count,
                              2 * coordinateLimit / std::max(std::abs(stepX), std::abs(stepY)) + 1);
    const RegionRect box = boundingBox();
    const int64_t width = int64_t(box.right) - box.left;
    const int64_t height = int64_t(box.bottom) - box.top;
    Region out;
    if (stepY == 0 && stepX >= width) {
        // Side by side: every band gets the copies' spans in order; copies
        // that meet are joined.
        std::vector<RegionSpan> spans;
        for (const Band& band : bands_) {
            spans.clear();
            for (int64_t i = 0; i < count && box.left + i * stepX < coordinateLimit; ++i)
                for (uint32_t s = 0; s < band.spanCount; ++s) {
                    const RegionSpan& span = spans_[band.firstSpan + s];
                    const RegionSpan shifted{clampCoordinate(span.left + i * stepX),
                                             clampCoordinate(span.right + i * stepX)};
                    if (shifted.left >= shifted.right) continue;
                    if (!spans.empty() && spans.back().right == shifted.left)
                        spans.back().right = shifted.right;
                    else
                        spans.push_back(shifted);
                }
            out.appendBand(band.top, band.bottom, spans.data(), spans.size());
        }
        return out;
    }
    if (stepX == 0 && stepY >= height) {
        for (int64_t i = 0; i < count && box.top + i * stepY < coordinateLimit; ++i) {
            Region copy = *this;
            copy.offset(0, i * stepY);
            for (const Band& band : copy.bands_)
                out.appendBand(band.top, band.bottom, copy.spans_.data() + band.firstSpan,
                               band.spanCount);
        }
        return out;
    }
    // Overlapping copies: double the run of copies, so the unions number
    // log2(count).
    out = *this;
    int64_t have = 1;
    std::vector<int> bits;
    for (int64_t rest = count; rest > 1; rest >>= 1) bits.push_back(int(rest & 1));
    for (auto bit = bits.rbegin(); bit != bits.rend(); ++bit) {
        Region later = out;
        out.unite(later.offset(have * stepX, have * stepY));
        have *= 2;
        if (*bit) {
            Region last = *this;
            out.unite(last.offset(have * stepX, have * stepY));
            ++have;
        }
    }
    return out;
}

void RegionBuilder::flushRow() {
    if (!haveRow_) return;
    haveRow_ = false;
    std::sort(row_.begin(), row_.end(),
              [](const RegionSpan& a, const RegionSpan& b) { return a.left < b.left; });
    std::vector<RegionSpan> merged;
    for (const RegionSpan& span : row_) {
        if (!merged.empty() && span.left <= merged.back().right)
            merged.back().right = std::max(merged.back().right, span.right);
        else
            merged.push_back(span);
    }
    row_.clear();
    if (rowY_ < Region::coordinateLimit)
        done_.appendBand(rowY_, rowY_ + 1, merged.data(), merged.size());
}

void RegionBuilder::addSpan(int64_t y, int64_t left, int64_t right) {
    const RegionSpan span{clampCoordinate(left), clampCoordinate(right)};
    const int32_t row = clampCoordinate(y);
    if (span.left >= span.right) return;
    if (haveRow_ && row < rowY_) {
        outOfOrder_.unite(Region::rect(span.left, row, span.right, int64_t(row) + 1));
        return;
    }
    if (haveRow_ && row > rowY_) flushRow();
    if (!haveRow_) {
        // A row above one already finished cannot be appended in order.
        if (!done_.empty() && row < done_.bands_.back().bottom) {
            outOfOrder_.unite(Region::rect(span.left, row, span.right, int64_t(row) + 1));
            return;
        }
        haveRow_ = true;
        rowY_ = row;
    }
    row_.push_back(span);
}

Region RegionBuilder::finish() {
    flushRow();
    Region out = std::move(done_);
    out.unite(outOfOrder_);
    done_ = Region();
    outOfOrder_ = Region();
    return out;
}

} // namespace sabrith
