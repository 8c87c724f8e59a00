// The lower view of the main window: the real-time traffic chart per service.
#ifndef VANTOR_MONCHART_H
#define VANTOR_MONCHART_H

#include <X11/Intrinsic.h>

class MonitorApp;

class MonChart {
public:
    MonChart(Widget parent, MonitorApp* app);
    ~MonChart();
    MonChart(const MonChart&) = delete;
    MonChart& operator=(const MonChart&) = delete;

    void RasterChart();
    void ClearChart();
    void BuildServicePanel();
    void RasterChartUnitChange(double factor);

    Widget box;        // the vertical box that holds the title and the chart area
    MonitorApp* app;
};

#endif
