| Delta Music 2.0: one routine at the start, called with D0 = 2 and then 1
| (D1 = 63) to set up, and with D0 = 0 on every tick; ".FNL" at 3014.
        .include "tone.inc"
        .text
start:
        tst.l   d0
        beq.s   play
        subq.l  #1,d0
        beq.s   begin
        rts
begin:
        moveq   #0,d0
        TONE_START
        rts
play:
        TONE_PLAY
        rts
        TONE_DATA
        .org    3014
        .ascii  ".FNL"
        .word   0
