/* Private definitions of XomGroup. */
#ifndef XOM_GROUP_P_H
#define XOM_GROUP_P_H

#include "toolkit/GraphicP.h"
#include "toolkit/Group.h"

typedef struct {
    XtPointer extension;
} XomGroupClassPart;

typedef struct _XomGroupClassRec {
    ObjectClassPart object_class;
    XomGraphicClassPart graphic_class;
    XomGroupClassPart group_class;
} XomGroupClassRec;

extern XomGroupClassRec xomGroupClassRec;

typedef struct {
    /* resources */
    WidgetList list; /* read only: members in drawing order */
    Cardinal list_count;
    Boolean double_buffer;
    Boolean propagate; /* resources set on the group go to the members too */

    /* private state */
    Cardinal list_size; /* allocated entries */
    Widget selected_member;
} XomGroupPart;

typedef struct _XomGroupRec {
    ObjectPart object;
    XomGraphicPart graphic;
    XomGroupPart group;
} XomGroupRec;

#define XomGroup(w) (&((XomGroupObject)(w))->group)

#endif
