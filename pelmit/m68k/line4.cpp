// Line 4: single-operand and miscellaneous instructions, the status-register
// moves, CHK and LEA, MOVEM, the traps, jumps and returns.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/movem.h"
#include "pelmit/m68k/program_flow.h"
#include "pelmit/m68k/register_operations.h"
#include "pelmit/m68k/single_operand.h"
#include "pelmit/m68k/system_control.h"

#include <type_traits>

namespace pelmit::m68k {

namespace {

// ILLEGAL (0x4AFC) and 0x4AFB: the illegal-instruction exception under a
// name of their own.
void illegalOpcode(uint32_t op) {
    illegalInstruction(op);
}

struct Line4 {
    static constexpr uint32_t line = 4;

    // 0x4E00-0x4EFF.
    static constexpr Family classifyControl(uint32_t op) {
        Ea ea = eaSource(op);
        switch (sizeField(op)) {
        case 1: break;
        case 2: return isControl(ea) ? Family::Jsr : Family::Illegal;
        case 3: return isControl(ea) ? Family::Jmp : Family::Illegal;
        default: return Family::Illegal; // 0x4E00-0x4E3F
        }
        switch ((op >> 3) & 7) {
        case 0:
        case 1: return Family::Trap;
        case 2: return Family::Link;
        case 3: return Family::Unlk;
        case 4: return Family::MoveToUsp;
        case 5: return Family::MoveFromUsp;
        case 6: {
            constexpr Family control[] = {Family::Reset,   Family::Nop, Family::Stop,  Family::Rte,
                                          Family::Illegal, Family::Rts, Family::Trapv, Family::Rtr};
            return control[op & 7];
        }
        default: return Family::Illegal;
        }
    }

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        uint32_t size = sizeField(op);
        if (op & 0x100) {
            if (size == 3) return isControl(ea) ? Family::Lea : Family::Illegal;
            if (size == 2) return isData(ea) ? Family::Chk : Family::Illegal;
            return Family::Illegal;
        }
        switch (regHigh(op)) {
        case 0:
            if (!isDataAlterable(ea)) return Family::Illegal;
            return size == 3 ? Family::MoveFromSr : Family::Negx;
        case 1: return size != 3 && isDataAlterable(ea) ? Family::Clr : Family::Illegal;
        case 2:
            if (size == 3) return isData(ea) ? Family::MoveToCcr : Family::Illegal;
            return isDataAlterable(ea) ? Family::Neg : Family::Illegal;
        case 3:
            if (size == 3) return isData(ea) ? Family::MoveToSr : Family::Illegal;
            return isDataAlterable(ea) ? Family::Not : Family::Illegal;
        case 4:
            switch (size) {
            case 0: return isDataAlterable(ea) ? Family::Nbcd : Family::Illegal;
            case 1:
                if (ea == Ea::DataReg) return Family::Swap;
                return isControl(ea) ? Family::Pea : Family::Illegal;
            default:
                if (ea == Ea::DataReg) return size == 2 ? Family::ExtW : Family::ExtL;
                return isControlAlterable(ea) || ea == Ea::PreDec ? Family::MovemToMemory
                                                                  : Family::Illegal;
            }
        case 5:
            if (size != 3) return isDataAlterable(ea) ? Family::Tst : Family::Illegal;
            if (op == 0x4AFB || op == 0x4AFC) return Family::IllegalOpcode;
            return isDataAlterable(ea) ? Family::Tas : Family::Illegal;
        case 6:
            if (size < 2) return Family::Illegal;
            return isControl(ea) || ea == Ea::PostInc ? Family::MovemFromMemory : Family::Illegal;
        default: return classifyControl(op);
        }
    }

    // The movem size is bit 6 (0 word, 1 long).
    template <uint32_t Op>
    using MovemSize = std::conditional_t<(Op & 0x40) != 0, Long, Word>;

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        constexpr Ea ea = eaSource(Op);
        if constexpr (f == Family::Negx)
            return &unaryOperation<UnaryOp::Negx, SizeOf<Op>, ea>;
        else if constexpr (f == Family::Clr)
            return &unaryOperation<UnaryOp::Clr, SizeOf<Op>, ea>;
        else if constexpr (f == Family::Neg)
            return &unaryOperation<UnaryOp::Neg, SizeOf<Op>, ea>;
        else if constexpr (f == Family::Not)
            return &unaryOperation<UnaryOp::Not, SizeOf<Op>, ea>;
        else if constexpr (f == Family::Tst)
            return &test<SizeOf<Op>, ea>;
        else if constexpr (f == Family::Tas)
            return &testAndSet<ea>;
        else if constexpr (f == Family::Nbcd)
            return &negateDecimalOperand<ea>;
        else if constexpr (f == Family::Chk)
            return &checkBounds<ea>;
        else if constexpr (f == Family::Lea)
            return &loadEffectiveAddress<ea>;
        else if constexpr (f == Family::Pea)
            return &pushEffectiveAddress<ea>;
        else if constexpr (f == Family::Swap)
            return &swapHalves;
        else if constexpr (f == Family::ExtW)
            return &extend<Word>;
        else if constexpr (f == Family::ExtL)
            return &extend<Long>;
        else if constexpr (f == Family::MovemToMemory)
            return &moveMultipleToMemory<MovemSize<Op>, ea>;
        else if constexpr (f == Family::MovemFromMemory)
            return &moveMultipleToRegisters<MovemSize<Op>, ea>;
        else if constexpr (f == Family::IllegalOpcode)
            return &illegalOpcode;
        else if constexpr (f == Family::Link)
            return &link;
        else if constexpr (f == Family::Unlk)
            return &unlink;
        else if constexpr (f == Family::Rts)
            return &returnFromSubroutine;
        else if constexpr (f == Family::Rtr)
            return &returnAndRestore;
        else if constexpr (f == Family::Jmp)
            return &jump<ea>;
        else if constexpr (f == Family::Jsr)
            return &jumpToSubroutine<ea>;
        else if constexpr (f == Family::MoveFromSr)
            return &moveFromSr<ea>;
        else if constexpr (f == Family::MoveToCcr)
            return &moveToCcr<ea>;
        else if constexpr (f == Family::MoveToSr)
            return &moveToSr<ea>;
        else if constexpr (f == Family::Trap)
            return &trap;
        else if constexpr (f == Family::Trapv)
            return &trapv;
        else if constexpr (f == Family::Nop)
            return &nop;
        else if constexpr (f == Family::Stop)
            return &stop;
        else if constexpr (f == Family::Reset)
            return &reset;
        else if constexpr (f == Family::Rte)
            return &rte;
        else if constexpr (f == Family::MoveToUsp)
            return &moveToUsp;
        else if constexpr (f == Family::MoveFromUsp)
            return &moveFromUsp;
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable line4Table = lineTableOf<Line4>;

} // namespace pelmit::m68k
