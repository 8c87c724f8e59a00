/* XomGraphic: resources, membership of an area or group, and the class methods every
 * graphic object is painted and hit-tested through. */
#include <unordered_set>

#include <Xm/Xm.h>

#include "toolkit/EditObjectP.h"
#include "toolkit/GraphicP.h"
#include "toolkit/Group.h"

#define offset(field) XtOffsetOf(XomGraphicRec, graphic.field)
static XtResource resources[] = {
    {(String)XomNcolor, (String)XmCColor, (String)XmRPixel, sizeof(Pixel), offset(color),
     (String)XmRString, (XtPointer) "black"},
    {(String)XomNfillColor, (String) "FillColor", (String)XmRPixel, sizeof(Pixel),
     offset(fill_color), (String)XmRString, (XtPointer)XtDefaultBackground},
    {(String)XomNfillStyle, (String) "FillStyle", (String)XomRFillStyle, sizeof(int),
     offset(fill_style), (String)XmRImmediate, (XtPointer)XomFILL_NONE},
    {(String)XomNfont, (String)XmCFont, (String)XmRString, sizeof(String), offset(font),
     (String)XmRImmediate, (XtPointer) "-*-Helvetica-*--*-120-*"},
    {(String)XomNlineStyle, (String) "LineStyle", (String)XomRLineStyle, sizeof(int),
     offset(line_style), (String)XmRImmediate, (XtPointer)XomLINE_SOLID},
    {(String)XomNlineThickness, (String) "LineThickness", (String)XmRInt, sizeof(int),
     offset(line_thickness), (String)XmRImmediate, (XtPointer)1},
    {(String)XomNmove, (String) "Move", (String)XmRBoolean, sizeof(Boolean), offset(move),
     (String)XmRImmediate, (XtPointer)True},
    {(String)XomNrotate, (String) "Rotate", (String)XmRBoolean, sizeof(Boolean), offset(rotate),
     (String)XmRImmediate, (XtPointer)True},
    {(String)XomNshape, (String) "Shape", (String)XmRBoolean, sizeof(Boolean), offset(shape),
     (String)XmRImmediate, (XtPointer)True},
    {(String)XomNsensitive, (String)XmCSensitive, (String)XmRBoolean, sizeof(Boolean),
     offset(sensitive), (String)XmRImmediate, (XtPointer)True},
    {(String)XomNhighlightMode, (String) "HighlightMode", (String)XomRHighlightMode, sizeof(int),
     offset(highlight_mode), (String)XmRImmediate, (XtPointer)1},
    {(String)XomNresourceDialog, (String) "ResourceDialog", (String)XmRBoolean, sizeof(Boolean),
     offset(resource_dialog), (String)XmRImmediate, (XtPointer)True},
    {(String)XomNvisible, (String) "Visible", (String)XmRBoolean, sizeof(Boolean), offset(visible),
     (String)XmRImmediate, (XtPointer)True},
    {(String)XomNmanaged, (String) "Managed", (String)XmRBoolean, sizeof(Boolean), offset(managed),
     (String)XmRImmediate, (XtPointer)True},
    {(String)XomNhorizontalAxis, (String) "Axis", (String)XmRWidget, sizeof(Widget),
     offset(horizontal_axis), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNverticalAxis, (String) "Axis", (String)XmRWidget, sizeof(Widget),
     offset(vertical_axis), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNgroup, (String) "Group", (String)XmRWidget, sizeof(Widget), offset(group),
     (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNconstraint, (String) "Constraint", (String)XmRPointer, sizeof(XtPointer),
     offset(constraint), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNuserData, (String)XmCUserData, (String)XmRPointer, sizeof(XtPointer),
     offset(user_data), (String)XmRImmediate, (XtPointer)NULL},
};
#undef offset

static void ClassInitialize(void);
static void ClassPartInitialize(WidgetClass wc);
static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Bounds(Widget g, XomArea* bounds);
static Boolean Hit(Widget g, int x, int y, int tolerance);

XomGraphicClassRec xomGraphicClassRec = {
    {
        /* superclass */ (WidgetClass)&objectClassRec,
        /* class_name */ (String) "XomGraphic",
        /* widget_size */ sizeof(XomGraphicRec),
        /* class_initialize */ ClassInitialize,
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
        /* draw */ NULL,
        /* bounds */ Bounds,
        /* hit */ Hit,
        /* value_to_pixel */ NULL,
        /* extension */ NULL,
    },
};

WidgetClass xomGraphicObjectClass = (WidgetClass)&xomGraphicClassRec;

/* Every object created and not yet destroyed, so that a stale handle is never read. */
static std::unordered_set<Widget>& LiveObjects()
{
    static std::unordered_set<Widget> live;
    return live;
}

static void ClassInitialize(void)
{
    XomRegisterConverters();
}

static void ClassPartInitialize(WidgetClass wc)
{
    XomGraphicClassPart* c = &((XomGraphicObjectClass)wc)->graphic_class;
    if (wc == xomGraphicObjectClass)
        return;
    XomGraphicClassPart* super = &((XomGraphicObjectClass)wc->core_class.superclass)->graphic_class;
    if (c->draw == XomInheritGraphicDraw)
        c->draw = super->draw;
    if (c->bounds == XomInheritGraphicBounds)
        c->bounds = super->bounds;
    if (c->hit == XomInheritGraphicHit)
        c->hit = super->hit;
    if (c->value_to_pixel == XomInheritGraphicValue)
        c->value_to_pixel = super->value_to_pixel;
}

/* ---- membership ---- */

static void Join(Widget g)
{
    XomGraphicPart* gp = XomGraphic(g);
    if (XomIsGroup(gp->group) && gp->group != g)
        XomGroupInsert(gp->group, g);
    else if (gp->area) {
        gp->group = NULL;
        XomEditObjectInsertGraphic(gp->area, g);
    }
}

/* Leaves the group or area, after asking for what it covered to be repainted. */
static void Leave(Widget g)
{
    XomGraphicPart* gp = XomGraphic(g);
    XomGraphicRedraw(g);
    if (XomIsGroup(gp->group) && XomGraphicIsLive(gp->group))
        XomGroupRemove(gp->group, g);
    if (gp->area)
        XomEditObjectRemoveGraphic(gp->area, g);
}

void XomGraphicLeave(Widget g)
{
    XomGraphicPart* gp = XomGraphic(g);
    if (gp->gone)
        return;
    Leave(g);
    gp->gone = True;
}

static void LeaveCallback(Widget g, XtPointer, XtPointer)
{
    XomGraphicLeave(g);
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomGraphicPart* gp = XomGraphic(created);
    Widget area = XtParent(created);
    while (area && !XomIsEditObject(area))
        area = XtParent(area);
    gp->area = area;
    gp->font_struct = NULL;
    gp->gone = False;
    LiveObjects().insert(created);
    XtAddCallback(created, XtNdestroyCallback, LeaveCallback, NULL);
    Join(created);
    /* The subclasses are not initialised yet: the whole area is repainted. */
    if (area)
        XomEditObjectRedraw(area, NULL);
}

static void Destroy(Widget w)
{
    LiveObjects().erase(w);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomGraphicPart* was = XomGraphic(old);
    XomGraphicPart* now = XomGraphic(updated);
    if (was->font != now->font)
        now->font_struct = NULL;
    if (was->group != now->group) {
        Widget group = now->group;
        now->group = was->group;
        Leave(updated);
        now->group = group;
        Join(updated);
    }
    XomGraphicRedraw(updated);
    return False;
}

/* ---- class methods of the base ---- */

static void Bounds(Widget, XomArea* bounds)
{
    *bounds = XomArea{0, 0, 0, 0};
}

static Boolean Hit(Widget g, int x, int y, int tolerance)
{
    XomArea b;
    XomGraphicBounds(g, &b);
    return b.width > 0 && x >= b.x - tolerance && x <= b.x + b.width + tolerance
        && y >= b.y - tolerance && y <= b.y + b.height + tolerance;
}

/* ---- public functions ---- */

Boolean XomGraphicIsLive(Widget graphic)
{
    return graphic && LiveObjects().count(graphic) > 0;
}

Widget XomGraphicArea(Widget graphic)
{
    return XomIsGraphic(graphic) ? XomGraphic(graphic)->area : NULL;
}

void XomGraphicBounds(Widget graphic, XomArea* bounds)
{
    *bounds = XomArea{0, 0, 0, 0};
    if (XomIsGraphic(graphic) && XomGraphicClass(graphic)->bounds)
        XomGraphicClass(graphic)->bounds(graphic, bounds);
}

void XomGraphicDraw(Widget graphic, XomCanvas canvas, const XomArea* area)
{
    if (!XomIsGraphic(graphic))
        return;
    XomGraphicPart* gp = XomGraphic(graphic);
    XomGraphicDrawProc draw = XomGraphicClass(graphic)->draw;
    if (!draw || !gp->visible || !gp->managed || gp->gone)
        return;
    XomArea bounds, common;
    XomGraphicBounds(graphic, &bounds);
    /* Objects that report no box (groups still empty, charts laying out) always draw. */
    if (bounds.width > 0 && bounds.height > 0 && !XomIntersectAreas(&bounds, area, &common))
        return;
    draw(graphic, canvas, area);
}

Boolean XomGraphicHit(Widget graphic, int x, int y, int tolerance)
{
    if (!XomIsGraphic(graphic) || !XomGraphic(graphic)->visible || !XomGraphic(graphic)->sensitive)
        return False;
    XomGraphicHitProc hit = XomGraphicClass(graphic)->hit;
    return hit && hit(graphic, x, y, tolerance);
}

static Boolean AxisPixel(Widget axis, double value, int* pixel)
{
    if (!XomIsGraphic(axis) || !XomGraphicClass(axis)->value_to_pixel)
        return False;
    return XomGraphicClass(axis)->value_to_pixel(axis, value, pixel);
}

void XomGraphicToPixel(Widget graphic, double x, double y, int* px, int* py)
{
    *px = *py = 0;
    if (!XomIsGraphic(graphic))
        return;
    XomGraphicPart* gp = XomGraphic(graphic);
    if (gp->area)
        XomEditObjectUserToPixel(gp->area, x, y, px, py);
    AxisPixel(gp->horizontal_axis, x, px);
    AxisPixel(gp->vertical_axis, y, py);
}

void XomGraphicRedraw(Widget graphic)
{
    if (!XomIsGraphic(graphic))
        return;
    XomGraphicPart* gp = XomGraphic(graphic);
    if (!gp->area || gp->area->core.being_destroyed)
        return;
    XomArea bounds;
    XomGraphicBounds(graphic, &bounds);
    XomEditObjectRedraw(gp->area, bounds.width > 0 && bounds.height > 0 ? &bounds : NULL);
}

void XomGraphicSetAttributes(Widget graphic, XomCanvas canvas)
{
    XomGraphicPart* gp = XomGraphic(graphic);
    if (!gp->font_struct)
        gp->font_struct = XomLoadFont(XtDisplayOfObject(graphic), gp->font);
    XomLineAttributes line = canvas->line;
    line.color = gp->color;
    line.width = gp->line_thickness > 1 ? gp->line_thickness : 0;
    line.style = gp->line_style;
    XomCanvasSetLineAttributes(canvas, &line);
    XomFillAttributes fill = canvas->fill;
    fill.color = gp->fill_color;
    fill.background = gp->area ? gp->area->core.background_pixel : gp->fill_color;
    fill.style = gp->fill_style;
    XomCanvasSetFillAttributes(canvas, &fill);
    XomTextAttributes text = {gp->color, gp->font_struct, gp->font};
    XomCanvasSetTextAttributes(canvas, &text);
}
