/* Private definitions of XomScroll and of its strips. */
#ifndef XOM_SCROLL_P_H
#define XOM_SCROLL_P_H

#include <Xm/ManagerP.h>

#include "toolkit/Scroll.h"
#include "toolkit/XomP.h"

typedef struct {
    XtPointer extension;
} XomScrollClassPart;

typedef struct _XomScrollClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    XmManagerClassPart manager_class;
    XomScrollClassPart scroll_class;
} XomScrollClassRec;

extern XomScrollClassRec xomScrollClassRec;

/* The bands of one direction: leading annotation, leading frozen, the scrolling part,
 * trailing frozen, trailing annotation. */
enum {
    XOM_BAND_LEAD_ANNOTATION,
    XOM_BAND_LEAD_FROZEN,
    XOM_BAND_MAIN,
    XOM_BAND_TRAIL_FROZEN,
    XOM_BAND_TRAIL_ANNOTATION,
    XOM_BAND_COUNT
};

typedef struct {
    int content; /* where the band's shown part starts in the content */
    int view;    /* where it is shown in the container's window */
    int size;    /* how much of it is shown */
} XomScrollBand;

/* The strips, in the order of their part ids 8 ... 2048 (less the frame). */
enum {
    XOM_STRIP_LEFT_ANNOTATION,
    XOM_STRIP_RIGHT_ANNOTATION,
    XOM_STRIP_TOP_ANNOTATION,
    XOM_STRIP_BOTTOM_ANNOTATION,
    XOM_STRIP_LEFT_FROZEN,
    XOM_STRIP_RIGHT_FROZEN,
    XOM_STRIP_TOP_FROZEN,
    XOM_STRIP_BOTTOM_FROZEN,
    XOM_STRIP_COUNT
};

typedef struct {
    /* resources */
    Boolean scroll_bar_extend;     /* bars also span the annotation strips */
    Boolean horizontal_auto_sized; /* the container takes the content's full width */
    Boolean vertical_auto_sized;
    unsigned char scroll_bar_display_policy; /* XmSTATIC or XmAS_NEEDED */
    int horizontal_inside_margin;            /* between the frame and the viewport */
    int vertical_inside_margin;
    int horizontal_outside_margin; /* outside the frame */
    int vertical_outside_margin;
    int left_annotation_width; /* strip sizes for children without their own */
    int right_annotation_width;
    int top_annotation_height;
    int bottom_annotation_height;
    int title_margin;
    unsigned char shadow_type; /* the frame's look */
    Boolean add_children_to_tab_group;
    Widget horizontal_scroll_bar;
    Widget vertical_scroll_bar;

    /* private state */
    Boolean owns_horizontal_bar; /* made by the container itself */
    Boolean owns_vertical_bar;
    Widget strips[XOM_STRIP_COUNT];
    Widget work; /* the main child */
    XomScrollContent content;
    Boolean content_set;    /* given by the child, not taken from its size */
    int scroll_x, scroll_y; /* position of the scrolling part */
    XomScrollBand x_bands[XOM_BAND_COUNT];
    XomScrollBand y_bands[XOM_BAND_COUNT];
    XomArea frame; /* the frame's outer edge */
    GC gc;         /* for the strips' canvases */
    Boolean laying_out;
} XomScrollPart;

typedef struct _XomScrollRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    XmManagerPart manager;
    XomScrollPart scroll;
} XomScrollRec;

#define XomScrollPartOf(w) (&((XomScrollWidget)(w))->scroll)

/* ---- strips (ScrollStrip.cpp): windows that show bands of the main child ---- */

extern WidgetClass xomScrollStripWidgetClass;

/* Makes the strip with the given index. */
Widget XomScrollCreateStrip(Widget scroll, int index);
/* The bands a strip shows, as masks of 1 << band, across and down. */
void XomScrollStripBands(int index, int* across, int* down);
/* Repaints the strips whose content moved: across when x moved, down when y moved. */
void XomScrollRepaintStrips(Widget scroll, Boolean across, Boolean down);

#endif
