/* Private definitions of XomAxisObject. */
#ifndef XOM_AXIS_OBJECT_P_H
#define XOM_AXIS_OBJECT_P_H

#include "toolkit/AxisObject.h"
#include "toolkit/GraphicP.h"

typedef struct {
    XtPointer extension;
} XomAxisObjectClassPart;

typedef struct _XomAxisObjectClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomAxisObjectClassPart axis_class;
} XomAxisObjectClassRec;

extern XomAxisObjectClassRec xomAxisObjectClassRec;

typedef struct {
    /* resources */
    String label; /* text along the axis */
    String label_font;
    String annotation_font;
    String annotation_format; /* printf format of the tick labels */
    int annotation_placement;
    int tick_placement; /* 0 inside, 1 outside, 2 across the plot's edge */
    int axis_line_thickness;
    int major_grid_line_style; /* LineStyle of lines across the plot at major ticks */
    int minor_grid_line_style;
    float* limits;     /* minimum, maximum: points at limit_values */
    float* increments; /* major, minor step: points at increment_values */
    Boolean log_scale;
    Boolean reverse_order;

    /* private state */
    float limit_values[2];
    float increment_values[2];
    int orientation;  /* XomAXIS_HORIZONTAL or XomAXIS_VERTICAL */
    Widget chart;     /* the chart that lays it out */
    XomArea plot;     /* the plot rectangle it borders, in content pixels */
    Boolean laid_out; /* plot is valid */
} XomAxisObjectPart;

typedef struct _XomAxisObjectRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomAxisObjectPart axis;
} XomAxisObjectRec;

#define XomAxisOf(w) (&((XomAxisObject)(w))->axis)

/* For the chart: the format in force (the resource when it takes one double, else "%g"),
 * the tick label text of a value, and how far labels and ticks reach out of the plot
 * (pixels beside a vertical axis, below a horizontal one). */
const char* XomAxisFormat(Widget axis);
void XomAxisTickText(Widget axis, double value, char* text, size_t size);
int XomAxisOutsideSpace(Widget axis);
/* The font of the tick labels and of the axis label. */
XFontStruct* XomAxisAnnotationFont(Widget axis);
XFontStruct* XomAxisLabelFont(Widget axis);
/* Paints the grid lines across the plot, then the axis line, ticks and labels. */
void XomAxisDrawGrid(Widget axis, XomCanvas canvas);
void XomAxisDrawScale(Widget axis, XomCanvas canvas);

#endif
