/* XomLegend: measuring and painting the entries of a chart's series. */
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/ChartP.h"
#include "toolkit/LegendP.h"
#include "toolkit/LineSeriesP.h"

enum {
    PADDING = 4,    /* around the entries */
    ICON_GAP = 5,   /* between the line sample and the name */
    COLUMN_GAP = 10 /* between columns */
};

#define offset(field) XtOffsetOf(XomLegendRec, legend.field)
static XtResource resources[] = {
    {(String)XomNiconWidth, (String) "IconWidth", (String)XmRInt, sizeof(int), offset(icon_width),
     (String)XmRImmediate, (XtPointer)20},
    {(String)XomNcolumns, (String) "Columns", (String)XmRInt, sizeof(int), offset(columns),
     (String)XmRImmediate, (XtPointer)1},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Bounds(Widget g, XomArea* bounds);

XomLegendClassRec xomLegendClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGraphicClassRec,
        /* class_name */ (String) "XomLegend",
        /* widget_size */ sizeof(XomLegendRec),
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
        /* draw */ NULL, /* the chart paints it after the plot */
        /* bounds */ Bounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ NULL,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomLegendObjectClass = (WidgetClass)&xomLegendClassRec;

/* "constraint" points at the legend's own copy once set. */
static void LoadConstraint(Widget w)
{
    XomLegendPart* l = XomLegendOf(w);
    XomGraphicPart* gp = XomGraphic(w);
    if (gp->constraint && gp->constraint != (XtPointer)l->constraint) {
        l->constraint[0] = ((const int*)gp->constraint)[0];
        l->constraint[1] = ((const int*)gp->constraint)[1];
    }
    gp->constraint = (XtPointer)l->constraint;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomLegendPart* l = XomLegendOf(created);
    l->chart = NULL;
    l->constraint[0] = 1;
    l->constraint[1] = 0;
    l->box = XomArea{0, 0, 0, 0};
    l->entry_width = l->entry_height = l->rows = 0;
    LoadConstraint(created);
}

static Boolean SetValues(Widget, Widget, Widget updated, ArgList, Cardinal*)
{
    LoadConstraint(updated);
    XomChartInvalidateLayout(XomLegendOf(updated)->chart);
    return False;
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomChartEnsureLayout(XomLegendOf(g)->chart);
    *bounds = XomLegendOf(g)->box;
}

static XFontStruct* LegendFont(Widget legend)
{
    return XomLoadFont(XtDisplayOfObject(legend), XomGraphic(legend)->font);
}

void XomLegendMeasure(Widget legend, int maxHeight, int* width, int* height)
{
    XomLegendPart* l = XomLegendOf(legend);
    Cardinal count;
    WidgetList series = XomChartSeriesList(l->chart, &count);
    *width = *height = 0;
    l->rows = 0;
    if (!count)
        return;
    XFontStruct* font = LegendFont(legend);
    int widest = 0;
    for (Cardinal i = 0; i < count; i++) {
        const char* name = XtName(series[i]);
        widest = XomMax(widest, XTextWidth(font, name, (int)strlen(name)));
    }
    l->entry_height = font->ascent + font->descent + 2;
    l->entry_width = l->icon_width + ICON_GAP + widest;
    int fit = XomMax(1, (maxHeight - 2 * PADDING) / l->entry_height);
    int columns = XomMax(1, XomMin(l->columns, ((int)count + fit - 1) / fit));
    l->rows = ((int)count + columns - 1) / columns;
    *width = 2 * PADDING + columns * l->entry_width + (columns - 1) * COLUMN_GAP;
    *height = 2 * PADDING + l->rows * l->entry_height;
}

void XomLegendPaint(Widget legend, XomCanvas canvas)
{
    XomLegendPart* l = XomLegendOf(legend);
    XomGraphicPart* gp = XomGraphic(legend);
    Cardinal count;
    WidgetList series = XomChartSeriesList(l->chart, &count);
    if (!count || l->rows <= 0 || !gp->visible)
        return;
    XomCanvasSetClip(canvas, &l->box);
    XFontStruct* font = LegendFont(legend);
    XomCanvasSetFont(canvas, font, gp->font);
    int thickness = gp->line_thickness > 1 ? gp->line_thickness : 0;
    for (Cardinal i = 0; i < count; i++) {
        int column = (int)i / l->rows, row = (int)i % l->rows;
        int x = l->box.x + PADDING + column * (l->entry_width + COLUMN_GAP);
        int y = l->box.y + PADDING + row * l->entry_height;
        int middle = y + l->entry_height / 2;
        XomGraphicPart* sp = XomGraphic(series[i]);
        XomLineAttributes line = canvas->line;
        line.color = sp->color;
        line.width = XomMax(thickness, sp->line_thickness > 1 ? sp->line_thickness : 0);
        line.style = XomLINE_SOLID;
        XomCanvasSetLineAttributes(canvas, &line);
        XomCanvasLine(canvas, x, middle, x + l->icon_width - 1, middle);
        line.width = 0;
        XomCanvasSetLineAttributes(canvas, &line);
        XomFillAttributes fill = canvas->fill;
        fill.color = sp->color;
        fill.style = XomFILL_SOLID;
        XomCanvasSetFillAttributes(canvas, &fill);
        XomDrawSymbol(canvas, XomLineSeriesOf(series[i])->symbol_type, x + l->icon_width / 2,
                      middle, XomMin(l->entry_height - 4, 6));
        XomCanvasSetColor(canvas, gp->color);
        const char* name = XtName(series[i]);
        XomCanvasText(canvas, x + l->icon_width + ICON_GAP, y + 1 + font->ascent, name,
                      (int)strlen(name));
    }
    XomCanvasRemoveClip(canvas);
}
