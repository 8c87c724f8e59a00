/* Series attributes and axis mapping of the chart. */
#include "toolkit/ChartModel.h"

#include <math.h>

#include "toolkit/PrintfFormat.h"

int XomSeriesColorIndex(int series, int usableColors)
{
    if (usableColors <= 0 || series < 0)
        return -1;
    return series % usableColors;
}

int XomSeriesSymbol(int series, int symbolCount)
{
    if (symbolCount <= 0 || series < 0)
        return 0;
    return series % symbolCount;
}

/* The limits as the axis measures them: their logarithms on a log scale. */
static int Measured(const XomAxisScale* axis, double* low, double* high)
{
    *low = axis->minimum;
    *high = axis->maximum;
    if (axis->logScale) {
        if (*low <= 0.0 || *high <= 0.0)
            return 0;
        *low = log10(*low);
        *high = log10(*high);
    }
    return *low != *high && isfinite(*low) && isfinite(*high);
}

int XomAxisScaleToPixel(const XomAxisScale* axis, double value, double* pixel)
{
    double low, high;
    if (!Measured(axis, &low, &high) || isnan(value))
        return 0;
    if (axis->logScale) {
        if (value <= 0.0)
            return 0;
        value = log10(value);
    }
    double fraction = (value - low) / (high - low);
    if (axis->reverse)
        fraction = 1.0 - fraction;
    *pixel = axis->from + fraction * (axis->to - axis->from);
    return 1;
}

int XomAxisScaleToValue(const XomAxisScale* axis, double pixel, double* value)
{
    double low, high;
    if (axis->to == axis->from || !Measured(axis, &low, &high))
        return 0;
    double fraction = (pixel - axis->from) / (axis->to - axis->from);
    if (axis->reverse)
        fraction = 1.0 - fraction;
    double v = low + fraction * (high - low);
    *value = axis->logScale ? pow(10.0, v) : v;
    return 1;
}

int XomFormatTakesOneDouble(const char* format)
{
    XomConversion c;
    return format && XomParseOneConversion(format, "eEfFgG", &c) && c.letter && !c.length[0];
}
