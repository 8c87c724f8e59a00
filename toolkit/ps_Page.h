/* Placing a PostScript picture on paper: the page layout, the placement of the picture on
 * one page or tiled over several, and the final document that wraps the picture. Free of
 * X. */
#ifndef XOM_PS_PAGE_H
#define XOM_PS_PAGE_H

#include <stdio.h>

typedef struct {
    double width, height;            /* the page, in points */
    double left, right, top, bottom; /* margins, in points */
    int segmentLines;                /* drawing lines per procedure of a tiled picture */
    int segmentsPerCluster;          /* procedures per cluster when there are more */
} XomPsPageLayout;

/* The process-wide layout: US Letter with margins of 24 points until changed. */
XomPsPageLayout* XomPsLayout(void);

/* Page layouts chosen by the mode of an output. */
enum {
    XOM_PS_MODE_FIT = 0,    /* scale times the printable area, turned when that is larger */
    XOM_PS_MODE_NATURAL = 2 /* one picture unit is scale points, upright */
    /* any other mode: scale times the printable area, upright */
};

typedef struct {
    double areaX0, areaY0, areaX1, areaY1; /* the printable area of the page */
    double originX, originY;               /* the picture's bounding box origin */
    double factor;                         /* paper points per picture unit */
    int rotated;                           /* turned a quarter clockwise (landscape) */
    double paperWidth, paperHeight;        /* the picture on paper, before turning */
    double x, y;                           /* lower left of the picture on the first page */
    int rows, columns;                     /* pages down and across */
} XomPsPlacement;

/* Places the picture with that bounding box; a scale of 0 or less counts as 1. */
XomPsPlacement XomPsPlace(const XomPsPageLayout* layout, double x0, double y0, double x1, double y1,
                          double scale, int mode);

/* Writes the final document for the picture read from picture (a file the device wrote)
 * to out: on one page, or tiled with one page per row and column. The number of pages,
 * or 0 when the picture is not a device file or out cannot be written. */
int XomPsWriteDocument(FILE* out, FILE* picture, const XomPsPlacement* placement,
                       const char* title);

#endif
