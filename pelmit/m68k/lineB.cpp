// Line B: CMP, CMPA, CMPM and EOR.
#include "pelmit/m68k/arithmetic.h"
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

namespace {

struct LineB {
    static constexpr uint32_t line = 0xB;

    static constexpr Family classify(uint32_t op) {
        Ea ea = eaSource(op);
        switch (opmodeOf(op)) {
        case 0: return isData(ea) ? Family::Cmp : Family::Illegal; // no byte from An
        case 1:
        case 2: return isMode(ea) ? Family::Cmp : Family::Illegal;
        case 3:
        case 7: return isMode(ea) ? Family::Cmpa : Family::Illegal;
        default:
            if (ea == Ea::AddrReg) return Family::Cmpm;
            return isDataAlterable(ea) ? Family::Eor : Family::Illegal;
        }
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        constexpr Ea ea = eaSource(Op);
        constexpr uint32_t opmode = opmodeOf(Op);
        if constexpr (f == Family::Cmp)
            return &aluIntoDataRegister<AluOp::Cmp, ea, OperandSize<Op>>;
        else if constexpr (f == Family::Cmpa)
            return &aluIntoAddressRegister<AluOp::Cmp, ea,
                                           std::conditional_t<opmode == 3, Word, Long>>;
        else if constexpr (f == Family::Cmpm)
            return &compareMemory<OperandSize<Op>>;
        else if constexpr (f == Family::Eor)
            return &aluIntoEffectiveAddress<AluOp::Eor, ea, OperandSize<Op>>;
        else
            return fallbackHandler<f>();
    }
};

} // namespace

const LineTable lineBTable = lineTableOf<LineB>;

} // namespace pelmit::m68k
