/* Linear tick placement. The limits and steps are 32-bit floats in the axis resources, so a
 * step such as a fifth of 1 does not divide its range exactly in double arithmetic: counts
 * are taken with a tolerance of a millionth of a step, so that the last tick of a range that
 * a step divides is not lost to rounding. */
#include "toolkit/AxisTicks.h"

#include <math.h>
#include <stdlib.h>

static const double kCountTolerance = 1e-6;
static const double kNearMajor = 0.001;

void _XomFreeTicks(XomTickList* ticks)
{
    free(ticks->major);
    free(ticks->minor);
    ticks->major = NULL;
    ticks->minor = NULL;
    ticks->majorCount = 0;
    ticks->minorCount = 0;
}

/* Whole steps from first up to last, plus one for first itself; 0 when last lies below. */
static double StepsIncluding(double first, double last, double step)
{
    double span = (last - first) / step;
    if (span < -kCountTolerance)
        return 0.0;
    return floor(span + kCountTolerance) + 1.0;
}

void _XomCalculateLinearTicks(double minimum, double maximum, double majorStep, double minorStep,
                              int aligned, XomTickList* ticks)
{
    ticks->majorCount = ticks->minorCount = 0;
    ticks->major = ticks->minor = NULL;
    if (maximum < minimum) {
        double t = minimum;
        minimum = maximum;
        maximum = t;
    }
    majorStep = fabs(majorStep);
    minorStep = fabs(minorStep);

    double firstMajor = minimum;
    double firstMinor = minimum;
    double remainder = majorStep > 0.0 ? fmod(minimum, majorStep) : 0.0;
    if (aligned && majorStep > 0.0 && remainder != 0.0) {
        firstMajor = minimum <= 0.0 ? minimum - remainder : minimum + majorStep - remainder;
        if (minorStep > 0.0)
            firstMinor = firstMajor
                - floor((firstMajor - minimum) / minorStep + kCountTolerance) * minorStep;
    }

    double majorCount = majorStep > 0.0 ? StepsIncluding(firstMajor, maximum, majorStep) : 0.0;
    if (majorCount > XOM_MAX_TICKS
        || (minorStep > 0.0 && majorStep / minorStep * majorCount > XOM_MAX_TICKS))
        return;

    ticks->majorCount = (int)majorCount;
    if (ticks->majorCount > 0) {
        ticks->major = (float*)malloc((size_t)ticks->majorCount * sizeof(float));
        if (!ticks->major) {
            ticks->majorCount = 0;
            return;
        }
        for (int i = 0; i < ticks->majorCount; i++)
            ticks->major[i] = (float)(firstMajor + i * majorStep);
    }

    if (minorStep <= 0.0 || firstMinor + minorStep == firstMinor)
        return;
    double positions = StepsIncluding(firstMinor, maximum, minorStep);
    if (positions > XOM_MAX_TICKS + ticks->majorCount)
        return;
    float* minor = (float*)malloc((size_t)positions * sizeof(float));
    if (!minor)
        return;
    int count = 0;
    int near = 0; /* the major tick nearest to the position, followed along as it rises */
    for (int k = 0; k < (int)positions; k++) {
        double at = firstMinor + k * minorStep;
        while (near + 1 < ticks->majorCount
               && fabs(at - ticks->major[near + 1]) < fabs(at - ticks->major[near]))
            near++;
        if (ticks->majorCount > 0 && fabs(at - ticks->major[near]) < kNearMajor * minorStep)
            continue;
        minor[count++] = (float)at;
    }
    if (count > XOM_MAX_TICKS || count == 0) {
        free(minor);
        return;
    }
    ticks->minor = minor;
    ticks->minorCount = count;
}
