// Status icon, connection lost or new failed connections: a red warning triangle.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_NEW_REJECTION_XPM_H
#define VANTOR_ICON_NEW_REJECTION_XPM_H

static const char* new_rejection_xpm[] = {
    "15 15 4 1",
    "   m black c LightBlue3",
    ".  m black c black",
    "X  m white c white",
    "o  m black c #e66464",
    "               ",
    "       .       ",
    "      ...      ",
    "      .o.      ",
    "     .ooo.     ",
    "     .oXo.     ",
    "    .ooXoo.    ",
    "   ..ooXoo..   ",
    "   .oooXooo.   ",
    "  ..oooXooo..  ",
    "  .ooooooooo.  ",
    " .oooooXooooo. ",
    " .ooooooooooo. ",
    "...............",
    "               "
};

#endif
