/* XomRectangle: a filled and outlined rectangle placed in its axes' or its area's
 * coordinates. */
#include <stdlib.h>
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/RectangleP.h"

enum { ROUND_RADIUS = 6 };

#define offset(field) XtOffsetOf(XomRectangleRec, rectangle.field)
static XtResource resources[] = {
    {(String)XomNrectangle, (String) "Rectangle", (String)XmRPointer, sizeof(float*),
     offset(rectangle), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNroundEdge, (String) "RoundEdge", (String)XmRBoolean, sizeof(Boolean),
     offset(round_edge), (String)XmRImmediate, (XtPointer)False},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Draw(Widget g, XomCanvas canvas, const XomArea* area);
static void Bounds(Widget g, XomArea* bounds);

XomRectangleClassRec xomRectangleClassRec = {
    {
        /* superclass */ (WidgetClass)&xomGraphicClassRec,
        /* class_name */ (String) "XomRectangle",
        /* widget_size */ sizeof(XomRectangleRec),
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
        /* destroy */ NULL,
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
        /* draw */ Draw,
        /* bounds */ Bounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ XomInheritGraphicValue,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomRectangleObjectClass = (WidgetClass)&xomRectangleClassRec;

/* Takes a copy of the caller's four floats, or the default corners. */
static void CopyCorners(XomRectanglePart* r, const float* given)
{
    static const float fallback[4] = {0, 0, 10, 10};
    const float* from = given ? given : fallback;
    float copy[4] = {from[0], from[1], from[2], from[3]};
    for (int i = 0; i < 4; i++)
        r->corners[i] = copy[i];
    r->rectangle = r->corners;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomRectanglePart* r = XomRectanglePartOf(created);
    CopyCorners(r, r->rectangle);
    XomGraphicRedraw(created);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList args, Cardinal* count)
{
    XomRectanglePart* now = XomRectanglePartOf(updated);
    for (Cardinal i = 0; i < *count; i++)
        if (strcmp(args[i].name, XomNrectangle) == 0) {
            XomGraphicRedraw(old);
            CopyCorners(now, now->rectangle);
        }
    now->rectangle = now->corners;
    XomGraphicRedraw(updated);
    return False;
}

static void Bounds(Widget g, XomArea* bounds)
{
    const float* c = XomRectanglePartOf(g)->corners;
    int x1, y1, x2, y2;
    XomGraphicToPixel(g, c[0], c[1], &x1, &y1);
    XomGraphicToPixel(g, c[2], c[3], &x2, &y2);
    *bounds = XomArea{XomMin(x1, x2), XomMin(y1, y2), abs(x2 - x1) + 1, abs(y2 - y1) + 1};
}

static void Draw(Widget g, XomCanvas canvas, const XomArea*)
{
    XomArea b;
    Bounds(g, &b);
    XomGraphicSetAttributes(g, canvas);
    if (XomRectanglePartOf(g)->round_edge) {
        XomCanvasFillRoundRectangle(canvas, b.x, b.y, b.width, b.height, ROUND_RADIUS);
        XomCanvasRoundRectangle(canvas, b.x, b.y, b.width - 1, b.height - 1, ROUND_RADIUS);
    } else {
        XomCanvasFillRectangle(canvas, b.x, b.y, b.width, b.height);
        XomCanvasRectangle(canvas, b.x, b.y, b.width - 1, b.height - 1);
    }
}

Widget XomCreateRectangle(Widget area, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomRectangleObjectClass, area, args, count);
}
