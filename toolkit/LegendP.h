/* Private definitions of XomLegend. */
#ifndef XOM_LEGEND_P_H
#define XOM_LEGEND_P_H

#include "toolkit/GraphicP.h"
#include "toolkit/Legend.h"

typedef struct {
    XtPointer extension;
} XomLegendClassPart;

typedef struct _XomLegendClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomLegendClassPart legend_class;
} XomLegendClassRec;

extern XomLegendClassRec xomLegendClassRec;

typedef struct {
    /* resources */
    int icon_width; /* pixels of the line sample of an entry */
    int columns;    /* most columns */

    /* private state */
    Widget chart;
    int constraint[2]; /* own copy of "constraint" */
    XomArea box;       /* where the chart placed it, content pixels */
    int entry_width;   /* laid out by the chart */
    int entry_height;
    int rows;
} XomLegendPart;

typedef struct _XomLegendRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomLegendPart legend;
} XomLegendRec;

#define XomLegendOf(w) (&((XomLegendObject)(w))->legend)

/* For the chart: the size the legend needs for its entries within a height, and painting
 * it in the box the chart gave it. */
void XomLegendMeasure(Widget legend, int maxHeight, int* width, int* height);
void XomLegendPaint(Widget legend, XomCanvas canvas);

#endif
