/* XomChart: resources, components and the chart functions other than data association
 * (ChartData.cpp) and layout and painting (ChartLayout.cpp). */
#include <string>

#include <Xm/Xm.h>

#include "toolkit/AxisObjectP.h"
#include "toolkit/ChartP.h"
#include "toolkit/EditObject.h"
#include "toolkit/LegendP.h"
#include "toolkit/XYPlotP.h"

static int defaultMargins[4] = {10, 10, 10, 10};
static float defaultGeometry[4] = {15.0f, 15.0f, 85.0f, 85.0f};

#define offset(field) XtOffsetOf(XomChartRec, chart.field)
static XtResource resources[] = {
    {(String)XomNcolorList, (String) "ColorList", (String)XmRPointer, sizeof(String*),
     offset(color_list), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNchartMargins, (String) "ChartMargins", (String)XmRPointer, sizeof(int*),
     offset(chart_margins), (String)XmRImmediate, (XtPointer)defaultMargins},
    {(String)XomNgeometry, (String) "Geometry", (String)XmRPointer, sizeof(float*),
     offset(geometry), (String)XmRImmediate, (XtPointer)defaultGeometry},
    {(String)XomNshowLegend, (String) "ShowLegend", (String)XmRBoolean, sizeof(Boolean),
     offset(show_legend), (String)XmRImmediate, (XtPointer)False},
    {(String)XomNaxisSpacing, (String) "AxisSpacing", (String)XmRInt, sizeof(int),
     offset(axis_spacing), (String)XmRImmediate, (XtPointer)10},
    {(String)XomNsymbolCount, (String) "SymbolCount", (String)XmRInt, sizeof(int),
     offset(symbol_count), (String)XmRImmediate, (XtPointer)10},
    {(String)XomNsymbolList, (String) "SymbolList", (String)XmRPointer, sizeof(XtPointer),
     offset(symbol_list), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNchartTitle, (String) "ChartTitle", (String)XmRString, sizeof(String),
     offset(chart_title), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNchartFooter, (String) "ChartFooter", (String)XmRString, sizeof(String),
     offset(chart_footer), (String)XmRImmediate, (XtPointer)NULL},
    {(String) "doubleBuffer", (String) "DoubleBuffer", (String)XmRBoolean, sizeof(Boolean),
     offset(double_buffer), (String)XmRImmediate, (XtPointer)True},
    /* Defaults of the base classes that differ for a chart. */
    {(String) "fillColor", (String) "FillColor", (String)XmRPixel, sizeof(Pixel),
     XtOffsetOf(XomChartRec, graphic.fill_color), (String)XmRString, (XtPointer) "gray"},
    {(String) "fillStyle", (String) "FillStyle", (String)XomRFillStyle, sizeof(int),
     XtOffsetOf(XomChartRec, graphic.fill_style), (String)XmRImmediate,
     (XtPointer)XomFILL_OPAQUE_STIPPLED},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Bounds(Widget g, XomArea* bounds);

XomChartClassRec xomChartClassRec = {
    {
        /* superclass */ (WidgetClass)&xomChartBaseClassRec,
        /* class_name */ (String) "XomChart",
        /* widget_size */ sizeof(XomChartRec),
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
        /* destroy */ Destroy,
        /* obj8 */ NULL,
        /* obj9 */ NULL,
        /* set_values */ SetValues,
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
        /* draw */ XomChartPaint,
        /* bounds */ Bounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ NULL,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomChartObjectClass = (WidgetClass)&xomChartClassRec;

/* The pointer resources point at the chart's own copies. */
static void LoadCopies(Widget w)
{
    XomChartPart* c = XomChartOf(w);
    if (c->chart_margins && c->chart_margins != c->margins)
        for (int i = 0; i < 4; i++)
            c->margins[i] = c->chart_margins[i];
    c->chart_margins = c->margins;
    if (c->geometry && c->geometry != c->corners)
        for (int i = 0; i < 4; i++)
            c->corners[i] = c->geometry[i];
    c->geometry = c->corners;
}

static Widget MakeComponent(Widget chart, const char* suffix, WidgetClass cls)
{
    std::string name = std::string(XtName(chart)) + "_" + suffix;
    return XtVaCreateWidget(name.c_str(), cls, XtParent(chart), XomNgroup, chart, NULL);
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomChartPart* c = XomChartOf(created);
    for (int i = 0; i < 4; i++) {
        c->margins[i] = defaultMargins[i];
        c->corners[i] = defaultGeometry[i];
    }
    LoadCopies(created);
    c->lines = NULL;
    c->lines_size = 0;
    c->colors = NULL;
    c->color_count = 0;
    c->layout_valid = False;
    c->laid_width = c->laid_height = 0;
    c->box = XomArea{0, 0, 0, 0};
    c->grid_color = XomGraphic(created)->color;
    XomChartLoadColors(created);
    c->plot = MakeComponent(created, "plot", xomXYPlotObjectClass);
    c->legend = MakeComponent(created, "legend", xomLegendObjectClass);
    XomXYPlotOf(c->plot)->chart = created;
    XomAxisOf(XomXYPlotOf(c->plot)->left)->chart = created;
    XomAxisOf(XomXYPlotOf(c->plot)->bottom)->chart = created;
    XomLegendOf(c->legend)->chart = created;
}

static void Destroy(Widget w)
{
    XomChartPart* c = XomChartOf(w);
    XomChartReleaseAll(w);
    XtFree((char*)c->lines);
    XtFree((char*)c->colors);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomChartPart* was = XomChartOf(old);
    XomChartPart* now = XomChartOf(updated);
    LoadCopies(updated);
    if (now->color_list != was->color_list)
        XomChartLoadColors(updated);
    XomChartInvalidateLayout(updated);
    return False;
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomChartEnsureLayout(g);
    *bounds = XomChartOf(g)->box;
}

/* ---- for the components ---- */

/* A component's chart may have gone before it (an editor area destroys its objects in no
 * particular order): the handle is looked up before it is read. */
static Boolean Live(Widget chart)
{
    return XomGraphicIsLive(chart) && XomIsChart(chart);
}

void XomChartInvalidateLayout(Widget chart)
{
    if (Live(chart))
        XomChartOf(chart)->layout_valid = False;
}

void XomChartEnsureLayout(Widget chart)
{
    if (!Live(chart))
        return;
    XomChartPart* c = XomChartOf(chart);
    Widget area = XomGraphicArea(chart);
    if (c->layout_valid && area && area->core.width == c->laid_width
        && area->core.height == c->laid_height)
        return;
    XomChartLayout(chart);
}

Pixel XomChartGridColor(Widget chart)
{
    return Live(chart) ? XomChartOf(chart)->grid_color : 0;
}

void XomChartPlotArea(Widget chart, XomArea* area)
{
    *area = XomArea{0, 0, 0, 0};
    if (!Live(chart))
        return;
    XomChartEnsureLayout(chart);
    *area = XomXYPlotOf(XomChartOf(chart)->plot)->box;
}

Boolean XomChartPlotAxes(Widget chart, Widget* xAxis, Widget* yAxis)
{
    if (!Live(chart))
        return False;
    *xAxis = XomXYPlotOf(XomChartOf(chart)->plot)->bottom;
    *yAxis = XomXYPlotOf(XomChartOf(chart)->plot)->left;
    return True;
}

Boolean XomChartPlotShowsSymbols(Widget chart)
{
    return Live(chart) && XomXYPlotOf(XomChartOf(chart)->plot)->symbol;
}

int XomChartPlotSymbolSize(Widget chart)
{
    return Live(chart) ? XomXYPlotOf(XomChartOf(chart)->plot)->symbol_size : 0;
}

WidgetList XomChartSeriesList(Widget chart, Cardinal* count)
{
    *count = 0;
    if (!Live(chart))
        return NULL;
    *count = XomChartBaseOf(chart)->data_list_count;
    return XomChartOf(chart)->lines;
}

/* ---- public functions ---- */

Widget XomCreateChart(Widget area, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomChartObjectClass, area, args, count);
}

Widget XomChartGetComponent(Widget chart, int index)
{
    if (!XomIsChart(chart))
        return NULL;
    Widget plot = XomChartOf(chart)->plot;
    switch (index) {
    case XomCHART_PLOT:
        return plot;
    case XomCHART_LEFT_AXIS:
        return XomXYPlotOf(plot)->left;
    case XomCHART_BOTTOM_AXIS:
        return XomXYPlotOf(plot)->bottom;
    case XomCHART_LEGEND:
        return XomChartOf(chart)->legend;
    default:
        return NULL;
    }
}

void XomChartFreezeUpdates(Widget chart, int freeze)
{
    if (!XomIsChart(chart))
        return;
    /* Set directly: passing "freeze" on to every member would ask each to repaint. */
    XomChartBaseOf(chart)->freeze = freeze ? True : False;
    XomGroup(chart)->propagate = True;
    if (freeze)
        return;
    XomChartInvalidateLayout(chart);
    XomGraphicRedraw(chart);
}

void XomChartInsertObject(Widget chart, Widget object)
{
    if (!XomIsChart(chart) || !XomIsGraphic(object) || object == chart)
        return;
    int type = XomChartBaseOf(chart)->chart_type;
    if (type == XomCHART_TYPE_SURFACE_3D || type == XomCHART_TYPE_BAR_3D) {
        XomWarning(chart, "chartInsertObject", "chart3D",
                   "XomChartInsertObject: insertion of objects is not supported for 3D plots");
        return;
    }
    Widget plot = XomChartOf(chart)->plot;
    XtVaSetValues(object, XomNhorizontalAxis, XomXYPlotOf(plot)->bottom, XomNverticalAxis,
                  XomXYPlotOf(plot)->left, XomNmanaged, True, XomNvisible, True, XomNgroup, chart,
                  NULL);
}
