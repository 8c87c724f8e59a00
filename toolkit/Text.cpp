/* XomText: a string in a box of its own size plus margins, anchored at a point by its
 * horizontal and vertical alignment. */
#include <string.h>

#include <Xm/Xm.h>

#include "toolkit/TextP.h"

#define offset(field) XtOffsetOf(XomTextRec, text.field)
static XtResource resources[] = {
    {(String)XomNtextString, (String) "TextString", (String)XmRString, sizeof(String),
     offset(text_string), (String)XmRImmediate, (XtPointer) ""},
    {(String)XomNtextLocation, (String) "TextLocation", (String)XmRPointer, sizeof(float*),
     offset(text_location), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNhorizontalTextAlignment, (String) "TextAlignment", (String)XomRTextAlignment,
     sizeof(int), offset(horizontal_text_alignment), (String)XmRImmediate,
     (XtPointer)XomHALIGN_LEFT},
    {(String)XomNverticalTextAlignment, (String) "TextAlignment", (String)XomRTextAlignment,
     sizeof(int), offset(vertical_text_alignment), (String)XmRImmediate, (XtPointer)XomVALIGN_TOP},
    {(String)XomNtextAlignment, (String) "TextAlignment", (String)XomRTextAlignment, sizeof(int),
     offset(text_alignment), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNtextAnchor, (String) "TextAnchor", (String)XmRInt, sizeof(int),
     offset(text_anchor), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNfontFamily, (String) "FontFamily", (String)XmRInt, sizeof(int),
     offset(font_family), (String)XmRImmediate, (XtPointer)1},
    {(String)XomNfontSize, (String) "FontSize", (String)XmRInt, sizeof(int), offset(font_size),
     (String)XmRImmediate, (XtPointer)10},
    {(String)XomNfontWeight, (String) "FontWeight", (String)XmRInt, sizeof(int),
     offset(font_weight), (String)XmRImmediate, (XtPointer)1},
    {(String)XomNtextAngle, (String) "TextAngle", (String)XtRFloat, sizeof(float),
     offset(text_angle), (String)XmRString, (XtPointer) "0"},
    {(String)XomNtextScale, (String) "TextScale", (String)XtRFloat, sizeof(float),
     offset(text_scale), (String)XmRString, (XtPointer) "1"},
    {(String)XomNmarginWidth, (String)XmCMarginWidth, (String)XmRInt, sizeof(int),
     offset(margin_width), (String)XmRImmediate, (XtPointer)4},
    {(String)XomNmarginHeight, (String)XmCMarginHeight, (String)XmRInt, sizeof(int),
     offset(margin_height), (String)XmRImmediate, (XtPointer)4},
    {(String)XomNdisplayName, (String) "DisplayName", (String)XmRString, sizeof(String),
     offset(display_name), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNlabelFont, (String)XmCFont, (String)XmRString, sizeof(String), offset(label_font),
     (String)XmRImmediate, (XtPointer)NULL},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static void Draw(Widget g, XomCanvas canvas, const XomArea* area);
static void Bounds(Widget g, XomArea* bounds);

XomTextClassRec xomTextClassRec = {
    {
        /* superclass */ (WidgetClass)&xomRectangleClassRec,
        /* class_name */ (String) "XomText",
        /* widget_size */ sizeof(XomTextRec),
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
        /* draw */ Draw,
        /* bounds */ Bounds,
        /* hit */ XomInheritGraphicHit,
        /* value_to_pixel */ XomInheritGraphicValue,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomTextObjectClass = (WidgetClass)&xomTextClassRec;

static void CopyLocation(XomTextPart* t, const float* given)
{
    float x = given ? given[0] : 0, y = given ? given[1] : 0;
    t->location[0] = x;
    t->location[1] = y;
    t->text_location = t->location;
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomTextPart* t = XomTextPartOf(created);
    t->text_string = XtNewString(t->text_string ? t->text_string : "");
    CopyLocation(t, t->text_location);
    t->label_font_struct = NULL;
    XomGraphicRedraw(created);
}

static void Destroy(Widget w)
{
    XtFree(XomTextPartOf(w)->text_string);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList args, Cardinal* count)
{
    XomTextPart* was = XomTextPartOf(old);
    XomTextPart* now = XomTextPartOf(updated);
    XomGraphicRedraw(old);
    if (was->text_string != now->text_string) {
        now->text_string = XtNewString(now->text_string ? now->text_string : "");
        XtFree(was->text_string);
    }
    for (Cardinal i = 0; i < *count; i++)
        if (strcmp(args[i].name, XomNtextLocation) == 0)
            CopyLocation(now, now->text_location);
    now->text_location = now->location;
    if (was->label_font != now->label_font)
        now->label_font_struct = NULL;
    XomGraphicRedraw(updated);
    return False;
}

/* ---- layout ---- */

static XFontStruct* TextFont(Widget g, const char** name)
{
    XomTextPart* t = XomTextPartOf(g);
    XomGraphicPart* gp = XomGraphic(g);
    *name = t->label_font ? t->label_font : gp->font;
    if (!t->label_font_struct)
        t->label_font_struct = XomLoadFont(XtDisplayOfObject(g), *name);
    return t->label_font_struct;
}

/* The box of the text and its margins, and where its first baseline starts. */
static void Layout(Widget g, XomArea* box, XomPoint* baseline)
{
    XomTextPart* t = XomTextPartOf(g);
    const char* name;
    XFontStruct* font = TextFont(g, &name);
    int length = (int)strlen(t->text_string);
    int width = font ? XTextWidth(font, t->text_string, length) : 6 * length;
    int ascent = font ? font->ascent : 10, descent = font ? font->descent : 3;
    box->width = width + 2 * t->margin_width;
    box->height = ascent + descent + 2 * t->margin_height;

    int ax, ay;
    XomGraphicToPixel(g, t->location[0], t->location[1], &ax, &ay);
    int across = t->text_alignment & 7 ? t->text_alignment & 7 : t->horizontal_text_alignment;
    int upDown = t->text_alignment & 56 ? t->text_alignment & 56 : t->vertical_text_alignment;
    box->x = across == XomHALIGN_CENTER ? ax - box->width / 2
        : across == XomHALIGN_RIGHT     ? ax - box->width
                                        : ax;
    box->y = upDown == XomVALIGN_CENTER ? ay - box->height / 2
        : upDown == XomVALIGN_BOTTOM    ? ay - box->height
                                        : ay;
    *baseline = XomPoint{box->x + t->margin_width, box->y + t->margin_height + ascent};
}

static void Bounds(Widget g, XomArea* bounds)
{
    XomPoint baseline;
    Layout(g, bounds, &baseline);
}

static void Draw(Widget g, XomCanvas canvas, const XomArea*)
{
    XomTextPart* t = XomTextPartOf(g);
    XomArea box;
    XomPoint baseline;
    Layout(g, &box, &baseline);
    XomGraphicSetAttributes(g, canvas);
    const char* name = NULL;
    XFontStruct* font = TextFont(g, &name);
    XomCanvasSetFont(canvas, font, name);
    XomCanvasFillRectangle(canvas, box.x, box.y, box.width, box.height);
    XomCanvasText(canvas, baseline.x, baseline.y, t->text_string, (int)strlen(t->text_string));
}

Widget XomCreateText(Widget area, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomTextObjectClass, area, args, count);
}
