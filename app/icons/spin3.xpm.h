// Status icon, third spinner phase: the red arc at the top left.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_SPIN3_XPM_H
#define VANTOR_ICON_SPIN3_XPM_H

static const char* spin3_xpm[] = {
    "15 15 4 1",
    "   m black c LightBlue3",
    ".  m black c black",
    "X  m white c white",
    "o  m white c #e66464",
    "      ...      ",
    "    ..oXX..    ",
    "  ..oooXXXX..  ",
    "  .ooooXXXXX.  ",
    " .oooo...XXXX. ",
    " .ooo.XXX.XXX. ",
    ".ooo.XXXXX.XXX.",
    ".ooo.XXXXX.XXX.",
    ".ooo.XXXXX.XXX.",
    " .ooX.XXX.XXX. ",
    " .XXXX...XXXX. ",
    "  .XXXXXXXXX.  ",
    "  ..XXXXXXX..  ",
    "    ..XXX..    ",
    "      ...      "
};

#endif
