/* XomLegend: the legend of a chart, one entry per series: a short line in the series'
 * colour and style with its symbol, and the series' name. The chart places it beside the
 * plot, never over it, in as few columns as its height allows (at most "columns").
 *
 * Resources (besides XomGraphic's "font", "lineStyle", "lineThickness", "constraint"):
 * Name       Class      Type  Default
 * iconWidth  IconWidth  int   20   (pixels of the line sample)
 * columns    Columns    int   1    (most columns of entries)
 * "constraint" points at two ints: the side (0 top, 1 right, 2 bottom, 3 left) and the
 * place along it (0 start, 1 centre, 2 end); the chart's legend uses the right side.
 */
#ifndef XOM_LEGEND_H
#define XOM_LEGEND_H

#include "toolkit/Graphic.h"

extern WidgetClass xomLegendObjectClass;

typedef struct _XomLegendClassRec* XomLegendObjectClass;
typedef struct _XomLegendRec* XomLegendObject;

#define XomNiconWidth "iconWidth"
#define XomNcolumns "columns"

#define XomIsLegend(w) ((w) && XtIsSubclass((w), xomLegendObjectClass))

#endif
