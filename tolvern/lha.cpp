#include "tolvern/lha.h"

#include "common/byte_order.h"
#include "tolvern/lh5.h"

#include <cstring>

namespace tolvern {

namespace {

constexpr size_t kHeaderSize = 22;

} // namespace

LhaStatus depackLha(const uint8_t* file, size_t size, std::vector<uint8_t>& out) {
    out.clear();
    if (size < kHeaderSize || std::memcmp(file + 2, "-lh5-", 5) != 0) return LhaStatus::notLha;
    if (file[20] != 0) return LhaStatus::badLevel;
    uint32_t original = jk::loadLe32(file + 11);
    if (original == 0) return LhaStatus::emptyMember;
    if (original > kMaxDepackedSize) return LhaStatus::tooLarge;
    size_t nameLength = file[21];
    size_t dataStart = kHeaderSize + nameLength + 2;
    if (dataStart > size) return LhaStatus::truncated;
    uint16_t crc = uint16_t(file[dataStart - 2] | file[dataStart - 1] << 8);
    out.resize(original);
    int result = depak_lh5(file + dataStart, size - dataStart, out.data(), original, crc);
    if (result == 0) return LhaStatus::ok;
    out.clear();
    return result == -1 ? LhaStatus::crcMismatch : LhaStatus::truncated;
}

} // namespace tolvern
