/* XomBox: one row or one column of children with glue-like stretch and shrink sharing. */
#include <Xm/BulletinB.h>
#include <Xm/Frame.h>
#include <Xm/RowColumn.h>
#include <Xm/XmP.h>

#include "toolkit/BoxP.h"

#define offset(field) XtOffsetOf(XomBoxRec, box.field)
static XtResource resources[] = {
    {(String)XomNspacing, (String)XmCSpacing, (String)XmRDimension, sizeof(Dimension),
     offset(spacing), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNmargin, (String)XmCMargin, (String)XmRHorizontalDimension, sizeof(Dimension),
     offset(margin), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNorientation, (String)XmCOrientation, (String)XmROrientation, sizeof(unsigned char),
     offset(orientation), (String)XmRImmediate, (XtPointer)XmVERTICAL},
    {(String)XomNautoAdjust, (String)XomCAutoAdjust, (String)XmRBoolean, sizeof(Boolean),
     offset(auto_adjust), (String)XmRImmediate, (XtPointer)True},
    {(String)XomNalignment, (String)XmCAlignment, (String)XmRAlignment, sizeof(unsigned char),
     offset(alignment), (String)XmRImmediate, (XtPointer)XmALIGNMENT_BEGINNING},
};
#undef offset

#define offset(field) XtOffsetOf(XomBoxConstraintRec, box.field)
static XtResource constraint_resources[] = {
    {(String)XomNhorizontalStretch, (String)XomCStretch, (String)XmRInt, sizeof(int),
     offset(horizontal_stretch), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNhorizontalShrink, (String)XomCShrink, (String)XmRInt, sizeof(int),
     offset(horizontal_shrink), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNverticalStretch, (String)XomCStretch, (String)XmRInt, sizeof(int),
     offset(vertical_stretch), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNverticalShrink, (String)XomCShrink, (String)XmRInt, sizeof(int),
     offset(vertical_shrink), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNnormalWidth, (String)XomCNormalWidth, (String)XmRHorizontalDimension,
     sizeof(Dimension), offset(normal_width), (String)XmRImmediate, (XtPointer)0},
    {(String)XomNnormalHeight, (String)XomCNormalHeight, (String)XmRVerticalDimension,
     sizeof(Dimension), offset(normal_height), (String)XmRImmediate, (XtPointer)0},
};
#undef offset

static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Resize(Widget w);
static void Redisplay(Widget w, XEvent* event, Region region);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry* intended,
                                      XtWidgetGeometry* preferred);
static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request,
                                        XtWidgetGeometry* reply);
static void ChangeManaged(Widget w);
static void ConstraintInitialize(Widget request, Widget created, ArgList args, Cardinal* count);
static Boolean ConstraintSetValues(Widget old, Widget request, Widget updated, ArgList args,
                                   Cardinal* count);

XomBoxClassRec xomBoxClassRec = {
    {
        /* superclass */ (WidgetClass)&xmManagerClassRec,
        /* class_name */ (String) "XomBox",
        /* widget_size */ sizeof(XomBoxRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* realize */ XtInheritRealize,
        /* actions */ NULL,
        /* num_actions */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        /* compress_exposure */ XtExposeCompressMaximal,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ NULL,
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
        /* delete_child */ XtInheritDeleteChild,
        /* extension */ NULL,
    },
    {
        /* resources */ constraint_resources,
        /* num_resources */ XtNumber(constraint_resources),
        /* constraint_size */ sizeof(XomBoxConstraintRec),
        /* initialize */ ConstraintInitialize,
        /* destroy */ NULL,
        /* set_values */ ConstraintSetValues,
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

WidgetClass xomBoxWidgetClass = (WidgetClass)&xomBoxClassRec;

/* ---- natural size ---- */

static bool IsVertical(XomBoxWidget box)
{
    return box->box.orientation != XmHORIZONTAL;
}

/* Managers that choose their own size: they keep the size they ask for. */
static bool IsSelfSizing(Widget child)
{
    if (XomIsBox(child))
        return false;
    return XmIsRowColumn(child) || XmIsBulletinBoard(child) || XmIsFrame(child);
}

static bool TakesPart(Widget child)
{
    return XtIsManaged(child) && XtIsRectObj(child);
}

static void ComputeNaturalSize(XomBoxWidget box)
{
    bool vertical = IsVertical(box);
    int spacing = box->box.spacing;
    int along = 2 * box->box.margin - spacing;
    int alongStretch = 0, alongShrink = 0;
    int maxNormal = 0, maxStretched = 0, maxShrunk = 0;

    for (Cardinal i = 0; i < box->composite.num_children; i++) {
        Widget child = box->composite.children[i];
        if (!TakesPart(child))
            continue;
        XomBoxConstraintPart* c = XomBoxConstraints(child);
        if (c->normal_width == 0 || IsSelfSizing(child))
            c->normal_width = child->core.width;
        if (c->normal_height == 0 || IsSelfSizing(child))
            c->normal_height = child->core.height;

        int normalAlong = vertical ? c->normal_height : c->normal_width;
        int normalAcross = vertical ? c->normal_width : c->normal_height;
        int stretchAlong = vertical ? c->vertical_stretch : c->horizontal_stretch;
        int shrinkAlong = vertical ? c->vertical_shrink : c->horizontal_shrink;
        int stretchAcross = vertical ? c->horizontal_stretch : c->vertical_stretch;
        int shrinkAcross = vertical ? c->horizontal_shrink : c->vertical_shrink;

        along += normalAlong + 2 * child->core.border_width + spacing;
        alongStretch += stretchAlong;
        alongShrink += shrinkAlong < normalAlong ? shrinkAlong : normalAlong;
        if (normalAcross > maxNormal)
            maxNormal = normalAcross;
        if (normalAcross + stretchAcross > maxStretched)
            maxStretched = normalAcross + stretchAcross;
        if (normalAcross - shrinkAcross > maxShrunk)
            maxShrunk = normalAcross - shrinkAcross;
    }

    int across = maxNormal;
    int acrossStretch = maxStretched - maxNormal > 0 ? maxStretched - maxNormal : 0;
    int acrossShrink = maxNormal - maxShrunk;
    if (along < 1)
        along = 5;
    if (across < 1)
        across = 5;

    XomBoxPart* b = &box->box;
    b->natural_width = vertical ? across : along;
    b->natural_height = vertical ? along : across;
    b->horizontal_stretch = vertical ? acrossStretch : alongStretch;
    b->horizontal_shrink = vertical ? acrossShrink : alongShrink;
    b->vertical_stretch = vertical ? alongStretch : acrossStretch;
    b->vertical_shrink = vertical ? alongShrink : acrossShrink;

    /* A nested box acts as one child with the combined flexibility of its children. */
    Widget parent = XtParent((Widget)box);
    if (parent && XomIsBox(parent)) {
        XomBoxConstraintPart* own = XomBoxConstraints((Widget)box);
        own->normal_width = (Dimension)b->natural_width;
        own->normal_height = (Dimension)b->natural_height;
        own->horizontal_stretch = b->horizontal_stretch;
        own->horizontal_shrink = b->horizontal_shrink;
        own->vertical_stretch = b->vertical_stretch;
        own->vertical_shrink = b->vertical_shrink;
    }
}

/* ---- layout ---- */

static int AlongSize(int normal, int stretch, int shrink, int surplus, int stretchTotal,
                     int shrinkTotal)
{
    if (surplus >= 0) {
        if (stretchTotal == 0)
            return normal;
        return normal + (int)((long long)surplus * stretch / stretchTotal);
    }
    if (shrinkTotal == 0)
        return normal;
    int share = shrink < normal ? shrink : normal;
    return normal + (int)((long long)share * surplus / shrinkTotal);
}

static int AcrossSize(XomBoxWidget box, int boxAcross, int normal, int stretch, int shrink)
{
    if (!box->box.auto_adjust && boxAcross >= normal)
        return normal;
    int d = boxAcross - normal;
    if (d >= 1 && stretch < d)
        return normal + stretch;
    if (d < 0 && shrink < -d)
        return normal - shrink;
    return boxAcross;
}

static void Layout(XomBoxWidget box)
{
    bool vertical = IsVertical(box);
    XomBoxPart* b = &box->box;
    int boxAlong = vertical ? box->core.height : box->core.width;
    int boxAcross = vertical ? box->core.width : box->core.height;
    int naturalAlong = vertical ? b->natural_height : b->natural_width;
    int stretchTotal = vertical ? b->vertical_stretch : b->horizontal_stretch;
    int shrinkTotal = vertical ? b->vertical_shrink : b->horizontal_shrink;

    int surplus = boxAlong - naturalAlong;
    if (surplus > stretchTotal)
        surplus = stretchTotal;
    if (surplus < -shrinkTotal)
        surplus = -shrinkTotal;

    Position along = (Position)b->margin;
    for (Cardinal i = 0; i < box->composite.num_children; i++) {
        Widget child = box->composite.children[i];
        if (!TakesPart(child))
            continue;
        XomBoxConstraintPart* c = XomBoxConstraints(child);
        int alongSize, acrossSize;
        if (vertical) {
            alongSize = AlongSize(c->normal_height, c->vertical_stretch, c->vertical_shrink,
                                  surplus, stretchTotal, shrinkTotal);
            acrossSize = AcrossSize(box, boxAcross, c->normal_width, c->horizontal_stretch,
                                    c->horizontal_shrink);
        } else {
            alongSize = AlongSize(c->normal_width, c->horizontal_stretch, c->horizontal_shrink,
                                  surplus, stretchTotal, shrinkTotal);
            acrossSize = AcrossSize(box, boxAcross, c->normal_height, c->vertical_stretch,
                                    c->vertical_shrink);
        }
        if (alongSize < 1)
            alongSize = 1;
        if (acrossSize < 1)
            acrossSize = 1;

        int across = 0;
        if (b->alignment == XmALIGNMENT_CENTER)
            across = (boxAcross - acrossSize) / 2;
        else if (b->alignment == XmALIGNMENT_END)
            across = boxAcross - acrossSize;
        if (across < 0)
            across = 0;

        Dimension border = child->core.border_width;
        if (vertical)
            XtConfigureWidget(child, (Position)across, along, (Dimension)acrossSize,
                              (Dimension)alongSize, border);
        else
            XtConfigureWidget(child, along, (Position)across, (Dimension)alongSize,
                              (Dimension)acrossSize, border);
        /* Positions are 16-bit: a spacing of 65533 makes each child overlap the previous. */
        along = (Position)(along + alongSize + 2 * border + b->spacing);
    }
}

/* Asks the parent for the natural size; a refusal or a compromise is taken as it comes. */
static void RequestNaturalSize(XomBoxWidget box)
{
    Dimension width = (Dimension)box->box.natural_width;
    Dimension height = (Dimension)box->box.natural_height;
    if (width == box->core.width && height == box->core.height)
        return;
    Dimension replyWidth, replyHeight;
    XtGeometryResult result =
        XtMakeResizeRequest((Widget)box, width, height, &replyWidth, &replyHeight);
    if (result == XtGeometryAlmost)
        XtMakeResizeRequest((Widget)box, replyWidth, replyHeight, NULL, NULL);
    if (result != XtGeometryYes)
        ComputeNaturalSize(box);
}

static void Relayout(XomBoxWidget box)
{
    XomBoxPart before = box->box;
    ComputeNaturalSize(box);
    RequestNaturalSize(box);
    Layout(box);

    /* A nested box that keeps its natural size asks its parent for nothing; when only its
       flexibility changed, the parent box must still share its space anew. */
    const XomBoxPart* b = &box->box;
    Widget parent = XtParent((Widget)box);
    bool sameSize =
        b->natural_width == before.natural_width && b->natural_height == before.natural_height;
    bool newFlexibility = b->horizontal_stretch != before.horizontal_stretch
        || b->horizontal_shrink != before.horizontal_shrink
        || b->vertical_stretch != before.vertical_stretch
        || b->vertical_shrink != before.vertical_shrink;
    if (parent && XomIsBox(parent) && sameSize && newFlexibility)
        Relayout((XomBoxWidget)parent);
}

/* ---- core methods ---- */

/* ---- checks ---- */

/* A toolkit warning of this widget class: name is the routine, type the kind of problem, so
 * that an error database can replace the default text. */
static void BoxWarning(Widget w, const char* name, const char* type, const char* message)
{
    XtAppWarningMsg(XtWidgetToApplicationContext(w), (String)name, (String)type, (String) "XomBox",
                    (String)message, NULL, NULL);
}

static bool IsOrientation(unsigned char value)
{
    return value == XmVERTICAL || value == XmHORIZONTAL;
}

static bool IsAlignment(unsigned char value)
{
    return value == XmALIGNMENT_BEGINNING || value == XmALIGNMENT_CENTER
        || value == XmALIGNMENT_END;
}

/* A value outside its enumeration is refused with a warning and replaced by fallback. */
static void CheckEnumerated(XomBoxWidget box, const char* routine, unsigned char* orientation,
                            unsigned char orientationFallback, unsigned char* alignment,
                            unsigned char alignmentFallback)
{
    if (!IsOrientation(*orientation)) {
        BoxWarning((Widget)box, routine, "badOrientation",
                   "XomBox: orientation must be XmVERTICAL or XmHORIZONTAL");
        *orientation = orientationFallback;
    }
    if (!IsAlignment(*alignment)) {
        BoxWarning((Widget)box, routine, "badAlignment",
                   "XomBox: alignment must be XmALIGNMENT_BEGINNING, _CENTER or _END");
        *alignment = alignmentFallback;
    }
}

/* ---- core methods ---- */

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomBoxWidget box = (XomBoxWidget)created;
    CheckEnumerated(box, "initialize", &box->box.orientation, XmVERTICAL, &box->box.alignment,
                    XmALIGNMENT_BEGINNING);
    if (box->core.width == 0)
        box->core.width = 1;
    if (box->core.height == 0)
        box->core.height = 1;
    box->box.natural_width = 5;
    box->box.natural_height = 5;
    box->box.horizontal_stretch = 0;
    box->box.horizontal_shrink = 0;
    box->box.vertical_stretch = 0;
    box->box.vertical_shrink = 0;
}

static void Resize(Widget w)
{
    XomBoxWidget box = (XomBoxWidget)w;
    ComputeNaturalSize(box);
    Layout(box);
}

static void Redisplay(Widget w, XEvent* event, Region region)
{
    XmeRedisplayGadgets(w, event, region);
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomBoxWidget was = (XomBoxWidget)old;
    XomBoxWidget box = (XomBoxWidget)updated;
    CheckEnumerated(box, "setValues", &box->box.orientation, was->box.orientation,
                    &box->box.alignment, was->box.alignment);
    if (was->box.spacing == box->box.spacing && was->box.margin == box->box.margin
        && was->box.auto_adjust == box->box.auto_adjust && was->box.alignment == box->box.alignment
        && was->box.orientation == box->box.orientation)
        return False;
    ComputeNaturalSize(box);
    box->core.width = (Dimension)box->box.natural_width;
    box->core.height = (Dimension)box->box.natural_height;
    Layout(box);
    return True;
}

static XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry* intended,
                                      XtWidgetGeometry* preferred)
{
    XomBoxWidget box = (XomBoxWidget)w;
    ComputeNaturalSize(box);
    XomBoxPart* b = &box->box;
    preferred->request_mode = CWWidth | CWHeight;
    preferred->width = (Dimension)b->natural_width;
    preferred->height = (Dimension)b->natural_height;

    if ((intended->request_mode & (CWWidth | CWHeight)) != (CWWidth | CWHeight))
        return XtGeometryAlmost;
    if (intended->width == preferred->width && intended->height == preferred->height)
        return XtGeometryNo;
    int width = intended->width, height = intended->height;
    if (width >= b->natural_width - b->horizontal_shrink
        && width <= b->natural_width + b->horizontal_stretch
        && height >= b->natural_height - b->vertical_shrink
        && height <= b->natural_height + b->vertical_stretch)
        return XtGeometryYes;
    return XtGeometryAlmost;
}

/* ---- composite methods ---- */

static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request, XtWidgetGeometry*)
{
    XomBoxWidget box = (XomBoxWidget)XtParent(child);
    XtGeometryMask mode = request->request_mode;

    if (((mode & CWX) && request->x != child->core.x)
        || ((mode & CWY) && request->y != child->core.y))
        return XtGeometryNo;

    bool widthChanges = (mode & CWWidth) && request->width != child->core.width;
    bool heightChanges = (mode & CWHeight) && request->height != child->core.height;
    bool borderChanges =
        (mode & CWBorderWidth) && request->border_width != child->core.border_width;
    if (!widthChanges && !heightChanges && !borderChanges)
        return XtGeometryYes;
    if (mode & XtCWQueryOnly)
        return XtGeometryYes;

    Dimension width = (mode & CWWidth) ? request->width : child->core.width;
    Dimension height = (mode & CWHeight) ? request->height : child->core.height;
    Dimension border = (mode & CWBorderWidth) ? request->border_width : child->core.border_width;
    if (IsSelfSizing(child)) {
        XtResizeWidget(child, width, height, border);
    } else {
        /* Only what the child asks for changes: a stretched size is not a natural one. */
        XomBoxConstraintPart* c = XomBoxConstraints(child);
        if (mode & CWWidth)
            c->normal_width = width;
        if (mode & CWHeight)
            c->normal_height = height;
        if (borderChanges)
            XtResizeWidget(child, child->core.width, child->core.height,
                           border); /* reaches the window */
    }
    Relayout(box);
    return XtGeometryDone;
}

static void ChangeManaged(Widget w)
{
    Relayout((XomBoxWidget)w);
    XmeNavigChangeManaged(w);
}

/* ---- constraint methods ---- */

static void ClampNegative(Widget w, int* value, const char* type, const char* message)
{
    if (*value >= 0)
        return;
    BoxWarning(w, "constraintSetValues", type, message);
    *value = 0;
}

static void ClampAll(Widget w, XomBoxConstraintPart* c)
{
    ClampNegative(w, &c->horizontal_stretch, "negativeHorizontalStretch",
                  "ConstraintSetValues: widget horizontal stretch is < 0");
    ClampNegative(w, &c->vertical_stretch, "negativeVerticalStretch",
                  "ConstraintSetValues: widget vertical stretch is < 0");
    ClampNegative(w, &c->horizontal_shrink, "negativeHorizontalShrink",
                  "ConstraintSetValues: widget horizontal shrink is < 0");
    ClampNegative(w, &c->vertical_shrink, "negativeVerticalShrink",
                  "ConstraintSetValues: widget vertical shrink is < 0");
}

static void ConstraintInitialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomBoxConstraintPart* c = XomBoxConstraints(created);
    ClampAll(created, c);
    /* An unreasonably large natural size means "take the current one". */
    if (c->normal_width > XOM_BOX_UNLIMITED)
        c->normal_width = 0;
    if (c->normal_height > XOM_BOX_UNLIMITED)
        c->normal_height = 0;
    if (c->normal_width == 0)
        c->normal_width = created->core.width;
    if (c->normal_height == 0)
        c->normal_height = created->core.height;
}

static Boolean ConstraintSetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomBoxConstraintPart* was = XomBoxConstraints(old);
    XomBoxConstraintPart* c = XomBoxConstraints(updated);
    ClampAll(updated, c);
    if (updated->core.width != old->core.width && was->normal_width != 0
        && c->normal_width == was->normal_width)
        c->normal_width = updated->core.width;
    if (updated->core.height != old->core.height && was->normal_height != 0
        && c->normal_height == was->normal_height)
        c->normal_height = updated->core.height;

    bool geometryChanges = updated->core.width != old->core.width
        || updated->core.height != old->core.height
        || updated->core.border_width != old->core.border_width;
    bool flexibilityChanges = c->horizontal_stretch != was->horizontal_stretch
        || c->horizontal_shrink != was->horizontal_shrink
        || c->vertical_stretch != was->vertical_stretch
        || c->vertical_shrink != was->vertical_shrink || c->normal_width != was->normal_width
        || c->normal_height != was->normal_height;
    /* A size change reaches the geometry manager anyway; other changes lay out here. */
    if (flexibilityChanges && !geometryChanges && XtIsManaged(updated))
        Relayout((XomBoxWidget)XtParent(updated));
    return False;
}

/* ---- public functions ---- */

Widget XomCreateBox(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomBoxWidgetClass, parent, args, count);
}

void XomBoxGetNormalSize(Widget w, Dimension* width, Dimension* height)
{
    if (!XomIsBox(w)) {
        BoxWarning(w, "xomBoxGetNormalSize", "notABox", "XomBoxGetNormalSize: widget is not a box");
        return;
    }
    XomBoxWidget box = (XomBoxWidget)w;
    ComputeNaturalSize(box);
    *width = (Dimension)box->box.natural_width;
    *height = (Dimension)box->box.natural_height;
}
