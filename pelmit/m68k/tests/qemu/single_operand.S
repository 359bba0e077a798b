| NEG, NEGX, NOT, CLR, TST, TAS and NBCD at every size on registers and
| memory, and ADDQ and SUBQ, each followed by its flags. NBCD leaves N and V
| undefined, so only X, Z and C of it are kept.
    .include "harness.inc"
    .include "steps.inc"
    TEST_BEGIN
    lea data_start+96,%a3           | flags, one word per step
    move.l #0x80000001,(%a0)
    move.l #0x00ff7f00,4(%a0)
    move.l #0x99012500,8(%a0)
    STEP "neg.b %d1"
    STEP "neg.w %d0"
    STEP "neg.l %d3"
    STEP "neg.w (%a0)"
    STEP "negx.b %d2"
    STEP "negx.w %d0"
    STEP "negx.l 4(%a0)"
    move.w #0x14,%ccr
    STEP "negx.b 3(%a0)"
    STEP "not.b %d4"
    STEP "not.w (%a0)+"
    STEP "not.l %d6"
    STEP "clr.b %d7"
    STEP "clr.w -(%a0)"
    STEP "clr.l 12(%a0)"
    STEP "tst.b 5(%a0)"
    STEP "tst.w %d5"
    STEP "tst.l (%a0)"
    STEP "tas 6(%a0)"
    STEP "tas 4(%a0)"
    STEP "tas %d2"
    | NBCD over a few digits, with X clear and set.
    lea 8(%a0),%a4
    moveq #3,%d6
1:  move.w #0x04,%ccr
    nbcd (%a4)+
    move.w %sr,%d0
    andi.w #0x15,%d0
    move.w %d0,(%a3)+
    dbf %d6,1b
    move.w #0x10,%ccr
    nbcd %d7
    move.w %sr,%d0
    andi.w #0x15,%d0
    move.w %d0,(%a3)+
    | ADDQ and SUBQ on data, address registers and memory.
    STEP "addq.b #1,%d1"
    STEP "addq.w #8,%d5"
    STEP "subq.l #1,%d3"
    addq.w #1,%a4
    STEP "subq.l #8,%a5"
    STEP "addq.l #3,16(%a0)"
    STEP "subq.b #2,20(%a0)"
    STEP "subq.w #1,(%a0)+"
    TEST_END
