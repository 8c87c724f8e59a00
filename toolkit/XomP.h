/* Private to the toolkit: the inherit constants of its class methods, the named warnings
 * and small helpers every widget file uses. */
#ifndef XOM_P_H
#define XOM_P_H

#include <X11/IntrinsicP.h>

#include "toolkit/Canvas.h"
#include "toolkit/Xom.h"

/* ---- class methods and their inherit constants (as Xt's XtInherit... values) ---- */

/* Draws what lies in area (content pixels) of a drawing widget on the canvas. */
typedef void (*XomDrawProc)(Widget w, XomCanvas canvas, const XomArea* area);
#define XomInheritDraw ((XomDrawProc)_XtInherit)

/* Graphic objects: paint, report the pixel box, tell whether a point hits. */
typedef void (*XomGraphicDrawProc)(Widget graphic, XomCanvas canvas, const XomArea* area);
typedef void (*XomGraphicBoundsProc)(Widget graphic, XomArea* bounds);
typedef Boolean (*XomGraphicHitProc)(Widget graphic, int x, int y, int tolerance);
/* An object that serves as an axis turns a value along it into a pixel. */
typedef Boolean (*XomGraphicValueProc)(Widget axis, double value, int* pixel);
#define XomInheritGraphicDraw ((XomGraphicDrawProc)_XtInherit)
#define XomInheritGraphicBounds ((XomGraphicBoundsProc)_XtInherit)
#define XomInheritGraphicHit ((XomGraphicHitProc)_XtInherit)
#define XomInheritGraphicValue ((XomGraphicValueProc)_XtInherit)

/* ---- named warnings (XomMessage.cpp) ---- */

/* A warning through XtAppWarningMsg under the given name and type, class
 * "XomToolkitError"; the text is shown as it stands. */
void XomWarning(Widget w, const char* name, const char* type, const char* text);

/* "**** <Class>Warning ****\n<function>\n<message>", <Class> being the class name of w
 * (for a table "XomEditTableWarning"). */
void XomClassWarning(Widget w, const char* function, const char* message);

/* "**** <Class>Warning ****\n    <function>: <role> number <value> is out of range." */
void XomRangeWarning(Widget w, const char* function, const char* role, int value);

/* ---- helpers ---- */
#define XomMin(a, b) ((a) < (b) ? (a) : (b))
#define XomMax(a, b) ((a) > (b) ? (a) : (b))

/* The intersection of two areas; False (and an empty result) when they do not meet. */
Boolean XomIntersectAreas(const XomArea* a, const XomArea* b, XomArea* result);

/* What an expose handler is to repaint: the region's box, else the Expose event's
 * rectangle, else the whole widget. */
XomArea XomExposedArea(Widget w, XEvent* event, Region region);

/* A font by name, loaded once per display and kept for the life of the process; a name
 * that cannot be loaded gives the server's "fixed" font. */
XFontStruct* XomLoadFont(Display* display, const char* name);

/* A growing list of widgets: append, remove (keeping the order), look up. */
void XomListAppend(WidgetList* list, Cardinal* count, Cardinal* size, Widget w);
Boolean XomListRemove(WidgetList list, Cardinal* count, Widget w);
Boolean XomListContains(WidgetList list, Cardinal count, Widget w);

#endif
