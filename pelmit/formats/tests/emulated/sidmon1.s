| SidMon 1: an init routine of two LEA/ADDA.L pairs, a play routine that sets
| its flag and addresses the chip's audio registers, and a play routine that
| ends in a JMP abs.L past its final MOVEM. The player turns that JMP into an
| RTS; followed, it would silence the tune.
        .include "tone.inc"
        .text
start:
        bra.w   init
        bra.w   play
init:
        lea     offsets(pc),a0
        adda.l  4(a0),a0
        move.w  d0,d1
        nop
        nop
        lea     offsets(pc),a0
        adda.l  8(a0),a0
        moveq   #0,d0
        TONE_START
        rts
play:
        movem.l d0-d7/a0-a6,-(a7)
        lea     flag(pc),a0
        move.w  #1,(a0)
        moveq   #0,d0
        moveq   #0,d1
        lea     0xdff0a0,a2
        bsr.w   tick
        movem.l (a7)+,d0-d7/a0-a6
        jmp     (silence).l
tick:
        TONE_PLAY
        rts
silence:
        move.w  #0,0xdff0a8
        rts
        .balign 2
flag:
        .word   0
offsets:
        .long   0, 0, 0
        TONE_DATA
