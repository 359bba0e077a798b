#include "hunk_writer.h"

namespace pelmit::test {

HunkWriter& HunkWriter::put(std::initializer_list<uint32_t> longs) {
    for (uint32_t l : longs)
        for (int shift = 24; shift >= 0; shift -= 8) data.push_back(uint8_t(l >> shift));
    return *this;
}

HunkWriter& HunkWriter::put(const std::vector<uint32_t>& longs) {
    for (uint32_t l : longs) put({l});
    return *this;
}

HunkWriter& HunkWriter::header(const std::vector<uint32_t>& sizes) {
    const uint32_t count = uint32_t(sizes.size());
    put({hunkHeader, 0, count, 0, count ? count - 1 : 0});
    return put(sizes);
}

HunkWriter& HunkWriter::block(uint32_t type, const std::vector<uint32_t>& longs) {
    put({type, uint32_t(longs.size())});
    return put(longs);
}

HunkWriter& HunkWriter::relocations(const std::vector<RelocationGroup>& groups) {
    put({hunkReloc32Block});
    for (const RelocationGroup& g : groups) {
        put({uint32_t(g.offsets.size()), g.hunk});
        put(g.offsets);
    }
    return put({0});
}

std::vector<uint32_t> HunkWriter::text(const std::string& s) {
    std::vector<uint32_t> longs((s.size() + 3) / 4);
    for (size_t i = 0; i < s.size(); ++i)
        longs[i / 4] |= uint32_t(uint8_t(s[i])) << (24 - 8 * (i % 4));
    return longs;
}

std::vector<uint8_t> HunkWriter::cut(size_t n) const {
    return std::vector<uint8_t>(data.begin(), data.begin() + std::min(n, data.size()));
}

} // namespace pelmit::test
