/* XomLineSeries: the line of one data series in a chart, drawn from sample to sample
 * against the plot's axes, clipped to the plot, with a symbol at each point when both the
 * plot's and its own "symbol" are True. The chart creates one per associated data object
 * (named as the data object, which is what the legend shows) and destroys it when the data
 * goes.
 *
 * Resources (besides XomGraphic's "color", "lineThickness", "lineStyle"):
 * Name         Class        Type        Default
 * symbolType   SymbolType   SymbolType  symbol_plus
 * symbolColor  SymbolColor  Pixel       XtDefaultForeground
 * symbolSize   SymbolSize   int         8
 * symbol       Symbol       Boolean     True
 */
#ifndef XOM_LINE_SERIES_H
#define XOM_LINE_SERIES_H

#include "toolkit/Graphic.h"

extern WidgetClass xomLineSeriesObjectClass;

typedef struct _XomLineSeriesClassRec* XomLineSeriesObjectClass;
typedef struct _XomLineSeriesRec* XomLineSeriesObject;

#define XomNsymbolType "symbolType"
#define XomNsymbolColor "symbolColor"
#define XomNsymbolSize "symbolSize"
#define XomNsymbol "symbol"

#define XomIsLineSeries(w) ((w) && XtIsSubclass((w), xomLineSeriesObjectClass))

#endif
