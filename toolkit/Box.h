/* XomBox: a Motif manager that places its managed children in one row or one column and
 * shares surplus or missing space among them by per-child stretch and shrink values. */
#ifndef XOM_BOX_H
#define XOM_BOX_H

#include <X11/Intrinsic.h>

extern WidgetClass xomBoxWidgetClass;

typedef struct _XomBoxClassRec* XomBoxWidgetClass;
typedef struct _XomBoxRec* XomBoxWidget;

/* Resources of the box (besides the Motif manager's):
 *   Name          Class        Type         Default
 *   spacing       Spacing      Dimension    0
 *   margin        Margin       Dimension    0
 *   orientation   Orientation  Orientation  XmVERTICAL   (or XmHORIZONTAL)
 *   autoAdjust    AutoAdjust   Boolean      True
 *   alignment     Alignment    Alignment    XmALIGNMENT_BEGINNING (_CENTER, _END)
 * Constraint resources of every child:
 *   horizontalStretch, verticalStretch   Stretch       Int        0
 *   horizontalShrink, verticalShrink     Shrink        Int        0
 *   normalWidth, normalHeight            NormalWidth/Height  Dimension  0 (the size at creation)
 * An orientation or alignment outside its values, or a negative stretch or shrink, is
 * refused with a warning (XtAppWarningMsg, class "XomBox"). */
#define XomNspacing "spacing"
#define XomNmargin "margin"
#define XomNorientation "orientation"
#define XomNautoAdjust "autoAdjust"
#define XomNalignment "alignment"
#define XomCAutoAdjust "AutoAdjust"

/* Constraint resources of every child of a box. */
#define XomNhorizontalStretch "horizontalStretch"
#define XomNhorizontalShrink "horizontalShrink"
#define XomNverticalStretch "verticalStretch"
#define XomNverticalShrink "verticalShrink"
#define XomNnormalWidth "normalWidth"
#define XomNnormalHeight "normalHeight"
#define XomCStretch "Stretch"
#define XomCShrink "Shrink"
#define XomCNormalWidth "NormalWidth"
#define XomCNormalHeight "NormalHeight"

/* Stretch or shrink that covers any need. */
#define XOM_BOX_UNLIMITED 10000

#define XomIsBox(w) XtIsSubclass((w), xomBoxWidgetClass)

/* Creates an unmanaged box. */
Widget XomCreateBox(Widget parent, const char* name, ArgList args, Cardinal count);

/* The box's natural size: what its managed children need without stretching or shrinking. */
void XomBoxGetNormalSize(Widget box, Dimension* width, Dimension* height);

#endif
