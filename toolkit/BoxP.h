/* Private definitions of the XomBox widget. */
#ifndef XOM_BOX_P_H
#define XOM_BOX_P_H

#include <Xm/ManagerP.h>

#include "toolkit/Box.h"

typedef struct {
    XtPointer extension;
} XomBoxClassPart;

typedef struct _XomBoxClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    XmManagerClassPart manager_class;
    XomBoxClassPart box_class;
} XomBoxClassRec;

extern XomBoxClassRec xomBoxClassRec;

typedef struct {
    /* resources */
    Dimension spacing;
    Dimension margin;
    unsigned char orientation;
    Boolean auto_adjust;
    unsigned char alignment;

    /* private state: the natural size and the flexibility totals of the children */
    int natural_width;
    int natural_height;
    int horizontal_stretch;
    int horizontal_shrink;
    int vertical_stretch;
    int vertical_shrink;
} XomBoxPart;

typedef struct _XomBoxRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    XmManagerPart manager;
    XomBoxPart box;
} XomBoxRec;

typedef struct {
    /* resources */
    int horizontal_stretch;
    int horizontal_shrink;
    int vertical_stretch;
    int vertical_shrink;
    Dimension normal_width;
    Dimension normal_height;
} XomBoxConstraintPart;

typedef struct _XomBoxConstraintRec {
    XmManagerConstraintPart manager;
    XomBoxConstraintPart box;
} XomBoxConstraintRec, *XomBoxConstraint;

#define XomBoxConstraints(w) (&((XomBoxConstraint)((w)->core.constraints))->box)

#endif
