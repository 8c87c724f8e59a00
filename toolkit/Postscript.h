/* Printing: what the drawing widgets below a widget show, written as a PostScript file.
 *
 * The page layout and the background are process-wide and stay set once changed. */
#ifndef XOM_POSTSCRIPT_H
#define XOM_POSTSCRIPT_H

#include <X11/Intrinsic.h>

/* Prints what the drawing widgets below w (or w itself) show into the file fileName as a
 * PostScript document: scale times the printable page (0 or less counts as 1). mode 0
 * fits the picture to the page, turned a quarter when that makes it larger; mode 2 prints
 * one pixel as scale points; any other mode fits it upright. A picture larger than the page
 * is tiled over several pages. flag 0 prints in colour (language level 2), 1 in grey levels
 * (level 1), any other in colour for level 1 printers with the CMYK extension. The file is
 * never written through a symbolic link. Returns 1 when the file was written, else 0 after
 * a warning. */
int XomOutputPostscript(Widget w, const char* fileName, double scale, int flag, int mode);
/* The same. */
int XomOutputCompositePostscript(Widget w, const char* fileName, double scale, int flag, int mode);

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
