// Tool button, 18 by 20: Update now: a blue ring of two arrows, outlined in black, around a yellow and red spot.
#ifndef VANTOR_ICON_UPDATE_XPM_H
#define VANTOR_ICON_UPDATE_XPM_H

static const char* update_xpm[] = {
    "18    20 6 1",
    ". c #c0c0c0",
    "Y c #ffff00",
    "R c #ff0000",
    "C c #00ffff",
    "B c #0000ff",
    "K c #000000",
    "..................",
    "......KKKKKK......",
    "....KKBBBBBBKK....",
    "...KBBCCCCCCBBK...",
    "..KBCKK....KKCBK..",
    "..KBK........KBK..",
    ".KBCK.......KKBBKK",
    ".KBK........KBBBBK",
    ".KBK.........KBBK.",
    ".KBK....YY....KK..",
    "..KK...YRRY...KBK.",
    ".KBBK...YY....KBK.",
    "KBBBBK........KBK.",
    "KKBBKK.......KCBK.",
    "..KBK........KBK..",
    "..KBCKK....KKCBK..",
    "...KBBCCCCCCBBK...",
    "....KKBBBBBBKK....",
    "......KKKKKK......",
    ".................."
};

#endif
