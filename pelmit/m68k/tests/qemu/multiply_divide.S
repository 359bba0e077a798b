| MULU and MULS, DIVU and DIVS with quotients, remainders and overflows, in
| register, memory and immediate forms. After an overflow N and Z are left
| out of the flags kept: the 68000 does not define them.
    .include "harness.inc"
    .include "keep.inc"
    .text
overflow_mask:
    .word 0x0013
    .macro OVERFLOW_FLAGS
    move.w %sr,%d0
    and.w overflow_mask(%pc),%d0
    or.w %d0,(%a0)+
    .endm
    TEST_BEGIN
    KEEP "mulu.w %d2,%d2"           | 0xFFFF squared
    KEEP "muls.w %d6,%d5"           | -1 * -1
    KEEP "muls.w %d4,%d7"
    KEEP "mulu.w %d0,%d1"           | zero
    KEEP "divu.w %d4,%d7"           | quotient and remainder
    divu.w %d4,%d3                  | overflow
    OVERFLOW_FLAGS
    divs.w %d4,%d3                  | overflow (qemu itself traps on -2^31 / -1)
    OVERFLOW_FLAGS
    KEEP "divs.w %d4,%d6"
    KEEP "divs.w %d7,%d2"
    KEEP ".short 0xc6fc, 0x1234"    | mulu.w #0x1234,%d3
    KEEP ".short 0xcbfc, 0x8001"    | muls.w #0x8001,%d5
    .short 0x8afc, 0x0007           | divu.w #7,%d5
    OVERFLOW_FLAGS
    KEEP ".short 0x87fc, 0xfffd"    | divs.w #-3,%d3
    add.l %d5,(%a1)
    add.l %d5,4(%a1)
    KEEP "mulu.w (%a1),%d4"
    KEEP "muls.w (%a1)+,%d6"
    KEEP "divu.w (%a1)+,%d4"
    KEEP "divs.w 2(%a1),%d6"
    KEEP "mulu.w data_start+34,%d1"
    TEST_END
