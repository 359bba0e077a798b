// Changes of the program counter: BRA, BSR and Bcc; JMP and JSR; RTS and
// RTR; and the frame instructions LINK and UNLK. Every new program counter,
// relative branches included, goes through setPc, so that a target outside
// the current program region selects its own region or ends the run.
#pragma once

#include "pelmit/m68k/forms.h"

namespace pelmit::m68k {

// Condition 0 is BRA and 1 BSR; 2-15 are the conditional branches. The long
// form (Long) has its displacement in the word after the opcode, the short
// form in the opcode's low byte; both count from the opcode's address + 2.
template <uint32_t C, bool Long>
void branch(uint32_t op) {
    RunState& r = runState;
    if constexpr (C >= 2) {
        if (!testCondition(C)) {
            if constexpr (Long) r.ip += 2;
            charge(Long ? 12 : 8);
            return;
        }
    }
    uint32_t base = currentPc();
    uint32_t target = base + (Long ? signExtend<Word>(fetchWord()) : signExtend<Byte>(op));
    if constexpr (C == 1) {
        uint32_t next = currentPc();
        setPc(target);
        pushLong(next);
        charge(18);
    } else {
        setPc(target);
        charge(10);
    }
}

// The published times of JMP; JSR adds 8 for its push.
template <Ea M>
constexpr int32_t jumpCycles() {
    return controlCycles<M>({8, 10, 14, 10, 12, 10, 14});
}

template <Ea M>
void jump(uint32_t op) {
    setPc(controlAddress<M>(regLow(op)));
    charge(jumpCycles<M>());
}

// The target is formed before A7 moves, so JSR (A7) goes where A7 pointed.
template <Ea M>
void jumpToSubroutine(uint32_t op) {
    uint32_t target = controlAddress<M>(regLow(op));
    uint32_t next = currentPc();
    setPc(target);
    pushLong(next);
    charge(jumpCycles<M>() + 8);
}

inline void returnFromSubroutine(uint32_t) {
    setPc(popLong());
    charge(16);
}

// RTR loads the condition codes from the stacked word and leaves the system
// byte alone; it is not privileged.
inline void returnAndRestore(uint32_t) {
    uint32_t& sp = cpuState.regs[15];
    uint32_t ccrWord = memReadWord(sp);
    sp += 2;
    setCcr(ccrWord);
    setPc(popLong());
    charge(20);
}

// LINK A7 pushes A7 as it was before the push.
inline void link(uint32_t op) {
    uint32_t displacement = signExtend<Word>(fetchWord());
    uint32_t* a = cpuState.addressRegs();
    uint32_t reg = regLow(op);
    pushLong(a[reg]);
    a[reg] = a[7];
    a[7] += displacement;
    charge(16);
}

// UNLK A7 leaves A7 holding the long it popped.
inline void unlink(uint32_t op) {
    uint32_t* a = cpuState.addressRegs();
    uint32_t reg = regLow(op);
    a[7] = a[reg];
    a[reg] = popLong();
    charge(12);
}

} // namespace pelmit::m68k
