/* Printing: what the drawing widgets below a widget show, written as a PostScript file.
 *
 * The page layout and the background are process-wide and stay set once changed. */
#ifndef XOM_POSTSCRIPT_H
#define XOM_POSTSCRIPT_H

#include <X11/Intrinsic.h>

/* No background: the picture's empty parts stay unpainted. */
#define XOM_PS_NO_BACKGROUND (~(Pixel)0)

/* Sets the page size in inches; the first argument is not used. */
void XomPostscriptSetDefaults(int resolution, double width, double height);
/* The resolution (300) and the page size in inches. */
void XomPostscriptGetDefaults(int* resolution, double* width, double* height);

/* The pixel the whole picture is filled with before drawing, or XOM_PS_NO_BACKGROUND. */
void XomPostscriptSetBackground(Pixel background);
Pixel XomPostscriptGetBackground(void);

#endif
