// The traffic chart view: one line per selected service over the last 21 polls, in a chart
// object inside an editor area, with a read-out of the value under the pointer.
#include "app/MonChart.h"

#include <stdio.h>
#include <string.h>

#include <Xm/LabelG.h>
#include <Xm/Xm.h>

#include "core/ChartScale.h"
#include "app/MonSOCKS5.h"
#include "app/MonitorApp.h"
#include "app/ServiceDialog.h"
#include "toolkit/AxisObject.h"
#include "toolkit/Chart.h"
#include "toolkit/DataGroup.h"
#include "toolkit/DataSampled.h"
#include "toolkit/EditObject.h"
#include "toolkit/Legend.h"
#include "toolkit/LineSeries.h"
#include "toolkit/Rectangle.h"
#include "toolkit/Text.h"
#include "toolkit/XYPlot.h"
#include "toolkit/util.h"

// New series start flat at zero.
static float default_traffic[CHART_SAMPLES];

// A click only reports the position: no selecting or dialogs by pointer.
static const char editobject_translations[] =
    "<FocusIn>:               ManagerFocusIn() \n"
    "        <FocusOut>:              ManagerFocusOut() \n"
    "    None<Btn1Down>:              TraverseCurrent() Locator() \n"
    "        <PtrMoved>:              DrawCursor() ExtendAreaSelection() ObjectEdit() Locator()";

// Axis labels and the legend in 10 points, smaller than the window's text, so the plot keeps the
// room.
static const char* const kSmallFont = "-adobe-helvetica-medium-r*100*";

MonChart::MonChart(Widget parent, MonitorApp* owner)
    : box(NULL), editobject(NULL), dataGroup(NULL), chartObject(NULL), sampleCount(0),
      yCoordText(NULL), serviceDialog(NULL), app(owner)
{
    for (Widget& s : series)
        s = NULL;
    strcpy(readout, "0.0000");
    SetupChart(parent);
}

MonChart::~MonChart()
{
    delete serviceDialog;
}

// The current server's setting, or the defaults before one is chosen.
const Setting& MonChart::ShownSetting() const
{
    return app->current ? app->current->setting : app->setting;
}

// The view is a vertical box: the title "Real-time Service Traffic", then the editor area
// that holds the chart. The editor area's user data is 0 while the read-out may follow the
// pointer; the translations above keep its selecting and dialogs away from the user.
void MonChart::SetupChart(Widget parent)
{
    box = OmStandardBox(parent, 1, 0, 0);
    XtVaSetValues(box, XomNalignment, 1, NULL);
    XmString title = XmStringCreateLocalized((char*)"Real-time Service Traffic");
    XtVaCreateManagedWidget("graph_title", xmLabelGadgetClass, box, XmNalignment, 1, XmNlabelString,
                            title, XtVaTypedArg, XmNfontList, XmRString,
                            "-adobe-helvetica-bold-r*120*", 29, NULL);
    XmStringFree(title);
    XomCreateHorizontalGlue(box, 5, XOM_BOX_UNLIMITED, XOM_BOX_UNLIMITED);
    editobject = XtVaCreateManagedWidget(
        "editobject", xomEditObjectWidgetClass, box, XomNhandleSize, 0, XmNwidth, (Dimension)750,
        XmNheight, (Dimension)200, XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNhorizontalShrink,
        XOM_BOX_UNLIMITED, XomNverticalShrink, XOM_BOX_UNLIMITED, XomNverticalStretch,
        XOM_BOX_UNLIMITED, NULL);
    XtOverrideTranslations(editobject, XtParseTranslationTable(editobject_translations));
    XtVaSetValues(editobject, XmNuserData, (XtPointer)0, NULL);
    XtAddCallback(editobject, XomNlocatorCallback, GraphCallback, this);
    SetupGraph(editobject);
    XtManageChild(box);
}

// The time axis counts polls; its label says how long one is.
void MonChart::LabelTimeAxis(int seconds)
{
    char label[64];
    snprintf(label, sizeof label, "%s (%d %s)", "Elapse time", seconds, "seconds");
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_BOTTOM_AXIS), XomNlabel, label, NULL);
}

void MonChart::LabelValueAxis(UnitType unitType)
{
    char label[96];
    snprintf(label, sizeof label, "%s (%s/%s)", "Network Incremental Traffic ",
             ChartUnitText(unitType), "Elapse");
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_LEFT_AXIS), XomNlabel, label, NULL);
}

// Back to 0 to 10, the scale of an empty chart.
void MonChart::ResetValueAxis()
{
    static float limits[2] = {0.0f, 10.0f}, increments[2] = {2.0f, 1.0f};
    yLimit = limits[1];
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_PLOT), XomNyLimits, limits,
                  XomNyIncrements, increments, NULL);
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_LEFT_AXIS), XomNannotationFormat,
                  ChartAnnotationFormat(yLimit), NULL);
    LabelValueAxis(ShownSetting().unitType);
}

// Builds the chart once: a line chart over the whole area, 21 positions across (0 to 20,
// the newest sample at 0) and 0 to 10 up until the first samples come. The cyan rectangle
// with the read-out text sits in the plot's corner; the legend names the plotted services
// in three columns. Series are added for the services selected in the shown setting.
void MonChart::SetupGraph(Widget area)
{
    if (chartObject)
        return;
    static float geometry[4] = {0.0f, 0.0f, 100.0f, 100.0f};
    static int margins[4] = {2, 2, 2, 2};
    static float xLimits[2] = {0.0f, 20.0f}, yLimits[2] = {0.0f, 10.0f};
    static float xIncrements[2] = {5.0f, 1.0f}, yIncrements[2] = {2.0f, 1.0f};
    static float rectangle[4] = {0.0f, 0.0f, 10.0f, 4.0f};
    static float textLocation[2] = {1.0f, 0.0f};
    static int legendConstraint[2] = {1, 2};

    // The data group gathers every series, so the axis range can be asked of all of them at once.
    dataGroup = XomCreateDataGroup(area, "dataGroup", NULL, 0);
    chartObject = XtVaCreateWidget("chart", xomChartObjectClass, area, XomNgeometry, geometry,
                                   XomNchartMargins, margins, XomNchartType, XomCHART_TYPE_LINE,
                                   XomNcolorList, color_name_list, XomNshowLegend, 1, XomNsensitive,
                                   0, XomNpropagate, 1, NULL);
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_PLOT), XomNxLimits, xLimits,
                  XomNyLimits, yLimits, XomNxIncrements, xIncrements, XomNyIncrements, yIncrements,
                  XomNpropagate, 1, XomNmove, 0, XomNdrawFrame, 1, XomNsymbol, 1, XomNsymbolSize, 6,
                  XomNhighlightMode, 0, XomNshape, 0, NULL);

    Widget rec = XtVaCreateWidget("rec", xomRectangleObjectClass, area, XomNrectangle, rectangle,
                                  XomNfillColor, XomLoadColor(XtDisplay(area), "cyan"),
                                  XomNfillStyle, XomFILL_SOLID, XomNshape, 0, NULL);
    XomChartInsertObject(chartObject, rec);
    yCoordText = XtVaCreateWidget("y-coord", xomTextObjectClass, area, XomNtextLocation,
                                  textLocation, XomNlabelFont, kSmallFont, XomNtextString, readout,
                                  XomNresourceDialog, 0, NULL);
    XomChartInsertObject(chartObject, yCoordText);

    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_LEFT_AXIS), XomNaxisLineThickness, 0,
                  XomNmajorGridLineStyle, XomLINE_ON_OFF_DASH, XomNlabelFont, kSmallFont,
                  XomNannotationFont, kSmallFont, XomNannotationFormat, "%.2f", XomNtickPlacement,
                  1, NULL);
    LabelValueAxis(ShownSetting().unitType);
    char label[96];
    // Sixty seconds, the interval until a server's own is known.
    snprintf(label, sizeof label, "%s (%d %s)", "Elapse time", 60, "seconds");
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_BOTTOM_AXIS), XomNaxisLineThickness, 0,
                  XomNmajorGridLineStyle, XomLINE_ON_OFF_DASH, XomNlabelFont, kSmallFont,
                  XomNannotationFont, kSmallFont, XomNlabel, label, XomNtickPlacement, 0, NULL);
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_LEGEND), XomNconstraint,
                  legendConstraint, XomNfont, kSmallFont, XomNiconWidth, 11, XomNcolumns, 3,
                  XomNlineStyle, XomSHADOW_OUT, XomNlineThickness, 2, NULL);

    AlterChart(ShownSetting());
    if (app->current)
        LabelTimeAxis(app->current->setting.updateInterval / 1000);
}

// Each selected service's series shifts by one, taking in the traffic counted for it since
// the last poll (serviceTraffic, in the shown unit); the counts start again at zero.
void MonChart::RasterChart()
{
    if (!app->current || !chartObject)
        return;
    const Setting& s = app->current->setting;
    // One repaint for the whole poll: the area draws once when it is thawed.
    XomEditObjectFreeze(editobject, True);
    for (int i = 0; i < s.serviceCount && i < SETTING_SERVICES; i++) {
        if (s.serviceSelected[i])
            XomDataSampledShift(series[i], &app->serviceTraffic[i], -1);
        app->serviceTraffic[i] = 0;
    }
    AdjustCoordY();
    XomEditObjectFreeze(editobject, False);
}

// Refits the vertical axis to the largest sample on show: the limit is rounded up to a
// figure that reads well (ChartUpperLimit), with major ticks at fifths and minor ticks at
// tenths of it, and the annotation format chosen for that limit so that labels do not
// crowd. A sample too large to be real comes from a counter that went backwards on the
// server (a restart); it is cleared rather than allowed to flatten every other line.
void MonChart::AdjustCoordY()
{
    XomChartFreezeUpdates(chartObject, 1);
    float low = 0.0f, high = 0.0f;
    Boolean found = XomDataRangeY(dataGroup, &low, &high);
    if (found && high >= CHART_OVERFLOW_SAMPLE) {
        // A byte count that went backwards: one such sample is cleared per call.
        sampleCount = CHART_SAMPLES;
        const Setting& s = ShownSetting();
        for (int i = 0; i < s.serviceCount && i < SETTING_SERVICES; i++) {
            float* copy = series[i] ? XomDataSampledGetDataArray(series[i], 0, sampleCount) : NULL;
            if (!copy)
                continue;
            int j = ChartOverflowPosition(copy, sampleCount, high);
            if (j >= 0) {
                copy[j] = 0.0f;
                XomDataSampledReplace(series[i], copy, 0, sampleCount);
                found = XomDataRangeY(dataGroup, &low, &high);
            }
            XtFree((char*)copy);
            if (j >= 0)
                break;
        }
    }
    // Changed only when the largest sample changed, so a steady chart is not redrawn for nothing.
    if (found && yLimit != high) {
        double limit = ConvertUpperLimit(high);
        yLimit = limit;
        float limits[2] = {0.0f, (float)limit};
        float increments[2] = {(float)(limit / 5), (float)(limit / 10)};
        XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_PLOT), XomNyLimits, limits,
                      XomNyIncrements, increments, NULL);
    }
    XtVaSetValues(XomChartGetComponent(chartObject, XomCHART_LEFT_AXIS), XomNannotationFormat,
                  ChartAnnotationFormat(yLimit), NULL);
    XomChartFreezeUpdates(chartObject, 0);
}

double MonChart::ConvertUpperLimit(double max)
{
    return ChartUpperLimit(max);
}

// A new update interval gives the samples another meaning: the chart starts afresh.
void MonChart::AdjustCoordX(int)
{
    ClearChart();
}

// The samples were taken in the old unit: each is divided by the ratio of the units, so the lines
// keep their history in the new one.
void MonChart::RasterChartUnitChange(double factor)
{
    sampleCount = CHART_SAMPLES;
    const Setting& s = ShownSetting();
    XomEditObjectFreeze(editobject, True);
    for (int i = 0; i < s.serviceCount && i < SETTING_SERVICES; i++) {
        float* copy = series[i] ? XomDataSampledGetDataArray(series[i], 0, sampleCount) : NULL;
        if (!copy)
            continue;
        for (int k = 0; k < sampleCount; k++)
            copy[k] = (float)(copy[k] / factor);
        XomDataSampledReplace(series[i], copy, 0, sampleCount);
        XtFree((char*)copy);
    }
    AdjustCoordY();
    XomChartFreezeUpdates(chartObject, 1);
    LabelValueAxis(s.unitType);
    XomChartFreezeUpdates(chartObject, 0);
    XomEditObjectFreeze(editobject, False);
}

// Plots the services that the setting selects and have no series yet, and takes away the
// lines of those it no longer selects.
void MonChart::AlterChart(const Setting& s)
{
    XomChartFreezeUpdates(chartObject, 1);
    XomEditObjectFreeze(editobject, True);
    for (int i = 0; i < s.serviceCount && i < SETTING_SERVICES; i++) {
        if (s.serviceSelected[i] && !series[i])
            AddDataOnChart(i);
        else if (!s.serviceSelected[i] && series[i])
            XomChartDisassociateData(chartObject, series[i]);
    }
    XomChartFreezeUpdates(chartObject, 0);
    XomEditObjectFreeze(editobject, False);
}

// A new series of zeros for service i, in the data group so that the axis range sees it.
void MonChart::AddNewApp(int i)
{
    if (i < 0 || i >= SETTING_SERVICES)
        return;
    const Setting& s = ShownSetting();
    if (series[i])
        XomEditObjectDestroyObject(series[i]);
    const char* name = s.serviceName[i] && *s.serviceName[i] ? s.serviceName[i] : "service";
    static float range[2] = {0.0f, 1.0f};
    series[i] = XtVaCreateWidget(name, xomDataSampledObjectClass, editobject, XomNeditable, True,
                                 XomNdataType, 3, XomNdataArray, default_traffic, XomNcount,
                                 CHART_SAMPLES, XomNsampledRange, range, XomNdataGroup, dataGroup,
                                 XomNlastViewDestroy, False, XomNcopyData, True, NULL);
}

// The series is plotted with symbol number i (the ten symbols used twice over) and its line
// is selected, so that the Graph Settings dialog's editor acts on it.
void MonChart::AddDataOnChart(int i)
{
    AddNewApp(i);
    if (i < 0 || i >= SETTING_SERVICES)
        return;
    XomChartAssociateData(chartObject, series[i]);
    int count = 0;
    WidgetList lines = XomChartGetSeriesOfData(chartObject, series[i], &count);
    if (!count)
        return;
    XtVaSetValues(lines[0], XomNsymbolType, i <= 9 ? i : i - 10, NULL);
    XomEditObjectSelectObject(editobject, lines[0]);
}

// Destroys every series; the chart's lines go with them.
void MonChart::RemoveGraphObject()
{
    XomEditObjectFreeze(editobject, True);
    for (Widget& s : series) {
        if (s)
            XomEditObjectDestroyObject(s);
        s = NULL;
    }
    XomEditObjectFreeze(editobject, False);
}

// Every series is thrown away and the selected services start again from zero.
void MonChart::ClearChart()
{
    RemoveGraphObject();
    if (!app->current)
        return;
    AlterChart(app->current->setting);
    XomChartFreezeUpdates(chartObject, 1);
    LabelTimeAxis(app->current->setting.updateInterval / 1000);
    // No scale or unit of what was shown before stays over the empty series.
    ResetValueAxis();
    XomChartFreezeUpdates(chartObject, 0);
}

// The dialog is made on first use and kept; later calls pop it up again.
void MonChart::BuildServicePanel()
{
    if (serviceDialog)
        serviceDialog->BuildServicePanel(editobject);
    else
        serviceDialog = new ServiceDialog(editobject, app, this);
}

void MonChart::GraphCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    static_cast<MonChart*>(clientData)->GraphUpdate(w, clientData, callData);
}

// The pixel position of the pointer in a press or motion event.
static bool EventPosition(const XEvent* event, int* x, int* y)
{
    if (!event)
        return false;
    switch (event->type) {
    case ButtonPress:
    case ButtonRelease:
        *x = event->xbutton.x;
        *y = event->xbutton.y;
        return true;
    case MotionNotify:
        *x = event->xmotion.x;
        *y = event->xmotion.y;
        return true;
    default:
        return false;
    }
}

// The read-out: the pointer's pixel position turned into the axes' units and shown as the
// value under it; positions outside the plot show "0.0000" (see ChartReadoutText).
void MonChart::GraphUpdate(Widget, XtPointer, XtPointer callData)
{
    XtPointer userData = NULL;
    XtVaGetValues(editobject, XmNuserData, &userData, NULL);
    const XomLocatorCallbackStruct* record = (const XomLocatorCallbackStruct*)callData;
    int px, py;
    // A non-zero user data holds the read-out still, while something else uses the area.
    if (userData || !record || !EventPosition(record->event, &px, &py))
        return;
    Widget xAxis = XomChartGetComponent(chartObject, XomCHART_BOTTOM_AXIS);
    Widget yAxis = XomChartGetComponent(chartObject, XomCHART_LEFT_AXIS);
    float* xLimits = NULL;
    float* yLimits = NULL;
    XtVaGetValues(xAxis, XomNlimits, &xLimits, NULL);
    XtVaGetValues(yAxis, XomNlimits, &yLimits, NULL);
    float x, v;
    // Left or right of the plot nothing is shown; above or below it the read-out says zero.
    if (!XomAxisObjectPixelToUser(xAxis, px, &x))
        return;
    if (!XomAxisObjectPixelToUser(yAxis, py, &v))
        strcpy(readout, "0.0000");
    else
        ChartReadoutText(readout, sizeof readout, x, xLimits[1], v, yLimits[1]);
    XtVaSetValues(yCoordText, XomNtextString, readout, NULL);
}
