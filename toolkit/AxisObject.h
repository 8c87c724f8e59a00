/* XomAxisObject: an axis of a chart's plot. It maps values along it to pixels (other
 * objects placed by "horizontalAxis" or "verticalAxis" go through it), draws its line,
 * ticks, tick labels ("annotationFormat", a printf format of one double), its label and
 * the grid lines across the plot. The chart lays it out; it is created by the plot.
 *
 * Resources (besides XomGraphic's):
 * Name                 Class                Type         Default
 * label                Label                String       NULL
 * labelFont            LabelFont            String       -*-Helvetica-*--*-140-*
 * annotationFont       AnnotationFont       String       -*-Helvetica-*--*-120-*
 * annotationFormat     AnnotationFormat     String       %g
 * annotationPlacement  AnnotationPlacement  int          0 (outside the plot)
 * tickPlacement        TickPlacement        int          2 (0 inside, 1 outside, 2 across)
 * axisLineThickness    AxisLineThickness    int          2
 * majorGridLineStyle   GridLineStyle        LineStyle    line_none
 * minorGridLineStyle   GridLineStyle        LineStyle    line_none
 * limits               Limits               Pointer      {0, 10} (two floats; copied)
 * increments           Increments           Pointer      {2, 1} (major and minor step; copied)
 * logScale             LogScale             Boolean      False
 * reverseOrder         ReverseOrder         Boolean      False
 */
#ifndef XOM_AXIS_OBJECT_H
#define XOM_AXIS_OBJECT_H

#include "toolkit/Graphic.h"

extern WidgetClass xomAxisObjectClass;

typedef struct _XomAxisObjectClassRec* XomAxisObjectClass;
typedef struct _XomAxisObjectRec* XomAxisObject;

#define XomNlabel "label"
#define XomNlabelFont "labelFont"
#define XomNannotationFont "annotationFont"
#define XomNannotationFormat "annotationFormat"
#define XomNannotationPlacement "annotationPlacement"
#define XomNtickPlacement "tickPlacement"
#define XomNaxisLineThickness "axisLineThickness"
#define XomNmajorGridLineStyle "majorGridLineStyle"
#define XomNminorGridLineStyle "minorGridLineStyle"
#define XomNlimits "limits"
#define XomNincrements "increments"
#define XomNlogScale "logScale"
#define XomNreverseOrder "reverseOrder"

#define XomIsAxisObject(w) ((w) && XtIsSubclass((w), xomAxisObjectClass))

/* Which way an axis runs. */
enum { XomAXIS_HORIZONTAL = 0, XomAXIS_VERTICAL = 1 };

/* The value of the axis at a window pixel along it (x for a horizontal axis, y for a
 * vertical one): linear between the axis ends and its limits, exponential on a log-scale
 * axis, mirrored on a reversed axis. False when the axis is not laid out or cannot map. */
Boolean XomAxisObjectPixelToUser(Widget axis, int pixel, float* value);

/* The content pixel of a value along the axis; False when it cannot be mapped. */
Boolean XomAxisObjectValueToPixel(Widget axis, double value, double* pixel);

#endif
