/* XomCompBase: margins, title, annotation placement and the draw class method that every
 * drawing widget paints through. */
#include <string.h>

#include <Xm/XmP.h>

#include "toolkit/CompBaseP.h"

enum { TITLE_SPACING = 4 };

#define offset(field) XtOffsetOf(XomCompBaseRec, comp_base.field)
static XtResource resources[] = {
    {(String)XomNtopMargin, (String)XomCMargin, (String)XmRInt, sizeof(int), offset(top_margin),
     (String)XmRImmediate, (XtPointer)70},
    {(String)XomNbottomMargin, (String)XomCMargin, (String)XmRInt, sizeof(int),
     offset(bottom_margin), (String)XmRImmediate, (XtPointer)40},
    {(String)XomNleftMargin, (String)XomCMargin, (String)XmRInt, sizeof(int), offset(left_margin),
     (String)XmRImmediate, (XtPointer)60},
    {(String)XomNrightMargin, (String)XomCMargin, (String)XmRInt, sizeof(int), offset(right_margin),
     (String)XmRImmediate, (XtPointer)60},
    {(String)XomNautoMarginAdjust, (String)XomCAutoMarginAdjust, (String)XomRAutoMarginAdjust,
     sizeof(int), offset(auto_margin_adjust), (String)XmRImmediate, (XtPointer)XomADJUST_NONE},
    {(String)XomNtitleString, (String)XomCTitleString, (String)XmRString, sizeof(String),
     offset(title_string), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNtitleFont, (String)XomCTitleFont, (String)XmRString, sizeof(String),
     offset(title_font), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNtitlePlacement, (String)XomCTitlePlacement, (String)XomRAnnotationPlacement,
     sizeof(int), offset(title_placement), (String)XmRImmediate, (XtPointer)XomPLACEMENT_TOP},
    {(String)XomNtitleAlignment, (String)XomCTitleAlignment, (String)XomRColumnAlignment,
     sizeof(int), offset(title_alignment), (String)XmRImmediate, (XtPointer)XomALIGNMENT_CENTER},
    {(String)XomNhorizontalAnnotationPlacement, (String)XomCAnnotationPlacement,
     (String)XomRAnnotationPlacement, sizeof(int), offset(horizontal_annotation_placement),
     (String)XmRImmediate, (XtPointer)(XomPLACEMENT_TOP | XomPLACEMENT_BOTTOM)},
    {(String)XomNverticalAnnotationPlacement, (String)XomCAnnotationPlacement,
     (String)XomRAnnotationPlacement, sizeof(int), offset(vertical_annotation_placement),
     (String)XmRImmediate, (XtPointer)(XomPLACEMENT_LEFT | XomPLACEMENT_RIGHT)},
    {(String)XomNhardcopyCallback, (String)XomCHardcopyCallback, (String)XmRCallback,
     sizeof(XtCallbackList), offset(hardcopy_callback), (String)XmRImmediate, (XtPointer)NULL},
};
#undef offset

static void ClassInitialize(void);
static void ClassPartInitialize(WidgetClass wc);
static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Realize(Widget w, XtValueMask* mask, XSetWindowAttributes* attributes);
static void Destroy(Widget w);
static void Redisplay(Widget w, XEvent* event, Region region);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request,
                                        XtWidgetGeometry* reply);
static void InsertChild(Widget child);
static void DeleteChild(Widget child);
static void Draw(Widget w, XomCanvas canvas, const XomArea* area);

XomCompBaseClassRec xomCompBaseClassRec = {
    {
        /* superclass */ (WidgetClass)&xmManagerClassRec,
        /* class_name */ (String) "XomCompBase",
        /* widget_size */ sizeof(XomCompBaseRec),
        /* class_initialize */ ClassInitialize,
        /* class_part_initialize */ ClassPartInitialize,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* realize */ Realize,
        /* actions */ NULL,
        /* num_actions */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        /* compress_exposure */ XtExposeCompressMaximal,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ Destroy,
        /* resize */ NULL,
        /* expose */ Redisplay,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* accept_focus */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* tm_table */ XtInheritTranslations,
        /* query_geometry */ NULL,
        /* display_accelerator */ NULL,
        /* extension */ NULL,
    },
    {
        /* geometry_manager */ GeometryManager,
        /* change_managed */ NULL,
        /* insert_child */ InsertChild,
        /* delete_child */ DeleteChild,
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
};

WidgetClass xomCompBaseWidgetClass = (WidgetClass)&xomCompBaseClassRec;

static void ClassInitialize(void)
{
    XomRegisterConverters();
}

static void ClassPartInitialize(WidgetClass wc)
{
    XomCompBaseWidgetClass c = (XomCompBaseWidgetClass)wc;
    XomCompBaseWidgetClass super = (XomCompBaseWidgetClass)wc->core_class.superclass;
    if (c->comp_base_class.draw == XomInheritDraw)
        c->comp_base_class.draw = super->comp_base_class.draw;
}

/* ---- resources ---- */

static Boolean ValidPlacement(int value, int sides)
{
    return value == 0 || (value >= 0 && value < 32 && (value & (sides | XomPLACEMENT_INSIDE)));
}

/* A placement that names none of its own sides is refused and the old value kept. */
static void CheckPlacements(Widget w, const char* function, int oldHorizontal, int oldVertical)
{
    XomCompBasePart* cb = XomCompBase(w);
    if (!ValidPlacement(cb->horizontal_annotation_placement,
                        XomPLACEMENT_TOP | XomPLACEMENT_BOTTOM)) {
        XomClassWarning(w, function, "Invalid value, resource XmNhorizontalAnnotationPlacement.");
        cb->horizontal_annotation_placement = oldHorizontal;
    }
    if (!ValidPlacement(cb->vertical_annotation_placement,
                        XomPLACEMENT_LEFT | XomPLACEMENT_RIGHT)) {
        XomClassWarning(w, function, "Invalid value, resource XmNverticalAnnotationPlacement.");
        cb->vertical_annotation_placement = oldVertical;
    }
}

static void LoadTitleFont(Widget w)
{
    XomCompBasePart* cb = XomCompBase(w);
    cb->title_font_struct = XomLoadFont(XtDisplay(w), cb->title_font);
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomCompBasePart* cb = XomCompBase(created);
    cb->title_string = cb->title_string ? XtNewString(cb->title_string) : NULL;
    cb->gc = NULL;
    cb->origin_x = cb->origin_y = 0;
    CheckPlacements(created, "Initialize", XomPLACEMENT_TOP | XomPLACEMENT_BOTTOM,
                    XomPLACEMENT_LEFT | XomPLACEMENT_RIGHT);
    LoadTitleFont(created);
    if (created->core.width == 0)
        created->core.width = 200;
    if (created->core.height == 0)
        created->core.height = 150;
}

static void Realize(Widget w, XtValueMask* mask, XSetWindowAttributes* attributes)
{
    (*xmManagerClassRec.core_class.realize)(w, mask, attributes);
    XomCompBase(w)->gc = XCreateGC(XtDisplay(w), XtWindow(w), 0, NULL);
}

static void Destroy(Widget w)
{
    XomCompBasePart* cb = XomCompBase(w);
    XtFree(cb->title_string);
    if (cb->gc)
        XFreeGC(XtDisplay(w), cb->gc);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomCompBasePart* was = XomCompBase(old);
    XomCompBasePart* now = XomCompBase(updated);
    Boolean redisplay = False;
    if (was->title_string != now->title_string) {
        now->title_string = now->title_string ? XtNewString(now->title_string) : NULL;
        XtFree(was->title_string);
        redisplay = True;
    }
    if (was->title_font != now->title_font) {
        LoadTitleFont(updated);
        redisplay = True;
    }
    CheckPlacements(updated, "SetValues", was->horizontal_annotation_placement,
                    was->vertical_annotation_placement);
    redisplay |= was->top_margin != now->top_margin || was->bottom_margin != now->bottom_margin
        || was->left_margin != now->left_margin || was->right_margin != now->right_margin
        || was->auto_margin_adjust != now->auto_margin_adjust
        || was->title_placement != now->title_placement
        || was->title_alignment != now->title_alignment
        || was->horizontal_annotation_placement != now->horizontal_annotation_placement
        || was->vertical_annotation_placement != now->vertical_annotation_placement;
    return redisplay;
}

static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request, XtWidgetGeometry*)
{
    /* Children (a table's cell widgets) are placed by their drawing widget: grant all. */
    if (request->request_mode & XtCWQueryOnly)
        return XtGeometryYes;
    if (request->request_mode & CWX)
        child->core.x = request->x;
    if (request->request_mode & CWY)
        child->core.y = request->y;
    if (request->request_mode & CWWidth)
        child->core.width = request->width;
    if (request->request_mode & CWHeight)
        child->core.height = request->height;
    if (request->request_mode & CWBorderWidth)
        child->core.border_width = request->border_width;
    return XtGeometryYes;
}

/* Windowless objects (graphic objects, data objects) are children too, so that the X
 * Toolkit destroys them with the widget; the Motif manager only takes rectangles. */
static void InsertChild(Widget child)
{
    if (XtIsRectObj(child))
        (*xmManagerClassRec.composite_class.insert_child)(child);
    else
        (*compositeClassRec.composite_class.insert_child)(child);
}

static void DeleteChild(Widget child)
{
    if (XtIsRectObj(child))
        (*xmManagerClassRec.composite_class.delete_child)(child);
    else
        (*compositeClassRec.composite_class.delete_child)(child);
}

/* ---- drawing ---- */

XFontStruct* XomCompBaseTitleFont(Widget w)
{
    return XomIsCompBase(w) ? XomCompBase(w)->title_font_struct : NULL;
}

int XomCompBaseTitleHeight(Widget w)
{
    if (!XomIsCompBase(w))
        return 0;
    XomCompBasePart* cb = XomCompBase(w);
    if (!cb->title_string || !*cb->title_string || !cb->title_placement || !cb->title_font_struct)
        return 0;
    return cb->title_font_struct->ascent + cb->title_font_struct->descent + 2 * TITLE_SPACING;
}

void XomCompBaseGetMargins(Widget w, int* left, int* right, int* top, int* bottom)
{
    if (!XomIsCompBase(w)) {
        *left = *right = *top = *bottom = 0; // a widget of another class has no margins
        return;
    }
    XomCompBasePart* cb = XomCompBase(w);
    int adjust = cb->auto_margin_adjust, title = XomCompBaseTitleHeight(w);
    *left = adjust & XomADJUST_LEFT ? 0 : cb->left_margin;
    *right = adjust & XomADJUST_RIGHT ? 0 : cb->right_margin;
    *top = cb->top_margin;
    *bottom = cb->bottom_margin;
    if (adjust & XomADJUST_TOP)
        *top = cb->title_placement & XomPLACEMENT_TOP ? title : 0;
    if (adjust & XomADJUST_BOTTOM)
        *bottom = cb->title_placement & XomPLACEMENT_BOTTOM ? title : 0;
}

/* The base paints the background and the title in its margin. */
static void Draw(Widget w, XomCanvas canvas, const XomArea* area)
{
    XomCompBasePart* cb = XomCompBase(w);
    XomFillAttributes fill = canvas->fill;
    fill.style = XomFILL_SOLID;
    fill.color = w->core.background_pixel;
    XomCanvasSetFillAttributes(canvas, &fill);
    XomCanvasFillRectangle(canvas, area->x, area->y, area->width, area->height);

    int height = XomCompBaseTitleHeight(w);
    if (!height)
        return;
    int left, right, top, bottom;
    XomCompBaseGetMargins(w, &left, &right, &top, &bottom);
    int y = cb->title_placement & XomPLACEMENT_BOTTOM ? (int)w->core.height - height : 0;
    if (cb->title_placement & XomPLACEMENT_TOP)
        y = XomMax(0, top - height);
    XomArea box = {left + TITLE_SPACING, y, (int)w->core.width - left - right - 2 * TITLE_SPACING,
                   height};
    XomCanvasSetFont(canvas, cb->title_font_struct, cb->title_font);
    XomTextAttributes text = canvas->text;
    text.color = ((XmManagerWidget)w)->manager.foreground;
    XomCanvasSetTextAttributes(canvas, &text);
    XomCanvasRestrictedText(canvas, &box, cb->title_string, (int)strlen(cb->title_string),
                            XomAlignmentAcross(cb->title_alignment));
}

void XomCompBaseDraw(Widget w, XomCanvas canvas, const XomArea* area)
{
    if (!XomIsCompBase(w) || !canvas || !area)
        return;
    XomDrawProc draw = ((XomCompBaseWidgetClass)XtClass(w))->comp_base_class.draw;
    if (draw)
        draw(w, canvas, area);
}

static void Redisplay(Widget w, XEvent* event, Region region)
{
    if (!XtIsRealized(w))
        return;
    XomCompBasePart* cb = XomCompBase(w);
    XomArea box = XomExposedArea(w, event, region);
    XomCanvas canvas =
        XomCreateXCanvas(XtDisplay(w), XtWindow(w), cb->gc, w->core.width, w->core.height);
    XomCanvasSetBound(canvas, &box);
    XomCanvasSetOffset(canvas, -cb->origin_x, -cb->origin_y);
    XomArea area = {box.x + cb->origin_x, box.y + cb->origin_y, box.width, box.height};
    XomCompBaseDraw(w, canvas, &area);
    XomCanvasDestroy(canvas);
}

/* ---- public functions ---- */

void XomCompBaseSetOrigin(Widget w, int x, int y)
{
    if (!XomIsCompBase(w))
        return;
    XomCompBasePart* cb = XomCompBase(w);
    x = XomMax(0, x);
    y = XomMax(0, y);
    if (x == cb->origin_x && y == cb->origin_y)
        return;
    cb->origin_x = x;
    cb->origin_y = y;
    XomRepaintWindowArea(w, 0, 0, 0, 0);
}

void XomCompBaseGetOrigin(Widget w, int* x, int* y)
{
    if (!XomIsCompBase(w))
        return;
    *x = XomCompBase(w)->origin_x;
    *y = XomCompBase(w)->origin_y;
}

void XomCompBaseCallHardcopy(Widget w, float width, float height, FILE* file)
{
    if (!XomIsCompBase(w))
        return;
    XomHardcopyCallbackStruct data = {XomCR_HARDCOPY, NULL, 0, 0, width, height, file};
    XtCallCallbacks(w, (String)XomNhardcopyCallback, &data);
}
