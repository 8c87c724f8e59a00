/* XomXYPlot: a line chart's plot with its left and bottom axes. */
#include <string>

#include <Xm/Xm.h>

#include "toolkit/AxisObjectP.h"
#include "toolkit/ChartP.h"
#include "toolkit/XYPlotP.h"

#define offset(field) XtOffsetOf(XomXYPlotRec, plot.field)
static XtResource resources[] = {
    {(String)XomNxLimits, (String) "Limits", (String)XmRPointer, sizeof(float*), offset(x_limits),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNyLimits, (String) "Limits", (String)XmRPointer, sizeof(float*), offset(y_limits),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNxIncrements, (String) "Increments", (String)XmRPointer, sizeof(float*),
     offset(x_increments), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNyIncrements, (String) "Increments", (String)XmRPointer, sizeof(float*),
     offset(y_increments), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNdrawFrame, (String) "DrawFrame", (String)XmRBoolean, sizeof(Boolean),
     offset(draw_frame), (String)XmRImmediate, (XtPointer)True},
    {(String) "symbol", (String) "Symbol", (String)XmRBoolean, sizeof(Boolean), offset(symbol),
     (String)XmRImmediate, (XtPointer)False},
    {(String) "symbolSize", (String) "SymbolSize", (String)XmRInt, sizeof(int), offset(symbol_size),
     (String)XmRImmediate, (XtPointer)8},
    {(String)XomNxAxisPlacement, (String) "AxisPlacement", (String)XmRInt, sizeof(int),
     offset(x_axis_placement), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNyAxisPlacement, (String) "AxisPlacement", (String)XmRInt, sizeof(int),
     offset(y_axis_placement), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNleft, (String) "Axis", (String)XmRWidget, sizeof(Widget), offset(left),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNright, (String) "Axis", (String)XmRWidget, sizeof(Widget), offset(right),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNtop, (String) "Axis", (String)XmRWidget, sizeof(Widget), offset(top),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNbottom, (String) "Axis", (String)XmRWidget, sizeof(Widget), offset(bottom),
     (String)XmRImmediate, (XtPointer)NULL},
    /* The plot area is filled, unlike other graphics. */
    {(String) "fillStyle", (String) "FillStyle", (String)XomRFillStyle, sizeof(int),
     XtOffsetOf(XomXYPlotRec, graphic.fill_style), (String)XmRImmediate, (XtPointer)XomFILL_SOLID},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Bounds(Widget g, XomArea* bounds);

XomXYPlotClassRec xomXYPlotClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGroupClassRec,
        /* class_name */ (String) "XomXYPlot",
        /* widget_size */ sizeof(XomXYPlotRec),
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
        /* draw */ NULL, /* the chart paints it in two layers */
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
};

WidgetClass xomXYPlotObjectClass = (WidgetClass)&xomXYPlotClassRec;

static Widget MakeAxis(Widget plot, const char* side, int orientation)
{
    std::string name = std::string(XtName(plot)) + "_" + side;
    Widget axis =
        XtVaCreateWidget(name.c_str(), xomAxisObjectClass, XtParent(plot), XomNgroup, plot, NULL);
    XomAxisOf(axis)->orientation = orientation;
    return axis;
}

/* Hands the pair resources on to the axes; the plot keeps no copy of its own. */
static void PassPairs(Widget plot)
{
    XomXYPlotPart* p = XomXYPlotOf(plot);
    if (p->x_limits)
        XtVaSetValues(p->bottom, XomNlimits, p->x_limits, NULL);
    if (p->x_increments)
        XtVaSetValues(p->bottom, XomNincrements, p->x_increments, NULL);
    if (p->y_limits)
        XtVaSetValues(p->left, XomNlimits, p->y_limits, NULL);
    if (p->y_increments)
        XtVaSetValues(p->left, XomNincrements, p->y_increments, NULL);
    p->x_limits = p->y_limits = p->x_increments = p->y_increments = NULL;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomXYPlotPart* p = XomXYPlotOf(created);
    p->chart = NULL;
    p->box = XomArea{0, 0, 0, 0};
    p->left = MakeAxis(created, "left", XomAXIS_VERTICAL);
    p->bottom = MakeAxis(created, "bottom", XomAXIS_HORIZONTAL);
    p->right = p->top = NULL;
    PassPairs(created);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomXYPlotPart* was = XomXYPlotOf(old);
    XomXYPlotPart* now = XomXYPlotOf(updated);
    /* The axes are the plot's own. */
    now->left = was->left;
    now->bottom = was->bottom;
    now->right = was->right;
    now->top = was->top;
    PassPairs(updated);
    XomChartInvalidateLayout(now->chart);
    return False;
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomChartEnsureLayout(XomXYPlotOf(g)->chart);
    *bounds = XomXYPlotOf(g)->box;
}

void XomXYPlotPaintBack(Widget plot, XomCanvas canvas)
{
    XomXYPlotPart* p = XomXYPlotOf(plot);
    XomGraphicPart* gp = XomGraphic(plot);
    if (gp->fill_style != XomFILL_NONE) {
        XomGraphicSetAttributes(plot, canvas);
        XomCanvasFillRectangle(canvas, p->box.x, p->box.y, p->box.width, p->box.height);
    }
}

void XomXYPlotPaintGrid(Widget plot, XomCanvas canvas)
{
    XomXYPlotPart* p = XomXYPlotOf(plot);
    XomCanvasSetClip(canvas, &p->box);
    XomAxisDrawGrid(p->left, canvas);
    XomAxisDrawGrid(p->bottom, canvas);
    XomCanvasRemoveClip(canvas);
}

void XomXYPlotPaintFront(Widget plot, XomCanvas canvas)
{
    XomXYPlotPart* p = XomXYPlotOf(plot);
    if (p->draw_frame) {
        XomLineAttributes line = canvas->line;
        line.color = XomGraphic(plot)->color;
        line.width = 0;
        line.style = XomLINE_SOLID;
        XomCanvasSetLineAttributes(canvas, &line);
        XomCanvasRectangle(canvas, p->box.x, p->box.y, p->box.width - 1, p->box.height - 1);
    }
    XomAxisDrawScale(p->left, canvas);
    XomAxisDrawScale(p->bottom, canvas);
}
