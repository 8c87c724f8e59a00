// The traffic chart view in the real application: its start, the rescaling of the vertical
// axis, the clearing of samples from byte counts that went backwards, unit and interval
// changes, the pointer read-out and one repaint per poll.
#include <gtest/gtest.h>

#include <math.h>

#include <string>
#include <vector>

#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

#include "app/MonChart.h"
#include "tests/support/AppFixture.h"
#include "toolkit/AxisObject.h"
#include "toolkit/Chart.h"
#include "toolkit/DataSampled.h"
#include "toolkit/EditObject.h"
#include "toolkit/Text.h"
#include "toolkit/util.h"

namespace {

class MonChartTest : public AppTest {
protected:
    MonChart* View() { return app->chartView; }
    Widget Axis(int which) { return XomChartGetComponent(View()->chartObject, which); }
    // Limits or increments of the vertical axis.
    std::pair<float, float> Pair(const char* resource)
    {
        float* pair = nullptr;
        XtVaGetValues(Axis(XomCHART_LEFT_AXIS), resource, &pair, NULL);
        return {pair[0], pair[1]};
    }
    std::string Resource(int axis, const char* resource)
    {
        String text = nullptr;
        XtVaGetValues(Axis(axis), resource, &text, NULL);
        return text ? text : "";
    }
    std::vector<float> Samples(int service)
    {
        float* copy = XomDataSampledGetDataArray(View()->series[service], 0, 21);
        std::vector<float> out(copy, copy + 21);
        XtFree((char*)copy);
        return out;
    }
    void SetSamples(int service, std::vector<float> values)
    {
        values.resize(21, 0.0f);
        XomDataSampledReplace(View()->series[service], values.data(), 0, 21);
    }
    // Every selected service flat at zero but service 3, which gets the values.
    void OnlyWeb(std::vector<float> values)
    {
        for (int i = 0; i < SETTING_SERVICES; i++)
            if (View()->series[i])
                SetSamples(i, {});
        SetSamples(3, values);
    }
    // A server without a connection, made current, with a fresh chart.
    void AddServer(const char* name = "127.0.0.1:1")
    {
        ASSERT_EQ(app->AddSOCKS5(name), 1);
        View()->ClearChart();
        ProcessEvents();
    }
    std::string Readout()
    {
        String text = nullptr;
        XtVaGetValues(View()->yCoordText, XomNtextString, &text, NULL);
        return text ? text : "";
    }
    void Move(int x, int y)
    {
        XEvent event = {};
        event.xmotion.type = MotionNotify;
        event.xmotion.display = XtDisplay(View()->editobject);
        event.xmotion.window = XtWindow(View()->editobject);
        event.xmotion.x = x;
        event.xmotion.y = y;
        XomLocatorCallbackStruct record = {XomCR_LOCATOR, &event, 0, 0};
        MonChart::GraphCallback(View()->editobject, View(), &record);
    }
    XomArea Plot()
    {
        XomArea box;
        XomGraphicBounds(XomChartGetComponent(View()->chartObject, XomCHART_PLOT), &box);
        return box;
    }
    static void CountCallback(Widget, XtPointer client, XtPointer) { ++*static_cast<int*>(client); }
};

// First in the program: the chart as it is before any poll.
TEST_F(MonChartTest, AtStartEverySelectedServiceIsFlatAtZeroOnAnAxisToTen)
{
    AddServer();
    for (int i = 0; i < SETTING_SERVICES; i++) {
        if (i < app->current->setting.serviceCount && app->current->setting.serviceSelected[i]) {
            ASSERT_NE(View()->series[i], nullptr) << i;
            EXPECT_EQ(Samples(i), std::vector<float>(21, 0.0f));
        } else {
            EXPECT_EQ(View()->series[i], nullptr) << i;
        }
    }
    EXPECT_EQ(Pair(XomNlimits), std::make_pair(0.0f, 10.0f));
    EXPECT_EQ(Readout(), "0.0000");
    // The traffic axis's label in bytes is UnitChangesRescaleEverySample's.
    EXPECT_EQ(Resource(XomCHART_BOTTOM_AXIS, XomNlabel), "Elapse time (60 seconds)");
}

TEST_F(MonChartTest, TheVerticalLimitFitsTheLargestSample)
{
    AddServer();
    const struct {
        float maximum;
        float limit;
        const char* format;
    } steps[] = {
        {0.0f, 1, "%0.4f"},      {7.3f, 10, "%.2f"},
        {15.0f, 20, "%.2f"},     {10.0f, 20, "%.2f"}, // 10 after a limit of 20 rounds up to 20
        {20.0f, 20, "%.2f"},                          // exactly the limit: left as it is
        {1234.5f, 1240, "%.0f"}, {999.0f, 1000, "%.2f"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.maximum);
        OnlyWeb({0, step.maximum});
        View()->AdjustCoordY();
        EXPECT_EQ(Pair(XomNlimits), std::make_pair(0.0f, step.limit));
        EXPECT_EQ(Pair(XomNincrements), std::make_pair(step.limit / 5, step.limit / 10));
        EXPECT_EQ(Resource(XomCHART_LEFT_AXIS, XomNannotationFormat), step.format);
    }
    // A maximum beyond the 32-bit integers in the oldest place, which is never cleared:
    // the limit is the next round number above it, not a wrapped integer.
    std::vector<float> huge(21, 0.0f);
    huge[20] = 5e9f;
    OnlyWeb(huge);
    View()->AdjustCoordY();
    EXPECT_GE(Pair(XomNlimits).second, 5e9f);
    EXPECT_LT(Pair(XomNlimits).second, 5.00001e9f);
    EXPECT_EQ(Resource(XomCHART_LEFT_AXIS, XomNannotationFormat), "%.0f");
}

TEST_F(MonChartTest, EachRescaleClearsOneSampleFromACountThatWentBackwards)
{
    AddServer();
    const float wrapped = 4294967040.0f;
    OnlyWeb({5, wrapped, 8});
    SetSamples(1, {0, 0, 0, 0, wrapped});
    View()->AdjustCoordY(); // the first service in rising order loses its sample
    EXPECT_EQ(Samples(1)[4], 0.0f);
    EXPECT_EQ(Samples(3)[1], wrapped);
    View()->AdjustCoordY();
    EXPECT_EQ(Samples(3)[1], 0.0f);
    EXPECT_EQ(Samples(3)[2], 8.0f);
    EXPECT_EQ(View()->sampleCount, 21);
    View()->AdjustCoordY();
    EXPECT_EQ(Pair(XomNlimits), std::make_pair(0.0f, 10.0f));
}

TEST_F(MonChartTest, UnitChangesRescaleEverySample)
{
    AddServer();
    OnlyWeb({2048, 1024, 512});
    app->setUnitType(UNIT_KILOBYTES);
    EXPECT_EQ(Samples(3)[0], 2.0f);
    EXPECT_EQ(Samples(3)[1], 1.0f);
    EXPECT_EQ(Samples(3)[2], 0.5f);
    EXPECT_EQ(Resource(XomCHART_LEFT_AXIS, XomNlabel),
              "Network Incremental Traffic  (KBytes/Elapse)");
    app->setUnitType(UNIT_MEGABYTES);
    EXPECT_EQ(Resource(XomCHART_LEFT_AXIS, XomNlabel),
              "Network Incremental Traffic  (MBytes/Elapse)");
    app->setUnitType(UNIT_BYTES);
    EXPECT_EQ(Samples(3)[0], 2048.0f);
    EXPECT_EQ(Samples(3)[2], 512.0f);
    EXPECT_EQ(Resource(XomCHART_LEFT_AXIS, XomNlabel),
              "Network Incremental Traffic  (Bytes/Elapse)");
}

TEST_F(MonChartTest, AnIntervalChangeClearsTheChartAndRelabelsTheTimeAxis)
{
    AddServer();
    OnlyWeb({3, 4});
    ASSERT_EQ(Samples(3)[0], 3.0f);
    app->current->setting.updateInterval = 30000;
    View()->AdjustCoordX(30);
    // Samples of another interval are not kept (the series made anew may take the old one's
    // address, so what shows the clearing is the samples).
    EXPECT_EQ(Samples(3), std::vector<float>(21, 0.0f));
    EXPECT_EQ(Resource(XomCHART_BOTTOM_AXIS, XomNlabel), "Elapse time (30 seconds)");
}

TEST_F(MonChartTest, TheReadoutShowsTheValueUnderThePointerInsideThePlot)
{
    AddServer();
    OnlyWeb({});
    View()->AdjustCoordY(); // limit 1
    XomArea plot = Plot();
    ASSERT_GT(plot.width, 100);
    Move(plot.x + plot.width / 2, plot.y + plot.height / 2);
    EXPECT_EQ(Readout().substr(0, 3), "0.5");
    Move(plot.x - 5, plot.y + plot.height / 2); // left of 0
    EXPECT_EQ(Readout(), "0.0000");
    Move(plot.x + 10, plot.y + plot.height + 5); // below 0
    EXPECT_EQ(Readout(), "0.0000");

    OnlyWeb({0, 1234.5f});
    View()->AdjustCoordY(); // limit 1240
    Move(plot.x + 10, plot.y);
    EXPECT_EQ(Readout(), "1240");
    Move(plot.x + 10, plot.y + plot.height - plot.height / 1240.0 * 5 - 0.5);
    double v = atof(Readout().c_str());
    EXPECT_GE(v, 1.0);
    EXPECT_LT(v, 1000.0);
    EXPECT_NE(Readout().find('.'), std::string::npos); // "%4.2f"

    XtVaSetValues(View()->editobject, XmNuserData, (XtPointer)1, NULL);
    Move(plot.x - 5, plot.y);
    EXPECT_NE(Readout(), "0.0000"); // user data set: the read-out is left alone
    XtVaSetValues(View()->editobject, XmNuserData, (XtPointer)0, NULL);
}

TEST_F(MonChartTest, APollRepaintsTheChartOnce)
{
    AddServer();
    int exposes = 0;
    XtAddCallback(View()->editobject, XomNexposeCallback, CountCallback, &exposes);
    ProcessEvents();
    exposes = 0;
    for (int i = 0; i < 7; i++)
        app->serviceTraffic[i] = 100.0f * (i + 1);
    View()->RasterChart();
    ProcessEvents();
    XtRemoveCallback(View()->editobject, XomNexposeCallback, CountCallback, &exposes);
    EXPECT_EQ(exposes, 1);
    EXPECT_EQ(Samples(3)[0], 400.0f);
    EXPECT_EQ(app->serviceTraffic[3], 0.0f);
    EXPECT_EQ(Pair(XomNlimits).second, 710.0f);
}

} // namespace
