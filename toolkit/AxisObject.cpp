/* XomAxisObject: value-to-pixel mapping along a plot edge, and the axis's own painting. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/AxisObjectP.h"
#include "toolkit/AxisTicks.h"
#include "toolkit/ChartModel.h"
#include "toolkit/ChartP.h"
#include "toolkit/CompBase.h"
#include "toolkit/util.h"

enum {
    MAJOR_TICK = 5, /* pixels a major tick reaches out of the plot */
    MINOR_TICK = 3,
    LABEL_GAP = 3, /* between ticks and their labels */
    DASH = 3       /* dash length of grid lines */
};

static float defaultLimits[2] = {0.0f, 10.0f};
static float defaultIncrements[2] = {2.0f, 1.0f};

#define offset(field) XtOffsetOf(XomAxisObjectRec, axis.field)
static XtResource resources[] = {
    {(String)XomNlabel, (String) "Label", (String)XmRString, sizeof(String), offset(label),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNlabelFont, (String) "LabelFont", (String)XmRString, sizeof(String),
     offset(label_font), (String)XmRImmediate, (XtPointer) "-*-Helvetica-*--*-140-*"},
    {(String)XomNannotationFont, (String) "AnnotationFont", (String)XmRString, sizeof(String),
     offset(annotation_font), (String)XmRImmediate, (XtPointer) "-*-Helvetica-*--*-120-*"},
    {(String)XomNannotationFormat, (String) "AnnotationFormat", (String)XmRString, sizeof(String),
     offset(annotation_format), (String)XmRImmediate, (XtPointer) "%g"},
    {(String)XomNannotationPlacement, (String) "AnnotationPlacement", (String)XmRInt, sizeof(int),
     offset(annotation_placement), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNtickPlacement, (String) "TickPlacement", (String)XmRInt, sizeof(int),
     offset(tick_placement), (String)XmRImmediate, (XtPointer)2},
    {(String)XomNaxisLineThickness, (String) "AxisLineThickness", (String)XmRInt, sizeof(int),
     offset(axis_line_thickness), (String)XmRImmediate, (XtPointer)2},
    {(String)XomNmajorGridLineStyle, (String) "GridLineStyle", (String)XomRLineStyle, sizeof(int),
     offset(major_grid_line_style), (String)XmRImmediate, (XtPointer)XomLINE_NONE},
    {(String)XomNminorGridLineStyle, (String) "GridLineStyle", (String)XomRLineStyle, sizeof(int),
     offset(minor_grid_line_style), (String)XmRImmediate, (XtPointer)XomLINE_NONE},
    {(String)XomNlimits, (String) "Limits", (String)XmRPointer, sizeof(float*), offset(limits),
     (String)XmRImmediate, (XtPointer)defaultLimits},
    {(String)XomNincrements, (String) "Increments", (String)XmRPointer, sizeof(float*),
     offset(increments), (String)XmRImmediate, (XtPointer)defaultIncrements},
    {(String)XomNlogScale, (String) "LogScale", (String)XmRBoolean, sizeof(Boolean),
     offset(log_scale), (String)XmRImmediate, (XtPointer)False},
    {(String)XomNreverseOrder, (String) "ReverseOrder", (String)XmRBoolean, sizeof(Boolean),
     offset(reverse_order), (String)XmRImmediate, (XtPointer)False},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Bounds(Widget g, XomArea* bounds);
static Boolean ValueToPixel(Widget axis, double value, int* pixel);

XomAxisObjectClassRec xomAxisObjectClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGraphicClassRec,
        /* class_name */ (String) "XomAxisObject",
        /* widget_size */ sizeof(XomAxisObjectRec),
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
        /* draw */ NULL, /* the chart paints its axes in its own order */
        /* bounds */ Bounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ ValueToPixel,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomAxisObjectClass = (WidgetClass)&xomAxisObjectClassRec;

/* The pair resources point at the object's own copies. */
static void LoadPair(float** field, float* own, const float* given)
{
    if (given && given != own) {
        own[0] = given[0];
        own[1] = given[1];
    }
    *field = own;
}

/* The texts are the axis's own copies: callers pass buffers that do not last. */
static String Copy(String text)
{
    return text ? XtNewString(text) : NULL;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomAxisObjectPart* a = XomAxisOf(created);
    a->label = Copy(a->label);
    a->annotation_format = Copy(a->annotation_format);
    LoadPair(&a->limits, a->limit_values, a->limits);
    LoadPair(&a->increments, a->increment_values, a->increments);
    a->orientation = XomAXIS_HORIZONTAL;
    a->chart = NULL;
    a->laid_out = False;
    a->plot = XomArea{0, 0, 0, 0};
}

static void Destroy(Widget w)
{
    XtFree(XomAxisOf(w)->label);
    XtFree(XomAxisOf(w)->annotation_format);
}

static void Recopy(String* now, String was)
{
    if (*now == was)
        return;
    *now = Copy(*now);
    XtFree(was);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomAxisObjectPart* was = XomAxisOf(old);
    XomAxisObjectPart* now = XomAxisOf(updated);
    LoadPair(&now->limits, now->limit_values, now->limits);
    LoadPair(&now->increments, now->increment_values, now->increments);
    Recopy(&now->label, was->label);
    Recopy(&now->annotation_format, was->annotation_format);
    XomChartInvalidateLayout(now->chart);
    return False;
}

/* ---- mapping ---- */

static Boolean Scale(Widget axis, XomAxisScale* scale)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    XomChartEnsureLayout(a->chart);
    if (!a->laid_out)
        return False;
    scale->minimum = a->limits[0];
    scale->maximum = a->limits[1];
    scale->logScale = a->log_scale;
    scale->reverse = a->reverse_order;
    if (a->orientation == XomAXIS_VERTICAL) {
        scale->from = a->plot.y + a->plot.height;
        scale->to = a->plot.y;
    } else {
        scale->from = a->plot.x;
        scale->to = a->plot.x + a->plot.width;
    }
    return True;
}

Boolean XomAxisObjectValueToPixel(Widget axis, double value, double* pixel)
{
    XomAxisScale scale;
    return XomIsAxisObject(axis) && Scale(axis, &scale)
        && XomAxisScaleToPixel(&scale, value, pixel);
}

static Boolean ValueToPixel(Widget axis, double value, int* pixel)
{
    double at;
    if (!XomAxisObjectValueToPixel(axis, value, &at))
        return False;
    *pixel = (int)lround(fmax(-1e6, fmin(1e6, at)));
    return True;
}

Boolean XomAxisObjectPixelToUser(Widget axis, int pixel, float* value)
{
    XomAxisScale scale;
    if (!XomIsAxisObject(axis) || !Scale(axis, &scale))
        return False;
    Widget area = XomGraphicArea(axis);
    int ox = 0, oy = 0;
    if (area)
        XomCompBaseGetOrigin(area, &ox, &oy);
    double v;
    if (!XomAxisScaleToValue(
            &scale, pixel + (XomAxisOf(axis)->orientation == XomAXIS_VERTICAL ? oy : ox), &v))
        return False;
    *value = (float)v;
    return True;
}

/* ---- texts and space ---- */

const char* XomAxisFormat(Widget axis)
{
    const char* format = XomAxisOf(axis)->annotation_format;
    return XomFormatTakesOneDouble(format) ? format : "%g";
}

void XomAxisTickText(Widget axis, double value, char* text, size_t size)
{
    if (fabs(value)
        < 1e-12 * fmax(fabs(XomAxisOf(axis)->limits[0]), fabs(XomAxisOf(axis)->limits[1])))
        value = 0.0; /* no "-0.00" */
    snprintf(text, size, XomAxisFormat(axis), value);
}

XFontStruct* XomAxisAnnotationFont(Widget axis)
{
    return XomLoadFont(XtDisplayOfObject(axis), XomAxisOf(axis)->annotation_font);
}

XFontStruct* XomAxisLabelFont(Widget axis)
{
    return XomLoadFont(XtDisplayOfObject(axis), XomAxisOf(axis)->label_font);
}

static int TickReach(Widget axis)
{
    return XomAxisOf(axis)->tick_placement == 0 ? 0 : MAJOR_TICK;
}

/* The widest tick label of the axis's major ticks. */
static int WidestTickText(Widget axis, XFontStruct* font)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    XomTickList ticks;
    _XomCalculateLinearTicks(a->limits[0], a->limits[1], a->increments[0], a->increments[1], 1,
                             &ticks);
    int widest = 0;
    char text[64];
    for (int i = 0; i < ticks.majorCount; i++) {
        XomAxisTickText(axis, ticks.major[i], text, sizeof text);
        widest = XomMax(widest, XTextWidth(font, text, (int)strlen(text)));
    }
    _XomFreeTicks(&ticks);
    return widest;
}

int XomAxisOutsideSpace(Widget axis)
{
    XFontStruct* font = XomAxisAnnotationFont(axis);
    int reach = TickReach(axis) + LABEL_GAP;
    if (XomAxisOf(axis)->orientation == XomAXIS_VERTICAL)
        return reach + WidestTickText(axis, font);
    int space = reach + font->ascent + font->descent;
    if (XomAxisOf(axis)->label && *XomAxisOf(axis)->label) {
        XFontStruct* lf = XomAxisLabelFont(axis);
        space += LABEL_GAP + lf->ascent + lf->descent;
    }
    return space;
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomAxisObjectPart* a = XomAxisOf(g);
    XomChartEnsureLayout(a->chart);
    *bounds = XomArea{0, 0, 0, 0};
    if (!a->laid_out)
        return;
    int space = XomAxisOutsideSpace(g);
    if (a->orientation == XomAXIS_VERTICAL) {
        XFontStruct* lf = XomAxisLabelFont(g);
        int above = lf->ascent + lf->descent + LABEL_GAP + MAJOR_TICK;
        *bounds = XomArea{a->plot.x - space, a->plot.y - above, a->plot.width + space,
                          a->plot.height + above + MAJOR_TICK};
    } else {
        *bounds = XomArea{a->plot.x - space, a->plot.y, a->plot.width + 2 * space,
                          a->plot.height + space};
    }
}

/* ---- painting ---- */

static void SetLine(XomCanvas canvas, Pixel color, int width, int style)
{
    XomLineAttributes line = canvas->line;
    line.color = color;
    line.width = width;
    line.style = style;
    line.dashLength = DASH;
    XomCanvasSetLineAttributes(canvas, &line);
}

/* The ticks of the axis in pixels along it; empty when it cannot map. */
static void PixelTicks(Widget axis, XomTickList* ticks)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    _XomCalculateLinearTicks(a->limits[0], a->limits[1], a->increments[0], a->increments[1], 1,
                             ticks);
}

static void GridLine(Widget axis, XomCanvas canvas, double value)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    double p;
    if (!XomAxisObjectValueToPixel(axis, value, &p))
        return;
    int at = (int)lround(p);
    if (a->orientation == XomAXIS_VERTICAL)
        XomCanvasLine(canvas, a->plot.x, at, a->plot.x + a->plot.width - 1, at);
    else
        XomCanvasLine(canvas, at, a->plot.y, at, a->plot.y + a->plot.height - 1);
}

void XomAxisDrawGrid(Widget axis, XomCanvas canvas)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    if (!a->laid_out
        || (a->major_grid_line_style == XomLINE_NONE && a->minor_grid_line_style == XomLINE_NONE))
        return;
    XomTickList ticks;
    PixelTicks(axis, &ticks);
    Pixel grid = XomChartGridColor(a->chart);
    if (a->minor_grid_line_style != XomLINE_NONE) {
        SetLine(canvas, grid, 0, a->minor_grid_line_style);
        for (int i = 0; i < ticks.minorCount; i++)
            GridLine(axis, canvas, ticks.minor[i]);
    }
    if (a->major_grid_line_style != XomLINE_NONE) {
        SetLine(canvas, grid, 0, a->major_grid_line_style);
        for (int i = 0; i < ticks.majorCount; i++)
            GridLine(axis, canvas, ticks.major[i]);
    }
    _XomFreeTicks(&ticks);
}

/* A tick of the given length at pixel p, placed by "tickPlacement". */
static void Tick(Widget axis, XomCanvas canvas, int p, int length)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    int out = a->tick_placement == 0 ? 0 : length;
    int in = a->tick_placement == 1 ? 0 : length;
    if (a->orientation == XomAXIS_VERTICAL)
        XomCanvasLine(canvas, a->plot.x - out, p, a->plot.x + in, p);
    else {
        int edge = a->plot.y + a->plot.height - 1;
        XomCanvasLine(canvas, p, edge - in, p, edge + out);
    }
}

void XomAxisDrawScale(Widget axis, XomCanvas canvas)
{
    XomAxisObjectPart* a = XomAxisOf(axis);
    XomGraphicPart* gp = XomGraphic(axis);
    if (!a->laid_out)
        return;
    const XomArea& plot = a->plot;
    Boolean vertical = a->orientation == XomAXIS_VERTICAL;
    SetLine(canvas, gp->color, a->axis_line_thickness > 1 ? a->axis_line_thickness : 0,
            XomLINE_SOLID);
    if (vertical)
        XomCanvasLine(canvas, plot.x, plot.y, plot.x, plot.y + plot.height - 1);
    else
        XomCanvasLine(canvas, plot.x, plot.y + plot.height - 1, plot.x + plot.width - 1,
                      plot.y + plot.height - 1);
    SetLine(canvas, gp->color, 0, XomLINE_SOLID);

    XomTickList ticks;
    PixelTicks(axis, &ticks);
    double p;
    for (int i = 0; i < ticks.minorCount; i++)
        if (XomAxisObjectValueToPixel(axis, ticks.minor[i], &p))
            Tick(axis, canvas, (int)lround(p), MINOR_TICK);

    XFontStruct* font = XomAxisAnnotationFont(axis);
    XomCanvasSetFont(canvas, font, a->annotation_font);
    XomCanvasSetColor(canvas, gp->color);
    int reach = TickReach(axis) + LABEL_GAP;
    int height = font->ascent + font->descent;
    /* Labels that would run into the one drawn before are left out. */
    int lastEdge = vertical ? 1 << 30 : -(1 << 30);
    for (int i = 0; i < ticks.majorCount; i++) {
        if (!XomAxisObjectValueToPixel(axis, ticks.major[i], &p))
            continue;
        int at = (int)lround(p);
        Tick(axis, canvas, at, MAJOR_TICK);
        char text[64];
        XomAxisTickText(axis, ticks.major[i], text, sizeof text);
        int length = (int)strlen(text);
        int width = XTextWidth(font, text, length);
        if (vertical) {
            int top = at - height / 2;
            if (top + height > lastEdge)
                continue;
            XomCanvasText(canvas, plot.x - reach - width, top + font->ascent, text, length);
            lastEdge = top - 1;
        } else {
            int left = at - width / 2;
            if (left < lastEdge)
                continue;
            XomCanvasText(canvas, left, plot.y + plot.height + reach + font->ascent, text, length);
            lastEdge = left + width + 2 * LABEL_GAP;
        }
    }
    _XomFreeTicks(&ticks);

    if (!a->label || !*a->label)
        return;
    XFontStruct* lf = XomAxisLabelFont(axis);
    XomCanvasSetFont(canvas, lf, a->label_font);
    int length = (int)strlen(a->label);
    int width = XTextWidth(lf, a->label, length);
    if (vertical) {
        /* Written across, above the axis: upright text reads at a glance. */
        int x = plot.x - XomAxisOutsideSpace(axis);
        XomCanvasText(canvas, x, plot.y - MAJOR_TICK - LABEL_GAP - lf->descent, a->label, length);
    } else {
        int y = plot.y + plot.height + reach + height + LABEL_GAP + lf->ascent;
        XomCanvasText(canvas, plot.x + (plot.width - width) / 2, y, a->label, length);
    }
}
