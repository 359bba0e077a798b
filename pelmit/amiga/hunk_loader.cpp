// Hunk-format executables placed in chip RAM from 0x2000, relocated, and the
// tag lists that such programs keep in their data. The files come from users:
// every count, size, hunk number and offset is checked against the file and
// the chip RAM free for tunes, and anything that does not fit fails cleanly.
#include "pelmit/amiga/amiga_machine.h"

#include "common/byte_order.h"

#include <memory>
#include <new>

namespace pelmit {

using jk::readBe32;
using jk::remainingBytes;

namespace {

enum : uint32_t {
    hunkMagic = 1011,
    hunkName = 1000,
    hunkCode = 1001,
    hunkData = 1002,
    hunkUninitialised = 1003,
    hunkRelocations = 1004,
    hunkDebug = 1009,
    hunkEnd = 1010,
    hunkBreak = 1014,
};

constexpr uint32_t blockTypeMask = 0xFFFFFF;
constexpr uint32_t extraLongFlag = 0x02000000;
constexpr uint32_t sizeMask = 0x3FFFFFFF; // bits 30-31 are memory flags
constexpr uint32_t notFound = 0xFFFFFFFF;

// Reads longs from the part of the file that the loader has not used yet; a
// read past that part fails the load.
class HunkReader {
public:
    HunkReader(std::FILE* file, uint32_t bytes) : file(file), remaining(bytes) {}

    bool read(uint32_t& value) {
        if (remaining < 4) return false;
        remaining -= 4;
        value = readBe32(file);
        return !std::feof(file) && !std::ferror(file);
    }
    bool skip(uint32_t longs) {
        if (longs > remaining / 4) return false;
        remaining -= longs * 4;
        return std::fseek(file, long(longs) * 4, SEEK_CUR) == 0;
    }
    uint32_t left() const { return remaining; }

private:
    std::FILE* file;
    uint32_t remaining;
};

uint32_t fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0 || size < 0) return 0;
    return size > long(0x7FFFFFFF) ? 0x7FFFFFFF : uint32_t(size);
}

} // namespace

uint32_t AmigaMachine::skipHunkNameList(std::FILE* file) {
    uint32_t skipped = 0;
    for (;;) {
        HunkReader reader(file, remainingBytes(file));
        uint32_t count;
        if (!reader.read(count)) return notFound;
        skipped += 4;
        if (count == 0) return skipped;
        if (!reader.skip(count)) return notFound;
        skipped += count * 4;
    }
}

uint32_t AmigaMachine::loadHunkProgram(std::FILE* file) {
    if (!file || !chipRam) return 0;
    const uint32_t size = fileSize(file);
    if (readBe32(file) != hunkMagic || size < 4) return 0;
    const uint32_t names = skipHunkNameList(file);
    if (names == notFound) return 0;
    HunkReader reader(file, size - 4 - names);

    // Every hunk takes a link long at least, below the tune limit.
    constexpr uint32_t maxHunks = (tuneLimit - tuneAddress) / 4;
    uint32_t hunkCount, first, last;
    if (!reader.read(hunkCount) || !reader.read(first) || !reader.read(last)) return 0;
    if (hunkCount == 0 || hunkCount > maxHunks || hunkCount > reader.left() / 4) return 0;

    std::unique_ptr<uint32_t[]> sizes(new (std::nothrow) uint32_t[hunkCount]);
    std::unique_ptr<uint32_t[]> addresses(new (std::nothrow) uint32_t[hunkCount]);
    if (!sizes || !addresses) return 0;
    uint64_t link = tuneAddress;
    for (uint32_t i = 0; i < hunkCount; ++i) {
        uint32_t sizeLong;
        if (!reader.read(sizeLong)) return 0;
        sizes[i] = (sizeLong & sizeMask) * 4;
        addresses[i] = uint32_t(link + 4);
        link += 4 + uint64_t(sizes[i]);
        if (link > tuneLimit) return 0;
    }
    for (uint32_t i = 0; i < hunkCount; ++i)
        pokeLong(addresses[i] - 4, i + 1 < hunkCount ? addresses[i + 1] - 4 : 0);

    // The hunk that code, data, uninitialised-data and relocation blocks refer
    // to; it starts before hunk 0.
    uint32_t current = notFound;
    const auto nextHunk = [&] { return ++current < hunkCount; };
    while (reader.left() > 0) {
        uint32_t type;
        if (!reader.read(type)) return 0;
        if ((type & extraLongFlag) && !reader.skip(1)) return 0;
        uint32_t count;
        switch (type & blockTypeMask) {
        case hunkName:
        case hunkDebug:
            if (!reader.read(count) || !reader.skip(count)) return 0;
            break;
        case hunkCode:
        case hunkData:
            if (!nextHunk() || !reader.read(count)) return 0;
            if (count > sizes[current] / 4 || count > reader.left() / 4) return 0;
            for (uint32_t k = 0; k < count; ++k) {
                uint32_t value;
                if (!reader.read(value)) return 0;
                pokeLong(addresses[current] + 4 * k, value);
            }
            break;
        case hunkUninitialised:
            if (!nextHunk() || !reader.skip(1)) return 0;
            break;
        case hunkRelocations:
            if (current >= hunkCount) return 0;
            for (;;) {
                uint32_t target;
                if (!reader.read(count)) return 0;
                if (count == 0) break;
                if (!reader.read(target) || target >= hunkCount || count > reader.left() / 4)
                    return 0;
                for (uint32_t k = 0; k < count; ++k) {
                    uint32_t offset;
                    if (!reader.read(offset)) return 0;
                    if (sizes[current] < 4 || offset > sizes[current] - 4) return 0;
                    const uint32_t at = addresses[current] + offset;
                    pokeLong(at, peekLong(at) + addresses[target]);
                }
            }
            break;
        case hunkEnd: break;
        case hunkBreak: return tuneAddress + 4;
        default: return 0;
        }
    }
    return tuneAddress + 4;
}

uint32_t AmigaMachine::findTag(uint32_t address, uint32_t& out, uint32_t tag) const {
    // Tag lists of replay programs hold a few dozen entries; a list that
    // leads back into itself must end somewhere.
    constexpr uint32_t maxEntries = 4096;
    enum : uint32_t { tagEnd = 0, tagIgnore = 1, tagMore = 2, tagSkip = 3 };
    for (uint32_t walked = 0; walked < maxEntries; ++walked) {
        const uint32_t id = peekLong(address);
        const uint32_t value = peekLong(address + 4);
        switch (id) {
        case tagEnd: return 0;
        case tagMore: address = value; break;
        case tagSkip: address += 8 + 8 * value; break;
        default:
            if (id == tag && id != tagIgnore) {
                out = value;
                return 1;
            }
            address += 8;
            break;
        }
    }
    return 0;
}

} // namespace pelmit
