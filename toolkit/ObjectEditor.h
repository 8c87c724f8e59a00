/* XomObjectEditor: a palette panel that changes the attributes of the objects selected in
 * the editor areas of its list. It follows their selection: choosing a value in the
 * palette applies it to every selected object at once, and selecting an object shows that
 * object's values.
 *
 * The panels are named by "editList"; the attribute panel ("AttributeEditor") is built, the
 * others of the toolkit's full palette are not offered and are left out. The attribute panel
 * offers, in the order of "attributeList", a labelled row of choices for each of:
 *   "FillStyle"  solid, stippled or no fill              (the object's fillStyle)
 *   "LineStyle"  solid, dashed or no line                (its lineStyle)
 *   "LineWidth"  1, 2, 3 or 5 pixels                     (its lineThickness)
 *   "DashType"   on-off or double dashes, the dashes a dashed line is drawn with
 * other attribute names are left out.
 *
 * Resources (besides XomBox's; "orientation" lays out the panels):
 * Name                  Class               Type        Default
 * editList              EditList            String*     {"ActionEditor", "ColorEditor",
 *                                                        "AttributeEditor", "PixmapEditor",
 *                                                        NULL}
 * attributeList         AttributeList       String*     {"FillStyle", "LineStyle",
 *                                                        "LineWidth", "DashType", "LineEnds",
 *                                                        NULL}
 * editObjects           EditObjects         WidgetList  NULL (read only; see below)
 * numEditObjects        NumEditObjects      Cardinal    0    (read only)
 * numColumns            NumColumns          int         2    (rows of choices per attribute)
 * showAttributeLabels   ShowAttributeLabels Boolean     True
 * defaultLineStyle      DefaultLineStyle    LineStyle   line_solid
 * defaultLineThickness  DefaultLineThickness int        1
 * defaultFillStyle      DefaultFillStyle    FillStyle   fill_none
 * The lists end with NULL and are read at creation. The defaults are the choices shown
 * while nothing is selected.
 */
#ifndef XOM_OBJECT_EDITOR_H
#define XOM_OBJECT_EDITOR_H

#include <X11/Intrinsic.h>

#include "toolkit/Box.h"

extern WidgetClass xomObjectEditorWidgetClass;

typedef struct _XomObjectEditorClassRec* XomObjectEditorWidgetClass;
typedef struct _XomObjectEditorRec* XomObjectEditorWidget;

#define XomNeditList "editList"
#define XomNattributeList "attributeList"
#define XomNeditObjects "editObjects"
#define XomNnumEditObjects "numEditObjects"
#define XomNnumColumns "numColumns"
#define XomNshowAttributeLabels "showAttributeLabels"
#define XomNdefaultLineStyle "defaultLineStyle"
#define XomNdefaultLineThickness "defaultLineThickness"
#define XomNdefaultFillStyle "defaultFillStyle"

#define XomIsObjectEditor(w) ((w) && XtIsSubclass((w), xomObjectEditorWidgetClass))

/* Creates an unmanaged object editor. */
Widget XomCreateObjectEditor(Widget parent, const char* name, ArgList args, Cardinal count);

/* Appends an editor area to the editor's list and follows its selection from then on. An
 * area already in the list, or a widget that is not an editor area, is not added. */
void XomObjectEditorAddEditObjectToList(Widget editor, Widget area);

/* The palette's buttons, for tests and resources: the toggle of choice index (from 0) of
 * an attribute named as in "attributeList"; NULL when the panel has no such choice. */
Widget XomObjectEditorGetChoice(Widget editor, const char* attribute, int index);

#endif
