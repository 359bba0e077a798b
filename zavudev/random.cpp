#include "zavudev/random.h"

namespace zavudev {

int CrtRandom::next() {
    seed = seed * 214013u + 2531011u;
    return int((seed >> 16) & 0x7FFF);
}

namespace {

// A signed word's arithmetic right shift by one, carried out on its bits.
uint32_t halve(uint32_t v) {
    return uint32_t(int32_t(v) >> 1);
}

} // namespace

void stepRandom(RandomWords& w) {
    // Unsigned arithmetic: the sums wrap modulo 2^32 by design.
    uint32_t a = uint32_t(w.a);
    uint32_t b = uint32_t(w.b);
    uint32_t carry = (w.a < 0 && (b & 1)) ? 1 : 0;
    uint32_t newA = a + carry + halve(b) + ((b & 1) << 31);
    carry = ((newA & 1) && w.b < 0) ? 1 : 0;
    uint32_t newB = b + carry + halve(newA) + ((newA & 1) << 31);
    w.a = int32_t(newA);
    w.b = int32_t(newB);
}

RandomWords seedWords(CrtRandom& crt) {
    RandomWords w;
    uint32_t r1 = uint32_t(crt.next());
    uint32_t r2 = uint32_t(crt.next());
    w.a = int32_t(r1 + 0x01234567u);
    w.b = int32_t(r2 - 0x76543211u);
    return w;
}

} // namespace zavudev
