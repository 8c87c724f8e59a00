// Limits and texts of the traffic chart, apart from X so that they can be tested alone.
//
// The chart draws its major ticks at a fifth of the upper limit and minor ticks at a
// tenth, so the limit is what decides the ticks: a limit that is a multiple of ten gives
// major ticks at whole multiples of two and labels that read without decimals. Below ten
// the limit is 1 or 10, so small rates get ticks of 0.2 or 2 rather than odd fractions.
#include "core/ChartScale.h"

#include <float.h>
#include <math.h>
#include <stdio.h>

// Strictly above the whole part, so that the highest sample never lies on the frame; the
// largest float caps it because the chart keeps its limits in floats.
double ChartUpperLimit(double maximum)
{
    if (isnan(maximum) || maximum < 1.0)
        return 1.0;
    if (maximum < 10.0)
        return 10.0;
    if (maximum >= (double)FLT_MAX)
        return (double)FLT_MAX;
    double whole = trunc(maximum);
    return whole + (10.0 - fmod(whole, 10.0));
}

// Four decimals below 1, two up to a thousand, none beyond: enough to tell the ticks apart
// without the labels of a large limit crowding the axis.
const char* ChartAnnotationFormat(double limit)
{
    if (limit <= 1.0)
        return "%0.4f";
    if (limit <= 1000.0)
        return "%.2f";
    return "%.0f";
}

void ChartReadoutText(char* text, size_t size, double x, double xMax, double v, double vMax)
{
    if (!(x >= 0.0 && x <= xMax && v >= 0.0 && v <= vMax))
        snprintf(text, size, "0.0000");
    else if (v < 1.0)
        snprintf(text, size, "%0.4f", v);
    else if (v < 1000.0)
        snprintf(text, size, "%4.2f", v);
    else
        snprintf(text, size, "%.0f", v);
}

// The unit in the vertical axis label.
const char* ChartUnitText(UnitType unitType)
{
    switch (unitType) {
    case 10:
        return "KBytes";
    case 11:
        return "MBytes";
    default:
        return "Bytes";
    }
}

// Only the first such sample is found: one is cleared per poll, and the next poll finds
// the next, which keeps each refit cheap.
int ChartOverflowPosition(const float* samples, int count, double maximum)
{
    if (maximum < CHART_OVERFLOW_SAMPLE)
        return -1;
    for (int j = 0; j < count && j <= CHART_OVERFLOW_LAST; j++)
        if ((double)samples[j] == maximum)
            return j;
    return -1;
}
