/* XomScroll: the record, the layout of frame, strips, viewport and scroll bars, and the
 * scrolling itself. The strips' painting is in ScrollStrip.cpp. */
#include <Xm/ScrollBar.h>
#include <Xm/DrawP.h>
#include <Xm/XmP.h>

#include "toolkit/CompBase.h"
#include "toolkit/ScrollP.h"

enum { BAR_SPACING = 2, DEFAULT_INCREMENT = 10, DEFAULT_WIDTH = 300, DEFAULT_HEIGHT = 200 };

#define offset(field) XtOffsetOf(XomScrollRec, scroll.field)
#define INT(name, cls, field, value)                                                               \
    {                                                                                              \
        (String) name, (String)cls, (String)XmRInt, sizeof(int), offset(field),                    \
            (String)XmRImmediate, (XtPointer)value                                                 \
    }
#define BOOLEAN(name, cls, field, value)                                                           \
    {                                                                                              \
        (String) name, (String)cls, (String)XmRBoolean, sizeof(Boolean), offset(field),            \
            (String)XmRImmediate, (XtPointer)value                                                 \
    }
static XtResource resources[] = {
    BOOLEAN(XomNscrollBarExtend, "ScrollBarExtend", scroll_bar_extend, True),
    BOOLEAN(XomNhorizontalAutoSized, "AutoSized", horizontal_auto_sized, False),
    BOOLEAN(XomNverticalAutoSized, "AutoSized", vertical_auto_sized, False),
    {(String)XmNscrollBarDisplayPolicy, (String)XmCScrollBarDisplayPolicy,
     (String)XmRScrollBarDisplayPolicy, sizeof(unsigned char), offset(scroll_bar_display_policy),
     (String)XmRImmediate, (XtPointer)XmAS_NEEDED},
    INT(XomNhorizontalInsideMargin, "Margin", horizontal_inside_margin, 10),
    INT(XomNverticalInsideMargin, "Margin", vertical_inside_margin, 10),
    INT(XomNhorizontalOutsideMargin, "Margin", horizontal_outside_margin, 10),
    INT(XomNverticalOutsideMargin, "Margin", vertical_outside_margin, 10),
    INT(XomNleftAnnotationWidth, "AnnotationSize", left_annotation_width, 30),
    INT(XomNrightAnnotationWidth, "AnnotationSize", right_annotation_width, 30),
    INT(XomNtopAnnotationHeight, "AnnotationSize", top_annotation_height, 30),
    INT(XomNbottomAnnotationHeight, "AnnotationSize", bottom_annotation_height, 30),
    INT(XomNtitleMargin, "TitleMargin", title_margin, 20),
    {(String)XmNshadowThickness, (String)XmCShadowThickness, (String)XmRHorizontalDimension,
     sizeof(Dimension), XtOffsetOf(XomScrollRec, manager.shadow_thickness), (String)XmRImmediate,
     (XtPointer)3},
    {(String)XmNshadowType, (String)XmCShadowType, (String)XmRShadowType, sizeof(unsigned char),
     offset(shadow_type), (String)XmRImmediate, (XtPointer)XmSHADOW_IN},
    BOOLEAN(XomNaddChildrenToTabGroup, "AddChildrenToTabGroup", add_children_to_tab_group, True),
    {(String)XmNhorizontalScrollBar, (String)XmCHorizontalScrollBar, (String)XmRWidget,
     sizeof(Widget), offset(horizontal_scroll_bar), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XmNverticalScrollBar, (String)XmCVerticalScrollBar, (String)XmRWidget, sizeof(Widget),
     offset(vertical_scroll_bar), (String)XmRImmediate, (XtPointer)NULL},
};
#undef BOOLEAN
#undef INT
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Realize(Widget w, XtValueMask* mask, XSetWindowAttributes* attributes);
static void Destroy(Widget w);
static void Resize(Widget w);
static void Redisplay(Widget w, XEvent* event, Region region);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry* intended,
                                      XtWidgetGeometry* preferred);
static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request,
                                        XtWidgetGeometry* reply);
static void ChangeManaged(Widget w);
static void DeleteChild(Widget child);
static void Layout(Widget w);

XomScrollClassRec xomScrollClassRec = {
    {
        /* superclass */ (WidgetClass)&xmManagerClassRec,
        /* class_name */ (String) "XomScroll",
        /* widget_size */ sizeof(XomScrollRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
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
        /* resize */ Resize,
        /* expose */ Redisplay,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* accept_focus */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* tm_table */ XtInheritTranslations,
        /* query_geometry */ QueryGeometry,
        /* display_accelerator */ NULL,
        /* extension */ NULL,
    },
    {
        /* geometry_manager */ GeometryManager,
        /* change_managed */ ChangeManaged,
        /* insert_child */ XtInheritInsertChild,
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
        /* extension */ NULL,
    },
};

WidgetClass xomScrollWidgetClass = (WidgetClass)&xomScrollClassRec;

/* ---- scroll bars ---- */

static void BarCallback(Widget bar, XtPointer client, XtPointer call)
{
    Widget scroll = (Widget)client;
    XomScrollPart* sp = XomScrollPartOf(scroll);
    int value = ((XmScrollBarCallbackStruct*)call)->value;
    if (bar == sp->horizontal_scroll_bar)
        XomScrollSetPosition(scroll, value, sp->scroll_y);
    else
        XomScrollSetPosition(scroll, sp->scroll_x, value);
}

static void HookBar(Widget scroll, Widget bar)
{
    static const char* const lists[] = {XmNvalueChangedCallback,  XmNdragCallback,
                                        XmNincrementCallback,     XmNdecrementCallback,
                                        XmNpageIncrementCallback, XmNpageDecrementCallback,
                                        XmNtoTopCallback,         XmNtoBottomCallback};
    for (const char* list : lists)
        XtAddCallback(bar, (String)list, BarCallback, scroll);
}

static Widget MakeBar(Widget scroll, const char* name, unsigned char orientation)
{
    Widget bar = XtVaCreateManagedWidget(name, xmScrollBarWidgetClass, scroll, XmNorientation,
                                         orientation, NULL);
    HookBar(scroll, bar);
    return bar;
}

static Boolean ValidShadowType(unsigned char type)
{
    return type == XmSHADOW_ETCHED_IN || type == XmSHADOW_ETCHED_OUT || type == XmSHADOW_IN
        || type == XmSHADOW_OUT;
}

static void CheckShadowType(Widget w)
{
    XomScrollPart* sp = XomScrollPartOf(w);
    if (ValidShadowType(sp->shadow_type))
        return;
    XomWarning(w, "invalidShadowType", "XomScroll",
               "Invalid value for the resource XmNshadowType in XomScroll.\nI'll use default.");
    sp->shadow_type = XmSHADOW_IN;
}

/* ---- record ---- */

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomScrollPart* sp = XomScrollPartOf(created);
    CheckShadowType(created);
    sp->work = NULL;
    sp->content = XomScrollContent{};
    sp->content_set = False;
    sp->scroll_x = sp->scroll_y = 0;
    sp->gc = NULL;
    sp->laying_out = False;
    for (XomScrollBand& b : sp->x_bands)
        b = XomScrollBand{0, 0, 0};
    for (XomScrollBand& b : sp->y_bands)
        b = XomScrollBand{0, 0, 0};
    sp->owns_horizontal_bar = sp->horizontal_scroll_bar == NULL;
    sp->owns_vertical_bar = sp->vertical_scroll_bar == NULL;
    if (sp->owns_horizontal_bar)
        sp->horizontal_scroll_bar = MakeBar(created, "horizontal_scroll_bar", XmHORIZONTAL);
    else
        HookBar(created, sp->horizontal_scroll_bar);
    if (sp->owns_vertical_bar)
        sp->vertical_scroll_bar = MakeBar(created, "vertical_scroll_bar", XmVERTICAL);
    else
        HookBar(created, sp->vertical_scroll_bar);
    for (int i = 0; i < XOM_STRIP_COUNT; i++)
        sp->strips[i] = XomScrollCreateStrip(created, i);
    if (created->core.width == 0)
        created->core.width = DEFAULT_WIDTH;
    if (created->core.height == 0)
        created->core.height = DEFAULT_HEIGHT;
}

static void Realize(Widget w, XtValueMask* mask, XSetWindowAttributes* attributes)
{
    (*xmManagerClassRec.core_class.realize)(w, mask, attributes);
    XomScrollPartOf(w)->gc = XCreateGC(XtDisplay(w), XtWindow(w), 0, NULL);
    Layout(w);
}

static void Destroy(Widget w)
{
    XomScrollPart* sp = XomScrollPartOf(w);
    if (sp->gc)
        XFreeGC(XtDisplay(w), sp->gc);
}

static Boolean IsPart(XomScrollPart* sp, Widget child)
{
    if (child == sp->horizontal_scroll_bar || child == sp->vertical_scroll_bar)
        return True;
    for (Widget strip : sp->strips)
        if (child == strip)
            return True;
    return False;
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomScrollPart* was = XomScrollPartOf(old);
    XomScrollPart* now = XomScrollPartOf(updated);
    if (was->vertical_scroll_bar != now->vertical_scroll_bar) {
        if (was->owns_vertical_bar) {
            XomWarning(updated, "ownedScrollBar", "XomScroll",
                       "Cannot replace owned vertical scrollbar.\n");
            now->vertical_scroll_bar = was->vertical_scroll_bar;
        } else if (now->vertical_scroll_bar) {
            HookBar(updated, now->vertical_scroll_bar);
        }
    }
    if (was->horizontal_scroll_bar != now->horizontal_scroll_bar) {
        if (was->owns_horizontal_bar) {
            XomWarning(updated, "ownedScrollBar", "XomScroll",
                       "Cannot replace owned horizontal scrollbar.\n");
            now->horizontal_scroll_bar = was->horizontal_scroll_bar;
        } else if (now->horizontal_scroll_bar) {
            HookBar(updated, now->horizontal_scroll_bar);
        }
    }
    CheckShadowType(updated);
    Layout(updated);
    return True;
}

/* ---- layout ---- */

static Boolean BarShown(XomScrollPart* sp, Boolean autoSized, Boolean needed)
{
    if (autoSized)
        return False;
    return sp->scroll_bar_display_policy == XmSTATIC || needed;
}

/* The scrolling part's length in content pixels along one direction. */
static int MainLength(int total, int lead1, int lead2, int trail1, int trail2)
{
    return XomMax(0, total - lead1 - lead2 - trail1 - trail2);
}

/* Lays out one direction: bands from start to end of the container, a bar of barSize
 * at the far end when shown. Returns the viewport's length. */
static int LayoutAxis(XomScrollBand bands[], int extent, int outside, int inside, int shadow,
                      int leadAnnotation, int leadFrozen, int trailFrozen, int trailAnnotation,
                      int contentLength, int position, int barSize, int* frameStart, int* frameEnd)
{
    int start = outside + leadAnnotation;
    int end = extent - outside - barSize - trailAnnotation;
    int innerStart = start + shadow + inside, innerEnd = end - shadow - inside;
    int view = XomMax(1, innerEnd - innerStart - leadFrozen - trailFrozen);
    bands[XOM_BAND_LEAD_ANNOTATION] = {0, start - leadAnnotation, leadAnnotation};
    bands[XOM_BAND_LEAD_FROZEN] = {leadAnnotation, innerStart, leadFrozen};
    bands[XOM_BAND_MAIN] = {leadAnnotation + leadFrozen + position, innerStart + leadFrozen, view};
    bands[XOM_BAND_TRAIL_FROZEN] = {contentLength - trailAnnotation - trailFrozen,
                                    innerStart + leadFrozen + view, trailFrozen};
    bands[XOM_BAND_TRAIL_ANNOTATION] = {contentLength - trailAnnotation, end, trailAnnotation};
    *frameStart = start;
    *frameEnd = end;
    return view;
}

/* The size of a strip or the child: the union of its bands' view rectangles. */
static void PlaceStrip(XomScrollPart* sp, Widget strip, int index)
{
    int across, down;
    XomScrollStripBands(index, &across, &down);
    int x1 = 1 << 30, y1 = 1 << 30, x2 = -(1 << 30), y2 = -(1 << 30);
    for (int b = 0; b < XOM_BAND_COUNT; b++) {
        const XomScrollBand& bx = sp->x_bands[b];
        if ((across & (1 << b)) && bx.size > 0) {
            x1 = XomMin(x1, bx.view);
            x2 = XomMax(x2, bx.view + bx.size);
        }
        const XomScrollBand& by = sp->y_bands[b];
        if ((down & (1 << b)) && by.size > 0) {
            y1 = XomMin(y1, by.view);
            y2 = XomMax(y2, by.view + by.size);
        }
    }
    /* Only strips whose own band is there are shown. */
    int ownAcross =
        across & ~(1 << XOM_BAND_LEAD_FROZEN | 1 << XOM_BAND_MAIN | 1 << XOM_BAND_TRAIL_FROZEN);
    int ownDown =
        down & ~(1 << XOM_BAND_LEAD_FROZEN | 1 << XOM_BAND_MAIN | 1 << XOM_BAND_TRAIL_FROZEN);
    if (index >= XOM_STRIP_LEFT_FROZEN) {
        ownAcross = index == XOM_STRIP_LEFT_FROZEN ? 1 << XOM_BAND_LEAD_FROZEN
            : index == XOM_STRIP_RIGHT_FROZEN      ? 1 << XOM_BAND_TRAIL_FROZEN
                                                   : 0;
        ownDown = index == XOM_STRIP_TOP_FROZEN ? 1 << XOM_BAND_LEAD_FROZEN
            : index == XOM_STRIP_BOTTOM_FROZEN  ? 1 << XOM_BAND_TRAIL_FROZEN
                                                : 0;
    }
    Boolean shown = x2 > x1 && y2 > y1;
    for (int b = 0; b < XOM_BAND_COUNT; b++) {
        if ((ownAcross & (1 << b)) && sp->x_bands[b].size <= 0)
            shown = False;
        if ((ownDown & (1 << b)) && sp->y_bands[b].size <= 0)
            shown = False;
    }
    if (shown) {
        XtConfigureWidget(strip, (Position)x1, (Position)y1, (Dimension)(x2 - x1),
                          (Dimension)(y2 - y1), 0);
        XtManageChild(strip);
    } else {
        XtUnmanageChild(strip);
    }
}

static void SetBar(Widget bar, int length, int view, int position, int increment)
{
    int maximum = XomMax(length, view);
    XtVaSetValues(bar, XmNminimum, 0, XmNmaximum, XomMax(1, maximum), XmNsliderSize,
                  XomMax(1, XomMin(view, maximum)), XmNvalue, position, XmNincrement,
                  XomMax(1, increment), XmNpageIncrement, XomMax(1, view), NULL);
}

static void Layout(Widget w)
{
    XomScrollPart* sp = XomScrollPartOf(w);
    if (sp->laying_out)
        return;
    sp->laying_out = True;
    const XomScrollContent& c = sp->content;
    int shadow = ((XmManagerWidget)w)->manager.shadow_thickness;
    int mainWidth =
        MainLength(c.width, c.leftAnnotation, c.leftFrozen, c.rightFrozen, c.rightAnnotation);
    int mainHeight =
        MainLength(c.height, c.topAnnotation, c.topFrozen, c.bottomFrozen, c.bottomAnnotation);
    Widget hbar = sp->horizontal_scroll_bar, vbar = sp->vertical_scroll_bar;
    int vbarSize = vbar ? vbar->core.width + BAR_SPACING : 0;
    int hbarSize = hbar ? hbar->core.height + BAR_SPACING : 0;

    /* Whether a bar is needed depends on the other one's space: two rounds settle it. */
    Boolean showH = False, showV = False;
    int viewW = 0, viewH = 0, fx1, fx2, fy1, fy2;
    for (int round = 0; round < 2; round++) {
        viewW = LayoutAxis(sp->x_bands, w->core.width, sp->horizontal_outside_margin,
                           sp->horizontal_inside_margin, shadow, c.leftAnnotation, c.leftFrozen,
                           c.rightFrozen, c.rightAnnotation, c.width, 0, showV ? vbarSize : 0, &fx1,
                           &fx2);
        viewH = LayoutAxis(sp->y_bands, w->core.height, sp->vertical_outside_margin,
                           sp->vertical_inside_margin, shadow, c.topAnnotation, c.topFrozen,
                           c.bottomFrozen, c.bottomAnnotation, c.height, 0, showH ? hbarSize : 0,
                           &fy1, &fy2);
        showH = hbar && BarShown(sp, sp->horizontal_auto_sized, mainWidth > viewW);
        showV = vbar && BarShown(sp, sp->vertical_auto_sized, mainHeight > viewH);
    }
    sp->scroll_x = XomMax(0, XomMin(sp->scroll_x, mainWidth - viewW));
    sp->scroll_y = XomMax(0, XomMin(sp->scroll_y, mainHeight - viewH));
    sp->x_bands[XOM_BAND_MAIN].content += sp->scroll_x;
    sp->y_bands[XOM_BAND_MAIN].content += sp->scroll_y;
    sp->frame = XomArea{fx1, fy1, fx2 - fx1, fy2 - fy1};

    if (hbar) {
        int x1 = sp->scroll_bar_extend ? sp->x_bands[XOM_BAND_LEAD_ANNOTATION].view : fx1;
        int x2 = sp->scroll_bar_extend ? fx2 + c.rightAnnotation : fx2;
        if (showH) {
            XtConfigureWidget(hbar, (Position)x1,
                              (Position)(fy2 + c.bottomAnnotation + BAR_SPACING),
                              (Dimension)XomMax(1, x2 - x1), hbar->core.height, 0);
            SetBar(hbar, mainWidth, viewW, sp->scroll_x,
                   c.horizontalIncrement ? c.horizontalIncrement : DEFAULT_INCREMENT);
            XtManageChild(hbar);
        } else {
            XtUnmanageChild(hbar);
        }
    }
    if (vbar) {
        int y1 = sp->scroll_bar_extend ? sp->y_bands[XOM_BAND_LEAD_ANNOTATION].view : fy1;
        int y2 = sp->scroll_bar_extend ? fy2 + c.bottomAnnotation : fy2;
        if (showV) {
            XtConfigureWidget(vbar, (Position)(fx2 + c.rightAnnotation + BAR_SPACING), (Position)y1,
                              vbar->core.width, (Dimension)XomMax(1, y2 - y1), 0);
            SetBar(vbar, mainHeight, viewH, sp->scroll_y,
                   c.verticalIncrement ? c.verticalIncrement : DEFAULT_INCREMENT);
            XtManageChild(vbar);
        } else {
            XtUnmanageChild(vbar);
        }
    }
    for (int i = 0; i < XOM_STRIP_COUNT; i++)
        PlaceStrip(sp, sp->strips[i], i);
    if (sp->work) {
        const XomScrollBand &bx = sp->x_bands[XOM_BAND_MAIN], &by = sp->y_bands[XOM_BAND_MAIN];
        XtConfigureWidget(sp->work, (Position)bx.view, (Position)by.view, (Dimension)bx.size,
                          (Dimension)by.size, 0);
        XomCompBaseSetOrigin(sp->work, bx.content, by.content);
    }
    XomScrollRepaintStrips(w, True, True);
    XomRepaintWindowArea(w, 0, 0, 0, 0);
    sp->laying_out = False;
}

/* The container's size with the whole content in view in the auto-sized directions. */
static void AutoSize(Widget w, Dimension* width, Dimension* height)
{
    XomScrollPart* sp = XomScrollPartOf(w);
    const XomScrollContent& c = sp->content;
    int shadow = ((XmManagerWidget)w)->manager.shadow_thickness;
    *width = w->core.width;
    *height = w->core.height;
    Widget vbar = sp->vertical_scroll_bar, hbar = sp->horizontal_scroll_bar;
    if (sp->horizontal_auto_sized)
        *width =
            (Dimension)(2 * (sp->horizontal_outside_margin + sp->horizontal_inside_margin + shadow)
                        + c.width
                        + (vbar && XtIsManaged(vbar) ? vbar->core.width + BAR_SPACING : 0));
    if (sp->vertical_auto_sized)
        *height =
            (Dimension)(2 * (sp->vertical_outside_margin + sp->vertical_inside_margin + shadow)
                        + c.height
                        + (hbar && XtIsManaged(hbar) ? hbar->core.height + BAR_SPACING : 0));
}

static void Resize(Widget w)
{
    Layout(w);
}

static void Redisplay(Widget w, XEvent*, Region)
{
    XomScrollPart* sp = XomScrollPartOf(w);
    XmManagerWidget m = (XmManagerWidget)w;
    if (!XtIsRealized(w) || sp->frame.width <= 0 || sp->frame.height <= 0)
        return;
    XmeDrawShadows(XtDisplay(w), XtWindow(w), m->manager.top_shadow_GC, m->manager.bottom_shadow_GC,
                   (Position)sp->frame.x, (Position)sp->frame.y, (Dimension)sp->frame.width,
                   (Dimension)sp->frame.height, m->manager.shadow_thickness, sp->shadow_type);
}

static XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry* intended,
                                      XtWidgetGeometry* preferred)
{
    preferred->request_mode = CWWidth | CWHeight;
    AutoSize(w, &preferred->width, &preferred->height);
    if ((intended->request_mode & CWWidth) && (intended->request_mode & CWHeight)
        && intended->width == preferred->width && intended->height == preferred->height)
        return XtGeometryYes;
    return XtGeometryAlmost;
}

static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request, XtWidgetGeometry*)
{
    /* The container places every part and the child itself. A drawing child that asks
     * for a size without having told its content gets that size as its content. */
    Widget w = XtParent(child);
    XomScrollPart* sp = XomScrollPartOf(w);
    if (child == sp->work && !sp->content_set && !(request->request_mode & XtCWQueryOnly)
        && (request->request_mode & (CWWidth | CWHeight))) {
        if (request->request_mode & CWWidth)
            sp->content.width = request->width;
        if (request->request_mode & CWHeight)
            sp->content.height = request->height;
        Layout(w);
    }
    return XtGeometryNo;
}

static void ChangeManaged(Widget w)
{
    XomScrollPart* sp = XomScrollPartOf(w);
    if (sp->laying_out)
        return;
    Widget work = NULL;
    for (Cardinal i = 0; i < ((CompositeWidget)w)->composite.num_children && !work; i++) {
        Widget child = ((CompositeWidget)w)->composite.children[i];
        if (XtIsManaged(child) && XtIsRectObj(child) && !IsPart(sp, child))
            work = child;
    }
    if (work != sp->work) {
        /* The content told before the first child was managed is that child's. */
        if (sp->work)
            sp->content_set = False;
        sp->work = work;
        if (work && !sp->content_set) {
            sp->content = XomScrollContent{};
            sp->content.width = work->core.width;
            sp->content.height = work->core.height;
        }
    }
    Layout(w);
}

static void DeleteChild(Widget child)
{
    XomScrollPart* sp = XomScrollPartOf(XtParent(child));
    if (child == sp->work)
        sp->work = NULL;
    if (child == sp->horizontal_scroll_bar)
        sp->horizontal_scroll_bar = NULL;
    if (child == sp->vertical_scroll_bar)
        sp->vertical_scroll_bar = NULL;
    for (Widget& strip : sp->strips)
        if (strip == child)
            strip = NULL;
    (*((CompositeWidgetClass)xmManagerWidgetClass)->composite_class.delete_child)(child);
}

/* ---- public functions ---- */

Widget XomCreateScroll(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomScrollWidgetClass, parent, args, count);
}

Widget XomScrollGetChild(Widget scroll, int id)
{
    if (!XomIsScroll(scroll))
        return NULL;
    XomScrollPart* sp = XomScrollPartOf(scroll);
    switch (id) {
    case XomSCROLL_HORIZONTAL_BAR:
        return sp->horizontal_scroll_bar;
    case XomSCROLL_VERTICAL_BAR:
        return sp->vertical_scroll_bar;
    case XomSCROLL_VIEWPORT:
        return sp->work;
    case XomSCROLL_FRAME:
        return NULL;
    default:
        break;
    }
    for (int i = 0; i < XOM_STRIP_COUNT; i++) {
        int stripId = i < XOM_STRIP_LEFT_FROZEN
            ? XomSCROLL_LEFT_ANNOTATION << i
            : XomSCROLL_LEFT_FROZEN << (i - XOM_STRIP_LEFT_FROZEN);
        if (id == stripId)
            return sp->strips[i];
    }
    XomWarning(scroll, "invalidChildId", "XomScrollGetChild",
               "XomScrollGetChild: Invalid child ID");
    return NULL;
}

void XomScrollSetContent(Widget scroll, const XomScrollContent* content)
{
    if (!XomIsScroll(scroll) || !content)
        return;
    XomScrollPart* sp = XomScrollPartOf(scroll);
    sp->content = *content;
    sp->content_set = True;
    Dimension width, height;
    AutoSize(scroll, &width, &height);
    if (width != scroll->core.width || height != scroll->core.height) {
        Dimension gotWidth, gotHeight;
        if (XtMakeResizeRequest(scroll, width, height, &gotWidth, &gotHeight) == XtGeometryAlmost)
            XtMakeResizeRequest(scroll, gotWidth, gotHeight, NULL, NULL);
    }
    Layout(scroll);
}

void XomScrollGetContent(Widget scroll, XomScrollContent* content)
{
    if (XomIsScroll(scroll))
        *content = XomScrollPartOf(scroll)->content;
}

void XomScrollSetPosition(Widget scroll, int x, int y)
{
    if (!XomIsScroll(scroll))
        return;
    XomScrollPart* sp = XomScrollPartOf(scroll);
    const XomScrollContent& c = sp->content;
    int mainWidth =
        MainLength(c.width, c.leftAnnotation, c.leftFrozen, c.rightFrozen, c.rightAnnotation);
    int mainHeight =
        MainLength(c.height, c.topAnnotation, c.topFrozen, c.bottomFrozen, c.bottomAnnotation);
    XomScrollBand& bx = sp->x_bands[XOM_BAND_MAIN];
    XomScrollBand& by = sp->y_bands[XOM_BAND_MAIN];
    x = XomMax(0, XomMin(x, mainWidth - bx.size));
    y = XomMax(0, XomMin(y, mainHeight - by.size));
    Boolean across = x != sp->scroll_x, down = y != sp->scroll_y;
    if (!across && !down)
        return;
    bx.content += x - sp->scroll_x;
    by.content += y - sp->scroll_y;
    sp->scroll_x = x;
    sp->scroll_y = y;
    if (across && sp->horizontal_scroll_bar)
        XtVaSetValues(sp->horizontal_scroll_bar, XmNvalue, x, NULL);
    if (down && sp->vertical_scroll_bar)
        XtVaSetValues(sp->vertical_scroll_bar, XmNvalue, y, NULL);
    if (sp->work)
        XomCompBaseSetOrigin(sp->work, bx.content, by.content);
    XomScrollRepaintStrips(scroll, across, down);
}

void XomScrollGetPosition(Widget scroll, int* x, int* y)
{
    if (!XomIsScroll(scroll))
        return;
    *x = XomScrollPartOf(scroll)->scroll_x;
    *y = XomScrollPartOf(scroll)->scroll_y;
}

void XomScrollGetViewSize(Widget scroll, int* width, int* height)
{
    if (!XomIsScroll(scroll))
        return;
    *width = XomScrollPartOf(scroll)->x_bands[XOM_BAND_MAIN].size;
    *height = XomScrollPartOf(scroll)->y_bands[XOM_BAND_MAIN].size;
}

/* The new position along one direction that brings [start, start + length) into view. */
static int Reveal(int position, int view, int mainStart, int start, int length)
{
    int from = start - mainStart;
    if (from < position)
        return from;
    if (from + length > position + view)
        return XomMin(from, from + length - view);
    return position;
}

void XomScrollMakeVisible(Widget scroll, int x, int y, int width, int height)
{
    if (!XomIsScroll(scroll))
        return;
    XomScrollPart* sp = XomScrollPartOf(scroll);
    const XomScrollContent& c = sp->content;
    int nx = Reveal(sp->scroll_x, sp->x_bands[XOM_BAND_MAIN].size, c.leftAnnotation + c.leftFrozen,
                    x, width);
    int ny = Reveal(sp->scroll_y, sp->y_bands[XOM_BAND_MAIN].size, c.topAnnotation + c.topFrozen, y,
                    height);
    XomScrollSetPosition(scroll, nx, ny);
}
