| The benchmark's tune: the emulated Amiga's typical replay routine (a row of
| four notes every sixth tick, vibrato and volume slides between) as a Delta
| Music 2.0 file, so that it is played through the player.
        .include "replay.s"
        .org    3014
        .ascii  ".FNL"
        .word   0
