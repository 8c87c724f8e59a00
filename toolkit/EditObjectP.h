/* Private definitions of XomEditObject, the editor area. */
#ifndef XOM_EDIT_OBJECT_P_H
#define XOM_EDIT_OBJECT_P_H

#include "toolkit/CompBaseP.h"
#include "toolkit/EditObject.h"

typedef struct {
    XtPointer extension;
} XomEditObjectClassPart;

typedef struct _XomEditObjectClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    XmManagerClassPart manager_class;
    XomCompBaseClassPart comp_base_class;
    XomEditObjectClassPart edit_object_class;
} XomEditObjectClassRec;

extern XomEditObjectClassRec xomEditObjectClassRec;

typedef struct {
    /* resources */
    int handle_size; /* pixels; 0 shows no handles */
    Pixel handle_color;
    int point_selection_tolerance; /* pixels within which a press hits */
    int object_edit_mode;
    int cursor_type;
    Boolean allow_drag;
    Boolean allow_drop;
    Boolean flip;
    WidgetList graphic_list; /* read only: the objects in drawing order */
    Cardinal graphic_list_count;
    XtCallbackList locator_callback;
    XtCallbackList selection_callback;
    XtCallbackList object_selection_callback;
    XtCallbackList object_deselection_callback;
    XtCallbackList area_selection_callback;
    XtCallbackList poly_area_selection_callback;
    XtCallbackList insert_object_callback;
    XtCallbackList cut_callback;
    XtCallbackList copy_callback;
    XtCallbackList paste_callback;
    XtCallbackList rubberband_callback;
    XtCallbackList resource_dialog_callback;
    XtCallbackList edit_internal_callback;
    XtCallbackList drag_drop_callback;
    XtCallbackList expose_callback;
    XtCallbackList resize_callback;
    XtCallbackList input_callback;

    /* private state */
    Cardinal graphic_list_size; /* allocated entries of graphic_list */
    WidgetList selection;       /* selected objects, in selection order */
    Cardinal selection_count;
    Cardinal selection_size;
    Boolean frozen;
    int last_x, last_y; /* last pointer position in window pixels */
} XomEditObjectPart;

typedef struct _XomEditObjectRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    XmManagerPart manager;
    XomCompBasePart comp_base;
    XomEditObjectPart edit_object;
} XomEditObjectRec;

#define XomEditObject(w) (&((XomEditObjectWidget)(w))->edit_object)

/* For graphic objects: joining and leaving the area's list (leaving also deselects), and
 * repainting a box of content pixels (NULL: all), unless frozen. */
void XomEditObjectInsertGraphic(Widget area, Widget graphic);
void XomEditObjectRemoveGraphic(Widget area, Widget graphic);
void XomEditObjectRedraw(Widget area, const XomArea* box);

/* The actions and default translations (EditObjectActions.cpp). */
extern XtActionsRec xomEditObjectActions[];
extern Cardinal xomEditObjectActionCount;
extern const char xomEditObjectTranslations[];

#endif
