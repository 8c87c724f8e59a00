/* XomScroll: shows one main child in a viewport inside a frame, with scroll bars, and
 * strips along the sides that stay in place in one direction while the rest scrolls:
 * annotation strips outside the frame (a table's headings) and frozen strips inside it
 * (frozen columns or rows).
 *
 * No window ever grows to the size of the content (X windows end at 32767 pixels, a table
 * of 100,000 rows is far taller). A drawing child (an XomCompBase subclass) stays the size
 * of the viewport; it reports the size of its content and the bands along its edges with
 * XomScrollSetContent, and the container sets its scroll origin (XomCompBaseSetOrigin) as
 * the user scrolls, so that it paints only what is in view. The container paints the
 * strips by calling the child's draw method for the bands they show. Any other child is
 * given the viewport's size and does not scroll.
 *
 * The content of a drawing child, in content pixels, across (and likewise down):
 *   [leftAnnotation][leftFrozen][ ... scrolling part ... ][rightFrozen][rightAnnotation]
 *
 * Resources (besides the Motif manager's):
 * Name                     Class                   Type             Default
 * scrollBarExtend          ScrollBarExtend         Boolean          True
 * horizontalAutoSized      AutoSized               Boolean          False
 * verticalAutoSized        AutoSized               Boolean          False
 * scrollBarDisplayPolicy   ScrollBarDisplayPolicy  unsigned char    XmAS_NEEDED
 * horizontalInsideMargin   Margin                  int              10
 * verticalInsideMargin     Margin                  int              10
 * horizontalOutsideMargin  Margin                  int              10
 * verticalOutsideMargin    Margin                  int              10
 * leftAnnotationWidth      AnnotationSize          int              30
 * rightAnnotationWidth     AnnotationSize          int              30
 * topAnnotationHeight      AnnotationSize          int              30
 * bottomAnnotationHeight   AnnotationSize          int              30
 * titleMargin              TitleMargin             int              20
 * shadowThickness          ShadowThickness         Dimension        3
 * shadowType               ShadowType              ShadowType       XmSHADOW_IN (7)
 * addChildrenToTabGroup    AddChildrenToTabGroup   Boolean          True
 * horizontalScrollBar      HorizontalScrollBar     Widget           NULL (its own)
 * verticalScrollBar        VerticalScrollBar       Widget           NULL (its own)
 *
 * The annotation sizes are the strip sizes a drawing child uses for heading bands that
 * have no size of their own (it reads them from its parent).
 */
#ifndef XOM_SCROLL_H
#define XOM_SCROLL_H

#include <X11/Intrinsic.h>

extern WidgetClass xomScrollWidgetClass;

typedef struct _XomScrollClassRec* XomScrollWidgetClass;
typedef struct _XomScrollRec* XomScrollWidget;

#define XomNscrollBarExtend "scrollBarExtend"
#define XomNhorizontalAutoSized "horizontalAutoSized"
#define XomNverticalAutoSized "verticalAutoSized"
#define XomNhorizontalInsideMargin "horizontalInsideMargin"
#define XomNverticalInsideMargin "verticalInsideMargin"
#define XomNhorizontalOutsideMargin "horizontalOutsideMargin"
#define XomNverticalOutsideMargin "verticalOutsideMargin"
#define XomNleftAnnotationWidth "leftAnnotationWidth"
#define XomNrightAnnotationWidth "rightAnnotationWidth"
#define XomNtopAnnotationHeight "topAnnotationHeight"
#define XomNbottomAnnotationHeight "bottomAnnotationHeight"
#define XomNtitleMargin "titleMargin"
#define XomNaddChildrenToTabGroup "addChildrenToTabGroup"

#define XomIsScroll(w) ((w) && XtIsSubclass((w), xomScrollWidgetClass))

/* Ids of the container's parts (XomScrollGetChild). */
enum {
    XomSCROLL_HORIZONTAL_BAR = 1,
    XomSCROLL_VERTICAL_BAR = 2,
    XomSCROLL_VIEWPORT = 4, /* the main child */
    XomSCROLL_LEFT_ANNOTATION = 8,
    XomSCROLL_RIGHT_ANNOTATION = 16,
    XomSCROLL_TOP_ANNOTATION = 32,
    XomSCROLL_BOTTOM_ANNOTATION = 64,
    XomSCROLL_FRAME = 128, /* drawn by the container itself: no widget */
    XomSCROLL_LEFT_FROZEN = 256,
    XomSCROLL_RIGHT_FROZEN = 512,
    XomSCROLL_TOP_FROZEN = 1024,
    XomSCROLL_BOTTOM_FROZEN = 2048
};

/* What a drawing child shows: its whole content and the bands along its edges. */
typedef struct {
    int width, height;                   /* all of the content, bands included */
    int leftAnnotation, rightAnnotation; /* bands shown in the annotation strips */
    int topAnnotation, bottomAnnotation;
    int leftFrozen, rightFrozen; /* bands shown in the frozen strips */
    int topFrozen, bottomFrozen;
    int horizontalIncrement, verticalIncrement; /* one step of the arrows (0: 10 pixels) */
} XomScrollContent;

Widget XomCreateScroll(Widget parent, const char* name, ArgList args, Cardinal count);

/* One of the container's parts by id; a warning and NULL for an unknown id, NULL when
 * scroll is not a scroll container. */
Widget XomScrollGetChild(Widget scroll, int id);

/* Called by the drawing child whenever its content or bands change; lays the container
 * out again and keeps the scroll position within the new content. */
void XomScrollSetContent(Widget scroll, const XomScrollContent* content);
void XomScrollGetContent(Widget scroll, XomScrollContent* content);

/* The scroll position: how far the scrolling part is moved, in pixels (never beyond its
 * end). */
void XomScrollSetPosition(Widget scroll, int x, int y);
void XomScrollGetPosition(Widget scroll, int* x, int* y);
/* The size of the viewport, the visible piece of the scrolling part. */
void XomScrollGetViewSize(Widget scroll, int* width, int* height);
/* Scrolls as little as needed to show the rectangle, given in the child's content pixels
 * (bands included, as its draw method sees them). */
void XomScrollMakeVisible(Widget scroll, int x, int y, int width, int height);

#endif
