// Tool button, 18 by 20: Pause: two blue bars with yellow highlights between a green and a red mark.
#ifndef VANTOR_ICON_PAUSED_XPM_H
#define VANTOR_ICON_PAUSED_XPM_H

static const char* paused_xpm[] = {
    "18    20 5 1",
    ". c #c0c0c0",
    "Y c #ffff00",
    "R c #ff2d06",
    "B c #1407fe",
    "G c #008000",
    "..................",
    "..................",
    "...BBBBB..BBBBB...",
    "...BYYBB..BYYBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BYBBB..BYBBB...",
    "...BBBBB..BBBBB...",
    "..................",
    "..GGGGGG..RRRRRR..",
    ".................."
};

#endif
