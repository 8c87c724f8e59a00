/* XomLineSeries: one data series drawn as a line with symbols. */
#include <math.h>

#include <Xm/Xm.h>

#include "toolkit/AxisObject.h"
#include "toolkit/ChartP.h"
#include "toolkit/DataSampled.h"
#include "toolkit/DataStore.h"
#include "toolkit/LineSeriesP.h"

#define offset(field) XtOffsetOf(XomLineSeriesRec, series.field)
static XtResource resources[] = {
    {(String)XomNsymbolType, (String) "SymbolType", (String)XomRSymbolType, sizeof(int),
     offset(symbol_type), (String)XmRImmediate, (XtPointer)XomSYMBOL_PLUS},
    {(String)XomNsymbolColor, (String) "SymbolColor", (String)XmRPixel, sizeof(Pixel),
     offset(symbol_color), (String)XmRString, (XtPointer)XtDefaultForeground},
    {(String)XomNsymbolSize, (String) "SymbolSize", (String)XmRInt, sizeof(int),
     offset(symbol_size), (String)XmRImmediate, (XtPointer)8},
    {(String)XomNsymbol, (String) "Symbol", (String)XmRBoolean, sizeof(Boolean), offset(symbol),
     (String)XmRImmediate, (XtPointer)True},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Draw(Widget g, XomCanvas canvas, const XomArea* area);
static void Bounds(Widget g, XomArea* bounds);

XomLineSeriesClassRec xomLineSeriesClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGraphicClassRec,
        /* class_name */ (String) "XomLineSeries",
        /* widget_size */ sizeof(XomLineSeriesRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* obj1 */ NULL,
        /* obj2 */ NULL,
        /* obj3 */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* obj4 */ False,
        /* obj5 */ False,
        /* obj6 */ False,
        /* obj7 */ False,
        /* destroy */ NULL,
        /* obj8 */ NULL,
        /* obj9 */ NULL,
        /* set_values */ NULL,
        /* set_values_hook */ NULL,
        /* obj10 */ NULL,
        /* get_values_hook */ NULL,
        /* obj11 */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* obj12 */ NULL,
        /* obj13 */ NULL,
        /* obj14 */ NULL,
        /* extension */ NULL,
    },
    {
        /* draw */ Draw,
        /* bounds */ Bounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ NULL,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomLineSeriesObjectClass = (WidgetClass)&xomLineSeriesClassRec;

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomLineSeriesPart* s = XomLineSeriesOf(created);
    s->data = NULL;
    s->chart = NULL;
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomChartPlotArea(XomLineSeriesOf(g)->chart, bounds);
}

void XomDrawSymbol(XomCanvas canvas, int type, int x, int y, int size)
{
    int h = XomMax(size / 2, 1);
    XomPoint triangle[3] = {{x, y - h}, {x + h, y + h}, {x - h, y + h}};
    XomPoint diamond[4] = {{x, y - h}, {x + h, y}, {x, y + h}, {x - h, y}};
    XomPoint closedTriangle[4] = {triangle[0], triangle[1], triangle[2], triangle[0]};
    XomPoint closedDiamond[5] = {diamond[0], diamond[1], diamond[2], diamond[3], diamond[0]};
    switch (type) {
    case XomSYMBOL_X:
        XomCanvasLine(canvas, x - h, y - h, x + h, y + h);
        XomCanvasLine(canvas, x - h, y + h, x + h, y - h);
        break;
    case XomSYMBOL_SQUARE:
        XomCanvasRectangle(canvas, x - h, y - h, 2 * h, 2 * h);
        break;
    case XomSYMBOL_CIRCLE:
        XomCanvasArc(canvas, x - h, y - h, 2 * h, 2 * h, 0, 360 * 64);
        break;
    case XomSYMBOL_TRIANGLE:
        XomCanvasPolyline(canvas, closedTriangle, 4);
        break;
    case XomSYMBOL_DIAMOND:
        XomCanvasPolyline(canvas, closedDiamond, 5);
        break;
    case XomSYMBOL_FILLED_SQUARE:
        XomCanvasFillRectangle(canvas, x - h, y - h, 2 * h + 1, 2 * h + 1);
        break;
    case XomSYMBOL_FILLED_CIRCLE:
        XomCanvasFillArc(canvas, x - h, y - h, 2 * h, 2 * h, 0, 360 * 64);
        break;
    case XomSYMBOL_FILLED_TRIANGLE:
        XomCanvasPolygon(canvas, triangle, 3);
        break;
    case XomSYMBOL_FILLED_DIAMOND:
        XomCanvasPolygon(canvas, diamond, 4);
        break;
    default: /* plus */
        XomCanvasLine(canvas, x - h, y, x + h, y);
        XomCanvasLine(canvas, x, y - h, x, y + h);
        break;
    }
}

/* The pixel of sample i; False for a sample without a value or one the axes cannot map. */
static Boolean SamplePixel(Widget data, Widget xAxis, Widget yAxis, int i, XomPoint* point)
{
    float v = XomDataSampledValue(data, i);
    double px, py;
    if (v == XOM_NO_VALUE || !XomAxisObjectValueToPixel(xAxis, XomDataSampledX(data, i), &px)
        || !XomAxisObjectValueToPixel(yAxis, v, &py))
        return False;
    /* Far-off points are held where X's 16-bit coordinates still draw the right slope. */
    point->x = (int)lround(fmax(-16000.0, fmin(16000.0, px)));
    point->y = (int)lround(fmax(-16000.0, fmin(16000.0, py)));
    return True;
}

static void Draw(Widget g, XomCanvas canvas, const XomArea*)
{
    XomLineSeriesPart* s = XomLineSeriesOf(g);
    XomGraphicPart* gp = XomGraphic(g);
    Widget xAxis, yAxis;
    XomArea plot;
    if (!XomChartPlotAxes(s->chart, &xAxis, &yAxis) || !XomIsDataSampled(s->data))
        return;
    XomChartPlotArea(s->chart, &plot);
    int count = XomDataSampledCount(s->data);
    XomPoint* points = (XomPoint*)XtMalloc((Cardinal)(sizeof(XomPoint) * (count + 1)));
    Boolean* present = (Boolean*)XtMalloc((Cardinal)(sizeof(Boolean) * (count + 1)));
    for (int i = 0; i < count; i++)
        present[i] = SamplePixel(s->data, xAxis, yAxis, i, &points[i]);

    XomCanvasSetClip(canvas, &plot);
    XomGraphicSetAttributes(g, canvas);
    /* A run of samples with values is one polyline; a sample without a value breaks it. */
    for (int i = 0; i < count;) {
        int run = 0;
        while (i + run < count && present[i + run])
            run++;
        if (run > 1 && gp->line_style != XomLINE_NONE)
            XomCanvasPolyline(canvas, points + i, run);
        i += run ? run : 1;
    }
    if (s->symbol && XomChartPlotShowsSymbols(s->chart)) {
        XomLineAttributes line = canvas->line;
        line.color = gp->color;
        line.width = 0;
        line.style = XomLINE_SOLID;
        XomCanvasSetLineAttributes(canvas, &line);
        XomFillAttributes fill = canvas->fill;
        fill.color = gp->color;
        fill.style = XomFILL_SOLID;
        XomCanvasSetFillAttributes(canvas, &fill);
        int size = XomChartPlotSymbolSize(s->chart);
        for (int i = 0; i < count; i++)
            if (present[i])
                XomDrawSymbol(canvas, s->symbol_type, points[i].x, points[i].y, size);
    }
    XomCanvasRemoveClip(canvas);
    XtFree((char*)points);
    XtFree((char*)present);
}
