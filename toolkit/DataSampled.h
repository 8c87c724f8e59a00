/* XomDataSampled: a series of count values at evenly spaced x positions; the x of sample i
 * is first + i x step, from "sampledRange". Values are kept in "dataType" and passed in and
 * out as floats; XOM_NO_VALUE (toolkit/DataStore.h) marks a sample without a value.
 *
 * Resources (besides XomData's):
 * Name          Class         Type     Default
 * dataArray     DataArray     Pointer  NULL  (count values of dataType)
 * count         Count         int      0
 * dataType      DataType      int      3 (32-bit float; 0 short, 1 and 2 int, 4 double)
 * sampledRange  SampledRange  Pointer  {0, 1} (two floats: first x and step; copied)
 * unit          Unit          String   NULL
 * sampledUnit   SampledUnit   String   NULL
 */
#ifndef XOM_DATA_SAMPLED_H
#define XOM_DATA_SAMPLED_H

#include "toolkit/Data.h"

extern WidgetClass xomDataSampledObjectClass;

typedef struct _XomDataSampledClassRec* XomDataSampledObjectClass;
typedef struct _XomDataSampledRec* XomDataSampledObject;

#define XomNdataArray "dataArray"
#define XomNcount "count"
#define XomNdataType "dataType"
#define XomNsampledRange "sampledRange"
#define XomNunit "unit"
#define XomNsampledUnit "sampledUnit"

#define XomIsDataSampled(w) ((w) && XtIsSubclass((w), xomDataSampledObjectClass))

Widget XomCreateDataSampled(Widget parent, const char* name, ArgList args, Cardinal count);

/* Moves the series by n places and writes the abs(n) values into the freed places (at the
 * end for n above 0, at the start below 0); then "updateCallback" with reason 8220.
 * Returns 1, or 0 with nothing done (not sampled or not editable, empty, n 0, abs(n) above
 * the count, no values). */
int XomDataSampledShift(Widget data, float* values, int n);
/* Writes n values from index start (n cut to the end); then "updateCallback" with reason
 * 8219, start, count and the range of the new values. Returns 1 or 0 (nothing done). */
int XomDataSampledReplace(Widget data, float* values, int start, int n);
/* A new array (the caller frees it with XtFree) of the values from start, n cut to the
 * end; NULL when the arguments do not fit. */
float* XomDataSampledGetDataArray(Widget data, int start, int n);

/* For views: the number of samples, value i, and the x of sample i. */
int XomDataSampledCount(Widget data);
float XomDataSampledValue(Widget data, int i);
double XomDataSampledX(Widget data, int i);

#endif
