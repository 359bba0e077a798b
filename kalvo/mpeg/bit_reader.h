// A ring of 2^k bytes read as a stream of bits, first bit first. The sync
// search (8 KB ring fed from the input) and the main-data reservoir (2 KB
// ring fed from the frames) are both bit readers.
#pragma once

#include "kalvo/mpeg/decoder_input.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace kalvo {

inline uint64_t loadBigEndian64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

// A cheap read position into a ring, for the Huffman and scale-factor
// decoding, which may run past the bits a granule owns: every read stays in
// the ring's memory, and the owning reader is moved only afterwards.
struct BitCursor {
    const uint8_t* ring;
    uint32_t byteMask;
    uint32_t pos; // in bits, taken modulo the ring's size on every access

    // The next 32 bits, left-aligned.
    uint32_t peek32() const {
        uint64_t w = loadBigEndian64(ring + ((pos >> 3) & byteMask));
        return uint32_t((w << (pos & 7)) >> 32);
    }
    uint32_t read(int n) {
        if (n == 0) return 0;
        uint32_t v = peek32() >> (32 - n);
        pos += uint32_t(n);
        return v;
    }
    void skip(uint32_t n) { pos += n; }
};

class BitReader {
public:
    // Allocates a ring of the smallest power of two not below size bytes
    // (at most 64 KB). False when the memory cannot be had.
    bool init(uint32_t size);

    // Empties the ring and forgets the input's end; the input stays attached.
    void clear();
    void attach(DecoderInput* input) { input_ = input; }
    bool attached() const { return input_ != nullptr; }

    // Reads n <= 16 bits (up to 32 with read32).
    uint32_t read(int n);
    uint32_t read32() {
        uint32_t hi = read(16);
        return (hi << 16) | read(16);
    }
    uint32_t peek32() const { return cursor().peek32(); }
    // Moves the read position by n bits; a negative n steps back over bits
    // already read, which then count as held again. A forward skip stops at
    // the end of the held bits.
    void skip(int32_t n);

    uint32_t bitsHeld() const { return held_; }
    uint32_t freeBytes() const;
    uint32_t sizeBits() const { return size_ * 8; }
    bool inputEnded() const { return inputEnded_; }

    // Tops the ring up from the attached input: reads into the free space in
    // pieces that do not cross the ring's end, until the ring is full or a
    // read comes back short, then notes when the input has ended.
    void fill();
    // Appends bytes from memory; returns how many fitted.
    uint32_t write(const uint8_t* data, uint32_t n);
    // Moves n whole bytes from another reader (at any bit position) to the
    // end of this ring; returns how many moved (limited by free space and
    // by what the other reader holds).
    uint32_t copyBytes(BitReader& from, uint32_t n);
    // Drops the oldest bytes so that at least n bytes are free.
    void makeRoom(uint32_t n);

    // CRC-16 (polynomial 0x8005, first bit first) of the next n bits, which
    // are consumed, continuing from crc.
    uint16_t crc16(uint32_t n, uint16_t crc);

    // Bits read since the counter was last cleared; steps back count down.
    void clearCounter() { counter_ = 0; }
    int32_t counter() const { return counter_; }

    BitCursor cursor() const { return BitCursor{ring_.get(), size_ - 1, readPos_}; }

private:
    void mirror();

    std::unique_ptr<uint8_t[]> ring_; // size_ bytes plus an 8-byte copy of the start
    uint32_t size_ = 0;
    uint32_t readPos_ = 0;  // bits, below size_ * 8
    uint32_t writePos_ = 0; // bytes, below size_
    uint32_t held_ = 0;     // bits between the read and the write position
    int32_t counter_ = 0;
    bool inputEnded_ = false;
    DecoderInput* input_ = nullptr;
};

} // namespace kalvo
