// Status icon, first spinner phase: the red arc at the top right.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_SPIN1_XPM_H
#define VANTOR_ICON_SPIN1_XPM_H

static const char* spin1_xpm[] = {
    "15 15 4 1",
    "   m black c LightBlue3",
    ".  m black c black",
    "X  m white c white",
    "o  m white c #e66464",
    "      ...      ",
    "    ..Xoo..    ",
    "  ..XXXoooo..  ",
    "  .XXXXooooo.  ",
    " .XXXX...oooo. ",
    " .XXX.XXX.ooo. ",
    ".XXX.XXXXX.ooo.",
    ".XXX.XXXXX.ooo.",
    ".XXX.XXXXX.ooo.",
    " .XXX.XXX.Xoo. ",
    " .XXXX...XXXX. ",
    "  .XXXXXXXXX.  ",
    "  ..XXXXXXX..  ",
    "    ..XXX..    ",
    "      ...      "
};

#endif
