// Tick placement of linear axes and the chart's series and axis arithmetic, without a
// display.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "toolkit/AxisTicks.h"
#include "toolkit/ChartModel.h"

namespace {

struct Ticks {
    Ticks(double low, double high, double major, double minor, int aligned = 1)
    {
        _XomCalculateLinearTicks(low, high, major, minor, aligned, &list);
    }
    ~Ticks() { _XomFreeTicks(&list); }
    std::vector<float> Major() const { return {list.major, list.major + list.majorCount}; }
    std::vector<float> Minor() const { return {list.minor, list.minor + list.minorCount}; }
    XomTickList list;
};

std::vector<float> Scaled(std::vector<float> fractions, float limit)
{
    for (float& f : fractions)
        f = static_cast<float>(f * static_cast<double>(limit));
    return fractions;
}

TEST(AxisTicks, TheTrafficChartsAxes)
{
    Ticks x(0, 20, 5, 1);
    EXPECT_EQ(x.Major(), (std::vector<float>{0, 5, 10, 15, 20}));
    EXPECT_EQ(x.Minor(),
              (std::vector<float>{1, 2, 3, 4, 6, 7, 8, 9, 11, 12, 13, 14, 16, 17, 18, 19}));

    // The vertical axis: 0 to a limit by a fifth and a tenth, as 32-bit float resources.
    for (float limit : {1.0f, 10.0f, 20.0f, 1240.0f, 3000000010.0f}) {
        SCOPED_TRACE(limit);
        Ticks y(0, limit, limit / 5.0f, limit / 10.0f);
        ASSERT_EQ(y.list.majorCount, 6);
        ASSERT_EQ(y.list.minorCount, 5);
        for (int i = 0; i < 6; i++)
            EXPECT_NEAR(y.list.major[i], limit * i / 5.0, limit * 1e-6);
        for (int i = 0; i < 5; i++)
            EXPECT_NEAR(y.list.minor[i], limit * (2 * i + 1) / 10.0, limit * 1e-6);
    }
    Ticks start(0, 10, 2, 1);
    EXPECT_EQ(start.Major(), Scaled({0, 0.2f, 0.4f, 0.6f, 0.8f, 1}, 10));
}

TEST(AxisTicks, AnUnalignedMinimumStartsAtTheNextMultiple)
{
    struct Case {
        double low, high, major, minor;
        int aligned;
        std::vector<float> majors, minors;
    } cases[] = {
        {3, 20, 5, 1, 1, {5, 10, 15, 20}, {3, 4, 6, 7, 8, 9, 11, 12, 13, 14, 16, 17, 18, 19}},
        {3.5, 12, 5, 2, 1, {5, 10}, {7, 9, 11}},
        {-7, 3, 5, 1, 1, {-5, 0}, {-7, -6, -4, -3, -2, -1, 1, 2, 3}},
        {3, 14, 5, 0, 1, {5, 10}, {}},
        {3, 14, 5, 4, 0, {3, 8, 13}, {7, 11}},      // not aligned: ticks from the minimum
        {20, 0, -5, -5, 1, {0, 5, 10, 15, 20}, {}}, // reversed limits, negative steps
        {0, 20, 0, 5, 1, {}, {0, 5, 10, 15, 20}},
        {0.5, 0.7, 1, 0.1, 1, {}, {0.5, 0.6, 0.7}}, // no multiple of the step inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.low << " " << c.high << " " << c.major << " " << c.minor);
        Ticks t(c.low, c.high, c.major, c.minor, c.aligned);
        EXPECT_EQ(t.Major(), c.majors);
        ASSERT_EQ(t.list.minorCount, static_cast<int>(c.minors.size()));
        for (size_t i = 0; i < c.minors.size(); i++)
            EXPECT_NEAR(t.list.minor[i], c.minors[i], 1e-6);
    }
}

TEST(AxisTicks, TooManyTicksGiveNoneOrOnlyMajors)
{
    struct Case {
        double high, major, minor;
        int majors, minors;
    } cases[] = {
        {1999, 1, 0, 2000, 0},   // 2000 major ticks are allowed
        {2000, 1, 0, 0, 0},      // 2001 are not: no ticks at all
        {100, 10, 0.5, 11, 190}, // 201 positions less the 11 majors
        {1000, 10, 0.1, 0, 0},   // 100 per step x 101 majors: none at all
        {100, 0, 0.01, 0, 0},    // no majors, 10001 minor positions: none
        {10, 0, 0.01, 0, 1001},  {10, 5, 1e-20, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.high << " " << c.major << " " << c.minor);
        Ticks t(0, c.high, c.major, c.minor);
        EXPECT_EQ(t.list.majorCount, c.majors);
        EXPECT_EQ(t.list.minorCount, c.minors);
        EXPECT_EQ(t.list.major == nullptr, c.majors == 0);
        EXPECT_EQ(t.list.minor == nullptr, c.minors == 0);
    }
    // Just past 2000 minor ticks, with majors allowed: the majors alone.
    Ticks majorsOnly(1, 2999, 1500, 1);
    EXPECT_EQ(majorsOnly.Major(), (std::vector<float>{1500}));
    EXPECT_EQ(majorsOnly.list.minorCount, 0);
    // A step too small to move a huge position gives no minor ticks.
    Ticks stuck(1e20, 1e20 + 1e6, 0, 1);
    EXPECT_EQ(stuck.list.minorCount, 0);
}

TEST(ChartModel, SeriesWithoutColoursOrSymbolsTakeNone)
{
    EXPECT_EQ(XomSeriesColorIndex(5, 0), -1);
    EXPECT_EQ(XomSeriesSymbol(4, 0), 0);
}

TEST(ChartModel, AxisMapsPixelsAndValuesBothWays)
{
    // A vertical axis from 0 at pixel 200 up to 50 at pixel 100.
    XomAxisScale up = {0, 50, 200, 100, 0, 0};
    XomAxisScale reversed = {0, 50, 200, 100, 0, 1};
    XomAxisScale logs = {1, 1000, 0, 300, 1, 0};
    XomAxisScale flat = {5, 5, 0, 100, 0, 0};
    XomAxisScale badLog = {0, 10, 0, 100, 1, 0};
    XomAxisScale noLength = {0, 10, 40, 40, 0, 0};
    struct Case {
        const XomAxisScale* axis;
        double pixel;
        int ok;
        double value;
    } cases[] = {
        {&up, 200, 1, 0},   {&up, 100, 1, 50},       {&up, 150, 1, 25},
        {&up, 220, 1, -10}, {&reversed, 200, 1, 50}, {&reversed, 180, 1, 40},
        {&logs, 0, 1, 1},   {&logs, 200, 1, 100},    {&logs, 300, 1, 1000},
        {&flat, 10, 0, 0},  {&badLog, 10, 0, 0},     {&noLength, 40, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixel);
        double value = -99;
        ASSERT_EQ(XomAxisScaleToValue(c.axis, c.pixel, &value), c.ok);
        if (!c.ok)
            continue;
        EXPECT_NEAR(value, c.value, 1e-9 * (1 + std::fabs(c.value)));
        double back = -1;
        ASSERT_TRUE(XomAxisScaleToPixel(c.axis, value, &back));
        EXPECT_NEAR(back, c.pixel, 1e-9);
    }
    double pixel = 0;
    EXPECT_FALSE(XomAxisScaleToPixel(&logs, 0.0, &pixel));
}

TEST(ChartModel, TickLabelFormatsMustTakeOneDouble)
{
    struct Case {
        const char* format;
        int ok;
    } cases[] = {
        {"%g", 1},    {"%.2f", 1}, {"%0.4f", 1}, {"%-8.3e", 1}, {"%.0f %%", 1}, {"x=%G", 1},
        {nullptr, 0}, {"", 0},     {"plain", 0}, {"%s", 0},     {"%d", 0},      {"%n", 0},
        {"%*.2f", 0}, {"%f%f", 0}, {"%.2f%", 0}, {"%lf", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XomFormatTakesOneDouble(c.format), c.ok) << (c.format ? c.format : "null");
}

} // namespace
