| ADD, SUB, CMP, AND, OR, EOR in both directions and every size, the address
| forms ADDA, SUBA, CMPA, the extended forms ADDX, SUBX and CMPM. The flags
| of each are kept in the data area, which %a0 fills from the front. Word
| and long operands lie at even addresses.
    .include "harness.inc"
    .include "keep.inc"
    .text
constants:
    .long 0x80017ffe, 0x00000003, 0xfffe0001
    TEST_BEGIN
    KEEP "sub.l constants+2(%pc,%d4.w),%d6"
    KEEP "add.l %d7,%d6"            | 0xFFFFFFFF + 0x12345678: carry
    KEEP "add.w %d2,%d1"            | 0xFFFF + 1 in the low word
    KEEP "add.b %d7,%d5"            | 0xFF + 0x78
    KEEP "add.l %d3,%d3"            | 0x80000000 doubled: overflow, zero
    KEEP "add.w %a6,%d2"
    KEEP "sub.l %d4,%d0"            | 0 - 8
    KEEP "sub.w %d5,%d7"
    KEEP "sub.b %d7,%d4"
    KEEP "cmp.l %d6,%d5"
    KEEP "cmp.w %a4,%d2"
    KEEP "cmp.b %d1,%d0"
    KEEP "and.l %d7,%d6"
    KEEP "or.w %d3,%d4"
    KEEP "eor.b %d7,%d2"
    KEEP "eor.l %d6,%d6"            | Memory destinations: (An), (An)+, -(An), d16(An), d8(An,Xn), absolute.
    KEEP "add.l %d7,(%a1)"
    KEEP "sub.w %d7,(%a1)+"
    KEEP "or.b %d7,-(%a2)"
    KEEP "eor.b %d6,-(%a2)"
    KEEP "and.l %d5,-(%a2)"
    KEEP "eor.w %d7,4(%a1)"
    KEEP "add.b %d6,6(%a1,%d4.w)"
    KEEP "sub.l %d5,data_start+80"  | Memory sources, the PC-relative ones and immediates.
    KEEP "add.l (%a1),%d0"
    KEEP "sub.w (%a1)+,%d1"
    KEEP "cmp.l -(%a2),%d2"
    KEEP "and.w 2(%a1),%d3"
    KEEP "or.l -3(%a1,%d4.l),%d5"
    KEEP "eor.b %d5,data_start+81"
    KEEP "add.w constants(%pc),%d7"
    KEEP ".short 0xde7c, 0x8001"    | add.w #0x8001,%d7
    KEEP ".short 0x9cbc, 0x7fff, 0xffff" | sub.l #0x7fffffff,%d6
    KEEP ".short 0xb03c, 0x12ff"    | cmp.b #0xff,%d0 (high byte ignored)
    KEEP ".short 0xc47c, 0x00f0"    | and.w #0xf0,%d2
    KEEP ".short 0x82bc, 0x8000, 0x0001" | or.l #0x80000001,%d1
    | Address registers: no flags change, word sources are sign-extended.
    adda.w %d2,%a3
    adda.l %d7,%a4
    suba.w %a6,%a5
    suba.l (%a1),%a6
    KEEP "cmpa.w %d2,%a3"
    KEEP "cmpa.l %a4,%a5"
    .short 0xd6fc, 0x8000           | adda.w #0x8000,%a3
    | Extended arithmetic: Z only cleared, X carried.
    KEEP "addx.l %d7,%d6"
    KEEP "subx.w %d1,%d2"
    KEEP "addx.b %d0,%d0"
    KEEP "addx.l -(%a2),-(%a1)"
    KEEP "subx.b -(%a2),-(%a1)"
    KEEP "addx.b -(%a2),-(%a1)"
    KEEP "subx.w -(%a1),-(%a1)"
    KEEP "cmpm.l (%a1)+,(%a2)+"
    KEEP "cmpm.b (%a1)+,(%a1)+"
    exg %d0,%a6
    exg %d3,%d5
    exg %a3,%a5
    TEST_END
