| Condition-code immediates and the status-register moves of user mode.
    .include "harness.inc"
    TEST_BEGIN
    ori.b #0x1f,%ccr
    move.w %sr,%d0
    andi.b #0x0a,%ccr
    move.w %sr,(%a0)
    eori.b #0x13,%ccr
    move.w %sr,(%a0)+
    move.w #0xffe4,%ccr
    move.w %sr,-(%a1)
    move.w %d6,%ccr
    move.w %sr,6(%a0)
    move.w %d1,%ccr
    move.w %sr,8(%a0,%d4.w)
    move.w %sr,data_start+40
    move.w (%a2),%ccr               | zero from the data area
    move.w %sr,%d2
    move.w ccr_word(%pc),%ccr
    move.w %sr,%d3
    nop
    TEST_END
    .text
ccr_word:
    .word 0x0015
