#include "umbrek/glide/texel_quads.h"

#include <array>
#include <vector>

namespace umbrek::glide {

namespace {

struct Entry {
    uint32_t textureVersion = 0, start = 0;
    int32_t smallLod = 0, largeLod = 0, aspect = 0, format = 0;
    std::vector<uint64_t> words;
};

// A frame draws with a handful of textures, one after another many times:
// a few entries keep all of them.
constexpr size_t capacity = 8;
struct Cache {
    std::array<Entry, capacity> entries;
    size_t used = 0, next = 0;
};

// Never destroyed: the board may be shut down from an exit handler that runs
// after this file's statics are gone (the engine closes the device at exit).
Cache& cache() {
    static Cache* const c = new Cache;
    return *c;
}

void build(const uint8_t* chain, const Layout& layout, std::vector<uint64_t>& words) {
    words.assign(layout.size / 2, 0);
    for (int i = 0; i < layout.levels; ++i) {
        const int w = layout.width[i], h = layout.height[i];
        const uint8_t* texels = chain + layout.offset[i];
        uint64_t* out = words.data() + layout.offset[i] / 2;
        auto at = [&](int x, int y) {
            const size_t k = 2 * (size_t(y) * size_t(w) + size_t(x));
            return uint64_t(texels[k] | texels[k + 1] << 8);
        };
        for (int y = 0; y < h; ++y) {
            const int below = (y + 1) & (h - 1);
            for (int x = 0; x < w; ++x) {
                const int right = (x + 1) & (w - 1);
                out[size_t(y) * size_t(w) + size_t(x)] =
                    at(x, y) | at(right, y) << 16 | at(x, below) << 32 | at(right, below) << 48;
            }
        }
    }
}

} // namespace

const uint64_t* texelQuads(const Board& b, const TextureSource& t, const Layout& layout) {
    Cache& c = cache();
    for (size_t i = 0; i < c.used; ++i) {
        const Entry& e = c.entries[i];
        if (e.textureVersion == b.textureVersion && e.start == t.start &&
            e.smallLod == t.smallLod && e.largeLod == t.largeLod && e.aspect == t.aspect &&
            e.format == t.format)
            return e.words.data();
    }
    Entry& e = c.entries[c.next];
    c.next = (c.next + 1) % capacity;
    c.used = std::max(c.used, c.next == 0 ? capacity : c.next);
    e.textureVersion = b.textureVersion, e.start = t.start;
    e.smallLod = t.smallLod, e.largeLod = t.largeLod, e.aspect = t.aspect, e.format = t.format;
    build(b.textureMemory.data() + t.start, layout, e.words);
    return e.words.data();
}

void forgetTexelQuads() {
    Cache& c = cache();
    for (Entry& e : c.entries) e = Entry{};
    c.used = c.next = 0;
}

} // namespace umbrek::glide
