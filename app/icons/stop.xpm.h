// Tool button, 18 by 20: Stop: a red square with a yellow highlight, on a green base line.
#ifndef VANTOR_ICON_STOP_XPM_H
#define VANTOR_ICON_STOP_XPM_H

static const char* stop_xpm[] = {
    "18    20 4 1",
    ". c #c0c0c0",
    "Y c #ffff00",
    "R c #ff0000",
    "G c #008000",
    "..................",
    "..................",
    "..................",
    "...RRRRRRRRRRRR...",
    "...RYYYYYYYYYRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RYRRRRRRRRRR...",
    "...RRRRRRRRRRRR...",
    "...RRRRRRRRRRRR...",
    "..................",
    "..................",
    "..GGGGGGGGGGGGGG..",
    ".................."
};

#endif
