/* XomEditObject: the editor area, a drawing widget that owns a list of graphic objects,
 * paints them in list order, keeps a selection, can be frozen while a batch of changes is
 * made, and reports the pointer through "locatorCallback".
 *
 * Its user coordinates run from 0, 0 at the top-left corner of the window to 100, 100 at
 * the bottom-right one; objects without axes are placed in them.
 *
 * Resources (besides XomCompBase's):
 * Name                       Class                  Type            Default
 * handleSize                 HandleSize             int             4
 * handleColor                HandleColor            Pixel           blue
 * pointSelectionTolerance    PointSelectionTolerance int            4
 * objectEditMode             ObjectEditMode         ObjectEditMode  0
 * cursorType                 CursorType             CursorType      34
 * allowDrag                  AllowDrag              Boolean         False
 * allowDrop                  AllowDrop              Boolean         False
 * flip                       Flip                   Boolean         False
 * graphicList                GraphicList            WidgetList      (read only)
 * graphicListCount           GraphicListCount       Cardinal        (read only)
 * locatorCallback            Callback               XtCallbackList  NULL
 * selectionCallback, objectSelectionCallback, objectDeselectionCallback,
 * areaSelectionCallback, polyAreaSelectionCallback, insertObjectCallback, cutCallback,
 * copyCallback, pasteCallback, rubberbandCallback, resourceDialogCallback,
 * editInternalCallback, dragDropCallback, exposeCallback, resizeCallback, inputCallback
 *                            Callback               XtCallbackList  NULL
 */
#ifndef XOM_EDIT_OBJECT_H
#define XOM_EDIT_OBJECT_H

#include <X11/Intrinsic.h>

#include "toolkit/CompBase.h"

extern WidgetClass xomEditObjectWidgetClass;

typedef struct _XomEditObjectClassRec* XomEditObjectWidgetClass;
typedef struct _XomEditObjectRec* XomEditObjectWidget;

#define XomNhandleSize "handleSize"
#define XomNhandleColor "handleColor"
#define XomNpointSelectionTolerance "pointSelectionTolerance"
#define XomNobjectEditMode "objectEditMode"
#define XomNcursorType "cursorType"
#define XomNallowDrag "allowDrag"
#define XomNallowDrop "allowDrop"
#define XomNflip "flip"
#define XomNgraphicList "graphicList"
#define XomNgraphicListCount "graphicListCount"
#define XomNlocatorCallback "locatorCallback"
#define XomNselectionCallback "selectionCallback"
#define XomNobjectSelectionCallback "objectSelectionCallback"
#define XomNobjectDeselectionCallback "objectDeselectionCallback"
#define XomNareaSelectionCallback "areaSelectionCallback"
#define XomNpolyAreaSelectionCallback "polyAreaSelectionCallback"
#define XomNinsertObjectCallback "insertObjectCallback"
#define XomNcutCallback "cutCallback"
#define XomNcopyCallback "copyCallback"
#define XomNpasteCallback "pasteCallback"
#define XomNrubberbandCallback "rubberbandCallback"
#define XomNresourceDialogCallback "resourceDialogCallback"
#define XomNeditInternalCallback "editInternalCallback"
#define XomNdragDropCallback "dragDropCallback"
#define XomNexposeCallback "exposeCallback"
#define XomNresizeCallback "resizeCallback"
#define XomNinputCallback "inputCallback"

#define XomIsEditObject(w) ((w) && XtIsSubclass((w), xomEditObjectWidgetClass))

/* Creates an unmanaged editor area. */
Widget XomCreateEditObject(Widget parent, const char* name, ArgList args, Cardinal count);

/* Sets the freeze flag. While frozen the area does not repaint; unfreezing a frozen area
 * with a window repaints all of it once. Setting the flag it has does nothing. */
void XomEditObjectFreeze(Widget area, Boolean freeze);
Boolean XomEditObjectIsFrozen(Widget area);

/* Adds an object of the area, or a member of one of its groups (which then becomes the
 * group's selected member), to the selection and draws its handles. */
void XomEditObjectSelectObject(Widget area, Widget object);
void XomEditObjectDeselectObject(Widget area, Widget object);
void XomEditObjectDeselectAll(Widget area);
/* The selected objects in the order they were selected (the area's own list). */
WidgetList XomEditObjectGetSelection(Widget area, Cardinal* count);

/* Destroys a graphic object at once: it leaves its area and group, its destroy methods and
 * callbacks run, and a second call on the same object does nothing. */
void XomEditObjectDestroyObject(Widget object);

/* Between the area's window pixels and its user coordinates. */
void XomEditObjectPixelToUser(Widget area, int x, int y, float* ux, float* uy);
void XomEditObjectUserToPixel(Widget area, double ux, double uy, int* x, int* y);

#endif
