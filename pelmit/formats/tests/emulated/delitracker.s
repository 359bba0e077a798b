| A DeliTracker Custom player, linked at 0 and made a hunk file by the tests.
| By default: DeliBase, InitPlayer asking for 100 ticks a second, the subsong
| range from a routine (0-2), and StartInt handing its tick routine over
| through the "ciab" resource's AddICRVector.
| --defsym INTERRUPT=1: StartInt installs a level-6 handler at 0x78 instead,
|   and the range comes as three words (current 1, first 1, last 2).
| --defsym WALK=1: an Interrupt tag for the tick, InitSound for the tone, and
|   subsongs 1-3 (2 at first) found by NextSong/PrevSong; WRAP=1 makes
|   NextSong wrap round.
        .include "tone.inc"
        .text
start:
        moveq   #-1,d0
        rts
        .ascii  "DELIRIUM"
        .long   tags
tags:
        .long   0x80004455, 0               | a custom player
        .long   0x80004473, delibase
        .long   0x80004463, initplayer
        .ifdef  WALK
        .long   0x8000445E, tick
        .long   0x80004465, initsound
        .long   0x8000446F, nextsong
        .long   0x80004470, prevsong
        .else
        .long   0x80004467, startint
        .ifdef  INTERRUPT
        .long   0x80004472, range
        .else
        .long   0x80004462, subsongrange
        .endif
        .endif
        .long   0, 0

delibase:
        .long   0

initplayer:
        move.l  delibase(pc),a0
        .ifdef  WALK
        move.w  #2,44(a0)
        .else
        .ifndef INTERRUPT
        move.w  #7093,54(a0)                | 100 ticks a second
        .endif
        .endif
        moveq   #0,d0
        rts

        .ifdef  WALK
initsound:
        move.l  delibase(pc),a0
        move.w  44(a0),d0
        subq.w  #1,d0
        TONE_START
        rts
nextsong:
        move.l  delibase(pc),a0
        .ifdef  WRAP
        addq.w  #1,44(a0)
        cmpi.w  #4,44(a0)
        bne.s   1f
        move.w  #1,44(a0)
        .else
        cmpi.w  #3,44(a0)
        beq.s   1f
        addq.w  #1,44(a0)
        .endif
1:      rts
prevsong:
        move.l  delibase(pc),a0
        cmpi.w  #1,44(a0)
        beq.s   1f
        subq.w  #1,44(a0)
1:      rts
        .else
subsongrange:
        moveq   #0,d0
        moveq   #2,d1
        rts
range:
        .word   1, 1, 2
startint:
        move.l  delibase(pc),a0
        move.w  44(a0),d0
        .ifdef  INTERRUPT
        subq.w  #1,d0
        .endif
        TONE_START
        .ifdef  INTERRUPT
        move.l  #handler,0x78.w
        .else
        move.l  4.w,a6
        lea     ciabname(pc),a1
        jsr     -498(a6)                    | OpenResource
        move.l  d0,a6
        lea     icr(pc),a1
        moveq   #0,d0
        jsr     -6(a6)                      | AddICRVector
        .endif
        rts
handler:
        movem.l d0/a0-a1,-(a7)
        TONE_PLAY
        movem.l (a7)+,d0/a0-a1
        rte
        .endif

tick:
        TONE_PLAY
        rts

        .balign 2
icr:
        .long   0, 0                        | node
        .byte   2, 0
        .long   ciabname
        .long   0                           | is_Data
        .long   tick                        | is_Code
ciabname:
        .asciz  "ciab.resource"
        TONE_DATA
