/* The PostScript device of the canvas: the same operations as the X canvas, written as
 * PostScript operators on a picture of the PostScript device. */
#ifndef XOM_CANVAS_POST_H
#define XOM_CANVAS_POST_H

#include "toolkit/Canvas.h"
#include "toolkit/ps_Device.h"

/* A canvas of width by height pixels drawing on the picture (whose bounding box is 0, 0 to
 * width, height; one pixel is one unit, y down from the top). Colours go through colors;
 * with grey, as grey levels. display is where pixmaps are read from (None: pixmaps are
 * left out). The canvas frees nothing of the caller's. */
XomCanvas XomCreatePostscriptCanvas(XomPsDevice* picture, Display* display, int width, int height,
                                    const XomColorTable* colors, Boolean grey);

#endif
