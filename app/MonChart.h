// The lower view of the main window: the real-time traffic chart per service. Each
// selected service has a sampled series of 21 samples, the newest at position 0; every poll
// pushes the traffic since the last one into each series and refits the vertical axis.
#ifndef VANTOR_MONCHART_H
#define VANTOR_MONCHART_H

#include <X11/Intrinsic.h>

#include "core/Setting.h"

class MonitorApp;
class ServiceDialog;

class MonChart {
public:
    MonChart(Widget parent, MonitorApp* app);
    ~MonChart();
    MonChart(const MonChart&) = delete;
    MonChart& operator=(const MonChart&) = delete;

    // Build the view and its chart, once.
    void SetupChart(Widget parent);
    void SetupGraph(Widget editobject);

    // Once per poll: one sample per selected service, then the vertical axis refitted.
    void RasterChart();
    // Refits the vertical axis to the largest sample shown.
    void AdjustCoordY();
    // The upper limit of the vertical axis for a data maximum (see ChartUpperLimit).
    double ConvertUpperLimit(double max);
    // A new polling interval: the chart starts afresh.
    void AdjustCoordX(int seconds);
    // Every series back to zeros, the axes to their empty scale.
    void ClearChart();
    // After a unit change: every sample divided by factor, the axis relabelled.
    void RasterChartUnitChange(double factor);
    // Plots the services s selects and removes the lines of the others.
    void AlterChart(const Setting& s);
    // A series of zeros for service i, not yet plotted; AddDataOnChart also plots it.
    void AddNewApp(int i);
    void AddDataOnChart(int i);
    void RemoveGraphObject();
    // Opens the Graph Settings dialog.
    void BuildServicePanel();

    static void GraphCallback(Widget w, XtPointer clientData, XtPointer callData);
    void GraphUpdate(Widget w, XtPointer clientData, XtPointer callData);

    Widget box;                      // the vertical box of the title and the chart area
    Widget editobject;               // the editor area "editobject" holding the chart
    Widget series[SETTING_SERVICES]; // the sampled series of service i, or none
    Widget dataGroup;                // the data group of all series
    Widget chartObject;              // the chart object "chart"
    int sampleCount;                 // samples the rescaling works on
    Widget yCoordText;               // the read-out text "y-coord"
    ServiceDialog* serviceDialog;    // the "Graph Settings" dialog once opened
    MonitorApp* app;

private:
    // The settings of the current server, or the template without one.
    const Setting& ShownSetting() const;
    // Sets the horizontal axis label for an interval in whole seconds.
    void LabelTimeAxis(int seconds);
    // Sets the vertical axis label for a unit type.
    void LabelValueAxis(UnitType unitType);
    // The vertical axis as before any sample: limit 10, labelled in the shown unit.
    void ResetValueAxis();
    char readout[32];     // the read-out text on show
    double yLimit = 10.0; // the vertical axis's upper limit on show
};

#endif
