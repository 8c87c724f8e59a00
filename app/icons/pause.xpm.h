// Status icon, monitoring paused: white pause bars on a red disc.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_PAUSE_XPM_H
#define VANTOR_ICON_PAUSE_XPM_H

static const char* pause_xpm[] = {
    "15 15 4 1",
    "   m black c LightBlue3",
    ".  m black c black",
    "X  m white c white",
    "o  m white c #e66464",
    "      ...      ",
    "    ..ooo..    ",
    "  ..ooooooo..  ",
    "  .ooooooooo.  ",
    " .oooXXoXXooo. ",
    " .oooXXoXXooo. ",
    ".ooooXXoXXoooo.",
    ".ooooXXoXXoooo.",
    ".ooooXXoXXoooo.",
    " .oooXXoXXooo. ",
    " .oooXXoXXooo. ",
    "  .ooooooooo.  ",
    "  ..ooooooo..  ",
    "    ..ooo..    ",
    "      ...      "
};

#endif
