// The traffic chart's arithmetic, free of X: the vertical limit that fits the data, the
// formats of the axis labels and of the pointer read-out, the unit text, and the search
// for a sample that a byte count going backwards made huge.
#ifndef VANTOR_CHARTSCALE_H
#define VANTOR_CHARTSCALE_H

#include "core/Setting.h"

#include <stddef.h>

enum {
    CHART_SAMPLES = 21,      // samples per series, newest at 0
    CHART_OVERFLOW_LAST = 19 // the oldest sample (20) is never cleared
};

// A sample this large comes from a byte count that went backwards.
const double CHART_OVERFLOW_SAMPLE = 2147483647.0;

// The upper limit of the vertical axis for a data maximum: 1 below 1, 10 below 10, else
// the next multiple of ten strictly above the whole part. Worked in floating point, so a
// maximum beyond the 32-bit integers still gets the next multiple of ten.
double ChartUpperLimit(double maximum);

// The printf format of the vertical axis labels for an upper limit.
const char* ChartAnnotationFormat(double limit);

// The read-out text of a value under the pointer ("0.0000" when the pointer lies outside
// the plot's positive quadrant: x below 0 or above xMax, v below 0 or above vMax).
void ChartReadoutText(char* text, size_t size, double x, double xMax, double v, double vMax);

// "Bytes", "KBytes" or "MBytes" for a unit type (9, 10, 11).
const char* ChartUnitText(UnitType unitType);

// The first position 0..19 whose sample equals maximum exactly, when maximum is an
// overflow sample; -1 otherwise.
int ChartOverflowPosition(const float* samples, int count, double maximum);

#endif
