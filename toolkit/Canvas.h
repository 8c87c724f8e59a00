/* The drawing canvas: the one device through which every drawing widget and graphic object
 * draws, so that what is printed is what is shown.
 *
 * A canvas is a record (offset, clip, current line, fill and text attributes, size, colour
 * table) plus a table of device operations, XomCanvasOps, in a fixed slot order. Drawing
 * code calls the XomCanvas... functions below: they take coordinates in the caller's
 * pixels, add the canvas offset, keep the clip inside the canvas's bound and store the
 * attributes in the record, then call the device's slot with device pixels. A device sees
 * only device pixels, already-set attributes and plain data:
 *
 * - coordinates are ints and may lie far outside any X window (a table's rows at
 *   3,000,000 pixels): the X device cuts what it sends to the server, the others need not;
 * - colours are pixels; a device that is not the screen turns them into RGB through the
 *   canvas's colour table (XomCanvasPixelToRgb);
 * - text comes with its font's metrics (XFontStruct, client-side data) and the font's name,
 *   so every device places and measures text the same way (XomCanvasTextWidth);
 * - images are XImages, pixmaps are read by the device when it needs their bits.
 *
 * Devices: the X canvas (CanvasX.cpp, the only toolkit file that calls Xlib drawing
 * functions) draws into a window or pixmap; the PostScript canvas fills the same table
 * with procedures that write PostScript operators; tests record the calls. A new device
 * writes one static XomCanvasOps, keeps its own state behind `device`, and creates its
 * canvas with XomCanvasCreate; a NULL slot means the device ignores that operation. */
#ifndef XOM_CANVAS_H
#define XOM_CANVAS_H

#include <X11/Xlib.h>
#include <Xm/Xm.h>

#include "toolkit/Xom.h"

typedef struct _XomCanvasRec* XomCanvas;

/* Line attributes: LineStyle values (line_none draws no lines), width 0 is one pixel,
 * cap and join are X's CapButt.../JoinMiter... values, dashes of dashLength pixels. */
typedef struct {
    Pixel color;
    int width;
    int style;
    int cap;
    int join;
    int dashLength;
} XomLineAttributes;

/* Fill attributes: FillStyle values (fill_none fills nothing). Stippled styles use the
 * stipple bitmap (X bitmap bit order, rows padded to bytes), or a 50% grey when it is
 * NULL; an opaque stipple paints its clear bits in background. */
typedef struct {
    Pixel color;
    Pixel background;
    int style;
    const unsigned char* stipple;
    int stippleWidth, stippleHeight;
} XomFillAttributes;

/* Text attributes: the font's metrics (NULL: a cell of 6 by 13 pixels, ascent 10) and the
 * name it was loaded by, for devices that choose their own font. */
typedef struct {
    Pixel color;
    XFontStruct* font;
    const char* fontName;
} XomTextAttributes;

/* The device operations, in this slot order. All coordinates are device pixels. */
typedef struct {
    void (*destroy)(XomCanvas c);
    void (*setClip)(XomCanvas c, const XomArea* clip);
    void (*removeClip)(XomCanvas c);
    void (*doubleBuffer)(XomCanvas c, Boolean on);
    void (*swapBuffers)(XomCanvas c);
    void (*flush)(XomCanvas c);
    /* narrows the clip in force to box for the drawing up to popClip, which puts the old
     * one back; False (and nothing to pop) when nothing of box can be seen */
    Boolean (*pushClip)(XomCanvas c, const XomArea* box);
    void (*popClip)(XomCanvas c);
    void (*line)(XomCanvas c, int x1, int y1, int x2, int y2);
    void (*rectangle)(XomCanvas c, const XomArea* r);
    void (*fillRectangle)(XomCanvas c, const XomArea* r);
    void (*roundRectangle)(XomCanvas c, const XomArea* r, int radius);
    void (*fillRoundRectangle)(XomCanvas c, const XomArea* r, int radius);
    void (*polyline)(XomCanvas c, const XomPoint* points, int count);
    void (*polygon)(XomCanvas c, const XomPoint* points, int count); /* filled */
    /* the box a text covers with its baseline starting at x, y, filled */
    void (*textPolygon)(XomCanvas c, int x, int y, const char* text, int length);
    /* angles in 64ths of a degree, counter-clockwise from three o'clock, as in X */
    void (*arc)(XomCanvas c, const XomArea* box, int angle1, int angle2);
    void (*fillArc)(XomCanvas c, const XomArea* box, int angle1, int angle2);
    /* text with its baseline starting at x, y */
    void (*text)(XomCanvas c, int x, int y, const char* text, int length);
    /* text placed by alignment (ColumnAlignment) inside box, cut to it */
    void (*restrictedText)(XomCanvas c, const XomArea* box, const char* text, int length,
                           int alignment);
    void (*compoundText)(XomCanvas c, const XomArea* box, XmString text, XmFontList fonts,
                         int alignment);
    void (*image)(XomCanvas c, XImage* image, int srcX, int srcY, const XomArea* target);
    /* depth 1 draws the set bits in the line colour */
    void (*pixmap)(XomCanvas c, Pixmap pixmap, int depth, int srcX, int srcY,
                   const XomArea* target);
    /* the whole image or pixmap scaled to the target */
    void (*mappedImage)(XomCanvas c, XImage* image, const XomArea* target);
    void (*mappedPixmap)(XomCanvas c, Pixmap pixmap, int depth, int width, int height,
                         const XomArea* target);
    void (*setLineAttributes)(XomCanvas c, const XomLineAttributes* line);
    void (*setFillAttributes)(XomCanvas c, const XomFillAttributes* fill);
    void (*setTextAttributes)(XomCanvas c, const XomTextAttributes* text);
} XomCanvasOps;

/* Turns pixels into RGB for devices other than the screen: a true-colour visual gives the
 * pixel's own bits, any other the colormap's cells read once. */
typedef struct {
    Boolean trueColor;
    unsigned long redMask, greenMask, blueMask;
    int count;
    XColor* cells;
} XomColorTable;

/* The canvas record. Devices read it; drawing code uses the functions below. */
struct _XomCanvasRec {
    const XomCanvasOps* ops;
    void* device;                /* the device's own state */
    const XomColorTable* colors; /* may be NULL on the X device */
    int width, height;           /* device pixels the canvas covers */
    int offsetX, offsetY;        /* added to every coordinate drawn */
    Boolean bounded;             /* the device clip never leaves bound (e.g. an exposure) */
    XomArea bound;
    Boolean clipped; /* the caller's clip, in device pixels */
    XomArea clip;
    XomLineAttributes line;
    XomFillAttributes fill;
    XomTextAttributes text;
};

/* ---- creation (for devices) ---- */
XomCanvas XomCanvasCreate(const XomCanvasOps* ops, void* device, int width, int height,
                          const XomColorTable* colors);
/* Frees the record after the device's destroy slot. */
void XomCanvasDestroy(XomCanvas c);

/* The X device on a window or pixmap of display, using gc (changed freely; the caller
 * owns it). The canvas frees nothing of the caller's. */
XomCanvas XomCreateXCanvas(Display* display, Drawable drawable, GC gc, int width, int height);

/* Asks for a repaint of part of a realized widget's window (a width or height of 0 reaches
 * the window's edge): X clears it to the background and sends an Expose, whose handler
 * draws it again through a canvas. Nothing happens before the widget is realized. */
void XomRepaintWindowArea(Widget w, int x, int y, int width, int height);

/* The colour table of w's visual and colormap; free with XomDestroyColorTable. */
XomColorTable* XomCreateColorTable(Widget w);
void XomDestroyColorTable(XomColorTable* table);
/* RGB bytes of a pixel through the canvas's colour table (grey levels of the pixel value
 * when there is none). */
void XomCanvasPixelToRgb(XomCanvas c, Pixel pixel, unsigned char rgb[3]);

/* ---- placement and clipping ---- */
void XomCanvasSetOffset(XomCanvas c, int x, int y);
void XomCanvasGetOffset(XomCanvas c, int* x, int* y);
/* The bound, in device pixels: no later clip reaches outside it. */
void XomCanvasSetBound(XomCanvas c, const XomArea* bound);
/* Clips to r (caller's pixels) within the bound. */
void XomCanvasSetClip(XomCanvas c, const XomArea* r);
/* Back to the bound alone. */
void XomCanvasRemoveClip(XomCanvas c);

/* ---- the operations, in slot order (caller's pixels) ---- */
void XomCanvasDoubleBuffer(XomCanvas c, Boolean on);
void XomCanvasSwapBuffers(XomCanvas c);
void XomCanvasFlush(XomCanvas c);
/* A line with a 3D look (LineStyle shadow_in/out, etched_in/out) in two solid colours,
 * drawn by every device as the same two filled rectangles. */
void XomCanvasLine3D(XomCanvas c, int x1, int y1, int x2, int y2, int thickness, int shadow,
                     Pixel top, Pixel bottom);
void XomCanvasLine(XomCanvas c, int x1, int y1, int x2, int y2);
void XomCanvasRectangle(XomCanvas c, int x, int y, int width, int height);
void XomCanvasFillRectangle(XomCanvas c, int x, int y, int width, int height);
void XomCanvasRoundRectangle(XomCanvas c, int x, int y, int width, int height, int radius);
void XomCanvasFillRoundRectangle(XomCanvas c, int x, int y, int width, int height, int radius);
void XomCanvasPolyline(XomCanvas c, const XomPoint* points, int count);
void XomCanvasPolygon(XomCanvas c, const XomPoint* points, int count);
void XomCanvasTextPolygon(XomCanvas c, int x, int y, const char* text, int length);
void XomCanvasArc(XomCanvas c, int x, int y, int width, int height, int angle1, int angle2);
void XomCanvasFillArc(XomCanvas c, int x, int y, int width, int height, int angle1, int angle2);
/* Restricted text with a 3D look: the text in bottom one pixel down and right, then in top,
 * both cut to box; drawn by every device through its clip and text operations. */
void XomCanvasRestrictedText3D(XomCanvas c, const XomArea* box, const char* text, int length,
                               int alignment, Pixel top, Pixel bottom);
void XomCanvasText(XomCanvas c, int x, int y, const char* text, int length);
void XomCanvasRestrictedText(XomCanvas c, const XomArea* box, const char* text, int length,
                             int alignment);
void XomCanvasCompoundText(XomCanvas c, const XomArea* box, XmString text, XmFontList fonts,
                           int alignment);
void XomCanvasImage(XomCanvas c, XImage* image, int srcX, int srcY, int x, int y, int width,
                    int height);
void XomCanvasPixmap(XomCanvas c, Pixmap pixmap, int depth, int srcX, int srcY, int x, int y,
                     int width, int height);
void XomCanvasMappedImage(XomCanvas c, XImage* image, int x, int y, int width, int height);
void XomCanvasMappedPixmap(XomCanvas c, Pixmap pixmap, int depth, int pixmapWidth, int pixmapHeight,
                           int x, int y, int width, int height);
void XomCanvasSetLineAttributes(XomCanvas c, const XomLineAttributes* line);
void XomCanvasSetFillAttributes(XomCanvas c, const XomFillAttributes* fill);
void XomCanvasSetTextAttributes(XomCanvas c, const XomTextAttributes* text);

/* Shorthands that change one attribute and keep the others. */
void XomCanvasSetColor(XomCanvas c, Pixel color); /* line, fill and text colour */
void XomCanvasSetFont(XomCanvas c, XFontStruct* font, const char* fontName);

/* ---- text metrics: the same on every device ---- */
int XomCanvasTextWidth(XomCanvas c, const char* text, int length);
int XomCanvasFontAscent(XomCanvas c);
int XomCanvasFontDescent(XomCanvas c);
/* Where restricted text starts its baseline inside box for the alignment. */
XomPoint XomCanvasAlignText(XomCanvas c, const XomArea* box, const char* text, int length,
                            int alignment);

#endif
