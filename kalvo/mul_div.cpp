#include "kalvo/mul_div.h"

namespace kalvo {

int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t p = int64_t(a) * b;
    bool negative = (p < 0) != (c < 0);
    uint64_t up = p < 0 ? uint64_t(-p) : uint64_t(p);
    uint64_t uc = c < 0 ? uint64_t(-int64_t(c)) : uint64_t(c);
    uint64_t q = (up + uc / 2) / uc;
    if (q > (negative ? uint64_t(INT32_MAX) + 1 : uint64_t(INT32_MAX))) return -1;
    return negative ? int32_t(-int64_t(q)) : int32_t(q);
}

} // namespace kalvo
