// Tool button, 18 by 20: Update now: a blue circular arrow with a cyan inner edge around a yellow flash, outlined in black.
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
    "....KKBBBBBBKK.K..",
    "...KBBCCCCCCBBKBK.",
    "..KBCKK....KKCBBK.",
    "..KBCK......KBBBK.",
    ".KBCK......KBBBBK.",
    ".KBCK......KKKKKK.",
    ".KBCK....YY.......",
    ".KBCK...YYR.......",
    ".......YYRR...KBCK",
    ".......YRR....KBCK",
    "KKKKKK.......KBCK.",
    "KBBBBK......KBCK..",
    ".KBBBK.....KKCBK..",
    ".KBKBCKK..KKCBBK..",
    "..K.KBBCCCCCCBK...",
    ".....KKBBBBBBKK...",
    ".......KKKKKK.....",
    ".................."
};

#endif
