/* XomDataGroup: a container of data objects. A data object joins it by naming it in its
 * "dataGroup" resource; the group tells its own "updateCallback" of members added (reason
 * 8217) and removed (8216). Its y range is "limitsY" when set, else that of its members.
 *
 * Resources (besides XomData's):
 * Name           Class          Type        Default
 * dataList       DataList       WidgetList  (read only: the members in joining order)
 * dataListCount  DataListCount  Cardinal    (read only)
 * historyLength  HistoryLength  int         0
 * limitsX        Limits         Pointer     NULL (two floats, copied; NULL: none)
 * limitsY        Limits         Pointer     NULL
 * limitsZ        Limits         Pointer     NULL
 */
#ifndef XOM_DATA_GROUP_H
#define XOM_DATA_GROUP_H

#include "toolkit/Data.h"

extern WidgetClass xomDataGroupObjectClass;

typedef struct _XomDataGroupClassRec* XomDataGroupObjectClass;
typedef struct _XomDataGroupRec* XomDataGroupObject;

#define XomNdataList "dataList"
#define XomNdataListCount "dataListCount"
#define XomNhistoryLength "historyLength"
#define XomNlimitsX "limitsX"
#define XomNlimitsY "limitsY"
#define XomNlimitsZ "limitsZ"

#define XomIsDataGroup(w) ((w) && XtIsSubclass((w), xomDataGroupObjectClass))

Widget XomCreateDataGroup(Widget parent, const char* name, ArgList args, Cardinal count);

/* Membership (what a member's "dataGroup" resource does); anything else is ignored. */
void XomDataGroupInsert(Widget group, Widget member);
void XomDataGroupRemove(Widget group, Widget member);

#endif
