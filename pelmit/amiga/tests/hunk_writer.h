// Hunk-format executables written long by long, for the loader's tests, the
// fuzzer's seeds and the player's tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace pelmit::test {

enum : uint32_t {
    hunkHeader = 1011,
    hunkNameBlock = 1000,
    hunkCodeBlock = 1001,
    hunkDataBlock = 1002,
    hunkBssBlock = 1003,
    hunkReloc32Block = 1004,
    hunkEndBlock = 1010,
    hunkBreakBlock = 1014,
};

struct RelocationGroup {
    uint32_t hunk;
    std::vector<uint32_t> offsets;
};

class HunkWriter {
public:
    // Big-endian longs as they stand.
    HunkWriter& put(std::initializer_list<uint32_t> longs);
    HunkWriter& put(const std::vector<uint32_t>& longs);
    // Magic, an empty name list, the hunk count, first and last, the sizes in longs.
    HunkWriter& header(const std::vector<uint32_t>& sizes);
    // A code (or data) block: its type, the count, the longs.
    HunkWriter& block(uint32_t type, const std::vector<uint32_t>& longs);
    // A relocation block ending with a count of 0.
    HunkWriter& relocations(const std::vector<RelocationGroup>& groups);
    // The bytes of "DELIRIUM" or other text, as longs (zero-padded).
    static std::vector<uint32_t> text(const std::string& s);

    const std::vector<uint8_t>& bytes() const { return data; }
    // The first n bytes.
    std::vector<uint8_t> cut(size_t n) const;

private:
    std::vector<uint8_t> data;
};

} // namespace pelmit::test
