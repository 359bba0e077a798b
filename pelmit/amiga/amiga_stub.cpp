// The resident 68000 program at 0x1000: the call frame, the command loop that
// enters the host's routines, the support block with its call table, and small
// imitations of the system library and the CIA-B resource. The repeated parts
// (support calls, library vectors) are generated here once, at compile time.
#include "pelmit/amiga/amiga_machine.h"

#include <cstddef>

namespace pelmit {

namespace {

constexpr uint32_t stubAddress = 0x1000;
constexpr uint32_t supportCallCount = 18;
constexpr uint32_t supportCallsAddress = 0x1114;
constexpr uint32_t libraryVectorsAddress = 0x12C4;
constexpr uint32_t libraryBase = 0x15FA;
constexpr uint32_t openResourceVector = libraryBase - 498;
constexpr uint32_t resourceLookup = 0x15FE;
constexpr uint32_t ciaResource = 0x162A;
constexpr uint16_t trapHigh = 0x00DF, trapLow = 0xF1FE; // 0xDFF1FE
constexpr uint16_t opJmpAbsL = 0x4EF9, opRts = 0x4E75;

// Entered at reset (0x1040): user mode and stack, then the command loop. A call
// takes the entry from the frame, loads the registers and "returns" into the
// routine; the routine's RTS lands at 0x1072, which stores the registers and
// ends the run through the trap register. The next run resumes at 0x1082.
constexpr uint16_t commandLoop[] = {
    0x6000, 0x000A,                 // 1040 bra.w 0x104c
    0x0000, 0x1088,                 // 1044 support block address
    0x0000, 0x15FA,                 // 1048 library base
    0x46FC, 0x0000,                 // 104c move #0,sr
    0x4FF9, 0x0007, 0xC000,         // 1050 lea 0x7c000,a7
    0x203A, 0xFFA8,                 // 1056 move.l 0x1000(pc),d0
    0x671E,                         // 105a beq.s 0x107a
    0x42B9, 0x0000, 0x1000,         // 105c clr.l 0x1000
    0x2F3C, 0x0000, 0x1072,         // 1062 move.l #0x1072,-(a7)
    0x2F00,                         // 1068 move.l d0,-(a7)
    0x4CFA, 0x7FFF, 0xFF96,         // 106a movem.l 0x1004(pc),d0-d7/a0-a6
    0x4E75,                         // 1070 rts
    0x48F9, 0x7FFF, 0x0000, 0x1004, // 1072 movem.l d0-d7/a0-a6,0x1004
    0x33FC, 0x00FF, 0x00DF, 0xF1FE, // 107a move.w #255,0xdff1fe
    0x4E71, 0x4E71,                 // 1082 nop; nop
    0x60CE,                         // 1086 bra.s 0x1056
};

// Behind the library vectors: the base returns 0; the resource lookup
// answers "ciab" with the CIA-B resource, whose vectors return 0 except the
// one that adds an interrupt: it hands the record's routine (18(A1)) to the
// host through 0x1004 and the trap value 18.
constexpr uint16_t libraryAndResource[] = {
    0x7000, 0x4E75,                         // 15fa moveq #0,d0; rts
    0x0C91, 0x6369, 0x6162,                 // 15fe cmpi.l #"ciab",(a1)
    0x6704,                                 // 1604 beq.s 0x160a
    0x7000, 0x4E75,                         // 1606 moveq #0,d0; rts
    0x203C, 0x0000, 0x162A, 0x4E75,         // 160a move.l #0x162a,d0; rts
    0x4EF9, 0x0000, 0x15FA,                 // 1612 base-24: jmp 0x15fa
    0x4EF9, 0x0000, 0x15FA,                 // 1618 base-18
    0x4EF9, 0x0000, 0x15FA,                 // 161e base-12
    0x4EF9, 0x0000, 0x162A,                 // 1624 base-6: jmp 0x162a
    0x23E9, 0x0012, 0x0000, 0x1004,         // 162a move.l 18(a1),0x1004
    0x33FC, 0x0012, 0x00DF, 0xF1FE, 0x7000, // 1632 move.w #18,0xdff1fe; moveq #0,d0
    0x4E75,                                 // 163c rts
};

struct StubWriter {
    AmigaStubTable words{};
    size_t at = 0;

    constexpr uint32_t address() const { return stubAddress + uint32_t(at) * 2; }
    constexpr void word(uint32_t w) { words[at++] = uint16_t(w); }
    constexpr void longWord(uint32_t l) {
        word(l >> 16);
        word(l & 0xFFFF);
    }
    constexpr void zeroUntil(uint32_t end) {
        while (address() < end) word(0);
    }
    template <size_t n>
    constexpr void copy(const uint16_t (&block)[n]) {
        for (uint16_t w : block) word(w);
    }
};

constexpr AmigaStubTable buildStub() {
    StubWriter s;
    s.zeroUntil(0x1040); // the call frame
    s.copy(commandLoop);
    s.zeroUntil(0x10C0); // support block, the part the player writes
    for (uint32_t n = 0; n < supportCallCount; ++n) s.longWord(supportCallsAddress + 24 * n);
    s.zeroUntil(supportCallsAddress);
    // Support call n: save the registers, tell the host n, restore them.
    for (uint32_t n = 0; n < supportCallCount; ++n) {
        s.copy({0x48F9, 0x7FFF, 0x0000, 0x1004});
        s.copy({0x33FC, uint16_t(n), trapHigh, trapLow});
        s.word(0x4CFA);
        s.word(0x7FFF);
        s.word(callRegistersAddress - s.address()); // PC-relative to 0x1004
        s.word(opRts);
    }
    while (s.address() < libraryBase) {
        s.word(opJmpAbsL);
        s.longWord(s.address() - 2 == openResourceVector ? resourceLookup : libraryBase);
    }
    s.copy(libraryAndResource);
    return s.words;
}

constexpr AmigaStubTable stubTable = buildStub();

// The layout the host and the tunes rely on.
static_assert(stubTable[(0x1040 - stubAddress) / 2] == 0x6000);
static_assert(stubTable[(supportCallsAddress + 20 - stubAddress) / 2] == 0xFEDC);
static_assert(stubTable[(libraryVectorsAddress - stubAddress) / 2] == opJmpAbsL);
static_assert(stubTable[(openResourceVector + 4 - stubAddress) / 2] == resourceLookup);
static_assert(stubTable[(libraryBase - stubAddress) / 2] == 0x7000);
static_assert(stubTable[(ciaResource - stubAddress) / 2] == 0x23E9);
static_assert(stubTable[amigaStubWords - 1] == opRts);

} // namespace

constinit const AmigaStubTable AmigaStub = stubTable;

} // namespace pelmit
