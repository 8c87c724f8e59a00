/* XomGroup: a graphic object that paints, bounds and hit-tests its members, and passes
 * resources set on it on to them when "propagate" is True. */
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/EditObjectP.h"
#include "toolkit/GroupP.h"

#define offset(field) XtOffsetOf(XomGroupRec, group.field)
static XtResource resources[] = {
    {(String)XomNlist, (String) "List", (String)XmRWidgetList, sizeof(WidgetList), offset(list),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNlistCount, (String) "ListCount", (String)XmRCardinal, sizeof(Cardinal),
     offset(list_count), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNdoubleBuffer, (String) "DoubleBuffer", (String)XmRBoolean, sizeof(Boolean),
     offset(double_buffer), (String)XmRImmediate, (XtPointer)False},
    {(String)XomNpropagate, (String) "Propagate", (String)XmRBoolean, sizeof(Boolean),
     offset(propagate), (String)XmRImmediate, (XtPointer)False},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static Boolean SetValuesHook(Widget w, ArgList args, Cardinal* count);
static void Draw(Widget g, XomCanvas canvas, const XomArea* area);
static void Bounds(Widget g, XomArea* bounds);
static Boolean Hit(Widget g, int x, int y, int tolerance);

XomGroupClassRec xomGroupClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGraphicClassRec,
        /* class_name */ (String) "XomGroup",
        /* widget_size */ sizeof(XomGroupRec),
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
        /* set_values_hook */ SetValuesHook,
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
        /* draw */ Draw,
        /* bounds */ Bounds,
        /* hit */ Hit,
        /* value_to_pixel */ XomInheritGraphicValue,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomGroupObjectClass = (WidgetClass)&xomGroupClassRec;

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomGroupPart* gr = XomGroup(created);
    gr->list = NULL;
    gr->list_count = gr->list_size = 0;
    gr->selected_member = NULL;
}

static void Destroy(Widget w)
{
    /* Members outlive their group: they go back to the area's own list. */
    XomGroupPart* gr = XomGroup(w);
    while (gr->list_count) {
        Widget member = gr->list[gr->list_count - 1];
        XtVaSetValues(member, XomNgroup, NULL, NULL);
        XomListRemove(gr->list, &gr->list_count, member);
    }
    XtFree((char*)gr->list);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    /* The member list is read only. */
    XomGroup(updated)->list = XomGroup(old)->list;
    XomGroup(updated)->list_count = XomGroup(old)->list_count;
    return False;
}

/* Resources that say where an object belongs are never passed on. */
static Boolean Propagates(const char* name)
{
    static const char* const kept[] = {XomNgroup, XomNlist, XomNlistCount, XomNpropagate,
                                       XtNdestroyCallback};
    for (const char* k : kept)
        if (strcmp(name, k) == 0)
            return False;
    return True;
}

static Boolean SetValuesHook(Widget w, ArgList args, Cardinal* count)
{
    XomGroupPart* gr = XomGroup(w);
    if (!gr->propagate)
        return False;
    ArgList passed = (ArgList)XtMalloc((Cardinal)(sizeof(Arg) * (*count + 1)));
    Cardinal n = 0;
    for (Cardinal i = 0; i < *count; i++)
        if (Propagates(args[i].name))
            passed[n++] = args[i];
    if (n)
        for (Cardinal i = 0; i < gr->list_count; i++)
            XtSetValues(gr->list[i], passed, n);
    XtFree((char*)passed);
    return False;
}

static void Draw(Widget g, XomCanvas canvas, const XomArea* area)
{
    XomGroupPart* gr = XomGroup(g);
    for (Cardinal i = 0; i < gr->list_count; i++)
        XomGraphicDraw(gr->list[i], canvas, area);
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomGroupPart* gr = XomGroup(g);
    *bounds = XomArea{0, 0, 0, 0};
    for (Cardinal i = 0; i < gr->list_count; i++) {
        XomArea b;
        XomGraphicBounds(gr->list[i], &b);
        if (b.width <= 0 || b.height <= 0)
            continue;
        if (bounds->width <= 0) {
            *bounds = b;
            continue;
        }
        int right = XomMax(bounds->x + bounds->width, b.x + b.width);
        int bottom = XomMax(bounds->y + bounds->height, b.y + b.height);
        bounds->x = XomMin(bounds->x, b.x);
        bounds->y = XomMin(bounds->y, b.y);
        bounds->width = right - bounds->x;
        bounds->height = bottom - bounds->y;
    }
}

static Boolean Hit(Widget g, int x, int y, int tolerance)
{
    XomGroupPart* gr = XomGroup(g);
    for (Cardinal i = 0; i < gr->list_count; i++)
        if (XomGraphicHit(gr->list[i], x, y, tolerance))
            return True;
    return False;
}

/* ---- public functions ---- */

Widget XomCreateGroup(Widget area, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomGroupObjectClass, area, args, count);
}

void XomGroupInsert(Widget group, Widget member)
{
    if (!XomIsGroup(group) || !XomIsGraphic(member) || member == group)
        return;
    XomGroupPart* gr = XomGroup(group);
    if (XomListContains(gr->list, gr->list_count, member))
        return;
    if (XomGraphic(member)->area)
        XomEditObjectRemoveGraphic(XomGraphic(member)->area, member);
    XomListAppend(&gr->list, &gr->list_count, &gr->list_size, member);
    XomGraphic(member)->group = group;
    XomGraphicRedraw(member);
}

void XomGroupRemove(Widget group, Widget member)
{
    if (!XomIsGroup(group))
        return;
    XomGroupPart* gr = XomGroup(group);
    if (!XomListRemove(gr->list, &gr->list_count, member))
        return;
    if (gr->selected_member == member)
        gr->selected_member = NULL;
}

Widget XomGroupSelectedMember(Widget group)
{
    return XomIsGroup(group) ? XomGroup(group)->selected_member : NULL;
}

void XomGroupSetSelectedMember(Widget group, Widget member)
{
    if (XomIsGroup(group))
        XomGroup(group)->selected_member = member;
}
