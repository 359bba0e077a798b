| MOVE, MOVEA and MOVEQ through every addressing mode; MOVEM both ways,
| MOVEP, LEA, PEA, EXT and SWAP. The flags of each step are stored as well.
    .include "harness.inc"
    .include "steps.inc"
    TEST_BEGIN
    lea data_start+128,%a3          | where the flags go
    move.l %d7,(%a0)                | 12345678 at data_start
    move.b %d2,1(%a0)
    STEP "move.w %d3,%d0"
    STEP "move.b (%a0)+,%d0"
    STEP "move.b -(%a0),2(%a0,%d4.w)"
    move.w (%a0),%d1
    STEP "move.l 4(%a0),%d2"
    move.l %d5,-(%a1)
    STEP "move.w (%a1)+,-(%a1)"
    move.l (%a1)+,(%a1)+
    movea.w %d6,%a4
    movea.l %a0,%a5
    STEP "movea.w (%a0),%a6"
    STEP "move.l #0x80000000,12(%a0)"
    STEP "move.b #0,13(%a0)"
    move.w word_const(%pc),16(%a0)
    bra.s 1f
inline_table:
    .long 0xdeadbeef, 0xcafef00d, 0x01020304
1:  move.l inline_table-4(%pc,%d4.w),20(%a0)
    move.w %sr,(%a3)+
    move.l data_start+8,data_start+24
    move.w data_start+2,data_start+28
    STEP "moveq #-128,%d6"
    moveq #127,%d5
    STEP "moveq #0,%d7"
    | MOVEM: registers out, back in, and the -(An) order.
    movem.l %d0-%d2/%a4,32(%a0)
    movem.w %d0-%d3,48(%a0)
    lea 80(%a0),%a2
    movem.l %d5-%d6/%a0-%a1,-(%a2)
    movem.w 48(%a0),%d4-%d7
    movem.l (%a2)+,%a4-%a5
    movem.w %a4/%a5,-(%a2)
    movem.l movem_table(%pc),%d0/%a6
    | MOVEP to and from every other byte.
    movep.l %d7,81(%a0)
    movep.w %d6,90(%a0)
    movep.l 80(%a0),%d1
    movep.w 81(%a0),%d2
    | LEA, PEA, EXT, SWAP.
    lea -4(%a0,%d4.l),%a4
    lea word_const(%pc),%a5
    pea 3(%a0)
    move.l (%a7)+,96(%a0)
    pea (%a7)
    move.l (%a7)+,%d3
    STEP "ext.w %d6"
    STEP "ext.l %d6"
    STEP "ext.w %d2"
    STEP "swap %d5"
    STEP "swap %d0"
    TEST_END
    .text
word_const:
    .word 0x8001
movem_table:
    .long 0x11111111, 0x22222222
