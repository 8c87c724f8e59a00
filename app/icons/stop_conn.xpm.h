// Row icon of a connection of kind 3: a red cross with a grey shadow.
// "LightBlue3" is the transparent background: it takes the colour of the widget behind.
#ifndef VANTOR_ICON_STOP_CONN_XPM_H
#define VANTOR_ICON_STOP_CONN_XPM_H

static const char* stop_conn_xpm[] = {
    "22 22 3 1",
    "  c LightBlue3",
    "r c red",
    "s c grey50",
    "                      ",
    "                      ",
    "                      ",
    "   rr           rr    ",
    "   rrr         rrrs   ",
    "    rrr       rrrss   ",
    "     rrr     rrrss    ",
    "      rrr   rrrss     ",
    "       rrr rrrss      ",
    "        rrrrrss       ",
    "         rrrss        ",
    "        rrrrr         ",
    "       rrrsrrr        ",
    "      rrrss rrr       ",
    "     rrrss   rrr      ",
    "    rrrss     rrr     ",
    "   rrrss       rrr    ",
    "   rrss         rrs   ",
    "    ss           ss   ",
    "                      ",
    "                      ",
    "                      "
};

#endif
