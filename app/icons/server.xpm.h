// Tool button, 18 by 20: A server: a grey tower with a blue screen, a white glare and red, yellow and magenta lights.
#ifndef VANTOR_ICON_SERVER_XPM_H
#define VANTOR_ICON_SERVER_XPM_H

static const char* server_xpm[] = {
    "18    20 8 1",
    ". c #c0c0c0",
    "W c #ffffff",
    "R c #ff0000",
    "M c #ff00ff",
    "Y c #ffff00",
    "D c #808080",
    "b c #1407fe",
    "B c #0000ff",
    "..................",
    "...WWWWWWWWWWWD...",
    "...W.........DD...",
    "...W.DDDDDDD.DD...",
    "...W.DbbbbbW.DD...",
    "...W.DbWbbbW.DD...",
    "...W.DbbbbbW.DD...",
    "...W.DBBBBBW.DD...",
    "...W.DWWWWWW.DD...",
    "...W.........DD...",
    "...W.DDDDDDD.DD...",
    "...W.........DD...",
    "...W.DDDDDDD.DD...",
    "...W.........DD...",
    "...W.R..Y..M.DD...",
    "...W.........DD...",
    "...DDDDDDDDDDDD...",
    "....DDDDDDDDDDD...",
    "..................",
    ".................."
};

#endif
