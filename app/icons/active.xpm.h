// Tool button, 18 by 20: Show active: a lime tick, outlined in black, over a yellow cable with blue plugs.
#ifndef VANTOR_ICON_ACTIVE_XPM_H
#define VANTOR_ICON_ACTIVE_XPM_H

static const char* active_xpm[] = {
    "18    20 5 1",
    ". c #c0c0c0",
    "Y c #ffff00",
    "G c #00ff00",
    "B c #0000ff",
    "K c #000000",
    "..................",
    "..............KK..",
    ".............KGGK.",
    "............KGGGK.",
    "...........KGGGK..",
    "..........KGGGK...",
    ".........KGGGK....",
    "..KK....KGGGK.....",
    ".KGGK..KGGGK......",
    ".KGGGKKGGGK.......",
    "..KGGGGGGK........",
    "...KGGGGK.........",
    "....KGGK..........",
    ".....KK...........",
    "..................",
    "..................",
    "..................",
    "KKK............KKK",
    "BBKYYYYYYYYYYYYKBB",
    "KKK............KKK"
};

#endif
