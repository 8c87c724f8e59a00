/* Private definitions of XomLineSeries. */
#ifndef XOM_LINE_SERIES_P_H
#define XOM_LINE_SERIES_P_H

#include "toolkit/GraphicP.h"
#include "toolkit/LineSeries.h"

typedef struct {
    XtPointer extension;
} XomLineSeriesClassPart;

typedef struct _XomLineSeriesClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomLineSeriesClassPart line_series_class;
} XomLineSeriesClassRec;

extern XomLineSeriesClassRec xomLineSeriesClassRec;

typedef struct {
    /* resources */
    int symbol_type; /* SymbolType */
    Pixel symbol_color;
    int symbol_size; /* pixels */
    Boolean symbol;  /* draw symbols (when the plot does too) */

    /* private state */
    Widget data; /* the sampled data it draws */
    Widget chart;
} XomLineSeriesPart;

typedef struct _XomLineSeriesRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomLineSeriesPart series;
} XomLineSeriesRec;

#define XomLineSeriesOf(w) (&((XomLineSeriesObject)(w))->series)

/* A symbol of the type centred on x, y, size pixels across, in the canvas's colours. */
void XomDrawSymbol(XomCanvas canvas, int type, int x, int y, int size);

#endif
