/* XomDataGroup: membership of data objects and the range over them. */
#include <Xm/Xm.h>

#include "toolkit/DataGroupP.h"
#include "toolkit/XomP.h"

#define offset(field) XtOffsetOf(XomDataGroupRec, group.field)
static XtResource resources[] = {
    {(String)XomNdataList, (String) "DataList", (String)XmRWidgetList, sizeof(WidgetList),
     offset(data_list), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNdataListCount, (String) "DataListCount", (String)XmRCardinal, sizeof(Cardinal),
     offset(data_list_count), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNhistoryLength, (String) "HistoryLength", (String)XmRInt, sizeof(int),
     offset(history_length), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNlimitsX, (String) "Limits", (String)XmRPointer, sizeof(float*), offset(limits[0]),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNlimitsY, (String) "Limits", (String)XmRPointer, sizeof(float*), offset(limits[1]),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNlimitsZ, (String) "Limits", (String)XmRPointer, sizeof(float*), offset(limits[2]),
     (String)XmRImmediate, (XtPointer)NULL},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static Boolean RangeY(Widget data, float* minimum, float* maximum);

XomDataGroupClassRec xomDataGroupClassRec = {
    {
        /* superclass */ (WidgetClass)&xomDataClassRec,
        /* class_name */ (String) "XomDataGroup",
        /* widget_size */ sizeof(XomDataGroupRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* obj1 */ NULL,
        /* obj2 */ NULL,
        /* obj3 */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* obj4 */ False,
        /* obj5 */ False,
        /* obj6 */ False,
        /* obj7 */ False,
        /* destroy */ Destroy,
        /* obj8 */ NULL,
        /* obj9 */ NULL,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* obj10 */ NULL,
        /* get_values_hook */ NULL,
        /* obj11 */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* obj12 */ NULL,
        /* obj13 */ NULL,
        /* obj14 */ NULL,
        /* extension */ NULL,
    },
    {
        /* range_y */ RangeY,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomDataGroupObjectClass = (WidgetClass)&xomDataGroupClassRec;

/* Each limits resource points at the group's own copy, or is NULL. */
static void LoadLimits(Widget w, int axis, const float* given)
{
    XomDataGroupPart* g = XomDataGroupOf(w);
    if (!given) {
        g->limits[axis] = NULL;
        return;
    }
    g->limit_values[axis][0] = given[0];
    g->limit_values[axis][1] = given[1];
    g->limits[axis] = g->limit_values[axis];
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomDataGroupPart* g = XomDataGroupOf(created);
    g->data_list = NULL;
    g->data_list_count = g->data_list_size = 0;
    for (int axis = 0; axis < 3; axis++)
        LoadLimits(created, axis, g->limits[axis]);
}

static void Destroy(Widget w)
{
    /* Members outlive their group. */
    XomDataGroupPart* g = XomDataGroupOf(w);
    for (Cardinal i = 0; i < g->data_list_count; i++)
        XomDataOf(g->data_list[i])->data_group = NULL;
    XtFree((char*)g->data_list);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomDataGroupPart* was = XomDataGroupOf(old);
    XomDataGroupPart* now = XomDataGroupOf(updated);
    now->data_list = was->data_list;
    now->data_list_count = was->data_list_count;
    for (int axis = 0; axis < 3; axis++)
        if (now->limits[axis] != was->limits[axis])
            LoadLimits(updated, axis, now->limits[axis]);
    return False;
}

static Boolean RangeY(Widget data, float* minimum, float* maximum)
{
    XomDataGroupPart* g = XomDataGroupOf(data);
    if (g->limits[1]) {
        *minimum = g->limits[1][0];
        *maximum = g->limits[1][1];
        return True;
    }
    Boolean found = False;
    for (Cardinal i = 0; i < g->data_list_count; i++) {
        float low, high;
        if (!XomDataRangeY(g->data_list[i], &low, &high))
            continue;
        if (!found || low < *minimum)
            *minimum = low;
        if (!found || high > *maximum)
            *maximum = high;
        found = True;
    }
    return found;
}

/* ---- public functions ---- */

Widget XomCreateDataGroup(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomDataGroupObjectClass, parent, args, count);
}

void XomDataGroupInsert(Widget group, Widget member)
{
    if (!XomIsDataGroup(group) || !XomIsData(member) || member == group)
        return;
    XomDataGroupPart* g = XomDataGroupOf(group);
    if (XomListContains(g->data_list, g->data_list_count, member))
        return;
    XomListAppend(&g->data_list, &g->data_list_count, &g->data_list_size, member);
    XomDataOf(member)->data_group = group;
    XomDataNotify(group, XomCR_DATA_GROUP_ADD, (int)g->data_list_count - 1, 1, 0.0f, 0.0f);
}

void XomDataGroupRemove(Widget group, Widget member)
{
    if (!XomIsDataGroup(group))
        return;
    XomDataGroupPart* g = XomDataGroupOf(group);
    for (Cardinal i = 0; i < g->data_list_count; i++) {
        if (g->data_list[i] != member)
            continue;
        XomListRemove(g->data_list, &g->data_list_count, member);
        XomDataOf(member)->data_group = NULL;
        XomDataNotify(group, XomCR_DATA_GROUP_REMOVE, (int)i, 1, 0.0f, 0.0f);
        return;
    }
}
