/* XomObjectEditor: the attribute palette. Its choices are radio boxes of toggles; a choice
 * is applied to the selected objects of every editor area in the list, and the selection
 * callbacks of those areas bring the palette up to date with the object selected. */
#include <string.h>

#include <Xm/Label.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>

#include "toolkit/EditObject.h"
#include "toolkit/Graphic.h"
#include "toolkit/ObjectEditorP.h"
#include "toolkit/XomP.h"

static const char* default_edit_list[] = {"ActionEditor", "ColorEditor", "AttributeEditor",
                                          "PixmapEditor", NULL};
static const char* default_attribute_list[] = {"FillStyle", "LineStyle", "LineWidth",
                                               "DashType",  "LineEnds",  NULL};

/* A dashed line is drawn in the editor's dash type; this value stands for it. */
enum { DASHED = -1 };

typedef struct {
    const char* name; /* as in "attributeList" */
    const char* label;
    const char* resource; /* the graphic resource it sets; NULL for the dash type */
    int count;
    const char* choiceLabels[XomATTRIBUTE_CHOICES];
    int values[XomATTRIBUTE_CHOICES];
} Attribute;

static const Attribute attributes[XomATTRIBUTE_COUNT] = {
    {"FillStyle",
     "Fill Style",
     XomNfillStyle,
     3,
     {"Solid", "Stippled", "None"},
     {XomFILL_SOLID, XomFILL_STIPPLED, XomFILL_NONE}},
    {"LineStyle",
     "Line Style",
     XomNlineStyle,
     3,
     {"Solid", "Dashed", "None"},
     {XomLINE_SOLID, DASHED, XomLINE_NONE}},
    {"LineWidth", "Line Width", XomNlineThickness, 4, {"1", "2", "3", "5"}, {1, 2, 3, 5}},
    {"DashType",
     "Dash Type",
     NULL,
     2,
     {"On-Off", "Double"},
     {XomLINE_ON_OFF_DASH, XomLINE_DOUBLE_DASH}},
};

#define offset(field) XtOffsetOf(XomObjectEditorRec, object_editor.field)
static XtResource resources[] = {
    {(String)XomNeditList, (String) "EditList", (String)XtRPointer, sizeof(String*),
     offset(edit_list), (String)XtRImmediate, (XtPointer)default_edit_list},
    {(String)XomNattributeList, (String) "AttributeList", (String)XtRPointer, sizeof(String*),
     offset(attribute_list), (String)XtRImmediate, (XtPointer)default_attribute_list},
    {(String)XomNeditObjects, (String) "EditObjects", (String)XtRWidgetList, sizeof(WidgetList),
     offset(edit_objects), (String)XtRImmediate, (XtPointer)NULL},
    {(String)XomNnumEditObjects, (String) "NumEditObjects", (String)XtRCardinal, sizeof(Cardinal),
     offset(num_edit_objects), (String)XtRImmediate, (XtPointer)0},
    {(String)XomNnumColumns, (String) "NumColumns", (String)XtRInt, sizeof(int),
     offset(num_columns), (String)XtRImmediate, (XtPointer)2},
    {(String)XomNshowAttributeLabels, (String) "ShowAttributeLabels", (String)XtRBoolean,
     sizeof(Boolean), offset(show_attribute_labels), (String)XtRImmediate, (XtPointer)True},
    {(String)XomNdefaultLineStyle, (String) "DefaultLineStyle", (String)XtRInt, sizeof(int),
     offset(default_line_style), (String)XtRImmediate, (XtPointer)XomLINE_SOLID},
    {(String)XomNdefaultLineThickness, (String) "DefaultLineThickness", (String)XtRInt, sizeof(int),
     offset(default_line_thickness), (String)XtRImmediate, (XtPointer)1},
    {(String)XomNdefaultFillStyle, (String) "DefaultFillStyle", (String)XtRInt, sizeof(int),
     offset(default_fill_style), (String)XtRImmediate, (XtPointer)XomFILL_NONE},
};
#undef offset

static void Initialize(Widget request, Widget w, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static Boolean SetValues(Widget current, Widget request, Widget w, ArgList args, Cardinal* count);

XomObjectEditorClassRec xomObjectEditorClassRec = {
    {
        /* superclass */ (WidgetClass)&xomBoxClassRec,
        /* class_name */ (String) "XomObjectEditor",
        /* widget_size */ sizeof(XomObjectEditorRec),
        /* class_initialize */ NULL,
        /* class_part_initialize */ NULL,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ NULL,
        /* realize */ XtInheritRealize,
        /* actions */ NULL,
        /* num_actions */ 0,
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        /* compress_exposure */ XtExposeCompressMaximal,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ Destroy,
        /* resize */ XtInheritResize,
        /* expose */ XtInheritExpose,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* accept_focus */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* tm_table */ XtInheritTranslations,
        /* query_geometry */ XtInheritQueryGeometry,
        /* display_accelerator */ NULL,
        /* extension */ NULL,
    },
    {
        /* geometry_manager */ XtInheritGeometryManager,
        /* change_managed */ XtInheritChangeManaged,
        /* insert_child */ XtInheritInsertChild,
        /* delete_child */ XtInheritDeleteChild,
        /* extension */ NULL,
    },
    {
        /* resources */ NULL,
        /* num_resources */ 0,
        /* constraint_size */ sizeof(XomBoxConstraintRec),
        /* initialize */ NULL,
        /* destroy */ NULL,
        /* set_values */ NULL,
        /* extension */ NULL,
    },
    {
        /* translations */ XtInheritTranslations,
        /* syn_resources */ NULL,
        /* num_syn_resources */ 0,
        /* syn_constraint_resources */ NULL,
        /* num_syn_constraint_resources */ 0,
        /* parent_process */ XmInheritParentProcess,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomObjectEditorWidgetClass = (WidgetClass)&xomObjectEditorClassRec;

static XomObjectEditorPart* EditorOf(Widget w)
{
    return &((XomObjectEditorWidget)w)->object_editor;
}

static bool Listed(String* list, const char* name)
{
    for (int i = 0; list && list[i]; i++)
        if (strcmp(list[i], name) == 0)
            return true;
    return false;
}

static int AttributeIndex(const char* name)
{
    for (int a = 0; a < XomATTRIBUTE_COUNT; a++)
        if (name && strcmp(attributes[a].name, name) == 0)
            return a;
    return -1;
}

/* The choice of an attribute that shows a value, or -1. */
static int ChoiceOf(int attribute, int value)
{
    for (int i = 0; i < attributes[attribute].count; i++)
        if (attributes[attribute].values[i] == value)
            return i;
    return -1;
}

static void ShowChoice(Widget w, int attribute, int choice)
{
    XomObjectEditorPart* oe = EditorOf(w);
    for (int i = 0; i < XomATTRIBUTE_CHOICES; i++)
        if (oe->choices[attribute][i])
            XmToggleButtonSetState(oe->choices[attribute][i], i == choice, False);
}

static void ShowValues(Widget w, int fillStyle, int lineStyle, int thickness)
{
    XomObjectEditorPart* oe = EditorOf(w);
    bool dashed = lineStyle == XomLINE_ON_OFF_DASH || lineStyle == XomLINE_DOUBLE_DASH;
    if (dashed)
        oe->dash_style = lineStyle;
    ShowChoice(w, XomATTRIBUTE_FILL_STYLE, ChoiceOf(XomATTRIBUTE_FILL_STYLE, fillStyle));
    ShowChoice(w, XomATTRIBUTE_LINE_STYLE,
               ChoiceOf(XomATTRIBUTE_LINE_STYLE, dashed ? (int)DASHED : lineStyle));
    ShowChoice(w, XomATTRIBUTE_LINE_WIDTH, ChoiceOf(XomATTRIBUTE_LINE_WIDTH, thickness));
    ShowChoice(w, XomATTRIBUTE_DASH_TYPE, ChoiceOf(XomATTRIBUTE_DASH_TYPE, oe->dash_style));
}

/* Sets a value on every selected graphic object of every area in the list. The selection
 * is copied first: setting values may redraw, and redrawing must not change what we walk. */
static void Apply(Widget w, int attribute, int value)
{
    XomObjectEditorPart* oe = EditorOf(w);
    for (Cardinal a = 0; a < oe->num_edit_objects; a++) {
        Cardinal count = 0;
        WidgetList selection = XomEditObjectGetSelection(oe->edit_objects[a], &count);
        if (!count)
            continue;
        WidgetList copy = (WidgetList)XtMalloc((Cardinal)(count * sizeof(Widget)));
        memcpy(copy, selection, count * sizeof(Widget));
        for (Cardinal i = 0; i < count; i++) {
            if (!XomIsGraphic(copy[i]))
                continue;
            if (attribute == XomATTRIBUTE_DASH_TYPE) {
                int style = 0;
                XtVaGetValues(copy[i], XomNlineStyle, &style, NULL);
                if (style == XomLINE_ON_OFF_DASH || style == XomLINE_DOUBLE_DASH)
                    XtVaSetValues(copy[i], XomNlineStyle, value, NULL);
            } else {
                XtVaSetValues(copy[i], attributes[attribute].resource, value, NULL);
            }
        }
        XtFree((char*)copy);
    }
}

static void ChoiceChanged(Widget toggle, XtPointer clientData, XtPointer callData)
{
    const XmToggleButtonCallbackStruct* data = (const XmToggleButtonCallbackStruct*)callData;
    if (!data || !data->set)
        return;
    Widget w = (Widget)clientData;
    XomObjectEditorPart* oe = EditorOf(w);
    XtPointer userData = NULL;
    XtVaGetValues(toggle, XmNuserData, &userData, NULL);
    int attribute = (int)(long)userData / XomATTRIBUTE_CHOICES;
    int value = attributes[attribute].values[(int)(long)userData % XomATTRIBUTE_CHOICES];
    if (attribute == XomATTRIBUTE_DASH_TYPE)
        oe->dash_style = value;
    if (value == DASHED)
        value = oe->dash_style;
    Apply(w, attribute, value);
}

static void BuildAttribute(Widget w, int attribute)
{
    XomObjectEditorPart* oe = EditorOf(w);
    const Attribute& a = attributes[attribute];
    Widget group = XtVaCreateManagedWidget(a.name, xomBoxWidgetClass, w, XomNorientation,
                                           XmVERTICAL, XomNspacing, 2, NULL);
    if (oe->show_attribute_labels) {
        XmString text = XmStringCreateLocalized((char*)a.label);
        XtVaCreateManagedWidget("label", xmLabelWidgetClass, group, XmNlabelString, text, NULL);
        XmStringFree(text);
    }
    Widget radio = XtVaCreateWidget("choices", xmRowColumnWidgetClass, group, XmNradioBehavior,
                                    True, XmNradioAlwaysOne, True, XmNorientation, XmHORIZONTAL,
                                    XmNpacking, XmPACK_COLUMN, XmNnumColumns,
                                    (short)(oe->num_columns > 0 ? oe->num_columns : 1), NULL);
    for (int i = 0; i < a.count; i++) {
        XmString text = XmStringCreateLocalized((char*)a.choiceLabels[i]);
        oe->choices[attribute][i] = XtVaCreateManagedWidget(
            a.choiceLabels[i], xmToggleButtonWidgetClass, radio, XmNlabelString, text,
            XmNindicatorType, XmONE_OF_MANY, XmNuserData,
            (XtPointer)(long)(attribute * XomATTRIBUTE_CHOICES + i), NULL);
        XmStringFree(text);
        XtAddCallback(oe->choices[attribute][i], XmNvalueChangedCallback, ChoiceChanged,
                      (XtPointer)w);
    }
    XtManageChild(radio);
}

static void Initialize(Widget, Widget w, ArgList, Cardinal*)
{
    XomObjectEditorPart* oe = EditorOf(w);
    /* The list is the editor's own from here on; areas join it through the function. */
    oe->edit_objects = NULL;
    oe->num_edit_objects = 0;
    oe->edit_objects_size = 0;
    memset(oe->choices, 0, sizeof oe->choices);
    oe->dash_style = XomLINE_ON_OFF_DASH;
    if (Listed(oe->edit_list, "AttributeEditor"))
        for (int i = 0; oe->attribute_list && oe->attribute_list[i]; i++) {
            int attribute = AttributeIndex(oe->attribute_list[i]);
            if (attribute >= 0 && !oe->choices[attribute][0])
                BuildAttribute(w, attribute);
        }
    /* The lists were read; the caller's arrays are not kept. */
    oe->edit_list = NULL;
    oe->attribute_list = NULL;
    ShowValues(w, oe->default_fill_style, oe->default_line_style, oe->default_line_thickness);
}

static void SelectionChanged(Widget, XtPointer clientData, XtPointer callData)
{
    const XomObjectCallbackStruct* data = (const XomObjectCallbackStruct*)callData;
    Widget w = (Widget)clientData;
    if (!data || !XomIsGraphic(data->object))
        return;
    int fillStyle = 0, lineStyle = 0, thickness = 0;
    XtVaGetValues(data->object, XomNfillStyle, &fillStyle, XomNlineStyle, &lineStyle,
                  XomNlineThickness, &thickness, NULL);
    ShowValues(w, fillStyle, lineStyle, thickness);
}

static void AreaDestroyed(Widget area, XtPointer clientData, XtPointer)
{
    XomObjectEditorPart* oe = EditorOf((Widget)clientData);
    for (Cardinal i = 0; i < oe->num_edit_objects; i++)
        if (oe->edit_objects[i] == area) {
            memmove(&oe->edit_objects[i], &oe->edit_objects[i + 1],
                    (oe->num_edit_objects - i - 1) * sizeof(Widget));
            oe->num_edit_objects--;
            return;
        }
}

static void Destroy(Widget w)
{
    XomObjectEditorPart* oe = EditorOf(w);
    for (Cardinal i = 0; i < oe->num_edit_objects; i++) {
        Widget area = oe->edit_objects[i];
        XtRemoveCallback(area, (String)XomNobjectSelectionCallback, SelectionChanged, (XtPointer)w);
        XtRemoveCallback(area, XtNdestroyCallback, AreaDestroyed, (XtPointer)w);
    }
    XtFree((char*)oe->edit_objects);
    oe->edit_objects = NULL;
    oe->num_edit_objects = 0;
}

static Boolean SetValues(Widget current, Widget, Widget w, ArgList, Cardinal*)
{
    XomObjectEditorPart* now = EditorOf(w);
    XomObjectEditorPart* was = EditorOf(current);
    /* The lists are read at creation and the area list is kept by the function. */
    now->edit_list = was->edit_list;
    now->attribute_list = was->attribute_list;
    now->edit_objects = was->edit_objects;
    now->num_edit_objects = was->num_edit_objects;
    return False;
}

Widget XomCreateObjectEditor(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget((String)name, xomObjectEditorWidgetClass, parent, args, count);
}

void XomObjectEditorAddEditObjectToList(Widget editor, Widget area)
{
    if (!XomIsObjectEditor(editor) || !XomIsEditObject(area))
        return;
    XomObjectEditorPart* oe = EditorOf(editor);
    for (Cardinal i = 0; i < oe->num_edit_objects; i++)
        if (oe->edit_objects[i] == area)
            return;
    if (oe->num_edit_objects == oe->edit_objects_size) {
        oe->edit_objects_size += 4;
        oe->edit_objects = (WidgetList)XtRealloc(
            (char*)oe->edit_objects, (Cardinal)(oe->edit_objects_size * sizeof(Widget)));
    }
    oe->edit_objects[oe->num_edit_objects++] = area;
    XtAddCallback(area, (String)XomNobjectSelectionCallback, SelectionChanged, (XtPointer)editor);
    XtAddCallback(area, XtNdestroyCallback, AreaDestroyed, (XtPointer)editor);
}

Widget XomObjectEditorGetChoice(Widget editor, const char* attribute, int index)
{
    if (!XomIsObjectEditor(editor))
        return NULL;
    int a = AttributeIndex(attribute);
    if (a < 0 || index < 0 || index >= XomATTRIBUTE_CHOICES)
        return NULL;
    return EditorOf(editor)->choices[a][index];
}
