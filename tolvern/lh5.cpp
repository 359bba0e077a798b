#include "tolvern/lh5.h"

#include <array>
#include <cstring>

namespace tolvern {

namespace {

constexpr std::array<uint16_t, 256> makeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int k = 0; k < 8; ++k) r = (r & 1) ? (r >> 1) ^ 0xA001 : r >> 1;
        table[i] = uint16_t(r);
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = makeCrcTable();

constexpr int kLiteralCodes = 510; // 256 literals and match lengths 3..256
constexpr int kLengthCodes = 19;   // code lengths 0..16 and three run codes
constexpr int kDistanceCodes = 14; // distance bit counts for the 8 KB window
constexpr int kMaxCodeLength = 16;
constexpr int kMinMatch = 3;

// MSB-first reader. Past the end it feeds zeros but counts them, so that a
// stream which uses them is refused instead of being read out of bounds.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) { refill(); }

    uint32_t peek16() const { return uint32_t(buffer_ >> 48); }

    void skip(int n) {
        buffer_ <<= n;
        bits_ -= n;
        if (bits_ < 16) refill();
    }

    uint32_t get(int n) {
        if (n == 0) return 0;
        uint32_t v = uint32_t(buffer_ >> (64 - n));
        skip(n);
        return v;
    }

    bool overrun() const { return loaded_ * 8 - uint64_t(bits_) > uint64_t(size_) * 8; }

private:
    void refill() {
        while (bits_ <= 56) {
            uint64_t byte = loaded_ < size_ ? data_[loaded_] : 0;
            buffer_ |= byte << (56 - bits_);
            bits_ += 8;
            ++loaded_;
        }
    }

    const uint8_t* data_;
    size_t size_;
    uint64_t buffer_ = 0;
    int bits_ = 0;
    uint64_t loaded_ = 0;
};

// A canonical Huffman code as LHA assigns it (shorter codes first, then by
// symbol), decoded through a direct table with a slow path for long codes.
class HuffmanCode {
public:
    static constexpr int kTableBits = 10;

    // A code with one symbol that takes no bits.
    void setSingle(int symbol) { single_ = symbol; }

    bool build(const uint8_t* lengths, int count) {
        single_ = -1;
        int perLength[kMaxCodeLength + 1] = {};
        for (int i = 0; i < count; ++i) perLength[lengths[i]]++;
        perLength[0] = 0;
        int left = 1;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            left = (left << 1) - perLength[len];
            if (left < 0) return false; // more codes than the lengths allow
        }
        uint32_t code = 0;
        int index = 0;
        for (int len = 1; len <= kMaxCodeLength; ++len) {
            first_[len] = code;
            offset_[len] = index;
            count_[len] = perLength[len];
            index += perLength[len];
            code = (code + uint32_t(perLength[len])) << 1;
        }
        int next[kMaxCodeLength + 1];
        std::memcpy(next, offset_, sizeof next);
        for (int s = 0; s < count; ++s)
            if (lengths[s]) sorted_[next[lengths[s]]++] = uint16_t(s);
        std::memset(table_, 0, sizeof table_);
        for (int len = 1; len <= kTableBits; ++len) {
            for (int k = 0; k < count_[len]; ++k) {
                uint32_t start = (first_[len] + uint32_t(k)) << (kTableBits - len);
                uint16_t entry = uint16_t((sorted_[offset_[len] + k] << 5) | len);
                for (uint32_t e = 0; e < (1u << (kTableBits - len)); ++e) table_[start + e] = entry;
            }
        }
        return true;
    }

    // The next symbol, or -1 for a bit pattern that the code does not assign.
    int decode(BitReader& in) const {
        if (single_ >= 0) return single_;
        uint32_t bits = in.peek16();
        uint16_t entry = table_[bits >> (16 - kTableBits)];
        if (entry) {
            in.skip(entry & 31);
            return entry >> 5;
        }
        for (int len = kTableBits + 1; len <= kMaxCodeLength; ++len) {
            uint32_t code = bits >> (16 - len);
            if (code - first_[len] < uint32_t(count_[len])) {
                in.skip(len);
                return sorted_[offset_[len] + int(code - first_[len])];
            }
        }
        return -1;
    }

private:
    int single_ = -1;
    uint32_t first_[kMaxCodeLength + 1] = {};
    int offset_[kMaxCodeLength + 1] = {};
    int count_[kMaxCodeLength + 1] = {};
    uint16_t sorted_[kLiteralCodes] = {};
    uint16_t table_[1 << kTableBits] = {};
};

class Lh5Decoder {
public:
    Lh5Decoder(const uint8_t* packed, size_t size) : in_(packed, size) {}

    int run(uint8_t* out, size_t size) {
        size_t pos = 0;
        uint32_t blockLeft = 0;
        while (pos < size) {
            if (blockLeft == 0) {
                blockLeft = in_.get(16);
                if (!readLengthCode(kLengthCodes, 5, 3) || !readLiteralCode() ||
                    !readLengthCode(kDistanceCodes, 4, -1) || in_.overrun())
                    return -2;
                continue;
            }
            --blockLeft;
            int c = literals_.decode(in_);
            if (c < 0) return -2;
            if (c < 256) {
                out[pos++] = uint8_t(c);
                continue;
            }
            int p = distances_.decode(in_);
            if (p < 0) return -2;
            size_t distance = (p == 0 ? 0 : (size_t(1) << (p - 1)) + in_.get(p - 1)) + 1;
            size_t end = pos + size_t(c - 256 + kMinMatch);
            if (end > size) end = size;
            if (distance <= pos) {
                for (; pos < end; ++pos) out[pos] = out[pos - distance];
            } else {
                // Before the start the window holds blanks, as the format defines it.
                for (; pos < end; ++pos) out[pos] = pos >= distance ? out[pos - distance] : ' ';
            }
        }
        return in_.overrun() ? -2 : 0;
    }

private:
    // The code that sends code lengths (special = 3) or distances (special = -1).
    // The number of code lengths that follow, or 0 for a code of one symbol
    // (read here); -1 when either is out of range.
    int readCodeCount(HuffmanCode& code, int count, int countBits) {
        int n = int(in_.get(countBits));
        if (n == 0) {
            int symbol = int(in_.get(countBits));
            if (symbol >= count) return -1;
            code.setSingle(symbol);
        }
        return n <= count ? n : -1;
    }

    bool readLengthCode(int count, int countBits, int special) {
        HuffmanCode& code = special < 0 ? distances_ : lengthCode_;
        int n = readCodeCount(code, count, countBits);
        if (n <= 0) return n == 0;
        uint8_t lengths[kLengthCodes] = {};
        int i = 0;
        while (i < n) {
            uint32_t bits = in_.peek16();
            int len = int(bits >> 13);
            if (len == 7) {
                for (uint32_t mask = 1u << 12; bits & mask; mask >>= 1) ++len;
                if (len > kMaxCodeLength) return false;
            }
            in_.skip(len < 7 ? 3 : len - 3);
            lengths[i++] = uint8_t(len);
            if (i == special) {
                int zeros = int(in_.get(2));
                if (i + zeros > count) return false;
                while (zeros-- > 0) lengths[i++] = 0;
            }
        }
        return code.build(lengths, count);
    }

    bool readLiteralCode() {
        int n = readCodeCount(literals_, kLiteralCodes, 9);
        if (n <= 0) return n == 0;
        uint8_t lengths[kLiteralCodes] = {};
        int i = 0;
        while (i < n) {
            int c = lengthCode_.decode(in_);
            if (c < 0) return false;
            if (c > 2) {
                lengths[i++] = uint8_t(c - 2);
                continue;
            }
            int zeros = c == 0 ? 1 : c == 1 ? int(in_.get(4)) + 3 : int(in_.get(9)) + 20;
            if (i + zeros > kLiteralCodes) return false;
            while (zeros-- > 0) lengths[i++] = 0;
        }
        return literals_.build(lengths, kLiteralCodes);
    }

    BitReader in_;
    HuffmanCode lengthCode_;
    HuffmanCode literals_;
    HuffmanCode distances_;
};

} // namespace

uint16_t crc16(const uint8_t* data, size_t size) {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = uint16_t(kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}

int depak_lh5(const uint8_t* packed, size_t packedSize, uint8_t* output, size_t originalSize,
              uint16_t crc) {
    Lh5Decoder decoder(packed, packedSize);
    int result = decoder.run(output, originalSize);
    if (result != 0) return result;
    return crc16(output, originalSize) == crc ? 0 : -1;
}

} // namespace tolvern
