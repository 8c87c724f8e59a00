// Status icon, monitoring stopped: a blue disc with a white "i".
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
// The figure is royal blue: the X colour database knows no plain "royal".
#ifndef VANTOR_ICON_LAST_REJECTION_XPM_H
#define VANTOR_ICON_LAST_REJECTION_XPM_H

static const char* last_rejection_xpm[] = {
    "15 15 4 1",
    "   m black c LightBlue3",
    ".  m black c black",
    "X  m white c white",
    "o  m black c royal blue",
    "      ...      ",
    "    ..ooo..    ",
    "  ..ooooooo..  ",
    "  .ooooXoooo.  ",
    " .oooooXooooo. ",
    " .ooooooooooo. ",
    ".oooooXXoooooo.",
    ".ooooooXoooooo.",
    ".ooooooXoooooo.",
    " .oooooXooooo. ",
    " .ooooXXXoooo. ",
    "  .ooooooooo.  ",
    "  ..ooooooo..  ",
    "    ..ooo..    ",
    "      ...      "
};

#endif
