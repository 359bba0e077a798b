// Line 6: BRA, BSR and Bcc.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/program_flow.h"

namespace pelmit::m68k {

namespace {

struct Line6 {
    static constexpr uint32_t line = 6;

    static constexpr Family classify(uint32_t op) {
        switch ((op >> 8) & 15) {
        case 0: return Family::Bra;
        case 1: return Family::Bsr;
        default: return Family::Bcc;
        }
    }

    // Two handlers for each condition: the word displacement (low byte 0) and
    // the 255 byte displacements.
    template <uint32_t Op>
    static constexpr Handler handler() {
        return &branch<(Op >> 8) & 15, (Op & 0xFF) == 0>;
    }
};

} // namespace

const LineTable line6Table = lineTableOf<Line6>;

} // namespace pelmit::m68k
