// Line F: every word takes the line-F exception.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct LineF {
    static constexpr uint32_t line = 0xF;

    static constexpr Family classify(uint32_t) { return Family::LineF; }

    template <uint32_t Op>
    static constexpr Handler handler() {
        return fallbackHandler<Family::LineF>();
    }
};

} // namespace

const LineTable lineFTable = lineTableOf<LineF>;

} // namespace pelmit::m68k
