/* XomEditTable: the resource table, the class record and the class methods; the model's
 * hooks, which turn refusals into warnings and rows and columns into callbacks. */
#include <string.h>

#include "toolkit/EditTableP.h"

#define offset(field) XtOffsetOf(XomEditTableRec, edit_table.field)
#define RESOURCE(name, cls, type, size, field, deftype, def)                                       \
    {                                                                                              \
        (String) name, (String)cls, (String)type, size, offset(field), (String)deftype,            \
            (XtPointer)def                                                                         \
    }
#define INT(name, cls, field, def)                                                                 \
    RESOURCE(name, cls, XmRInt, sizeof(int), field, XmRImmediate, def)
#define ENUM(name, cls, type, field, def)                                                          \
    RESOURCE(name, cls, type, sizeof(int), field, XmRImmediate, def)
#define BOOL(name, cls, field, def)                                                                \
    RESOURCE(name, cls, XmRBoolean, sizeof(Boolean), field, XmRImmediate, def)
#define PIXEL(name, cls, field, def)                                                               \
    RESOURCE(name, cls, XmRPixel, sizeof(Pixel), field, XmRString, def)
#define STRING(name, cls, field, def)                                                              \
    RESOURCE(name, cls, XmRString, sizeof(String), field, XmRImmediate, def)
#define POINTER(name, cls, field)                                                                  \
    RESOURCE(name, cls, XmRPointer, sizeof(XtPointer), field, XmRImmediate, NULL)
#define CALLBACK(name, field)                                                                      \
    RESOURCE(name, XmCCallback, XmRCallback, sizeof(XtCallbackList), field, XmRImmediate, NULL)

static XtResource resources[] = {
    INT(XomNnumberOfColumns, "NumberOfColumns", number_of_columns, 16),
    INT(XomNnumberOfRows, "NumberOfRows", number_of_rows, 16),
    INT(XomNdefaultCellHeight, "DefaultCellHeight", default_cell_height, XomSIZE_UNSET),
    INT(XomNdefaultCellWidth, "DefaultCellWidth", default_cell_width, XomSIZE_UNSET),
    ENUM(XomNcellSizeUnit, "CellSizeUnit", XomRCellSizeUnit, cell_size_unit, XomUNIT_CHARACTER),
    STRING(XomNreferenceChar, "ReferenceChar", reference_char, "W"),
    POINTER(XomNcellWidthData, "CellWidthData", cell_width_data),
    POINTER(XomNcolumnAnnotationData, "ColumnAnnotationData", column_annotation_data),
    POINTER(XomNcolumnDataTypeData, "ColumnDataTypeData", column_data_type_data),
    POINTER(XomNcolumnDataFormatData, "ColumnDataFormatData", column_data_format_data),
    POINTER(XomNcolumnEditModeData, "ColumnEditModeData", column_edit_mode_data),
    ENUM(XomNdefaultColumnDataType, "DefaultColumnDataType", XomRDataType, default_column_data_type,
         XomTYPE_STRING),
    STRING(XomNdefaultColumnDataFormat, "DefaultColumnDataFormat", default_column_data_format,
           NULL),
    ENUM(XomNdefaultColumnEditMode, "DefaultColumnEditMode", XomRColumnEditMode,
         default_column_edit_mode, XomCOLUMN_EDITABLE),
    ENUM(XomNdefaultColumnAlignment, "DefaultColumnAlignment", XomRColumnAlignment,
         default_column_alignment, XomALIGNMENT_BEGINNING),
    BOOL(XomNautomaticColumnAnnotation, "AutomaticAnnotation", automatic_column_annotation, True),
    BOOL(XomNautomaticRowAnnotation, "AutomaticAnnotation", automatic_row_annotation, True),
    INT(XomNcellPointerBorderThickness, "CellPointerBorderThickness", cell_pointer_border_thickness,
        3),
    PIXEL(XomNcellPointerColor, "CellPointerColor", cell_pointer_color, "red"),
    PIXEL(XomNcellHighlightColor, "CellHighlightColor", cell_highlight_color, "red"),
    INT(XomNcellHighlightThickness, "CellHighlightThickness", cell_highlight_thickness,
        XomSIZE_UNSET),
    ENUM(XomNgridLineStyle, "GridLineStyle", XomRGridLineStyle, grid_line_style,
         XomGRID_LINE_SOLID),
    INT(XomNgridLineWidth, "GridLineWidth", grid_line_width, 1),
    PIXEL(XomNgridLineForeground, "GridLineForeground", grid_line_foreground, "black"),
    PIXEL(XomNgridLineBackground, "GridLineBackground", grid_line_background, "black"),
    INT(XomNgridLineHighlightThickness, "GridLineHighlightThickness", grid_line_highlight_thickness,
        1),
    PIXEL(XomNgridLineHighlightColor, "GridLineHighlightColor", grid_line_highlight_color, "red"),
    INT(XomNhorizontalCellMargin, "CellMargin", horizontal_cell_margin, 3),
    INT(XomNverticalCellMargin, "CellMargin", vertical_cell_margin, 3),
    PIXEL(XomNtableForeground, "TableForeground", table_foreground, "black"),
    STRING(XomNtableFont, "TableFont", table_font, NULL),
    STRING(XomNfontTable, "FontTable", font_table, NULL),
    STRING(XomNcolumnAnnotationFont, "AnnotationFont", column_annotation_font, NULL),
    STRING(XomNrowAnnotationFont, "AnnotationFont", row_annotation_font, NULL),
    ENUM(XomNfrozenColumnPlacement, "FrozenPlacement", XomRFrozenPlacement, frozen_column_placement,
         XomFROZEN_LEFT),
    BOOL(XomNfreezeUpdate, "FreezeUpdate", freeze_update, False),
    BOOL(XomNuseOriginalData, "UseOriginalData", use_original_data, False),
    RESOURCE(XomNcellSource, "CellSource", XtRFunction, sizeof(XomEditTableCellSourceProc),
             cell_source, XmRImmediate, NULL),
    POINTER(XomNcellSourceData, "CellSourceData", cell_source_data),
    INT(XomNsortIndicatorColumn, "SortIndicatorColumn", sort_indicator_column, 0),
    BOOL(XomNsortIndicatorDescending, "SortIndicatorDescending", sort_indicator_descending, False),
    CALLBACK(XomNtraverseCellCallback, traverse_cell_callback),
    CALLBACK(XomNcellWidgetDisplayCallback, cell_widget_display_callback),
    CALLBACK(XomNrowCallback, row_callback),
    CALLBACK(XomNcolumnCallback, column_callback),
    CALLBACK(XomNselectCellCallback, select_cell_callback),
    CALLBACK(XomNformatCellCallback, format_cell_callback),
    CALLBACK(XomNvalidateValueCallback, validate_value_callback),
    CALLBACK(XomNcheckEditModeCallback, check_edit_mode_callback),
    CALLBACK(XomNdoubleClickCallback, double_click_callback),
    CALLBACK(XomNeditAnnotationCallback, edit_annotation_callback),
    CALLBACK(XomNheadingCallback, heading_callback),
};
#undef offset

#define offset(field) XtOffsetOf(XomEditTableConstraintRec, edit_table.field)
static XtResource constraintResources[] = {
    {(String)XomNcellWidgetRange, (String) "CellWidgetRange", (String)XmRPointer, sizeof(int*),
     offset(cell_widget_range), (String)XmRImmediate, (XtPointer)NULL},
    {(String)XomNcellWidgetOverrideTranslations, (String)XmCBoolean, (String)XmRBoolean,
     sizeof(Boolean), offset(cell_widget_override_translations), (String)XmRImmediate,
     (XtPointer)True},
    {(String)XomNcellWidgetSetResources, (String)XmCBoolean, (String)XmRBoolean, sizeof(Boolean),
     offset(cell_widget_set_resources), (String)XmRImmediate, (XtPointer)True},
};
#undef offset

static void ClassInitialize(void);
static void Initialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void Destroy(Widget w);
static void Resize(Widget w);
static Boolean SetValues(Widget old, Widget request, Widget updated, ArgList args, Cardinal* count);
static XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry* request, XtWidgetGeometry* reply);
static XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry* request,
                                        XtWidgetGeometry* reply);
static void ConstraintInitialize(Widget request, Widget created, ArgList args, Cardinal* count);
static void ConstraintDestroy(Widget child);

XomEditTableClassRec xomEditTableClassRec = {
    {
        /* superclass */ (WidgetClass)&xomEditObjectClassRec,
        /* class_name */ (String) "XomEditTable",
        /* widget_size */ sizeof(XomEditTableRec),
        /* class_initialize */ ClassInitialize,
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
        /* resize */ Resize,
        /* expose */ XtInheritExpose,
        /* set_values */ SetValues,
        /* set_values_hook */ NULL,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ NULL,
        /* accept_focus */ NULL,
        /* version */ XtVersion,
        /* callback_private */ NULL,
        /* tm_table */ (String)_xomEditTableTranslations,
        /* query_geometry */ QueryGeometry,
        /* display_accelerator */ NULL,
        /* extension */ NULL,
    },
    {
        /* geometry_manager */ GeometryManager,
        /* change_managed */ NULL,
        /* insert_child */ XtInheritInsertChild,
        /* delete_child */ XtInheritDeleteChild,
        /* extension */ NULL,
    },
    {
        /* resources */ constraintResources,
        /* num_resources */ XtNumber(constraintResources),
        /* constraint_size */ sizeof(XomEditTableConstraintRec),
        /* initialize */ ConstraintInitialize,
        /* destroy */ ConstraintDestroy,
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
        /* draw */ _XomEditTableDraw,
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
    {
        /* extension */ NULL,
    },
};

WidgetClass xomEditTableWidgetClass = (WidgetClass)&xomEditTableClassRec;

/* The action count is only known in the actions file. */
static void ClassInitialize(void)
{
    xomEditTableClassRec.core_class.actions = _xomEditTableActions;
    xomEditTableClassRec.core_class.num_actions = _xomEditTableActionCount;
    XomRegisterConverters();
}

/* ---- the model's settings from the resources ---- */

static void ApplyDefaults(Widget w)
{
    XomEditTablePart* et = XomEditTable(w);
    EditTableDefaults& d = XomEditTableModelOf(w).defaults;
    d.dataType = et->default_column_data_type;
    d.dataFormat = et->default_column_data_format ? et->default_column_data_format : "";
    d.editMode = et->default_column_edit_mode;
    d.alignment = et->default_column_alignment;
    d.cellWidth = et->default_cell_width;
    d.cellHeight = et->default_cell_height;
    d.automaticColumnAnnotation = et->automatic_column_annotation;
    d.automaticRowAnnotation = et->automatic_row_annotation;
    d.useOriginalData = et->use_original_data;
}

/* The per-column arrays are read when set and not kept: the caller's arrays may go. */
static void ApplyColumnData(Widget w, Widget old)
{
    XomEditTablePart* et = XomEditTable(w);
    XomEditTablePart* was = old ? XomEditTable(old) : NULL;
    EditTableModel& model = XomEditTableModelOf(w);
    int n = model.Columns();
    if (et->cell_width_data
        && (!was || was->cell_width_data != et->cell_width_data
            || was->number_of_columns != et->number_of_columns))
        model.SetColumnWidths(et->cell_width_data, n);
    if (et->column_annotation_data
        && (!was || was->column_annotation_data != et->column_annotation_data
            || was->number_of_columns != et->number_of_columns))
        model.SetColumnAnnotations(et->column_annotation_data, n);
    for (int c = 1; c <= n; c++) {
        bool type = et->column_data_type_data
            && (!was || was->column_data_type_data != et->column_data_type_data);
        bool format = et->column_data_format_data
            && (!was || was->column_data_format_data != et->column_data_format_data);
        bool mode = et->column_edit_mode_data
            && (!was || was->column_edit_mode_data != et->column_edit_mode_data);
        if (!type && !format && !mode)
            break;
        model.DefineColumnFormat(
            c, mode ? et->column_edit_mode_data[c - 1] : model.ColumnEditMode(c),
            model.ColumnAlignment(c),
            model.ColumnWidth(c) == XomSIZE_UNSET ? -1 : model.ColumnWidth(c),
            type ? et->column_data_type_data[c - 1] : model.ColumnType(c),
            format ? et->column_data_format_data[c - 1] : model.ColumnFormat(c));
    }
    /* The arrays are not ours to keep. */
    et->cell_width_data = NULL;
    et->column_annotation_data = NULL;
    et->column_data_type_data = NULL;
    et->column_data_format_data = NULL;
    et->column_edit_mode_data = NULL;
}

static void CopyStrings(XomEditTablePart* et)
{
    et->reference_char = XtNewString(et->reference_char ? et->reference_char : "W");
    et->default_column_data_format = XtNewString(et->default_column_data_format);
    et->table_font = XtNewString(et->table_font);
    et->font_table = XtNewString(et->font_table);
    et->column_annotation_font = XtNewString(et->column_annotation_font);
    et->row_annotation_font = XtNewString(et->row_annotation_font);
}

static void Initialize(Widget, Widget created, ArgList, Cardinal*)
{
    XomEditTablePart* et = XomEditTable(created);
    et->state = new XomEditTableState(created);
    CopyStrings(et);
    et->number_of_columns = XomMax(et->number_of_columns, 0);
    et->number_of_rows = XomMax(et->number_of_rows, 0);
    ApplyDefaults(created);
    EditTableModel& model = XomEditTableModelOf(created);
    model.SetColumnCount(et->number_of_columns);
    model.SetRowCount(et->number_of_rows);
    ApplyColumnData(created, NULL);
    _XomEditTableLoadFonts(created);
    _XomEditTableLayout(created);
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(created);
    if (created->core.width == 0)
        created->core.width =
            (Dimension)XomMin(g.cellLeft + g.frozenWidth + g.contentWidth + 2, 800);
    if (created->core.height == 0)
        created->core.height = (Dimension)XomMin(g.cellTop + g.contentHeight + 2, 600);
}

static void Destroy(Widget w)
{
    XomEditTablePart* et = XomEditTable(w);
    delete et->state;
    et->state = NULL;
    XtFree(et->reference_char);
    XtFree(et->default_column_data_format);
    XtFree(et->table_font);
    XtFree(et->font_table);
    XtFree(et->column_annotation_font);
    XtFree(et->row_annotation_font);
}

static void Resize(Widget w)
{
    XomEditTable(w)->state->layoutValid = false;
    (*xomEditObjectClassRec.core_class.resize)(w);
}

/* Replaces a copied string resource that changed, freeing the old copy. */
static bool UpdateString(String* now, String was)
{
    if (*now == was)
        return false;
    bool changed = !*now || !was || strcmp(*now, was) != 0;
    *now = XtNewString(*now);
    XtFree(was);
    return changed;
}

static Boolean SetValues(Widget old, Widget, Widget updated, ArgList, Cardinal*)
{
    XomEditTablePart* was = XomEditTable(old);
    XomEditTablePart* now = XomEditTable(updated);
    EditTableModel& model = XomEditTableModelOf(updated);
    bool fonts = false;
    fonts |= UpdateString(&now->table_font, was->table_font);
    fonts |= UpdateString(&now->font_table, was->font_table);
    fonts |= UpdateString(&now->column_annotation_font, was->column_annotation_font);
    fonts |= UpdateString(&now->row_annotation_font, was->row_annotation_font);
    fonts |= UpdateString(&now->reference_char, was->reference_char);
    UpdateString(&now->default_column_data_format, was->default_column_data_format);
    ApplyDefaults(updated);
    now->number_of_columns = XomMax(now->number_of_columns, 0);
    now->number_of_rows = XomMax(now->number_of_rows, 0);
    if (now->number_of_columns != model.Columns())
        model.SetColumnCount(now->number_of_columns);
    if (now->number_of_rows != model.Rows())
        model.SetRowCount(now->number_of_rows);
    ApplyColumnData(updated, old);
    if (fonts)
        _XomEditTableLoadFonts(updated);
    now->state->layoutValid = false;
    bool unfrozen = was->freeze_update && !now->freeze_update;
    if (now->freeze_update)
        return False;
    if (unfrozen)
        return True;
    /* Anything else that changed shows at the next exposure. */
    return memcmp(was, now, sizeof *now) != 0 || fonts;
}

/* The table would like to show all of its cells; the parent decides. */
static XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry*, XtWidgetGeometry* reply)
{
    _XomEditTableLayout(w);
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    reply->request_mode = CWWidth | CWHeight;
    reply->width = (Dimension)XomMin(g.cellLeft + g.frozenWidth + g.contentWidth + 2, 32000);
    reply->height = (Dimension)XomMin(g.cellTop + g.contentHeight + 2, 32000);
    return XtGeometryAlmost;
}

/* Cell widgets place themselves where the table puts them. */
static XtGeometryResult GeometryManager(Widget, XtWidgetGeometry*, XtWidgetGeometry*)
{
    return XtGeometryYes;
}

static void ConstraintInitialize(Widget, Widget child, ArgList, Cardinal*)
{
    _XomEditTableRegisterCellWidget(child);
}

static void ConstraintDestroy(Widget child)
{
    _XomEditTableUnregisterCellWidget(child);
}

/* ---- the model's hooks ---- */

void XomEditTableHooks::Warn(const std::string& text)
{
    XomWarning(w, "XomEditTable", "XomEditTableWarning", text.c_str());
}

static bool CallRowColumn(Widget w, const char* list, int reason, XEvent* event, int column,
                          int row, int columns, int rows)
{
    XomEditTableRowColumnCallbackStruct data = {reason, event, column, row, columns, rows, True};
    XtCallCallbacks(w, (String)list, &data);
    return data.doit;
}

bool XomEditTableHooks::RowsDeleting(int first, int count)
{
    return CallRowColumn(w, XomNrowCallback, XomCR_ROW_DELETE, event, 0, first, 0, count);
}

bool XomEditTableHooks::ColumnsDeleting(int first, int count)
{
    return CallRowColumn(w, XomNcolumnCallback, XomCR_COLUMN_DELETE, event, first, 0, count, 0);
}

void XomEditTableHooks::RowsInserted(int first, int count)
{
    CallRowColumn(w, XomNrowCallback, XomCR_ROW_INSERT, event, 0, first, 0, count);
}

void XomEditTableHooks::ColumnsInserted(int first, int count)
{
    CallRowColumn(w, XomNcolumnCallback, XomCR_COLUMN_INSERT, event, first, 0, count, 0);
}

bool XomEditTableHooks::FormatPointer(int column, int row, const void* pointer, std::string* text)
{
    XomEditTableFormatCellCallbackStruct data = {0, event, column, row, (XtPointer)pointer, NULL};
    XtCallCallbacks(w, (String)XomNformatCellCallback, &data);
    if (!data.text)
        return false;
    *text = data.text;
    return true;
}

bool XomEditTableHooks::CellSource(int column, int row, const char** text, unsigned long* pixmap,
                                   unsigned long* background)
{
    XomEditTablePart* et = XomEditTable(w);
    if (!et->cell_source)
        return false;
    XomEditTableCellContent content = {NULL, None, False, 0};
    et->cell_source(w, et->cell_source_data, column, row, &content);
    *text = content.text && *content.text ? content.text : NULL;
    *pixmap = content.pixmap;
    *background = content.has_background ? content.background : XomNO_PIXEL;
    return true;
}
