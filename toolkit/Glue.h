/* XomGlue: an invisible child of a box that occupies a slot with a size and the box's
 * stretch and shrink constraints, to make flexible gaps. */
#ifndef XOM_GLUE_H
#define XOM_GLUE_H

#include <X11/Intrinsic.h>

extern WidgetClass xomGlueWidgetClass;

typedef struct _XomGlueClassRec* XomGlueWidgetClass;
typedef struct _XomGlueRec* XomGlueWidget;

#define XomIsGlue(w) XtIsSubclass((w), xomGlueWidgetClass)

/* Creates an unmanaged glue. */
Widget XomCreateGlue(Widget parent, const char* name, ArgList args, Cardinal count);

/* Create a managed glue "glue" of that width (height) and horizontal (vertical) shrink and
 * stretch in a box; any other parent is a fatal error. */
Widget XomCreateHorizontalGlue(Widget box, int width, int shrink, int stretch);
Widget XomCreateVerticalGlue(Widget box, int height, int shrink, int stretch);

#endif
