/* Tick placement of a linear axis, free of X: where the major and minor ticks of an axis lie
 * for its limits and increments. */
#ifndef XOM_AXIS_TICKS_H
#define XOM_AXIS_TICKS_H

/* More ticks than this on an axis are not drawn (see _XomCalculateLinearTicks). */
#define XOM_MAX_TICKS 2000

typedef struct {
    int majorCount;
    float* major; /* majorCount positions, rising; null when none */
    int minorCount;
    float* minor; /* minorCount positions, rising, none on a major tick; null when none */
} XomTickList;

/* Fills *ticks (freeing nothing it held) with the ticks of an axis from minimum to maximum
 * with the given major and minor steps; with aligned set the major ticks fall on whole
 * multiples of the major step. More than XOM_MAX_TICKS major ticks, or as many minor
 * positions as that would imply, give no ticks at all; more than XOM_MAX_TICKS minor ticks
 * give the major ticks alone. */
void _XomCalculateLinearTicks(double minimum, double maximum, double majorStep, double minorStep,
                              int aligned, XomTickList* ticks);

/* Frees the two lists and empties *ticks. */
void _XomFreeTicks(XomTickList* ticks);

#endif
