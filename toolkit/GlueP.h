/* Private definitions of the XomGlue object: a windowless rectangle that draws nothing. */
#ifndef XOM_GLUE_P_H
#define XOM_GLUE_P_H

#include <X11/IntrinsicP.h>
#include <X11/RectObjP.h>

#include "toolkit/Glue.h"

typedef struct {
    XtPointer extension;
} XomGlueClassPart;

typedef struct _XomGlueClassRec {
    RectObjClassPart rect_class;
    XomGlueClassPart glue_class;
} XomGlueClassRec;

extern XomGlueClassRec xomGlueClassRec;

typedef struct {
    /* resources: none of its own (the border width defaults to 0) */
    /* private state: none */
    int unused;
} XomGluePart;

typedef struct _XomGlueRec {
    ObjectPart object;
    RectObjPart rectangle;
    XomGluePart glue;
} XomGlueRec;

#endif
