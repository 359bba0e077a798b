// Line A: every word takes the line-A exception.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct LineA {
    static constexpr uint32_t line = 0xA;

    static constexpr Family classify(uint32_t) { return Family::LineA; }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<Family::LineA>();
    }
};

} // namespace

const LineTable lineATable = lineTableOf<LineA>;

} // namespace pelmit::m68k
