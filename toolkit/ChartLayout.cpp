/* XomChart: where the plot, the axes' labels, the legend and the title go, and painting
 * them in layers: background, plot, objects placed in the chart, grid, the series, the
 * frame and axes, the legend, the texts placed in the chart, the title. */
#include <math.h>
#include <string.h>

#include "toolkit/AxisObjectP.h"
#include "toolkit/ChartP.h"
#include "toolkit/EditObject.h"
#include "toolkit/LegendP.h"
#include "toolkit/LineSeries.h"
#include "toolkit/Text.h"
#include "toolkit/XYPlotP.h"

enum {
    GAP = 4, /* between the parts of a chart */
    TICK = 5 /* how far major ticks reach out of the plot */
};

static XFontStruct* TitleFont(Widget chart)
{
    return XomLoadFont(XtDisplayOfObject(chart), XomGraphic(chart)->font);
}

static int LineHeight(XFontStruct* font)
{
    return font->ascent + font->descent;
}

/* The chart's box from "geometry", in content pixels, corners in either order. */
static XomArea ChartBox(Widget chart, Widget area)
{
    const float* g = XomChartOf(chart)->corners;
    int x1, y1, x2, y2;
    XomEditObjectUserToPixel(area, g[0], g[1], &x1, &y1);
    XomEditObjectUserToPixel(area, g[2], g[3], &x2, &y2);
    return XomArea{XomMin(x1, x2), XomMin(y1, y2), abs(x2 - x1), abs(y2 - y1)};
}

/* What the bottom axis's last label reaches right of the plot. */
static int RightOverhang(Widget axis)
{
    XFontStruct* font = XomAxisAnnotationFont(axis);
    char text[64];
    XomAxisTickText(axis, XomAxisOf(axis)->limits[1], text, sizeof text);
    return XTextWidth(font, text, (int)strlen(text)) / 2 + 1;
}

static void SetAxisPlot(Widget axis, const XomArea& plot, Boolean valid)
{
    XomAxisOf(axis)->plot = plot;
    XomAxisOf(axis)->laid_out = valid;
}

void XomChartLayout(Widget chart)
{
    XomChartPart* c = XomChartOf(chart);
    XomXYPlotPart* p = XomXYPlotOf(c->plot);
    Widget area = XomGraphicArea(chart);
    c->layout_valid = True;
    c->laid_width = area ? area->core.width : 0;
    c->laid_height = area ? area->core.height : 0;
    c->box = area ? ChartBox(chart, area) : XomArea{0, 0, 0, 0};

    const int* m = c->margins;
    XomArea inner = {c->box.x + m[0], c->box.y + m[2], c->box.width - m[0] - m[1],
                     c->box.height - m[2] - m[3]};
    XFontStruct* titleFont = TitleFont(chart);
    if (c->chart_title && *c->chart_title) {
        inner.y += LineHeight(titleFont) + GAP;
        inner.height -= LineHeight(titleFont) + GAP;
    }
    if (c->chart_footer && *c->chart_footer)
        inner.height -= LineHeight(titleFont) + GAP;

    /* The vertical axis writes its label above the plot, its tick labels to the left. */
    Widget left = p->left, bottom = p->bottom;
    XFontStruct* annotation = XomAxisAnnotationFont(left);
    int above = LineHeight(annotation) / 2 + 1;
    if (XomAxisOf(left)->label && *XomAxisOf(left)->label)
        above = XomMax(above, LineHeight(XomAxisLabelFont(left)) + GAP + TICK);
    int leftSpace = XomAxisOutsideSpace(left);
    int belowSpace = XomAxisOutsideSpace(bottom);
    int rightSpace = RightOverhang(bottom);

    /* The legend goes beside the plot, never over it. */
    XomLegendPart* legend = XomLegendOf(c->legend);
    legend->box = XomArea{0, 0, 0, 0};
    int legendWidth = 0, legendHeight = 0;
    if (c->show_legend)
        XomLegendMeasure(c->legend, inner.height, &legendWidth, &legendHeight);
    if (legendWidth > 0)
        inner.width -= legendWidth + c->axis_spacing;

    XomArea plot = {inner.x + leftSpace, inner.y + above, inner.width - leftSpace - rightSpace,
                    inner.height - above - belowSpace};
    Boolean valid = area && plot.width > 1 && plot.height > 1;
    if (!valid)
        plot.width = plot.height = 0;
    p->box = plot;
    SetAxisPlot(left, plot, valid);
    SetAxisPlot(bottom, plot, valid);

    if (legendWidth > 0 && valid) {
        int x = plot.x + plot.width + rightSpace + c->axis_spacing;
        int y = plot.y; /* the top of the plot, or as "constraint" places it along the side */
        int room = plot.height - legendHeight;
        if (legend->constraint[1] == 1)
            y += XomMax(0, room / 2);
        else if (legend->constraint[1] == 2)
            y += XomMax(0, room);
        legend->box = XomArea{x, y, legendWidth, XomMin(legendHeight, inner.y + inner.height - y)};
    }
}

/* Texts placed in the chart are painted over the series, other objects under the grid and
 * the series, so that a read-out stays legible and a box placed in the plot hides no line. */
static Boolean PaintedOnTop(Widget object)
{
    return XomIsText(object);
}

static Boolean IsComponentOrLine(Widget chart, Widget member)
{
    XomChartPart* c = XomChartOf(chart);
    return member == c->plot || member == c->legend || XomIsLineSeries(member);
}

static void PaintPlaced(Widget chart, XomCanvas canvas, const XomArea* area, Boolean onTop)
{
    XomGroupPart* g = XomGroup(chart);
    for (Cardinal i = 0; i < g->list_count; i++) {
        Widget member = g->list[i];
        if (!IsComponentOrLine(chart, member) && PaintedOnTop(member) == onTop)
            XomGraphicDraw(member, canvas, area);
    }
}

static void PaintText(Widget chart, XomCanvas canvas, const char* text, int y)
{
    if (!text || !*text)
        return;
    XomChartPart* c = XomChartOf(chart);
    XFontStruct* font = TitleFont(chart);
    XomCanvasSetFont(canvas, font, XomGraphic(chart)->font);
    XomCanvasSetColor(canvas, XomGraphic(chart)->color);
    int length = (int)strlen(text);
    int x = c->box.x + (c->box.width - XTextWidth(font, text, length)) / 2;
    XomCanvasText(canvas, x, y + font->ascent, text, length);
}

void XomChartPaint(Widget chart, XomCanvas canvas, const XomArea* area)
{
    XomChartPart* c = XomChartOf(chart);
    if (XomChartBaseOf(chart)->freeze)
        return;
    XomChartEnsureLayout(chart);
    XomGraphicPart* gp = XomGraphic(chart);
    if (gp->fill_style != XomFILL_NONE) {
        /* Painted solid: a stipple over the whole chart would make the lines hard to read. */
        XomFillAttributes fill = canvas->fill;
        fill.color = gp->fill_color;
        fill.style = XomFILL_SOLID;
        XomCanvasSetFillAttributes(canvas, &fill);
        XomCanvasFillRectangle(canvas, c->box.x, c->box.y, c->box.width, c->box.height);
    }
    if (!XomAxisOf(XomXYPlotOf(c->plot)->left)->laid_out)
        return;
    XomXYPlotPaintBack(c->plot, canvas);
    XomArea plot = XomXYPlotOf(c->plot)->box;
    XomCanvasSetClip(canvas, &plot);
    PaintPlaced(chart, canvas, area, False);
    XomCanvasRemoveClip(canvas);
    XomXYPlotPaintGrid(c->plot, canvas);
    Cardinal count;
    WidgetList lines = XomChartSeriesList(chart, &count);
    for (Cardinal i = 0; i < count; i++)
        XomGraphicDraw(lines[i], canvas, area);
    XomXYPlotPaintFront(c->plot, canvas);
    XomLegendPaint(c->legend, canvas);
    PaintPlaced(chart, canvas, area, True);
    const int* m = c->margins;
    XFontStruct* font = TitleFont(chart);
    PaintText(chart, canvas, c->chart_title, c->box.y + m[2]);
    PaintText(chart, canvas, c->chart_footer, c->box.y + c->box.height - m[3] - LineHeight(font));
}
