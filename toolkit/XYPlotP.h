/* Private definitions of XomXYPlot. */
#ifndef XOM_XY_PLOT_P_H
#define XOM_XY_PLOT_P_H

#include "toolkit/GroupP.h"
#include "toolkit/XYPlot.h"

typedef struct {
    XtPointer extension;
} XomXYPlotClassPart;

typedef struct _XomXYPlotClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomGroupClassPart group_class;
    XomXYPlotClassPart xy_plot_class;
} XomXYPlotClassRec;

extern XomXYPlotClassRec xomXYPlotClassRec;

typedef struct {
    /* resources */
    float* x_limits; /* handed to the bottom axis, then NULL */
    float* y_limits; /* handed to the left axis, then NULL */
    float* x_increments;
    float* y_increments;
    Boolean draw_frame;
    Boolean symbol; /* symbols at the data points */
    int symbol_size;
    int x_axis_placement;
    int y_axis_placement;
    Widget left; /* the axes */
    Widget right;
    Widget top;
    Widget bottom;

    /* private state */
    Widget chart;
    XomArea box; /* laid out by the chart, content pixels */
} XomXYPlotPart;

typedef struct _XomXYPlotRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomGroupPart group;
    XomXYPlotPart plot;
} XomXYPlotRec;

#define XomXYPlotOf(w) (&((XomXYPlotObject)(w))->plot)

/* Paints the plot's background, its grid (both under the series) and its frame and axes
 * (over them). */
void XomXYPlotPaintBack(Widget plot, XomCanvas canvas);
void XomXYPlotPaintGrid(Widget plot, XomCanvas canvas);
void XomXYPlotPaintFront(Widget plot, XomCanvas canvas);

#endif
