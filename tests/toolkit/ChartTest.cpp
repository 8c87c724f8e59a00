// The chart object and its data objects on the test display: update records, views,
// components, freezing, and what a line chart shows in pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <Xm/Xm.h>

#include "tests/support/DisplayFixture.h"
#include "tests/support/PixelReader.h"
#include "tests/support/PngWriter.h"
#include "toolkit/AxisObject.h"
#include "toolkit/Chart.h"
#include "toolkit/DataGroup.h"
#include "toolkit/DataSampled.h"
#include "toolkit/DataStore.h"
#include "toolkit/EditObject.h"
#include "toolkit/Legend.h"
#include "toolkit/LineSeries.h"
#include "toolkit/XYPlot.h"
#include "toolkit/util.h"

namespace {

const char* const twentyColours[] = {"red",     "green",   "brown", "blue",    "salmon",  "cyan",
                                     "yellow",  "#bb00f0", "black", "#feb900", "#55cc00", "#d00010",
                                     "#ff00b0", "#0050da", "grey",  "#ff6500", "#900050", "#006d01",
                                     "pink",    "#000080", ""};

class ChartTest : public DisplayFixture {
protected:
    void MakeArea(int width = 500, int height = 240)
    {
        area = XtVaCreateManagedWidget("editobject", xomEditObjectWidgetClass, shell, XmNwidth,
                                       (Dimension)width, XmNheight, (Dimension)height, XtVaTypedArg,
                                       XmNbackground, XmRString, "grey77", 7, NULL);
        XtAddCallback(area, XomNexposeCallback, CountCallback, &exposes);
    }
    // A line chart over the whole area, as the traffic view makes it.
    Widget MakeChart()
    {
        static float geometry[4] = {0, 0, 100, 100};
        static int margins[4] = {2, 2, 2, 2};
        Widget chart = XtVaCreateWidget(
            "chart", xomChartObjectClass, area, XomNgeometry, geometry, XomNchartMargins, margins,
            XomNchartType, XomCHART_TYPE_LINE, XomNcolorList, twentyColours, XomNshowLegend, True,
            XtVaTypedArg, XomNfillColor, XmRString, "white", 6, NULL);
        static float xLimits[2] = {0, 20}, yLimits[2] = {0, 10};
        static float xSteps[2] = {5, 1}, ySteps[2] = {2, 1};
        XtVaSetValues(XomChartGetComponent(chart, XomCHART_PLOT), XomNxLimits, xLimits, XomNyLimits,
                      yLimits, XomNxIncrements, xSteps, XomNyIncrements, ySteps, XomNsymbol, True,
                      XomNsymbolSize, 6, XtVaTypedArg, XomNfillColor, XmRString, "white", 6, NULL);
        for (int axis : {XomCHART_LEFT_AXIS, XomCHART_BOTTOM_AXIS})
            XtVaSetValues(XomChartGetComponent(chart, axis), XomNmajorGridLineStyle,
                          XomLINE_ON_OFF_DASH, NULL);
        return chart;
    }
    Widget Series(const char* name, std::vector<float> values, Widget group = nullptr)
    {
        return XtVaCreateWidget(name, xomDataSampledObjectClass, area, XomNdataArray, values.data(),
                                XomNcount, (int)values.size(), XomNdataGroup, group, NULL);
    }
    static void CountCallback(Widget, XtPointer client, XtPointer) { ++*static_cast<int*>(client); }
    static void RecordCallback(Widget, XtPointer client, XtPointer call)
    {
        static_cast<std::vector<XomDataCallbackStruct>*>(client)->push_back(
            *static_cast<XomDataCallbackStruct*>(call));
    }
    XomArea PlotBox(Widget chart)
    {
        // The plot's box is where its frame is drawn.
        XomArea box;
        XomGraphicBounds(XomChartGetComponent(chart, XomCHART_PLOT), &box);
        return box;
    }

    Widget area = nullptr;
    int exposes = 0;
    // Kept by the fixture: data objects still report while the area goes at tear-down.
    std::vector<XomDataCallbackStruct> records;
};

TEST_F(ChartTest, SampledDataTellsItsViewsWhatChanged)
{
    MakeArea();
    Widget data = Series("web", std::vector<float>(21, 0.0f));
    XtAddCallback(data, XomNupdateCallback, RecordCallback, &records);

    float one = 7;
    EXPECT_EQ(XomDataSampledShift(data, &one, -1), 1);
    float three[3] = {4, -2, 9};
    EXPECT_EQ(XomDataSampledReplace(data, three, 19, 3), 1); // cut to two values
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].reason, XomCR_DATA_SHIFT);
    EXPECT_EQ(records[0].data, data);
    EXPECT_EQ(records[1].reason, XomCR_DATA_REPLACE);
    EXPECT_EQ(records[1].event, nullptr);
    EXPECT_EQ(records[1].start, 19);
    EXPECT_EQ(records[1].count, 2);
    EXPECT_EQ(records[1].minimum, -2.0f);
    EXPECT_EQ(records[1].maximum, 4.0f);

    float* copy = XomDataSampledGetDataArray(data, 0, 30);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[0], 7.0f);
    EXPECT_EQ(copy[19], 4.0f);
    EXPECT_EQ(copy[20], -2.0f);
    XtFree((char*)copy);

    // Not editable, or not sampled: nothing done, nobody told.
    XtVaSetValues(data, XomNeditable, False, NULL);
    EXPECT_EQ(XomDataSampledShift(data, &one, 1), 0);
    EXPECT_EQ(XomDataSampledReplace(data, three, 0, 1), 0);
    Widget group = XomCreateDataGroup(area, "group", nullptr, 0);
    EXPECT_EQ(XomDataSampledShift(group, &one, 1), 0);
    EXPECT_EQ(XomDataSampledGetDataArray(group, 0, 1), nullptr);
    EXPECT_EQ(records.size(), 2u);
}

TEST_F(ChartTest, GroupsGiveTheRangeOfTheirMembersOrTheirLimits)
{
    MakeArea();
    Widget group = XomCreateDataGroup(area, "group", nullptr, 0);
    XtAddCallback(group, XomNupdateCallback, RecordCallback, &records);
    float low = 0, high = 0;
    EXPECT_FALSE(XomDataRangeY(group, &low, &high));

    Widget a = Series("a", {1, 5, XOM_NO_VALUE}, group);
    Widget b = Series("b", {-3, 2}, group);
    Widget empty = Series("empty", {XOM_NO_VALUE, XOM_NO_VALUE}, group);
    EXPECT_FALSE(XomDataRangeY(empty, &low, &high));
    ASSERT_TRUE(XomDataRangeY(group, &low, &high));
    EXPECT_EQ(low, -3.0f);
    EXPECT_EQ(high, 5.0f);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].reason, XomCR_DATA_GROUP_ADD);
    EXPECT_EQ(records[2].start, 2);

    XomEditObjectDestroyObject(a); // leaves the group at once
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[3].reason, XomCR_DATA_GROUP_REMOVE);
    ASSERT_TRUE(XomDataRangeY(group, &low, &high));
    EXPECT_EQ(high, 2.0f);

    float limits[2] = {0, 100};
    XtVaSetValues(group, XomNlimitsY, limits, NULL);
    limits[1] = 1; // the group keeps its own copy
    ASSERT_TRUE(XomDataRangeY(group, &low, &high));
    EXPECT_EQ(high, 100.0f);
    (void)b;
    XtRemoveCallback(group, XomNupdateCallback, RecordCallback, &records);
}

TEST_F(ChartTest, ComponentsAndInsertedObjects)
{
    MakeArea();
    Widget chart = MakeChart();
    for (int index : {-1, 4, 5, 6})
        EXPECT_EQ(XomChartGetComponent(chart, index), nullptr) << index;
    EXPECT_EQ(XomChartGetComponent(area, 0), nullptr);
    EXPECT_STREQ(XtName(XomChartGetComponent(chart, XomCHART_PLOT)), "chart_plot");

    Widget box = XtVaCreateWidget("box", xomGroupObjectClass, area, NULL);
    XomChartInsertObject(chart, box);
    Widget horizontal = nullptr, vertical = nullptr, group = nullptr;
    XtVaGetValues(box, XomNhorizontalAxis, &horizontal, XomNverticalAxis, &vertical, XomNgroup,
                  &group, NULL);
    EXPECT_EQ(horizontal, XomChartGetComponent(chart, XomCHART_BOTTOM_AXIS));
    EXPECT_EQ(vertical, XomChartGetComponent(chart, XomCHART_LEFT_AXIS));
    EXPECT_EQ(group, chart);
    EXPECT_TRUE(Warnings().empty());

    Widget surface = XtVaCreateWidget("surface", xomChartObjectClass, area, XomNchartType,
                                      XomCHART_TYPE_SURFACE_3D, NULL);
    Widget other = XtVaCreateWidget("other", xomGroupObjectClass, area, NULL);
    XomChartInsertObject(surface, other);
    ASSERT_EQ(Warnings().size(), 1u);
    EXPECT_NE(Warnings()[0].find(
                  "XomChartInsertObject: insertion of objects is not supported for 3D plots"),
              std::string::npos);
    XtVaGetValues(other, XomNgroup, &group, NULL);
    EXPECT_EQ(group, nullptr);
}

TEST_F(ChartTest, AssociationMakesSeriesInTurnOfColourAndSymbol)
{
    MakeArea();
    Widget chart = MakeChart();
    std::vector<Widget> data;
    for (int i = 0; i < 22; i++) {
        data.push_back(Series(("s" + std::to_string(i)).c_str(), {1, 2}));
        XtVaSetValues(data.back(), XomNlastViewDestroy, False, NULL);
        XomChartAssociateData(chart, data.back());
    }
    XomChartAssociateData(chart, data[0]); // once only
    XomChartAssociateData(area, data[0]);  // not a chart
    XomChartAssociateData(chart, area);    // not data
    EXPECT_EQ(XomDataViewCount(data[0]), 1);

    Pixel expected[2], colour = 0;
    expected[0] = XomLoadColor(display, "red");
    expected[1] = XomLoadColor(display, "green");
    int count = 0;
    WidgetList lines = XomChartGetSeriesOfData(chart, data[21], &count);
    ASSERT_EQ(count, 1);
    EXPECT_TRUE(XomIsLineSeries(lines[0]));
    EXPECT_STREQ(XtName(lines[0]), "s21");
    int symbol = -1;
    XtVaGetValues(lines[0], XomNcolor, &colour, XomNsymbolType, &symbol, NULL);
    EXPECT_EQ(colour, expected[1]); // series 21 of 20 colours takes colour 1
    EXPECT_EQ(symbol, 1);           // and symbol 21 modulo 10

    XomChartDisassociateData(chart, data[21]);
    EXPECT_EQ(XomChartGetSeriesOfData(chart, data[21], &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(XomDataViewCount(data[21]), 0);
    EXPECT_TRUE(XomDataIsLive(data[21])); // lastViewDestroy False: it stays

    // Destroying data lets its chart go of it at once; its last view going destroys data
    // that asks for it.
    XomEditObjectDestroyObject(data[0]);
    EXPECT_EQ(XomChartGetSeriesOfData(chart, data[0], &count), nullptr);
    Widget lone = Series("lone", {1});
    XomChartAssociateData(chart, lone);
    XomChartDisassociateData(chart, lone);
    EXPECT_FALSE(XomDataIsLive(lone));
}

TEST_F(ChartTest, FrozenChangesRepaintOnceWhenThawed)
{
    MakeArea();
    Widget chart = MakeChart();
    Widget a = Series("a", std::vector<float>(21, 1.0f));
    Widget b = Series("b", std::vector<float>(21, 2.0f));
    XomChartAssociateData(chart, a);
    XomChartAssociateData(chart, b);
    ShowShell();
    exposes = 0;
    XomChartFreezeUpdates(chart, 1);
    float v = 5;
    for (int poll = 0; poll < 3; poll++) {
        XomDataSampledShift(a, &v, -1);
        XomDataSampledShift(b, &v, -1);
    }
    static float limits[2] = {0, 20};
    XtVaSetValues(XomChartGetComponent(chart, XomCHART_PLOT), XomNyLimits, limits, NULL);
    XomChartFreezeUpdates(chart, 0);
    ProcessEvents();
    EXPECT_EQ(exposes, 1);
}

TEST_F(ChartTest, TwoServicesAreDrawnInTheirColoursInsideThePlotWithTheirLegend)
{
    MakeArea(520, 240);
    Widget chart = MakeChart();
    std::vector<float> ftp(21), web(21);
    for (int i = 0; i < 21; i++) {
        ftp[i] = static_cast<float>(i % 5);
        web[i] = 6.0f + static_cast<float>(i % 3);
    }
    web[10] = 1000.0f; // far above the limit: the line is cut at the plot's edge
    Widget a = Series("FTP", ftp);
    Widget b = Series("Web", web);
    XomChartAssociateData(chart, a);
    XomChartAssociateData(chart, b);
    ShowShell();
    ProcessEvents();

    RgbImage image = ReadDrawable(display, XtWindow(area));
    ASSERT_GT(image.width, 0);
    WritePng(ArtifactPath("chart-two-services.png"), image);
    XomArea plot = PlotBox(chart);
    ASSERT_GT(plot.width, 300);
    ASSERT_GT(plot.height, 100);
    XomArea legend;
    XomGraphicBounds(XomChartGetComponent(chart, XomCHART_LEGEND), &legend);
    ASSERT_GT(legend.width, 0);
    EXPECT_GE(legend.x, plot.x + plot.width); // beside the plot, never over it

    const uint32_t red = 0xff0000;
    uint32_t greenRgb = PixelToRgb(display, XomLoadColor(display, "green"));
    int redInPlot = 0, greenInPlot = 0, lineOutside = 0, redInLegend = 0, greenInLegend = 0;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            uint32_t c = image.At(x, y);
            bool inPlot =
                x >= plot.x && x < plot.x + plot.width && y >= plot.y && y < plot.y + plot.height;
            bool inLegend = x >= legend.x && x < legend.x + legend.width && y >= legend.y
                && y < legend.y + legend.height;
            if (c != red && c != greenRgb)
                continue;
            if (inPlot)
                (c == red ? redInPlot : greenInPlot)++;
            else if (inLegend)
                (c == red ? redInLegend : greenInLegend)++;
            else
                lineOutside++;
        }
    EXPECT_GT(redInPlot, 100);
    EXPECT_GT(greenInPlot, 100);
    EXPECT_GT(redInLegend, 5);
    EXPECT_GT(greenInLegend, 5);
    EXPECT_EQ(lineOutside, 0);
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(ChartTest, PixelsAlongAnAxisGiveItsValues)
{
    MakeArea(400, 200);
    Widget chart = MakeChart();
    ShowShell();
    XomArea plot = PlotBox(chart);
    Widget x = XomChartGetComponent(chart, XomCHART_BOTTOM_AXIS);
    Widget y = XomChartGetComponent(chart, XomCHART_LEFT_AXIS);
    float v = -1;
    ASSERT_TRUE(XomAxisObjectPixelToUser(x, plot.x, &v));
    EXPECT_NEAR(v, 0.0f, 1e-4);
    ASSERT_TRUE(XomAxisObjectPixelToUser(x, plot.x + plot.width, &v));
    EXPECT_NEAR(v, 20.0f, 1e-4);
    ASSERT_TRUE(XomAxisObjectPixelToUser(y, plot.y + plot.height, &v));
    EXPECT_NEAR(v, 0.0f, 1e-4);
    ASSERT_TRUE(XomAxisObjectPixelToUser(y, plot.y, &v));
    EXPECT_NEAR(v, 10.0f, 1e-4);
    XtVaSetValues(y, XomNreverseOrder, True, NULL);
    ASSERT_TRUE(XomAxisObjectPixelToUser(y, plot.y, &v));
    EXPECT_NEAR(v, 0.0f, 1e-4);
    EXPECT_FALSE(XomAxisObjectPixelToUser(chart, 10, &v));
}

} // namespace
