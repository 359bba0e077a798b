| Branches of every condition, DBcc loops, BSR, JSR, RTS and RTR, JMP through
| a table, LINK and UNLK, and CHK within its bounds (whose flags the 68000
| leaves undefined, so they are not kept).
    .include "harness.inc"
| BRANCH stores 0xFF at (%a3)+ when the branch is taken, 0 when not.
    .macro BRANCH condition
    st (%a3)
    b\condition 1f
    sf (%a3)
1:  addq.l #1,%a3
    .endm
    TEST_BEGIN
    lea data_start+64,%a3           | one byte per branch: taken or not
    move.w #0x00,%ccr
    bsr all_branches
    move.w #0x05,%ccr
    bsr all_branches
    move.w #0x0a,%ccr
    bsr all_branches
    move.w #0x0c,%ccr
    bsr all_branches
    | A DBF loop and DBcc that stop on their condition.
    moveq #0,%d1
    move.w #9,%d0
1:  addq.l #3,%d1
    dbf %d0,1b
    moveq #5,%d2
2:  subq.w #1,%d1
    tst.b %d2
    dbeq %d2,2b
    move.w #0,%ccr
    moveq #0,%d3
3:  addq.w #1,%d3
    dbmi %d4,3b
    | JSR through every control mode, JMP through a table.
    lea subroutine,%a4
    jsr (%a4)
    jsr 0(%a4)
    jsr subroutine
    jsr subroutine(%pc)
    moveq #2,%d5
    jsr -2(%a4,%d5.w)
    moveq #8,%d5
    lea jump_table,%a5
    move.l 0(%a5,%d5.w),%a6
    jmp (%a6)
back:
    | RTR restores the condition codes from the stack.
    pea after_rtr
    move.w #0x1f,-(%a7)
    rtr
after_rtr:
    move.w %sr,(%a0)+
    | LINK and UNLK around a frame.
    link %a2,#-16
    move.l %a7,%d6
    move.l #0x11223344,-4(%a2)
    move.l -4(%a2),(%a0)+
    unlk %a2
    | CHK in bounds.
    moveq #5,%d7
    chk #5,%d7
    chk %d7,%d7
    move.w #10,(%a0)
    chk (%a0)+,%d7
    move.l %d1,(%a0)+
    move.l %d2,(%a0)+
    TEST_END
    .text
subroutine:
    nop
    addq.l #1,%d4
    rts
jump_table:
    .long 0, 0, back, 0
all_branches:
    BRANCH hi
    BRANCH ls
    BRANCH cc.s
    BRANCH cs.w
    BRANCH ne
    BRANCH eq.w
    BRANCH vc
    BRANCH vs.w
    BRANCH pl
    BRANCH mi.w
    BRANCH ge
    BRANCH lt.w
    BRANCH gt
    BRANCH le.w
    bra.w 1f
    nop
1:  rts
