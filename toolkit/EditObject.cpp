/* XomEditObject: the editor area's record, its drawing of graphic objects and handles,
 * freezing, and the selection and destroy functions. Actions live in
 * EditObjectActions.cpp. */
#include <Xm/XmP.h>

#include "toolkit/Data.h"
#include "toolkit/EditObjectP.h"
#include "toolkit/GraphicP.h"
#include "toolkit/Group.h"

#define offset(field) XtOffsetOf(XomEditObjectRec, edit_object.field)
#define CALLBACK(name, field)                                                                      \
    {                                                                                              \
        (String) name, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),           \
            offset(field), (String)XmRImmediate, (XtPointer)NULL                                   \
    }
static XtResource resources[] = {
    {(String)XomNhandleSize, (String) "HandleSize", (String)XmRInt, sizeof(int),
     offset(handle_size), (String)XmRImmediate, (XtPointer)4},
    {(String)XomNhandleColor, (String) "HandleColor", (String)XmRPixel, sizeof(Pixel),
     offset(handle_color), (String)XmRString, (XtPointer) "blue"},
    {(String)XomNpointSelectionTolerance, (String) "PointSelectionTolerance", (String)XmRInt,
     sizeof(int), offset(point_selection_tolerance), (String)XmRImmediate, (XtPointer)4},
    {(String)XomNobjectEditMode, (String) "ObjectEditMode", (String)XomRObjectEditMode, sizeof(int),
     offset(object_edit_mode), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNcursorType, (String) "CursorType", (String)XomRCursorType, sizeof(int),
     offset(cursor_type), (String)XmRImmediate, (XtPointer)34},
    {(String)XomNallowDrag, (String) "AllowDrag", (String)XmRBoolean, sizeof(Boolean),
     offset(allow_drag), (String)XmRImmediate, (XtPointer)False},
    {(String)XomNallowDrop, (String) "AllowDrop", (String)XmRBoolean, sizeof(Boolean),
     offset(allow_drop), (String)XmRImmediate, (XtPointer)False},
    {(String)XomNflip, (String) "Flip", (String)XmRBoolean, sizeof(Boolean), offset(flip),
     (String)XmRImmediate, (XtPointer)False},
    {(String)XomNgraphicList, (String) "GraphicList", (String)XmRWidgetList, sizeof(WidgetList),
     offset(graphic_list), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNgraphicListCount, (String) "GraphicListCount", (String)XmRCardinal,
     sizeof(Cardinal), offset(graphic_list_count), (String)XmRImmediate, (XtPointer)0},
    CALLBACK(XomNlocatorCallback, locator_callback),
    CALLBACK(XomNselectionCallback, selection_callback),
    CALLBACK(XomNobjectSelectionCallback, object_selection_callback),
    CALLBACK(XomNobjectDeselectionCallback, object_deselection_callback),
    CALLBACK(XomNareaSelectionCallback, area_selection_callback),
    CALLBACK(XomNpolyAreaSelectionCallback, poly_area_selection_callback),
    CALLBACK(XomNinsertObjectCallback, insert_object_callback),
    CALLBACK(XomNcutCallback, cut_callback),
    CALLBACK(XomNcopyCallback, copy_callback),
    CALLBACK(XomNpasteCallback, paste_callback),
    CALLBACK(XomNrubberbandCallback, rubberband_callback),
    CALLBACK(XomNresourceDialogCallback, resource_dialog_callback),
    CALLBACK(XomNeditInternalCallback, edit_internal_callback),
    CALLBACK(XomNdragDropCallback, drag_drop_callback),
    CALLBACK(XomNexposeCallback, expose_callback),
    CALLBACK(XomNresizeCallback, resize_callback),
    CALLBACK(XomNinputCallback, input_callback),
};
#undef CALLBACK
#undef offset

static void ClassInitialize(void);
static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static void Resize(Widget w);
static void Redisplay(Widget w, XEvent* event, Region region);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Draw(Widget w, XomCanvas canvas, const XomArea* area);

XomEditObjectClassRec xomEditObjectClassRec = {
    {
        /* superclass */ (WidgetClass)&xomCompBaseClassRec,
        /* class_name */ (String) "XomEditObject",
        /* widget_size */ sizeof(XomEditObjectRec),
        /* class_initialize */ ClassInitialize,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* realize */ XtInheritRealize,
        /* actions */ xomEditObjectActions,
        /* num_actions */ 0, /* set from xomEditObjectActionCount at class initialisation */
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        /* compress_exposure */ XtExposeCompressMaximal,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ Destroy,
        /* resize */ Resize,
        /* expose */ Redisplay,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* accept_focus */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* tm_table */ (String)xomEditObjectTranslations,
        /* query_geometry */ NULL,
        /* display_accelerator */ NULL,
        /* extension */ NULL,
    },
    {
        /* geometry_manager */ XtInheritGeometryManager,
        /* change_managed */ XtInheritChangeManaged,
        /* insert_child */ XtInheritInsertChild,
        /* delete_child */ XtInheritDeleteChild,
        /* extension */ NULL,
    },
    {
        /* resources */ NULL,
        /* num_resources */ 0,
        /* constraint_size */ sizeof(XmManagerConstraintRec),
        /* initialize */ NULL,
        /* destroy */ NULL,
        /* set_values */ NULL,
        /* extension */ NULL,
    },
    {
        /* translations */ XtInheritTranslations,
        /* syn_resources */ NULL,
        /* num_syn_resources */ 0,
        /* syn_constraint_resources */ NULL,
        /* num_syn_constraint_resources */ 0,
        /* parent_process */ XmInheritParentProcess,
        /* extension */ NULL,
    },
    {
        /* draw */ Draw,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomEditObjectWidgetClass = (WidgetClass)&xomEditObjectClassRec;

/* The action count is only known in the actions file. */
static void ClassInitialize(void)
{
    xomEditObjectClassRec.core_class.num_actions = xomEditObjectActionCount;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomEditObjectPart* eo = XomEditObject(created);
    eo->graphic_list = NULL;
    eo->graphic_list_count = eo->graphic_list_size = 0;
    eo->selection = NULL;
    eo->selection_count = eo->selection_size = 0;
    eo->frozen = False;
    eo->last_x = eo->last_y = 0;
}

static void Destroy(Widget w)
{
    XomEditObjectPart* eo = XomEditObject(w);
    XtFree((char*)eo->graphic_list);
    XtFree((char*)eo->selection);
    eo->graphic_list = eo->selection = NULL;
    eo->graphic_list_count = eo->selection_count = 0;
}

static void CallDrawingCallbacks(Widget w, const char* list, int reason, XEvent* event)
{
    XomDrawingCallbackStruct data = {reason, event, XtWindow(w)};
    XtCallCallbacks(w, (String)list, &data);
}

static void Resize(Widget w)
{
    XomRepaintWindowArea(w, 0, 0, 0, 0);
    CallDrawingCallbacks(w, XomNresizeCallback, XmCR_RESIZE, NULL);
}

static void Redisplay(Widget w, XEvent* event, Region region)
{
    if (XomEditObject(w)->frozen)
        return;
    (*xomCompBaseClassRec.core_class.expose)(w, event, region);
    CallDrawingCallbacks(w, XomNexposeCallback, XomCR_EXPOSE, event);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomEditObjectPart* was = XomEditObject(old);
    XomEditObjectPart* now = XomEditObject(updated);
    now->graphic_list = was->graphic_list; /* read only */
    now->graphic_list_count = was->graphic_list_count;
    return was->handle_size != now->handle_size || was->handle_color != now->handle_color;
}

/* ---- drawing ---- */

static void DrawHandles(Widget w, XomCanvas canvas)
{
    XomEditObjectPart* eo = XomEditObject(w);
    int size = eo->handle_size;
    if (size <= 0 || !eo->selection_count)
        return;
    XomFillAttributes fill = canvas->fill;
    fill.style = XomFILL_SOLID;
    fill.color = eo->handle_color;
    XomCanvasSetFillAttributes(canvas, &fill);
    for (Cardinal i = 0; i < eo->selection_count; i++) {
        XomArea b;
        XomGraphicBounds(eo->selection[i], &b);
        if (b.width <= 0 || b.height <= 0 || !XomGraphic(eo->selection[i])->visible)
            continue;
        int xs[] = {b.x, b.x + b.width / 2, b.x + b.width};
        int ys[] = {b.y, b.y + b.height / 2, b.y + b.height};
        for (int xi = 0; xi < 3; xi++)
            for (int yi = 0; yi < 3; yi++)
                if (xi != 1 || yi != 1)
                    XomCanvasFillRectangle(canvas, xs[xi] - size / 2, ys[yi] - size / 2, size,
                                           size);
    }
}

static void Draw(Widget w, XomCanvas canvas, const XomArea* area)
{
    (*xomCompBaseClassRec.comp_base_class.draw)(w, canvas, area);
    XomEditObjectPart* eo = XomEditObject(w);
    /* A copy: an object's draw may not change the list, but a callback it calls might. */
    Cardinal count = eo->graphic_list_count;
    WidgetList list = (WidgetList)XtMalloc((Cardinal)(sizeof(Widget) * (count + 1)));
    for (Cardinal i = 0; i < count; i++)
        list[i] = eo->graphic_list[i];
    for (Cardinal i = 0; i < count; i++)
        if (XomGraphicIsLive(list[i]))
            XomGraphicDraw(list[i], canvas, area);
    XtFree((char*)list);
    DrawHandles(w, canvas);
}

/* ---- for graphic objects ---- */

void XomEditObjectInsertGraphic(Widget area, Widget graphic)
{
    if (!XomIsEditObject(area))
        return;
    XomEditObjectPart* eo = XomEditObject(area);
    if (!XomListContains(eo->graphic_list, eo->graphic_list_count, graphic))
        XomListAppend(&eo->graphic_list, &eo->graphic_list_count, &eo->graphic_list_size, graphic);
}

void XomEditObjectRemoveGraphic(Widget area, Widget graphic)
{
    if (!XomIsEditObject(area))
        return;
    XomEditObjectPart* eo = XomEditObject(area);
    XomListRemove(eo->graphic_list, &eo->graphic_list_count, graphic);
    XomListRemove(eo->selection, &eo->selection_count, graphic);
}

void XomEditObjectRedraw(Widget area, const XomArea* box)
{
    if (!XomIsEditObject(area) || XomEditObject(area)->frozen || !XtIsRealized(area)
        || area->core.being_destroyed)
        return;
    int ox = XomCompBase(area)->origin_x, oy = XomCompBase(area)->origin_y;
    XomArea window = {0, 0, (int)area->core.width, (int)area->core.height}, part = window;
    /* Handles stick out of an object's box by half their size. */
    int grow = XomEditObject(area)->handle_size / 2 + 1;
    if (box) {
        XomArea grown = {box->x - ox - grow, box->y - oy - grow, box->width + 2 * grow,
                         box->height + 2 * grow};
        if (!XomIntersectAreas(&grown, &window, &part))
            return;
    }
    XomRepaintWindowArea(area, part.x, part.y, part.width, part.height);
}

/* ---- public functions ---- */

Widget XomCreateEditObject(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomEditObjectWidgetClass, parent, args, count);
}

void XomEditObjectFreeze(Widget area, Boolean freeze)
{
    if (!XomIsEditObject(area))
        return;
    XomEditObjectPart* eo = XomEditObject(area);
    freeze = freeze ? True : False;
    if (eo->frozen == freeze)
        return;
    eo->frozen = freeze;
    if (!freeze)
        XomEditObjectRedraw(area, NULL);
}

Boolean XomEditObjectIsFrozen(Widget area)
{
    return XomIsEditObject(area) && XomEditObject(area)->frozen;
}

/* Whether object is drawn by area: in its list, or a member of one of its groups. */
static Boolean BelongsTo(Widget area, Widget object)
{
    return XomGraphicIsLive(object) && !object->core.being_destroyed
        && XomGraphic(object)->area == area;
}

static void CallObjectCallbacks(Widget area, const char* list, int reason, Widget object)
{
    XomObjectCallbackStruct data = {reason, NULL, object};
    XtCallCallbacks(area, (String)list, &data);
}

void XomEditObjectSelectObject(Widget area, Widget object)
{
    if (!XomIsEditObject(area) || !BelongsTo(area, object))
        return;
    XomEditObjectPart* eo = XomEditObject(area);
    if (XomIsGroup(XomGraphic(object)->group))
        XomGroupSetSelectedMember(XomGraphic(object)->group, object);
    if (XomListContains(eo->selection, eo->selection_count, object))
        return;
    XomListAppend(&eo->selection, &eo->selection_count, &eo->selection_size, object);
    XomGraphicRedraw(object);
    CallObjectCallbacks(area, XomNobjectSelectionCallback, XomCR_OBJECT_SELECT, object);
}

void XomEditObjectDeselectObject(Widget area, Widget object)
{
    if (!XomIsEditObject(area) || !BelongsTo(area, object))
        return;
    XomEditObjectPart* eo = XomEditObject(area);
    if (!XomListRemove(eo->selection, &eo->selection_count, object))
        return;
    Widget group = XomGraphic(object)->group;
    if (XomGroupSelectedMember(group) == object)
        XomGroupSetSelectedMember(group, NULL);
    XomGraphicRedraw(object);
    CallObjectCallbacks(area, XomNobjectDeselectionCallback, XomCR_OBJECT_DESELECT, object);
}

void XomEditObjectDeselectAll(Widget area)
{
    if (!XomIsEditObject(area))
        return;
    XomEditObjectPart* eo = XomEditObject(area);
    while (eo->selection_count)
        XomEditObjectDeselectObject(area, eo->selection[eo->selection_count - 1]);
}

WidgetList XomEditObjectGetSelection(Widget area, Cardinal* count)
{
    *count = 0;
    if (!XomIsEditObject(area))
        return NULL;
    *count = XomEditObject(area)->selection_count;
    return XomEditObject(area)->selection;
}

void XomEditObjectDestroyObject(Widget object)
{
    if (XomDataIsLive(object)) {
        XomDataDestroyNow(object);
        return;
    }
    /* The handle may be stale: it is looked up before it is read. */
    if (!XomGraphicIsLive(object) || object->core.being_destroyed || XomGraphic(object)->gone)
        return;
    XomGraphicLeave(object);
    XtDestroyWidget(object);
}

void XomEditObjectPixelToUser(Widget area, int x, int y, float* ux, float* uy)
{
    *ux = *uy = 0;
    if (!XomIsEditObject(area) || !area->core.width || !area->core.height)
        return;
    *ux = (float)(100.0 * x / area->core.width);
    *uy = (float)(100.0 * y / area->core.height);
}

void XomEditObjectUserToPixel(Widget area, double ux, double uy, int* x, int* y)
{
    *x = *y = 0;
    if (!XomIsEditObject(area))
        return;
    *x = (int)(ux * area->core.width / 100.0 + (ux >= 0 ? 0.5 : -0.5));
    *y = (int)(uy * area->core.height / 100.0 + (uy >= 0 ? 0.5 : -0.5));
}
