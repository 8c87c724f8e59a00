// Status icon, second spinner phase: the red arc at the bottom.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_SPIN2_XPM_H
#define VANTOR_ICON_SPIN2_XPM_H

static const char* spin2_xpm[] = {
    "15 15 4 1",
    "   m black c LightBlue3",
    ".  m black c black",
    "X  m white c white",
    "o  m white c #e66464",
    "      ...      ",
    "    ..XXX..    ",
    "  ..XXXXXXX..  ",
    "  .XXXXXXXXX.  ",
    " .XXXX...XXXX. ",
    " .XXX.XXX.XXX. ",
    ".XXX.XXXXX.XXX.",
    ".XXX.XXXXX.XXX.",
    ".XXX.XXXXX.XXX.",
    " .XXo.XXX.oXX. ",
    " .oooo...oooo. ",
    "  .ooooooooo.  ",
    "  ..ooooooo..  ",
    "    ..ooo..    ",
    "      ...      "
};

#endif
