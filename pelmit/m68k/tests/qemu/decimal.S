| ABCD and SBCD on registers and on memory strings of decimal digits,
| carrying X through a chain and keeping Z only while every byte is zero.
| N and V are left out of the flags kept: the 68000 does not define them.
    .include "harness.inc"
    .text
flag_mask:
    .word 0x0015
numbers:
    .long 0x12345678, 0x98765432, 0x00000001, 0x00000002
    .macro FLAGS
    move.w %sr,%d3
    and.w flag_mask(%pc),%d3
    or.w %d3,(%a0)+
    .endm
    .macro CLEAR_X_SET_Z
    eor.l %d3,%d3
    add.l %d3,%d3
    .endm
    TEST_BEGIN
    abcd %d4,%d1                    | 0x01 + 0x08
    FLAGS
    abcd %d7,%d7                    | 0x78 + 0x78: carry
    FLAGS
    abcd %d1,%d7                    | 0x56 + 0x09 + X
    FLAGS
    sbcd %d1,%d0                    | 0x00 - 0x09: borrow
    FLAGS
    sbcd %d0,%d0                    | 0x91 - 0x91 - X
    FLAGS
    sbcd %d4,%d7
    FLAGS
    | 12345678 + 98765432, then 00000001 - 00000002, lowest byte first.
    eor.l %d3,%d3
    or.l numbers(%pc),%d3
    or.l %d3,-4(%a1)
    eor.l %d3,%d3
    or.l numbers+4(%pc),%d3
    or.l %d3,-4(%a2)
    eor.l %d3,%d3
    or.l numbers+8(%pc),%d3
    or.l %d3,-8(%a1)
    eor.l %d3,%d3
    or.l numbers+12(%pc),%d3
    or.l %d3,-8(%a2)
    CLEAR_X_SET_Z
    .rept 4
    abcd -(%a2),-(%a1)
    FLAGS
    .endr
    CLEAR_X_SET_Z
    .rept 4
    sbcd -(%a2),-(%a1)
    FLAGS
    .endr
    | Pairs of bytes of one string: equal pairs keep Z.
    CLEAR_X_SET_Z
    .rept 3
    sbcd -(%a1),-(%a1)
    FLAGS
    .endr
    abcd -(%a7),-(%a7)
    FLAGS
    TEST_END
