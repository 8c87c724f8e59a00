/* The procedure definitions a PostScript picture relies on, in eight sections. A picture
 * writes each section once, the first time one of its operators is used; the core section
 * always comes first. Free of X. */
#ifndef XOM_PS_PROLOG_H
#define XOM_PS_PROLOG_H

enum {
    XOM_PS_SECTION_CORE = 0,    /* paths, attributes, colour, rectangles, clip, background */
    XOM_PS_SECTION_CIRCLE = 1,  /* circles */
    XOM_PS_SECTION_ARC = 2,     /* elliptic arcs and pie slices */
    XOM_PS_SECTION_PATTERN = 3, /* hatched and dotted fills */
    XOM_PS_SECTION_MONO = 4,    /* one-bit and grey images */
    XOM_PS_SECTION_COLOR = 5,   /* colour images */
    XOM_PS_SECTION_FONT = 6,    /* font selection */
    XOM_PS_SECTION_TEXT = 7,    /* text placement */
    XOM_PS_SECTION_COUNT = 8
};

/* The definitions of one section, each line ending in a newline; null out of range. */
const char* XomPsSectionText(int section);

/* The section that defines the operator, or -1 when PostScript itself defines it. */
int XomPsOperatorSection(const char* name);

#endif
