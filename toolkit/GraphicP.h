/* Private definitions of XomGraphic, the base of the windowless graphic objects. */
#ifndef XOM_GRAPHIC_P_H
#define XOM_GRAPHIC_P_H

#include <X11/IntrinsicP.h>
#include <X11/ObjectP.h>

#include "toolkit/Graphic.h"
#include "toolkit/XomP.h"

typedef struct {
    XomGraphicDrawProc draw;            /* paints the object */
    XomGraphicBoundsProc bounds;        /* its box in content pixels */
    XomGraphicHitProc hit;              /* whether a pixel hits it */
    XomGraphicValueProc value_to_pixel; /* axes only: a value along the axis to a pixel */
    XtPointer extension;
} XomGraphicClassPart;

typedef struct _XomGraphicClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
} XomGraphicClassRec;

extern XomGraphicClassRec xomGraphicClassRec;

typedef struct {
    /* resources */
    Pixel color; /* lines and text */
    Pixel fill_color;
    int fill_style; /* FillStyle */
    String font;    /* font name */
    int line_style; /* LineStyle */
    int line_thickness;
    Boolean move; /* what the user may do to it */
    Boolean rotate;
    Boolean shape;
    Boolean sensitive;
    int highlight_mode;
    Boolean resource_dialog;
    Boolean visible;
    Boolean managed;
    Widget horizontal_axis; /* positions it in the axes' values, when set */
    Widget vertical_axis;
    Widget group; /* the group it belongs to */
    XtPointer constraint;
    XtPointer user_data;

    /* private state */
    Widget area;              /* the editor area that paints it */
    XFontStruct* font_struct; /* loaded from font */
    Boolean gone;             /* destroyed by XomEditObjectDestroyObject */
} XomGraphicPart;

typedef struct _XomGraphicRec {
    ObjectPart object;
    XomGraphicPart graphic;
} XomGraphicRec;

/* Takes the object out of its group and area at once, for good. */
void XomGraphicLeave(Widget graphic);

#define XomGraphic(w) (&((XomGraphicObject)(w))->graphic)
#define XomGraphicClass(w) (&((XomGraphicObjectClass)XtClass(w))->graphic_class)

#endif
