// A repaint of a line chart with 20 series of 21 samples, as the traffic view shows them:
// on the recording canvas (the count of canvas operations is reported) and on the X canvas
// into a pixmap; and one poll's worth of changes (a shift per series under a freeze)
// followed by the one repaint. Needs a display (DISPLAY).
// bench-libs: xomtk vantor_testsupport
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <X11/Shell.h>
#include <Xm/Xm.h>

#include "tests/support/RecordingCanvas.h"
#include "toolkit/AxisObject.h"
#include "toolkit/Chart.h"
#include "toolkit/CompBase.h"
#include "toolkit/DataGroup.h"
#include "toolkit/DataSampled.h"
#include "toolkit/EditObject.h"
#include "toolkit/XYPlot.h"

namespace {

const int kWidth = 750, kHeight = 220, kSeries = 20, kSamples = 21;

const char* const kColours[] = {"red",     "green",   "brown", "blue",    "salmon",  "cyan",
                                "yellow",  "#bb00f0", "black", "#feb900", "#55cc00", "#d00010",
                                "#ff00b0", "#0050da", "grey",  "#ff6500", "#900050", "#006d01",
                                "pink",    "#000080", ""};

struct Scene {
    XtAppContext app = nullptr;
    Widget shell = nullptr, area = nullptr, chart = nullptr;
    std::vector<Widget> series;
};

Scene& TheScene()
{
    static Scene scene;
    if (scene.area)
        return scene;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    scene.shell = XtVaAppInitialize(&scene.app, "Vantor", NULL, 0, &argc, argv, NULL, NULL);
    scene.area =
        XtVaCreateManagedWidget("editobject", xomEditObjectWidgetClass, scene.shell, XmNwidth,
                                (Dimension)kWidth, XmNheight, (Dimension)kHeight, NULL);
    static float geometry[4] = {0, 0, 100, 100};
    static int margins[4] = {2, 2, 2, 2};
    scene.chart = XtVaCreateWidget("chart", xomChartObjectClass, scene.area, XomNgeometry, geometry,
                                   XomNchartMargins, margins, XomNchartType, XomCHART_TYPE_LINE,
                                   XomNcolorList, kColours, XomNshowLegend, True, NULL);
    static float xLimits[2] = {0, 20}, yLimits[2] = {0, 1240};
    static float xSteps[2] = {5, 1}, ySteps[2] = {248, 124};
    XtVaSetValues(XomChartGetComponent(scene.chart, XomCHART_PLOT), XomNxLimits, xLimits,
                  XomNyLimits, yLimits, XomNxIncrements, xSteps, XomNyIncrements, ySteps,
                  XomNsymbol, True, XomNsymbolSize, 6, NULL);
    for (int axis : {XomCHART_LEFT_AXIS, XomCHART_BOTTOM_AXIS})
        XtVaSetValues(XomChartGetComponent(scene.chart, axis), XomNmajorGridLineStyle,
                      XomLINE_ON_OFF_DASH, NULL);
    Widget group = XomCreateDataGroup(scene.area, "dataGroup", nullptr, 0);
    for (int s = 0; s < kSeries; s++) {
        std::vector<float> values(kSamples);
        for (int i = 0; i < kSamples; i++)
            values[i] = static_cast<float>((s * 53 + i * 97) % 1200);
        std::string name = "service" + std::to_string(s);
        Widget data =
            XtVaCreateWidget(name.c_str(), xomDataSampledObjectClass, scene.area, XomNdataArray,
                             values.data(), XomNcount, kSamples, XomNdataGroup, group, NULL);
        XomChartAssociateData(scene.chart, data);
        scene.series.push_back(data);
    }
    XtRealizeWidget(scene.shell);
    XSync(XtDisplay(scene.shell), False);
    return scene;
}

void BM_ChartRepaintRecorded(benchmark::State& state)
{
    Scene& scene = TheScene();
    XomArea all = {0, 0, kWidth, kHeight};
    std::vector<std::string> log;
    for (auto _ : state) {
        log.clear();
        XomCanvas canvas = CreateRecordingCanvas(kWidth, kHeight, &log);
        XomCompBaseDraw(scene.area, canvas, &all);
        XomCanvasDestroy(canvas);
    }
    state.counters["operations"] = static_cast<double>(log.size());
}
BENCHMARK(BM_ChartRepaintRecorded);

void BM_ChartRepaintX(benchmark::State& state)
{
    Scene& scene = TheScene();
    Display* display = XtDisplay(scene.shell);
    Pixmap pixmap = XCreatePixmap(display, XtWindow(scene.area), kWidth, kHeight,
                                  DefaultDepth(display, DefaultScreen(display)));
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XomArea all = {0, 0, kWidth, kHeight};
    for (auto _ : state) {
        XomCanvas canvas = XomCreateXCanvas(display, pixmap, gc, kWidth, kHeight);
        XomCompBaseDraw(scene.area, canvas, &all);
        XomCanvasDestroy(canvas);
        XSync(display, False);
    }
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
}
BENCHMARK(BM_ChartRepaintX)->Unit(benchmark::kMicrosecond);

// What a poll does to the chart, without the drawing: a shift per series under a freeze.
void BM_ChartPollChanges(benchmark::State& state)
{
    Scene& scene = TheScene();
    float sample = 600;
    for (auto _ : state) {
        XomEditObjectFreeze(scene.area, True);
        XomChartFreezeUpdates(scene.chart, 1);
        for (Widget data : scene.series)
            XomDataSampledShift(data, &sample, -1);
        XomChartFreezeUpdates(scene.chart, 0);
        XomEditObjectFreeze(scene.area, False);
    }
}
BENCHMARK(BM_ChartPollChanges)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
