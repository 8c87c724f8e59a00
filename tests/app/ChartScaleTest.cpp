// The traffic chart's limits and texts, without a display, at the edges the chart tests
// (MonChartTest, through the view's rescaling) do not reach.
#include <gtest/gtest.h>

#include <string>

#include "core/ChartScale.h"

namespace {

TEST(ChartScale, UpperLimitIsTheNextRoundNumberAbove)
{
    struct Case {
        double maximum, limit;
    } cases[] = {
        {-3, 1},
        {0.5, 1},
        {1, 10},
        {9.99, 10},
        {10, 20},
        {20, 30},
        {2147483647.0, 2147483650.0},
        {2147483648.0, 2147483650.0},
        {3e9, 3000000010.0},
        {1e15, 1e15 + 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maximum);
        EXPECT_EQ(ChartUpperLimit(c.maximum), c.limit);
        EXPECT_GT(ChartUpperLimit(c.maximum), 0.0);
    }
}

TEST(ChartScale, ReadoutIsZeroOutsideThePlotAndFormattedInside)
{
    struct Case {
        double x, v;
        const char* text;
    } cases[] = {
        {-0.1, 5, "0.0000"}, {3, -0.5, "0.0000"}, {21, 5, "0.0000"},
        {3, 10.5, "0.0000"}, {0, 0, "0.0000"},    {3, 0.12345, "0.1235"},
        {3, 1, "1.00"},      {3, 7.256, "7.26"},  {20, 10, "10.00"},
    };
    for (const Case& c : cases) {
        char text[32];
        ChartReadoutText(text, sizeof text, c.x, 20, c.v, 10);
        EXPECT_STREQ(text, c.text) << c.x << " " << c.v;
    }
    char text[32];
    ChartReadoutText(text, sizeof text, 5, 20, 1234.6, 2000);
    EXPECT_STREQ(text, "1235");
}

TEST(ChartScale, OverflowSampleIsFoundAtPositionsUpTo19)
{
    float samples[CHART_SAMPLES] = {};
    EXPECT_EQ(ChartOverflowPosition(samples, CHART_SAMPLES, 0), -1);
    samples[20] = 3e9f;
    EXPECT_EQ(ChartOverflowPosition(samples, CHART_SAMPLES, 3e9f), -1); // the oldest stays
    samples[7] = 3e9f;
    samples[12] = 3e9f;
    EXPECT_EQ(ChartOverflowPosition(samples, CHART_SAMPLES, 3e9f), 7);
    samples[3] = 5;
    EXPECT_EQ(ChartOverflowPosition(samples, CHART_SAMPLES, 5), -1); // not an overflow
}

} // namespace
