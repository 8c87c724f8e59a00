/* Private definitions of XomDataGroup. */
#ifndef XOM_DATA_GROUP_P_H
#define XOM_DATA_GROUP_P_H

#include "toolkit/DataGroup.h"
#include "toolkit/DataP.h"

typedef struct {
    XtPointer extension;
} XomDataGroupClassPart;

typedef struct _XomDataGroupClassRec {
    ObjectClassPart object_class;
    XomDataClassPart data_class;
    XomDataGroupClassPart data_group_class;
} XomDataGroupClassRec;

extern XomDataGroupClassRec xomDataGroupClassRec;

typedef struct {
    /* resources */
    WidgetList data_list; /* read only: the members */
    Cardinal data_list_count;
    int history_length;
    float* limits[3]; /* x, y, z: NULL or the own copies below */

    /* private state */
    Cardinal data_list_size; /* allocated entries */
    float limit_values[3][2];
} XomDataGroupPart;

typedef struct _XomDataGroupRec {
    ObjectPart object;
    XomDataPart data;
    XomDataGroupPart group;
} XomDataGroupRec;

#define XomDataGroupOf(w) (&((XomDataGroupObject)(w))->group)

#endif
