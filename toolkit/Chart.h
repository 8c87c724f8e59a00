/* XomChart: a line chart object in an editor area. It draws its associated data series as
 * lines against a plot with a left and a bottom axis, dashed grid lines as the axes ask, and
 * a legend beside the plot. It owns no data: data objects are associated with it and tell
 * it of their changes through their "updateCallback".
 *
 * Resources (besides XomChartBase's):
 * Name          Class         Type       Default
 * colorList     ColorList     Pointer    NULL (names, ended by NULL or ""; series i takes
 *                                             colour i modulo the usable ones)
 * chartMargins  ChartMargins  Pointer    {10, 10, 10, 10} (left, right, top, bottom pixels)
 * geometry      Geometry      Pointer    {15, 15, 85, 85} (x1, y1, x2, y2 in the area's
 *                                             coordinates)
 * showLegend    ShowLegend    Boolean    False
 * fillColor     FillColor     Pixel      gray
 * fillStyle     FillStyle     FillStyle  fill_opaque_stippled (painted solid)
 * axisSpacing   AxisSpacing   int        10 (pixels between the plot and the legend)
 * symbolCount   SymbolCount   int        10 (series i takes symbol i modulo this)
 * symbolList    SymbolList    Pointer    NULL
 * chartTitle    ChartTitle    String     NULL
 * chartFooter   ChartFooter   String     NULL
 * doubleBuffer  DoubleBuffer  Boolean    True
 * The pointer resources are copied when set.
 */
#ifndef XOM_CHART_H
#define XOM_CHART_H

#include "toolkit/ChartBase.h"

extern WidgetClass xomChartObjectClass;

typedef struct _XomChartClassRec* XomChartObjectClass;
typedef struct _XomChartRec* XomChartObject;

#define XomNcolorList "colorList"
#define XomNchartMargins "chartMargins"
#define XomNgeometry "geometry"
#define XomNshowLegend "showLegend"
#define XomNaxisSpacing "axisSpacing"
#define XomNsymbolCount "symbolCount"
#define XomNsymbolList "symbolList"
#define XomNchartTitle "chartTitle"
#define XomNchartFooter "chartFooter"

#define XomIsChart(w) ((w) && XtIsSubclass((w), xomChartObjectClass))

/* The components of XomChartGetComponent. */
enum { XomCHART_PLOT = 0, XomCHART_LEFT_AXIS = 1, XomCHART_BOTTOM_AXIS = 2, XomCHART_LEGEND = 3 };

Widget XomCreateChart(Widget area, const char* name, ArgList args, Cardinal count);

/* 0 the plot, 1 its left axis, 2 its bottom axis, 3 the legend; NULL for any other
 * index (4 and 5 name components this chart does not have). */
Widget XomChartGetComponent(Widget chart, int index);

/* Makes the chart a view of the data object (once) and lays the chart out again. */
void XomChartAssociateData(Widget chart, Widget data);
/* The reverse, when the data is associated. */
void XomChartDisassociateData(Widget chart, Widget data);
/* The series objects that draw the data (the first is its line) and their count; NULL
 * when the data is not shown. */
WidgetList XomChartGetSeriesOfData(Widget chart, Widget data, int* count);

/* 1: record changes without layout or drawing; 0: lay out and draw once. */
void XomChartFreezeUpdates(Widget chart, int freeze);

/* Makes a graphic object part of the chart, placed in the plot's coordinates. Refused
 * with a warning for 3D chart types. */
void XomChartInsertObject(Widget chart, Widget object);

#endif
