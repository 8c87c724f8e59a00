/* Private definitions of the XomObjectEditor widget. */
#ifndef XOM_OBJECT_EDITOR_P_H
#define XOM_OBJECT_EDITOR_P_H

#include "toolkit/BoxP.h"
#include "toolkit/ObjectEditor.h"

/* The attributes the attribute panel can offer, and the most choices one of them has. */
enum {
    XomATTRIBUTE_FILL_STYLE,
    XomATTRIBUTE_LINE_STYLE,
    XomATTRIBUTE_LINE_WIDTH,
    XomATTRIBUTE_DASH_TYPE,
    XomATTRIBUTE_COUNT
};
enum { XomATTRIBUTE_CHOICES = 4 };

typedef struct {
    XtPointer extension;
} XomObjectEditorClassPart;

typedef struct _XomObjectEditorClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    XmManagerClassPart manager_class;
    XomBoxClassPart box_class;
    XomObjectEditorClassPart object_editor_class;
} XomObjectEditorClassRec;

extern XomObjectEditorClassRec xomObjectEditorClassRec;

typedef struct {
    /* resources */
    String* edit_list;       /* panel names, NULL-terminated */
    String* attribute_list;  /* attribute names, NULL-terminated */
    WidgetList edit_objects; /* the editor areas followed */
    Cardinal num_edit_objects;
    int num_columns; /* rows of choices per attribute */
    Boolean show_attribute_labels;
    int default_line_style; /* LineStyle */
    int default_line_thickness;
    int default_fill_style; /* FillStyle */

    /* private state */
    Cardinal edit_objects_size;                               /* slots allocated in edit_objects */
    Widget choices[XomATTRIBUTE_COUNT][XomATTRIBUTE_CHOICES]; /* toggles, NULL when not offered */
    int dash_style;                                           /* the LineStyle a dashed line gets */
} XomObjectEditorPart;

typedef struct _XomObjectEditorRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    XmManagerPart manager;
    XomBoxPart box;
    XomObjectEditorPart object_editor;
} XomObjectEditorRec;

#endif
