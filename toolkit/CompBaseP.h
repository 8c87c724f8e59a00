/* Private definitions of XomCompBase, the composite drawing base. */
#ifndef XOM_COMP_BASE_P_H
#define XOM_COMP_BASE_P_H

#include <Xm/ManagerP.h>

#include "toolkit/CompBase.h"
#include "toolkit/XomP.h"

typedef struct {
    XomDrawProc draw; /* XomInheritDraw takes the superclass's */
    XtPointer extension;
} XomCompBaseClassPart;

typedef struct _XomCompBaseClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    XmManagerClassPart manager_class;
    XomCompBaseClassPart comp_base_class;
} XomCompBaseClassRec;

extern XomCompBaseClassRec xomCompBaseClassRec;

typedef struct {
    /* resources */
    int top_margin; /* pixels between the edges and the drawing */
    int bottom_margin;
    int left_margin;
    int right_margin;
    int auto_margin_adjust; /* AutoMarginAdjust bits */
    String title_string;    /* owned copy */
    String title_font;      /* font name */
    int title_placement;    /* AnnotationPlacement: top, bottom or 0 */
    int title_alignment;    /* ColumnAlignment */
    int horizontal_annotation_placement;
    int vertical_annotation_placement;
    XtCallbackList hardcopy_callback;

    /* private state */
    XFontStruct* title_font_struct; /* loaded from title_font */
    GC gc;                          /* the X canvas's gc, made at realize */
    int origin_x;                   /* scroll origin in content pixels */
    int origin_y;
} XomCompBasePart;

typedef struct _XomCompBaseRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    XmManagerPart manager;
    XomCompBasePart comp_base;
} XomCompBaseRec;

#define XomCompBase(w) (&((XomCompBaseWidget)(w))->comp_base)

#endif
