/* XomData: the base of the data objects. A data object holds values and no window; charts
 * are its views. Every change of its values is told to its views through "updateCallback"
 * (an XomDataCallbackStruct). A data object naming a data group in "dataGroup" joins that
 * group when it is created.
 *
 * Resources:
 * Name             Class            Type            Default
 * dataGroup        DataGroup        Widget          NULL
 * updateCallback   Callback         XtCallbackList  NULL
 * userData         UserData         Pointer         NULL
 * copyData         CopyData         Boolean         True   (keep a copy of arrays given)
 * lastViewDestroy  LastViewDestroy  Boolean         True   (destroyed when its last view goes)
 * editable         Editable         Boolean         True   (False: shift and replace refuse)
 */
#ifndef XOM_DATA_H
#define XOM_DATA_H

#include <X11/Intrinsic.h>

#include "toolkit/Xom.h"

extern WidgetClass xomDataObjectClass;

typedef struct _XomDataClassRec* XomDataObjectClass;
typedef struct _XomDataRec* XomDataObject;

#define XomNdataGroup "dataGroup"
#define XomNupdateCallback "updateCallback"
#define XomNcopyData "copyData"
#define XomNlastViewDestroy "lastViewDestroy"
#define XomNeditable "editable"

#define XomIsData(w) ((w) && XtIsSubclass((w), xomDataObjectClass))

/* The record of "updateCallback". */
typedef struct {
    int reason;    /* XomCR_DATA_... */
    XEvent* event; /* always NULL */
    Widget data;   /* the data object that changed */
    int start;     /* first index changed (or member index in a group) */
    int count;     /* number of values (or members) */
    float minimum; /* for a replacement: the range of the new values */
    float maximum;
} XomDataCallbackStruct;

/* The smallest and largest y value of a data object, skipping "no value" entries; for a
 * data group its "limitsY" when set, else the range over all its members. Returns whether
 * any value was found. */
Boolean XomDataRangeY(Widget data, float* minimum, float* maximum);

/* Views: a chart that shows the data counts as one view while it is associated. Letting
 * the last view go destroys an object whose "lastViewDestroy" is True. */
void XomDataAddView(Widget data);
void XomDataRemoveView(Widget data);
int XomDataViewCount(Widget data);

/* Whether data is a live data object (created and not yet destroyed); never reads it. */
Boolean XomDataIsLive(Widget data);
/* Destroys a data object with its destroy callbacks run at once, so that its charts and
 * group let it go before this returns (XomEditObjectDestroyObject does this for data). */
void XomDataDestroyNow(Widget data);

#endif
