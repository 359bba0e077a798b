| Jochen Hippel: BRA.S init, BRA.S play, then LEA (d16,PC),A0 to the tag that
| counts the subsongs. init calls set-up, which calls the routine that points
| A0 at `takeover`: the player zeroes that word, and the tune, finding it
| zero, leaves the timer interrupt alone and sounds; with the word left as it
| is in the file, it would stay silent.
| --defsym COSO=1: a "COSO" tag; --defsym COUNT=n: n subsongs in the tag.
        .include "tone.inc"
        .ifndef COUNT
        .set    COUNT, 2
        .endif
        .text
start:
        bra.s   init
        bra.s   play
        lea     tag(pc),a0
        rts
init:
        lea     subsong(pc),a1
        bsr.w   setup
        rts
setup:
        moveq   #0,d1
        bsr.w   mode
        tst.w   (a0)
        beq.s   1f
        clr.w   d0                  | taken over: silence
1:      move.w  d0,(a1)
        subq.w  #1,d0
        TONE_START
        rts
mode:
        lea     takeover(pc),a0
        rts
play:
        move.w  subsong(pc),d0
        bne.s   1f
        rts
1:      TONE_PLAY
        rts
subsong:
        .word   0
takeover:
        .word   1
        TONE_DATA
        .balign 4
tag:
        .ifdef  COSO
        .ascii  "COSO"
        .else
        .ascii  "TFMX"
        .endif
        .fill   12, 1, 0
        .word   COUNT
        .word   0
