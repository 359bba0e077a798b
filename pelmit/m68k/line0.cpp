// Line 0: immediate-operand instructions, bit operations and MOVEP.
#include "pelmit/m68k/bit_operations.h"
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/immediate.h"
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

    template <ImmediateOp O, uint32_t Op>
    static constexpr Handler immediate() {
        return &immediateOperation<O, SizeOf<Op>, eaSource(Op)>;
    }

    template <BitChange B, uint32_t Op>
    static constexpr Handler bit() {
        return &bitOperation<B, (Op & 0x100) == 0, eaSource(Op)>;
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        if constexpr (f == Family::Ori)
            return immediate<ImmediateOp::Or, Op>();
        else if constexpr (f == Family::Andi)
            return immediate<ImmediateOp::And, Op>();
        else if constexpr (f == Family::Subi)
            return immediate<ImmediateOp::Sub, Op>();
        else if constexpr (f == Family::Addi)
            return immediate<ImmediateOp::Add, Op>();
        else if constexpr (f == Family::Eori)
            return immediate<ImmediateOp::Eor, Op>();
        else if constexpr (f == Family::Cmpi)
            return immediate<ImmediateOp::Cmp, Op>();
        else if constexpr (f == Family::Btst)
            return bit<BitChange::Test, Op>();
        else if constexpr (f == Family::Bchg)
            return bit<BitChange::Change, Op>();
        else if constexpr (f == Family::Bclr)
            return bit<BitChange::Clear, Op>();
        else if constexpr (f == Family::Bset)
            return bit<BitChange::Set, Op>();
        else if constexpr (f == Family::Movep)
            return &movePeripheral<opmodeOf(Op)>;
        else if constexpr (f == Family::OriToCcr)
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
