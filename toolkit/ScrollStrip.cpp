/* The strips of XomScroll: plain windows that show bands of the main child's content (its
 * headings, its frozen columns) by calling the child's draw method with the band's offset,
 * so they stay in place in one direction while the rest scrolls. */
#include <X11/IntrinsicP.h>
#include <X11/CoreP.h>

#include "toolkit/CompBase.h"
#include "toolkit/ScrollP.h"

typedef struct {
    int index; /* which strip, XOM_STRIP_... */
} XomScrollStripPart;

typedef struct {
    CorePart core;
    XomScrollStripPart strip;
} XomScrollStripRec;

typedef struct {
    CoreClassPart core_class;
} XomScrollStripClassRec;

static void Redisplay(Widget w, XEvent* event, Region region);

static XomScrollStripClassRec xomScrollStripClassRec = {
    {
        /* superclass */ (WidgetClass)&widgetClassRec,
        /* class_name */ (String) "XomScrollStrip",
        /* widget_size */ sizeof(XomScrollStripRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ NULL,
        /* initialize_hook */ NULL,
        /* realize */ XtInheritRealize,
        /* actions */ NULL,
        /* num_actions */ 0,
        /* resources */ NULL,
        /* num_resources */ 0,
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        /* compress_exposure */ XtExposeCompressMaximal,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ NULL,
        /* resize */ NULL,
        /* expose */ Redisplay,
        /* set_values */ NULL,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* accept_focus */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* tm_table */ NULL,
        /* query_geometry */ NULL,
        /* display_accelerator */ NULL,
        /* extension */ NULL,
    },
};

WidgetClass xomScrollStripWidgetClass = (WidgetClass)&xomScrollStripClassRec;

static const char* const stripNames[XOM_STRIP_COUNT] = {
    "left_annotation", "right_annotation", "top_annotation", "bottom_annotation",
    "left_frozen",     "right_frozen",     "top_frozen",     "bottom_frozen"};

Widget XomScrollCreateStrip(Widget scroll, int index)
{
    Widget strip =
        XtVaCreateWidget(stripNames[index], xomScrollStripWidgetClass, scroll, XtNwidth,
                         (Dimension)1, XtNheight, (Dimension)1, XtNborderWidth, (Dimension)0, NULL);
    ((XomScrollStripRec*)strip)->strip.index = index;
    return strip;
}

#define BAND(b) (1 << (b))

void XomScrollStripBands(int index, int* across, int* down)
{
    const int middleAcross =
        BAND(XOM_BAND_LEAD_FROZEN) | BAND(XOM_BAND_MAIN) | BAND(XOM_BAND_TRAIL_FROZEN);
    static const struct {
        int across, down;
    } bands[XOM_STRIP_COUNT] = {
        /* left annotation */ {BAND(XOM_BAND_LEAD_ANNOTATION), middleAcross},
        /* right annotation */ {BAND(XOM_BAND_TRAIL_ANNOTATION), middleAcross},
        /* top annotation */ {middleAcross, BAND(XOM_BAND_LEAD_ANNOTATION)},
        /* bottom annotation */ {middleAcross, BAND(XOM_BAND_TRAIL_ANNOTATION)},
        /* left frozen: with the corners it shares with the top and bottom frozen strips */
        {BAND(XOM_BAND_LEAD_FROZEN), middleAcross},
        /* right frozen */ {BAND(XOM_BAND_TRAIL_FROZEN), middleAcross},
        /* top frozen */ {BAND(XOM_BAND_MAIN), BAND(XOM_BAND_LEAD_FROZEN)},
        /* bottom frozen */ {BAND(XOM_BAND_MAIN), BAND(XOM_BAND_TRAIL_FROZEN)},
    };
    *across = bands[index].across;
    *down = bands[index].down;
}

/* Paints the part of one band cell that lies in the exposed rectangle of the strip. */
static void PaintCell(Widget strip, Widget child, const XomScrollBand& bx, const XomScrollBand& by,
                      const XomArea& exposed)
{
    Widget scroll = XtParent(strip);
    XomArea cell = {bx.view - strip->core.x, by.view - strip->core.y, bx.size, by.size}, part;
    if (!XomIntersectAreas(&cell, &exposed, &part))
        return;
    XomCanvas canvas =
        XomCreateXCanvas(XtDisplay(strip), XtWindow(strip), XomScrollPartOf(scroll)->gc,
                         strip->core.width, strip->core.height);
    int dx = cell.x - bx.content, dy = cell.y - by.content;
    XomCanvasSetBound(canvas, &part);
    XomCanvasSetOffset(canvas, dx, dy);
    XomArea area = {part.x - dx, part.y - dy, part.width, part.height};
    XomCompBaseDraw(child, canvas, &area);
    XomCanvasDestroy(canvas);
}

static void Redisplay(Widget strip, XEvent* event, Region region)
{
    Widget scroll = XtParent(strip);
    XomScrollPart* sp = XomScrollPartOf(scroll);
    if (!sp->work || !XomIsCompBase(sp->work) || !sp->gc)
        return;
    XomArea exposed = XomExposedArea(strip, event, region);
    int across, down;
    XomScrollStripBands(((XomScrollStripRec*)strip)->strip.index, &across, &down);
    for (int bx = 0; bx < XOM_BAND_COUNT; bx++)
        for (int by = 0; by < XOM_BAND_COUNT; by++)
            if ((across & BAND(bx)) && (down & BAND(by)) && sp->x_bands[bx].size > 0
                && sp->y_bands[by].size > 0)
                PaintCell(strip, sp->work, sp->x_bands[bx], sp->y_bands[by], exposed);
}

void XomScrollRepaintStrips(Widget scroll, Boolean across, Boolean down)
{
    XomScrollPart* sp = XomScrollPartOf(scroll);
    for (int i = 0; i < XOM_STRIP_COUNT; i++) {
        Widget strip = sp->strips[i];
        if (!strip || !XtIsRealized(strip))
            continue;
        int stripAcross, stripDown;
        XomScrollStripBands(i, &stripAcross, &stripDown);
        /* A strip moves with the scrolling part in the directions it shows it in. */
        Boolean moves = (across && (stripAcross & BAND(XOM_BAND_MAIN)))
            || (down && (stripDown & BAND(XOM_BAND_MAIN)));
        if (moves)
            XomRepaintWindowArea(strip, 0, 0, 0, 0);
    }
}
