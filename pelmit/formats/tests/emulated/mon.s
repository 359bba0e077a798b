| M.O.N.: a jump table of init, play and subsong start, and the start's check
| of the subsong number against the count byte (3) that the player reads.
        .include "tone.inc"
        .text
start:
        jmp     init(pc)
        jmp     play(pc)
        jmp     begin(pc)
        rts
init:
        rts
begin:
        lea     vars(pc),a5
        andi.l  #0xFF,d0
        move.w  d0,subsong-vars(a5)
        bra.w   1f
        nop
        subq.b  #1,d0               | the check, kept as the tunes have it
        cmp.b   count-vars(a5),d0
1:      subq.w  #1,d0
        TONE_START
        rts
play:
        TONE_PLAY
        rts
        .balign 2
vars:
subsong:
        .word   0
count:
        .byte   3, 0
        TONE_DATA
