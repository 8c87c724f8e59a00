/* XomData: the resources every data object shares, its views and its notifications. */
#include <unordered_set>

#include <Xm/Xm.h>

#include "toolkit/DataGroup.h"
#include "toolkit/DataP.h"

#define offset(field) XtOffsetOf(XomDataRec, data.field)
static XtResource resources[] = {
    {(String)XomNdataGroup, (String) "DataGroup", (String)XmRWidget, sizeof(Widget),
     offset(data_group), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNupdateCallback, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),
     offset(update_callback), (String)XmRImmediate, (XtPointer)NULL},
    {(String) "userData", (String)XmCUserData, (String)XmRPointer, sizeof(XtPointer),
     offset(user_data), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNcopyData, (String) "CopyData", (String)XmRBoolean, sizeof(Boolean),
     offset(copy_data), (String)XmRImmediate, (XtPointer)True},
    {(String)XomNlastViewDestroy, (String) "LastViewDestroy", (String)XmRBoolean, sizeof(Boolean),
     offset(last_view_destroy), (String)XmRImmediate, (XtPointer)True},
    {(String)XomNeditable, (String) "Editable", (String)XmRBoolean, sizeof(Boolean),
     offset(editable), (String)XmRImmediate, (XtPointer)True},
};
#undef offset

static void ClassPartInitialize(WidgetClass wc);
static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);

XomDataClassRec xomDataClassRec = {
    {
        /* superclass */ (WidgetClass)&objectClassRec,
        /* class_name */ (String) "XomData",
        /* widget_size */ sizeof(XomDataRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ ClassPartInitialize,
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
        /* range_y */ NULL,
        /* extension */ NULL,
    },
};

WidgetClass xomDataObjectClass = (WidgetClass)&xomDataClassRec;

/* Every data object created and not yet destroyed, so that a stale handle is never read. */
static std::unordered_set<Widget>& LiveData()
{
    static std::unordered_set<Widget> live;
    return live;
}

static void ClassPartInitialize(WidgetClass wc)
{
    if (wc == xomDataObjectClass)
        return;
    XomDataClassPart* c = &((XomDataObjectClass)wc)->data_class;
    XomDataClassPart* super = &((XomDataObjectClass)wc->core_class.superclass)->data_class;
    if (c->range_y == XomInheritDataRange)
        c->range_y = super->range_y;
}

/* Leaves its group when it goes, before its class's destroy methods run. */
static void LeaveGroupCallback(Widget w, XtPointer, XtPointer)
{
    XomDataGroupRemove(XomDataOf(w)->data_group, w);
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomDataPart* d = XomDataOf(created);
    d->view_count = 0;
    LiveData().insert(created);
    XtAddCallback(created, XtNdestroyCallback, LeaveGroupCallback, NULL);
    Widget group = d->data_group;
    d->data_group = NULL;
    XomDataGroupInsert(group, created);
}

static void Destroy(Widget w)
{
    LiveData().erase(w);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomDataPart* now = XomDataOf(updated);
    Widget group = now->data_group;
    if (group != XomDataOf(old)->data_group) {
        now->data_group = XomDataOf(old)->data_group;
        XomDataGroupRemove(now->data_group, updated);
        XomDataGroupInsert(group, updated);
    }
    return False;
}

void XomDataNotify(Widget data, int reason, int start, int count, float minimum, float maximum)
{
    XomDataCallbackStruct record = {reason, NULL, data, start, count, minimum, maximum};
    XtCallCallbacks(data, (String)XomNupdateCallback, &record);
}

Boolean XomDataRangeY(Widget data, float* minimum, float* maximum)
{
    if (!XomIsData(data) || !XomDataClassOf(data)->range_y)
        return False;
    return XomDataClassOf(data)->range_y(data, minimum, maximum);
}

void XomDataAddView(Widget data)
{
    if (XomIsData(data))
        XomDataOf(data)->view_count++;
}

void XomDataRemoveView(Widget data)
{
    if (!XomIsData(data) || XomDataOf(data)->view_count == 0)
        return;
    XomDataPart* d = XomDataOf(data);
    /* While its editor area goes, the X Toolkit destroys it with the area. */
    if (--d->view_count == 0 && d->last_view_destroy && !data->core.being_destroyed
        && !XtParent(data)->core.being_destroyed)
        XtDestroyWidget(data);
}

int XomDataViewCount(Widget data)
{
    return XomIsData(data) ? XomDataOf(data)->view_count : 0;
}

Boolean XomDataIsLive(Widget data)
{
    return data && LiveData().count(data) > 0;
}

void XomDataDestroyNow(Widget data)
{
    if (!XomDataIsLive(data) || data->core.being_destroyed)
        return;
    /* Its views and group let it go now, not when Xt gets round to the destruction. */
    XtCallCallbacks(data, XtNdestroyCallback, NULL);
    XtRemoveAllCallbacks(data, XtNdestroyCallback);
    XtDestroyWidget(data);
}
