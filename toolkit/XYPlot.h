/* XomXYPlot: the plot of a line chart, component 0 of the chart. It holds its axes (left
 * and bottom are made with it) as members, fills its rectangle and frames it; its limits
 * and increments are those of its axes: "xLimits" and "xIncrements" go to the bottom axis,
 * "yLimits" and "yIncrements" to the left one.
 *
 * Resources (besides XomGroup's):
 * Name            Class           Type       Default
 * xLimits         Limits          Pointer    {0, 10} (two floats: minimum, maximum; copied)
 * yLimits         Limits          Pointer    {0, 10}
 * xIncrements     Increments      Pointer    {2, 1} (two floats: major, minor step; copied)
 * yIncrements     Increments      Pointer    {2, 1}
 * drawFrame       DrawFrame       Boolean    True
 * symbol          Symbol          Boolean    False (draw symbols at data points)
 * symbolSize      SymbolSize      int        8
 * xAxisPlacement  AxisPlacement   int        0
 * yAxisPlacement  AxisPlacement   int        0
 * left, right, top, bottom   Axis  Widget    the axis objects (right and top: none)
 * fillStyle       FillStyle       FillStyle  fill_solid
 */
#ifndef XOM_XY_PLOT_H
#define XOM_XY_PLOT_H

#include "toolkit/Group.h"
#include "toolkit/LineSeries.h" /* "symbol" and "symbolSize" are named there */

extern WidgetClass xomXYPlotObjectClass;

typedef struct _XomXYPlotClassRec* XomXYPlotObjectClass;
typedef struct _XomXYPlotRec* XomXYPlotObject;

#define XomNxLimits "xLimits"
#define XomNyLimits "yLimits"
#define XomNxIncrements "xIncrements"
#define XomNyIncrements "yIncrements"
#define XomNdrawFrame "drawFrame"
#define XomNxAxisPlacement "xAxisPlacement"
#define XomNyAxisPlacement "yAxisPlacement"
#define XomNleft "left"
#define XomNright "right"
#define XomNtop "top"
#define XomNbottom "bottom"

#define XomIsXYPlot(w) ((w) && XtIsSubclass((w), xomXYPlotObjectClass))

#endif
