// Tool button, 18 by 20: Start: a green play triangle, outlined in blue, with a yellow glint and a red base line.
#ifndef VANTOR_ICON_START_XPM_H
#define VANTOR_ICON_START_XPM_H

static const char* start_xpm[] = {
    "18    20 5 1",
    ". c #c0c0c0",
    "Y c #ffff00",
    "R c #ff0000",
    "G c #008000",
    "B c #0000ff",
    "..................",
    "..................",
    "...BB.............",
    "...BGBB...........",
    "...BYGGBB.........",
    "...BYGGGGBB.......",
    "...BYGGGGGGBB.....",
    "...BYGGGGGGGGBB...",
    "...BYGGGGGGGGGGB..",
    "...BYGGGGGGGGGGGB.",
    "...BYGGGGGGGGGGGB.",
    "...BGGGGGGGGGGGB..",
    "...BGGGGGGGGGBB...",
    "...BGGGGGGGBB.....",
    "...BGGGGGBB.......",
    "...BGGGBB.........",
    "...BGBB...........",
    "...BB.............",
    "..RRRRRRRRRRRRRR..",
    ".................."
};

#endif
