/* XomRectangle: a rectangle object of an editor area, filled with "fillColor" in
 * "fillStyle" and outlined in "color" with "lineStyle" and "lineThickness".
 *
 * Resources (besides XomGraphic's):
 * Name        Class       Type     Default
 * rectangle   Rectangle   float*   0, 0, 10, 10: x1, y1, x2, y2 in the object's
 *                                  coordinates; the four floats are copied
 * roundEdge   RoundEdge   Boolean  False
 */
#ifndef XOM_RECTANGLE_H
#define XOM_RECTANGLE_H

#include "toolkit/Graphic.h"

extern WidgetClass xomRectangleObjectClass;

typedef struct _XomRectangleClassRec* XomRectangleObjectClass;
typedef struct _XomRectangleRec* XomRectangleObject;

#define XomNrectangle "rectangle"
#define XomNroundEdge "roundEdge"

#define XomIsRectangle(w) ((w) && XtIsSubclass((w), xomRectangleObjectClass))

Widget XomCreateRectangle(Widget area, const char* name, ArgList args, Cardinal count);

#endif
