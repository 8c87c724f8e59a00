/* Private definitions of XomData, the base of the data objects. */
#ifndef XOM_DATA_P_H
#define XOM_DATA_P_H

#include <X11/IntrinsicP.h>
#include <X11/ObjectP.h>

#include "toolkit/Data.h"

/* The y range of a data object (see XomDataRangeY). */
typedef Boolean (*XomDataRangeProc)(Widget data, float* minimum, float* maximum);
#define XomInheritDataRange ((XomDataRangeProc)_XtInherit)

typedef struct {
    XomDataRangeProc range_y; /* the y range of the values */
    XtPointer extension;
} XomDataClassPart;

typedef struct _XomDataClassRec {
    ObjectClassPart object_class;
    XomDataClassPart data_class;
} XomDataClassRec;

extern XomDataClassRec xomDataClassRec;

typedef struct {
    /* resources */
    Widget data_group;              /* the group it belongs to */
    XtCallbackList update_callback; /* changes, to the views */
    XtPointer user_data;
    Boolean copy_data;         /* keep an own copy of arrays given */
    Boolean last_view_destroy; /* destroy itself when its last view goes */
    Boolean editable;          /* shift and replace work */

    /* private state */
    int view_count; /* charts showing it */
} XomDataPart;

typedef struct _XomDataRec {
    ObjectPart object;
    XomDataPart data;
} XomDataRec;

#define XomDataOf(w) (&((XomDataObject)(w))->data)
#define XomDataClassOf(w) (&((XomDataObjectClass)XtClass(w))->data_class)

/* Calls "updateCallback" with a record of the reason, start, count and range. */
void XomDataNotify(Widget data, int reason, int start, int count, float minimum, float maximum);

#endif
