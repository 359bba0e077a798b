#include "kalvo/mpeg/bit_reader.h"

#include <algorithm>
#include <array>
#include <new>

namespace kalvo {

namespace {

constexpr std::array<uint16_t, 256> makeCrcTable() {
    std::array<uint16_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i << 8;
        for (int b = 0; b < 8; ++b) c = (c & 0x8000) ? (c << 1) ^ 0x8005 : c << 1;
        t[i] = uint16_t(c);
    }
    return t;
}

constexpr std::array<uint16_t, 256> crcTable = makeCrcTable();

} // namespace

bool BitReader::init(uint32_t size) {
    uint32_t s = 1;
    while (s < size && s < 0x10000) s <<= 1;
    ring_.reset(new (std::nothrow) uint8_t[s + 8]());
    if (!ring_) return false;
    size_ = s;
    clear();
    return true;
}

void BitReader::clear() {
    readPos_ = 0;
    writePos_ = 0;
    held_ = 0;
    counter_ = 0;
    inputEnded_ = false;
}

// The bytes at the ring's start stand again after its end, so that a 64-bit
// load at any position reads the wrapped bytes.
void BitReader::mirror() {
    std::memcpy(ring_.get() + size_, ring_.get(), 8);
}

uint32_t BitReader::read(int n) {
    uint32_t v = cursor().read(n);
    readPos_ = (readPos_ + uint32_t(n)) & (size_ * 8 - 1);
    held_ = held_ > uint32_t(n) ? held_ - uint32_t(n) : 0;
    counter_ += n;
    return v;
}

void BitReader::skip(int32_t n) {
    if (n > 0 && uint32_t(n) > held_) n = int32_t(held_);
    readPos_ = (readPos_ + uint32_t(n)) & (size_ * 8 - 1);
    held_ = uint32_t(int32_t(held_) - n);
    counter_ += n;
}

uint32_t BitReader::freeBytes() const {
    // The byte under a partly read position is still in use.
    uint32_t used = (held_ + (readPos_ & 7) + 7) >> 3;
    return used >= size_ ? 0 : size_ - used;
}

void BitReader::fill() {
    if (!input_) return;
    uint32_t room = freeBytes();
    while (room > 0) {
        uint32_t piece = std::min(room, size_ - writePos_);
        uint32_t got = 0;
        input_->read(ring_.get() + writePos_, piece, &got);
        got = std::min(got, piece);
        writePos_ = (writePos_ + got) & (size_ - 1);
        held_ += got * 8;
        room -= got;
        if (got < piece) break;
    }
    mirror();
    if (input_->atEnd()) inputEnded_ = true;
}

uint32_t BitReader::write(const uint8_t* data, uint32_t n) {
    n = std::min(n, freeBytes());
    for (uint32_t done = 0; done < n;) {
        uint32_t piece = std::min(n - done, size_ - writePos_);
        std::memcpy(ring_.get() + writePos_, data + done, piece);
        writePos_ = (writePos_ + piece) & (size_ - 1);
        done += piece;
    }
    held_ += n * 8;
    mirror();
    return n;
}

uint32_t BitReader::copyBytes(BitReader& from, uint32_t n) {
    n = std::min({n, freeBytes(), from.bitsHeld() / 8});
    uint8_t* ring = ring_.get();
    if ((from.readPos_ & 7) == 0) {
        // In pieces that cross neither ring's end.
        const uint8_t* src = from.ring_.get();
        uint32_t r = from.readPos_ >> 3;
        for (uint32_t done = 0; done < n;) {
            uint32_t piece = std::min({n - done, from.size_ - r, size_ - writePos_});
            std::memcpy(ring + writePos_, src + r, piece);
            writePos_ = (writePos_ + piece) & (size_ - 1);
            r = (r + piece) & (from.size_ - 1);
            done += piece;
        }
        from.skip(int32_t(n * 8));
    } else {
        for (uint32_t i = 0; i < n; ++i) {
            ring[writePos_] = uint8_t(from.read(8));
            writePos_ = (writePos_ + 1) & (size_ - 1);
        }
    }
    held_ += n * 8;
    mirror();
    return n;
}

void BitReader::makeRoom(uint32_t n) {
    uint32_t room = freeBytes();
    if (room >= n) return;
    // Dropping whole bytes from the read position keeps the bit offset.
    uint32_t drop = std::min((n - room) * 8, held_);
    skip(int32_t(drop));
}

uint16_t BitReader::crc16(uint32_t n, uint16_t crc) {
    for (; n >= 8; n -= 8) crc = uint16_t((crc << 8) ^ crcTable[(crc >> 8) ^ read(8)]);
    for (; n > 0; --n) {
        bool top = ((crc >> 15) ^ read(1)) & 1;
        crc = uint16_t(crc << 1);
        if (top) crc ^= 0x8005;
    }
    return crc;
}

} // namespace kalvo
