// Line 0: immediate-operand instructions, bit operations and MOVEP.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/system_control.h"

namespace pelmit::m68k {

namespace {

struct Line0 {
    static constexpr uint32_t line = 0;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        uint32_t size = sizeField(op);
        if (op & 0x100) {
            if (modeField(op) == 1) return Family::Movep;
            constexpr Family dynamic[] = {Family::Btst, Family::Bchg, Family::Bclr, Family::Bset};
            if (size == 0) return isData(ea) ? Family::Btst : Family::Illegal;
            return isDataAlterable(ea) ? dynamic[size] : Family::Illegal;
        }
        uint32_t operation = regHigh(op);
        if (operation == 4) {
            // Static bit operations; BTST #n,#<data> is accepted as well.
            constexpr Family bit[] = {Family::Btst, Family::Bchg, Family::Bclr, Family::Bset};
            if (size == 0) return isData(ea) ? Family::Btst : Family::Illegal;
            return isDataAlterable(ea) ? bit[size] : Family::Illegal;
        }
        if (operation == 7 || size == 3) return Family::Illegal;
        if (ea == Ea::Immediate && size < 2) {
            if (operation == 0) return size == 0 ? Family::OriToCcr : Family::OriToSr;
            if (operation == 1) return size == 0 ? Family::AndiToCcr : Family::AndiToSr;
            if (operation == 5) return size == 0 ? Family::EoriToCcr : Family::EoriToSr;
        }
        if (!isDataAlterable(ea)) return Family::Illegal;
        constexpr Family immediate[] = {Family::Ori,     Family::Andi, Family::Subi, Family::Addi,
                                        Family::Illegal, Family::Eori, Family::Cmpi};
        return immediate[operation];
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (f == Family::OriToCcr)
            return &immediateToCcr<BitOp::Or>;
        else if constexpr (f == Family::AndiToCcr)
            return &immediateToCcr<BitOp::And>;
        else if constexpr (f == Family::EoriToCcr)
            return &immediateToCcr<BitOp::Eor>;
        else if constexpr (f == Family::OriToSr)
            return &immediateToSr<BitOp::Or>;
        else if constexpr (f == Family::AndiToSr)
            return &immediateToSr<BitOp::And>;
        else if constexpr (f == Family::EoriToSr)
            return &immediateToSr<BitOp::Eor>;
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable line0Table = lineTableOf<Line0>;

} // namespace pelmit::m68k
