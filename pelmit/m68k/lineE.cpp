// Line E: shifts and rotates of data registers and of memory words.
#include "pelmit/m68k/dispatch.h"
#include "pelmit/m68k/shifts.h"

namespace pelmit::m68k {

namespace {

struct LineE {
    static constexpr uint32_t line = 0xE;

    static constexpr Family classify(uint32_t op) {
        // Kind (AS, LS, ROX, RO) by direction: right, left.
        constexpr Family shifts[4][2] = {{Family::Asr, Family::Asl},
                                         {Family::Lsr, Family::Lsl},
                                         {Family::Roxr, Family::Roxl},
                                         {Family::Ror, Family::Rol}};
        uint32_t left = (op >> 8) & 1;
        if (sizeField(op) != 3) return shifts[(op >> 3) & 3][left];
        // Memory words shift by one; bit 11 set is no 68000 instruction.
        if ((op & 0x800) || !isMemoryAlterable(eaSource(op))) return Family::Illegal;
        return shifts[(op >> 9) & 3][left];
    }

    template <uint32_t Op>
    static constexpr Handler handler() {
        constexpr Family f = classify(Op);
        constexpr bool left = (Op >> 8) & 1;
        if constexpr (!executes(f)) {
            return fallbackHandler<f>();
        } else if constexpr (sizeField(Op) == 3) {
            return &shiftMemory<ShiftKind((Op >> 9) & 3), left, eaSource(Op)>;
        } else {
            constexpr ShiftKind kind = ShiftKind((Op >> 3) & 3);
            using S = OperandSize<Op>;
            if constexpr (Op & 0x20)
                return &shiftRegisterByRegister<kind, left, S>;
            else
                return &shiftRegisterByImmediate < kind, left, S, regHigh(Op) ? regHigh(Op) : 8 > ;
        }
    }
};

} // namespace

const LineTable lineETable = lineTableOf<LineE>;

} // namespace pelmit::m68k
