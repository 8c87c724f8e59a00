/* Private definitions of XomChart, and what its components ask of it. */
#ifndef XOM_CHART_P_H
#define XOM_CHART_P_H

#include "toolkit/Chart.h"
#include "toolkit/ChartBaseP.h"

typedef struct {
    XtPointer extension;
} XomChartClassPart;

typedef struct _XomChartClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomGroupClassPart group_class;
    XomChartBaseClassPart chart_base_class;
    XomChartClassPart chart_class;
} XomChartClassRec;

extern XomChartClassRec xomChartClassRec;

typedef struct {
    /* resources */
    String* color_list; /* NULL-or-""-ended names */
    int* chart_margins; /* points at margins */
    float* geometry;    /* points at corners */
    Boolean show_legend;
    int axis_spacing;
    int symbol_count;
    XtPointer symbol_list;
    String chart_title;
    String chart_footer;
    Boolean double_buffer;

    /* private state */
    int margins[4];
    float corners[4];
    Widget plot;      /* component 0 */
    Widget legend;    /* component 3 */
    WidgetList lines; /* one line series per associated data, in data order */
    Cardinal lines_size;
    Pixel* colors; /* the usable colours of color_list */
    int color_count;
    Pixel grid_color;
    Boolean layout_valid;
    Dimension laid_width; /* the area size the layout was made for */
    Dimension laid_height;
    XomArea box; /* the chart, content pixels */
} XomChartPart;

typedef struct _XomChartRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomGroupPart group;
    XomChartBasePart chart_base;
    XomChartPart chart;
} XomChartRec;

#define XomChartOf(w) (&((XomChartObject)(w))->chart)

/* For the components (each accepts NULL or another object and then does nothing or
 * answers empty). */
void XomChartInvalidateLayout(Widget chart);
void XomChartEnsureLayout(Widget chart);
Pixel XomChartGridColor(Widget chart);
void XomChartPlotArea(Widget chart, XomArea* area);
Boolean XomChartPlotAxes(Widget chart, Widget* xAxis, Widget* yAxis);
Boolean XomChartPlotShowsSymbols(Widget chart);
int XomChartPlotSymbolSize(Widget chart);
/* The line series in data order. */
WidgetList XomChartSeriesList(Widget chart, Cardinal* count);

/* ChartLayout.cpp: laying out and painting. */
void XomChartLayout(Widget chart);
void XomChartPaint(Widget chart, XomCanvas canvas, const XomArea* area);

/* ChartData.cpp: the colours of the colour list; series creation for a data object. */
void XomChartLoadColors(Widget chart);
void XomChartReleaseAll(Widget chart);

#endif
