/* XomChart: its data, the line series drawing each data object and the series' colours
 * and symbols. A chart hooks its destroy and update procedures to each data object it
 * shows, so that a data object going away or changing reaches it. */
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/ChartModel.h"
#include "toolkit/ChartP.h"
#include "toolkit/Data.h"
#include "toolkit/EditObject.h"
#include "toolkit/LineSeriesP.h"
#include "toolkit/XYPlotP.h"
#include "toolkit/XomP.h"

static void DataDestroyedCallback(Widget data, XtPointer client, XtPointer);
static void DataUpdatedCallback(Widget data, XtPointer client, XtPointer call);

void XomChartLoadColors(Widget chart)
{
    XomChartPart* c = XomChartOf(chart);
    XtFree((char*)c->colors);
    c->colors = NULL;
    c->color_count = 0;
    Widget area = XomGraphicArea(chart);
    Display* display = XtDisplayOfObject(chart);
    Colormap colormap =
        area ? area->core.colormap : DefaultColormap(display, DefaultScreen(display));
    XColor shown, exact;
    if (XAllocNamedColor(display, colormap, "gray75", &shown, &exact))
        c->grid_color = shown.pixel;
    if (!c->color_list)
        return;
    int names = 0;
    while (c->color_list[names] && *c->color_list[names])
        names++;
    c->colors = (Pixel*)XtMalloc((Cardinal)(sizeof(Pixel) * (names + 1)));
    /* A name that cannot be allocated ends the usable part of the list. */
    while (c->color_count < names
           && XAllocNamedColor(display, colormap, c->color_list[c->color_count], &shown, &exact))
        c->colors[c->color_count++] = shown.pixel;
}

static int DataIndex(Widget chart, Widget data)
{
    XomChartBasePart* b = XomChartBaseOf(chart);
    for (Cardinal i = 0; i < b->data_list_count; i++)
        if (b->data_list[i] == data)
            return (int)i;
    return -1;
}

/* The line series of the data at index i of the data list, in its series' attributes. */
static Widget MakeLine(Widget chart, Widget data, int i)
{
    XomChartPart* c = XomChartOf(chart);
    int colour = XomSeriesColorIndex(i, c->color_count);
    Pixel pixel = colour < 0 ? XomGraphic(chart)->color : c->colors[colour];
    Widget line = XtVaCreateWidget(XtName(data), xomLineSeriesObjectClass, XtParent(chart),
                                   XomNcolor, pixel, XomNsymbolType,
                                   XomSeriesSymbol(i, c->symbol_count), XomNgroup, chart, NULL);
    XomLineSeriesOf(line)->data = data;
    XomLineSeriesOf(line)->chart = chart;
    return line;
}

/* A chart redraws for changes unless frozen (the unfreeze draws once). */
static void Changed(Widget chart, Boolean relayout)
{
    if (relayout)
        XomChartInvalidateLayout(chart);
    if (!XomChartBaseOf(chart)->freeze)
        XomGraphicRedraw(chart);
}

void XomChartAssociateData(Widget chart, Widget data)
{
    if (!XomIsChart(chart) || !XomIsData(data) || data->core.being_destroyed
        || DataIndex(chart, data) >= 0)
        return;
    XomChartBasePart* b = XomChartBaseOf(chart);
    XomChartPart* c = XomChartOf(chart);
    XtAddCallback(data, XtNdestroyCallback, DataDestroyedCallback, chart);
    XtAddCallback(data, (String)XomNupdateCallback, DataUpdatedCallback, chart);
    XomDataAddView(data);
    Cardinal size = b->data_list_size;
    XomListAppend(&b->data_list, &b->data_list_count, &b->data_list_size, data);
    if (b->data_list_size != size || !c->lines) {
        c->lines =
            (WidgetList)XtRealloc((char*)c->lines, (Cardinal)(sizeof(Widget) * b->data_list_size));
        c->lines_size = b->data_list_size;
    }
    int i = (int)b->data_list_count - 1;
    c->lines[i] = MakeLine(chart, data, i);
    Changed(chart, True);
}

/* Drops data at index i: its hooks, its view count, its line. */
static void Release(Widget chart, int i, Boolean dataGoing)
{
    XomChartBasePart* b = XomChartBaseOf(chart);
    XomChartPart* c = XomChartOf(chart);
    Widget data = b->data_list[i];
    Widget line = c->lines[i];
    for (Cardinal j = (Cardinal)i + 1; j < b->data_list_count; j++) {
        b->data_list[j - 1] = b->data_list[j];
        c->lines[j - 1] = c->lines[j];
    }
    b->data_list_count--;
    /* While the editor area goes, it destroys the line itself: a sibling destroyed from
     * inside another object's destruction would outlive the area in Xt's queue. */
    if (!XtParent(chart)->core.being_destroyed)
        XomEditObjectDestroyObject(line);
    /* Data outlives no chart it was destroyed before (then its hooks went with it). */
    if (!XomDataIsLive(data))
        return;
    if (!dataGoing)
        XtRemoveCallback(data, XtNdestroyCallback, DataDestroyedCallback, chart);
    XtRemoveCallback(data, (String)XomNupdateCallback, DataUpdatedCallback, chart);
    XomDataRemoveView(data);
}

void XomChartDisassociateData(Widget chart, Widget data)
{
    if (!XomIsChart(chart))
        return;
    int i = DataIndex(chart, data);
    if (i < 0)
        return;
    Release(chart, i, False);
    /* A selected plot gives the selection back to the chart. */
    Widget area = XomGraphicArea(chart);
    Widget plot = XomChartOf(chart)->plot;
    Cardinal count;
    WidgetList selected = XomEditObjectGetSelection(area, &count);
    for (Cardinal k = 0; k < count; k++)
        if (selected[k] == plot) {
            XomEditObjectDeselectObject(area, plot);
            XomEditObjectSelectObject(area, chart);
            break;
        }
    Changed(chart, True);
}

WidgetList XomChartGetSeriesOfData(Widget chart, Widget data, int* count)
{
    *count = 0;
    if (!XomIsChart(chart))
        return NULL;
    int i = DataIndex(chart, data);
    if (i < 0)
        return NULL;
    *count = 1;
    return &XomChartOf(chart)->lines[i];
}

void XomChartReleaseAll(Widget chart)
{
    XomChartPart* c = XomChartOf(chart);
    while (XomChartBaseOf(chart)->data_list_count)
        Release(chart, (int)XomChartBaseOf(chart)->data_list_count - 1, False);
    /* The area destroys the components itself when it goes (see Release). */
    if (XtParent(chart)->core.being_destroyed)
        return;
    if (XomGraphicIsLive(c->plot)) {
        XomEditObjectDestroyObject(XomXYPlotOf(c->plot)->left);
        XomEditObjectDestroyObject(XomXYPlotOf(c->plot)->bottom);
        XomEditObjectDestroyObject(c->plot);
    }
    XomEditObjectDestroyObject(c->legend);
}

static void DataDestroyedCallback(Widget data, XtPointer client, XtPointer)
{
    Widget chart = (Widget)client;
    int i = DataIndex(chart, data);
    if (i < 0)
        return;
    Release(chart, i, True);
    Changed(chart, True);
}

static void DataUpdatedCallback(Widget, XtPointer client, XtPointer call)
{
    const XomDataCallbackStruct* record = (const XomDataCallbackStruct*)call;
    Boolean members =
        record->reason == XomCR_DATA_GROUP_ADD || record->reason == XomCR_DATA_GROUP_REMOVE;
    Changed((Widget)client, members);
}
