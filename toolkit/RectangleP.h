/* Private definitions of XomRectangle. */
#ifndef XOM_RECTANGLE_P_H
#define XOM_RECTANGLE_P_H

#include "toolkit/GraphicP.h"
#include "toolkit/Rectangle.h"

typedef struct {
    XtPointer extension;
} XomRectangleClassPart;

typedef struct _XomRectangleClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomRectangleClassPart rectangle_class;
} XomRectangleClassRec;

extern XomRectangleClassRec xomRectangleClassRec;

typedef struct {
    /* resources */
    float* rectangle; /* x1, y1, x2, y2: points to corners after initialisation */
    Boolean round_edge;

    /* private state */
    float corners[4]; /* the object's own copy */
} XomRectanglePart;

typedef struct _XomRectangleRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomRectanglePart rectangle;
} XomRectangleRec;

#define XomRectanglePartOf(w) (&((XomRectangleObject)(w))->rectangle)

#endif
