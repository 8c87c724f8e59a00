// Row icon of a connection of kind 4: a green disc with a black outline.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_PAUSE_CONN_XPM_H
#define VANTOR_ICON_PAUSE_CONN_XPM_H

static const char* pause_conn_xpm[] = {
    "22 22 3 1",
    "  c LightBlue3",
    "g c green",
    ". c black",
    "                      ",
    "                      ",
    "                      ",
    "       ........       ",
    "      ..gggggg..      ",
    "     .gggggggggg.     ",
    "    .gggggggggggg.    ",
    "   ..gggggggggggg..   ",
    "   .gggggggggggggg.   ",
    "   .gggggggggggggg.   ",
    "   .gggggggggggggg.   ",
    "   .gggggggggggggg.   ",
    "   .gggggggggggggg.   ",
    "   .gggggggggggggg.   ",
    "   ..gggggggggggg..   ",
    "    .gggggggggggg.    ",
    "     .gggggggggg.     ",
    "      ..gggggg..      ",
    "       ........       ",
    "                      ",
    "                      ",
    "                      "
};

#endif
