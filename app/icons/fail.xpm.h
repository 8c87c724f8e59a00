// Tool button, 18 by 20: Show failed: a red cross, outlined in black, over a yellow cable with green plugs.
#ifndef VANTOR_ICON_FAIL_XPM_H
#define VANTOR_ICON_FAIL_XPM_H

static const char* fail_xpm[] = {
    "18    20 5 1",
    ". c #c0c0c0",
    "Y c #ffff00",
    "R c #ff0000",
    "G c #00ff00",
    "K c #000000",
    "..................",
    "..KK..........KK..",
    ".KRRK........KRRK.",
    ".KRRRK......KRRRK.",
    "..KRRRK....KRRRK..",
    "...KRRRK..KRRRK...",
    "....KRRRKKRRRK....",
    ".....KRRRRRRK.....",
    "......KRRRRK......",
    "......KRRRRK......",
    ".....KRRRRRRK.....",
    "....KRRRKKRRRK....",
    "...KRRRK..KRRRK...",
    "..KRRRK....KRRRK..",
    ".KRRRK......KRRRK.",
    ".KRRK........KRRK.",
    "..KK..........KK..",
    "KKK............KKK",
    "GGKYYYYY..YYYYYKGG",
    "KKK............KKK"
};

#endif
