/* XomEditTable: a spreadsheet-like grid of typed cells, a subclass of the editor area. It has
 * column and row headings, per-column type, format, alignment, width and edit mode, per-cell
 * colours, pixmaps and cell widgets, a cell pointer, block, row and column selections,
 * hidden and frozen columns and rows, and deferred repainting.
 *
 * The table draws only through the canvas and only what is in view. Its scroll origin
 * (XomCompBaseSetOrigin) is the content pixel of the scrolling cells shown at the top-left
 * corner of the cell area: the widget stays the size of its view however many rows it has,
 * and headings and frozen columns stay in place while the cells scroll. Inside a scroll
 * container the container owns the frame and outer margins, so the table keeps only the
 * margin its title needs.
 *
 * Columns are numbered 1 to numberOfColumns and rows 1 to numberOfRows; functions take the
 * table first and columns before rows. In the fill functions column 0 is the row headings.
 *
 * Resources (besides XomEditObject's):
 * Name                         Class                      Type              Default
 * numberOfColumns              NumberOfColumns            int               16
 * numberOfRows                 NumberOfRows               int               16
 * defaultCellHeight            DefaultCellHeight          int               unset (2147483647)
 * defaultCellWidth             DefaultCellWidth           int               unset (2147483647)
 * cellSizeUnit                 CellSizeUnit               CellSizeUnit      unit_character
 * referenceChar                ReferenceChar              String            "W"
 * cellWidthData                CellWidthData              int*              NULL
 * columnAnnotationData         ColumnAnnotationData       String*           NULL
 * columnDataTypeData           ColumnDataTypeData         int*              NULL
 * columnDataFormatData         ColumnDataFormatData       String*           NULL
 * columnEditModeData           ColumnEditModeData         int*              NULL
 * defaultColumnDataType        DefaultColumnDataType      DataType          type_string
 * defaultColumnDataFormat      DefaultColumnDataFormat    String            NULL
 * defaultColumnEditMode        DefaultColumnEditMode      ColumnEditMode    column_editable
 * defaultColumnAlignment       DefaultColumnAlignment     ColumnAlignment   alignment_beginning
 * automaticColumnAnnotation    AutomaticAnnotation        Boolean           True
 * automaticRowAnnotation       AutomaticAnnotation        Boolean           True
 * cellPointerBorderThickness   CellPointerBorderThickness int               3
 * cellPointerColor             CellPointerColor           Pixel             red
 * cellHighlightColor           CellHighlightColor         Pixel             red
 * cellHighlightThickness       CellHighlightThickness     int               unset (2147483647)
 * gridLineStyle                GridLineStyle              GridLineStyle     grid_line_solid
 * gridLineWidth                GridLineWidth              int               1
 * gridLineForeground           GridLineForeground         Pixel             black
 * gridLineBackground           GridLineBackground         Pixel             black
 * gridLineHighlightThickness   GridLineHighlightThickness int               1
 * gridLineHighlightColor       GridLineHighlightColor     Pixel             red
 * horizontalCellMargin         CellMargin                 int               3
 * verticalCellMargin           CellMargin                 int               3
 * tableForeground              TableForeground            Pixel             black
 * tableFont                    TableFont                  String            NULL (fixed)
 * fontTable                    FontTable                  String            NULL (font names
 *                                                                           apart by tabs)
 * columnAnnotationFont         AnnotationFont             String            NULL (tableFont)
 * rowAnnotationFont            AnnotationFont             String            NULL (tableFont)
 * frozenColumnPlacement        FrozenPlacement            FrozenPlacement   placement_left
 * freezeUpdate                 FreezeUpdate               Boolean           False
 * useOriginalData              UseOriginalData            Boolean           False
 * cellSource                   CellSource                 Function          NULL (stored cells)
 * cellSourceData               CellSourceData             Pointer           NULL
 * sortIndicatorColumn          SortIndicatorColumn        int               0 (no arrow)
 * sortIndicatorDescending      SortIndicatorDescending    Boolean           False (points up)
 * traverseCellCallback, cellWidgetDisplayCallback, rowCallback, columnCallback,
 * selectCellCallback, formatCellCallback, validateValueCallback, checkEditModeCallback,
 * doubleClickCallback, editAnnotationCallback, headingCallback
 *                              Callback                   XtCallbackList    NULL
 *
 * Constraint resources of a cell widget (a child of the table):
 * cellWidgetRange                 CellWidgetRange     int*     NULL (first row, row count,
 *                                                              first column, column count;
 *                                                              a count of 0: to the end)
 * cellWidgetOverrideTranslations  Boolean             Boolean  True
 * cellWidgetSetResources          Boolean             Boolean  True
 */
#ifndef XOM_EDIT_TABLE_H
#define XOM_EDIT_TABLE_H

#include <X11/Intrinsic.h>

#include "toolkit/EditObject.h"

extern WidgetClass xomEditTableWidgetClass;

typedef struct _XomEditTableClassRec* XomEditTableWidgetClass;
typedef struct _XomEditTableRec* XomEditTableWidget;

#define XomNnumberOfColumns "numberOfColumns"
#define XomNnumberOfRows "numberOfRows"
#define XomNdefaultCellHeight "defaultCellHeight"
#define XomNdefaultCellWidth "defaultCellWidth"
#define XomNcellSizeUnit "cellSizeUnit"
#define XomNreferenceChar "referenceChar"
#define XomNcellWidthData "cellWidthData"
#define XomNcolumnAnnotationData "columnAnnotationData"
#define XomNcolumnDataTypeData "columnDataTypeData"
#define XomNcolumnDataFormatData "columnDataFormatData"
#define XomNcolumnEditModeData "columnEditModeData"
#define XomNdefaultColumnDataType "defaultColumnDataType"
#define XomNdefaultColumnDataFormat "defaultColumnDataFormat"
#define XomNdefaultColumnEditMode "defaultColumnEditMode"
#define XomNdefaultColumnAlignment "defaultColumnAlignment"
#define XomNautomaticColumnAnnotation "automaticColumnAnnotation"
#define XomNautomaticRowAnnotation "automaticRowAnnotation"
#define XomNcellPointerBorderThickness "cellPointerBorderThickness"
#define XomNcellPointerColor "cellPointerColor"
#define XomNcellHighlightColor "cellHighlightColor"
#define XomNcellHighlightThickness "cellHighlightThickness"
#define XomNgridLineStyle "gridLineStyle"
#define XomNgridLineWidth "gridLineWidth"
#define XomNgridLineForeground "gridLineForeground"
#define XomNgridLineBackground "gridLineBackground"
#define XomNgridLineHighlightThickness "gridLineHighlightThickness"
#define XomNgridLineHighlightColor "gridLineHighlightColor"
#define XomNhorizontalCellMargin "horizontalCellMargin"
#define XomNverticalCellMargin "verticalCellMargin"
#define XomNtableForeground "tableForeground"
#define XomNtableFont "tableFont"
#define XomNfontTable "fontTable"
#define XomNcolumnAnnotationFont "columnAnnotationFont"
#define XomNrowAnnotationFont "rowAnnotationFont"
#define XomNfrozenColumnPlacement "frozenColumnPlacement"
#define XomNfreezeUpdate "freezeUpdate"
#define XomNuseOriginalData "useOriginalData"
#define XomNcellSource "cellSource"
#define XomNcellSourceData "cellSourceData"
#define XomNsortIndicatorColumn "sortIndicatorColumn"
#define XomNsortIndicatorDescending "sortIndicatorDescending"
#define XomNheadingCallback "headingCallback"
#define XomNtraverseCellCallback "traverseCellCallback"
#define XomNcellWidgetDisplayCallback "cellWidgetDisplayCallback"
#define XomNrowCallback "rowCallback"
#define XomNcolumnCallback "columnCallback"
#define XomNselectCellCallback "selectCellCallback"
#define XomNformatCellCallback "formatCellCallback"
#define XomNvalidateValueCallback "validateValueCallback"
#define XomNcheckEditModeCallback "checkEditModeCallback"
#define XomNdoubleClickCallback "doubleClickCallback"
#define XomNeditAnnotationCallback "editAnnotationCallback"
#define XomNcellWidgetRange "cellWidgetRange"
#define XomNcellWidgetOverrideTranslations "cellWidgetOverrideTranslations"
#define XomNcellWidgetSetResources "cellWidgetSetResources"

/* Selection modes of XomEditTableSetSelection; add XomSELECT_QUIETLY for no callbacks. */
#include "toolkit/EditTableModel.h"

#define XomIsEditTable(w) ((w) && XtIsSubclass((w), xomEditTableWidgetClass))

/* ---- callback records ---- */

/* "traverseCellCallback": the callback may change row and column to send the pointer
 * elsewhere. */
typedef struct {
    int reason; /* 8290 to 8295; 8293 a move by the pointer */
    XEvent* event;
    int previous_row, previous_column;
    int row, column;
    int num_rows, num_columns;
} XomEditTableTraverseCallbackStruct;

/* A cell's look, as given to "cellWidgetDisplayCallback". */
typedef struct {
    String text;
    XFontStruct* font;
    Pixel background, foreground;
    int alignment; /* 0 beginning, 1 centre, 2 end */
    Boolean editable;
} XomEditTableCellAttributes;

typedef struct {
    int reason; /* 8296 painted, 8264 measured */
    XEvent* event;
    int row, column;
    Widget widget;
    XomEditTableCellAttributes attributes;
} XomEditTableCellWidgetCallbackStruct;

/* "rowCallback", "columnCallback" and "selectCellCallback"; clearing doit vetoes a deletion. */
typedef struct {
    int reason;
    XEvent* event;
    int column, row;
    int column_count, row_count;
    Boolean doit;
} XomEditTableRowColumnCallbackStruct;

/* "headingCallback" (reason XomCR_HEADING_SELECT) gets an XomEditTableRowColumnCallbackStruct
 * whose column is the heading's column (row 0, counts 1 and 0): the action
 * EditTableSelectHeading() calls it for a button press on a column heading. The heading of
 * "sortIndicatorColumn" shows a small arrow, pointing down when "sortIndicatorDescending". */

/* "formatCellCallback": the text of a type_pointer cell. The callback sets text (the table
 * copies it at once) or leaves it NULL for none. */
typedef struct {
    int reason;
    XEvent* event;
    int column, row;
    XtPointer data;
    String text;
} XomEditTableFormatCellCallbackStruct;

/* "cellSource": a table whose cells are its owner's. With a source set, the text, pixmap and
 * background of each cell are asked of it as the cell is drawn, printed or read (rows and
 * columns from 1), instead of being stored in the table: filling a table of many rows then
 * costs only what its visible rows cost. The source sets text (kept by the owner until the
 * next redraw; NULL or "" for none), pixmap (None for none) and, with has_background,
 * background (else the cell's stored background, if any, is used); all start empty. Fonts,
 * selection and the row count stay the table's own. */
typedef struct {
    const char* text;
    Pixmap pixmap;
    Boolean has_background;
    Pixel background;
} XomEditTableCellContent;
typedef void (*XomEditTableCellSourceProc)(Widget w, XtPointer closure, int column, int row,
                                           XomEditTableCellContent* content);

/* ---- functions ---- */

Widget XomCreateEditTable(Widget parent, const char* name, ArgList args, Cardinal count);

Boolean XomEditTableDefineColumnFormat(Widget w, int column, int editMode, int alignment, int width,
                                       int dataType, const char* format);
Boolean XomEditTableFillCell(Widget w, int column, int row, XtPointer dataAddress);
Boolean XomEditTableFillCellNoUpdate(Widget w, int column, int row, XtPointer dataAddress);
Boolean XomEditTableFillColumnData(Widget w, int column, XtPointer array);
XtPointer XomEditTableGetCellData(Widget w, int column, int row);
Boolean XomEditTableInsertRows(Widget w, int position, int count);
Boolean XomEditTableDeleteRows(Widget w, int first, int count);
Boolean XomEditTableChangeColumnVisibility(Widget w, int firstColumn, int lastColumn,
                                           Boolean visible);
Boolean XomEditTableChangeRowVisibility(Widget w, int firstRow, int lastRow, Boolean visible);
Boolean XomEditTableFreezeColumn(Widget w, int column);
Boolean XomEditTableReleaseColumn(Widget w, int column);
/* A new array (free it with XtFree) of the frozen columns in rising order, or NULL. */
int* XomEditTableGetFrozenColumns(Widget w, int* count);
void XomEditTableFreezeUpdate(Widget w, Boolean freeze);
void XomEditTableUpdateDataDisplay(Widget w, int column, int row);
Boolean XomEditTableSetCellBackground(Widget w, int column, int columnCount, int row, int rowCount,
                                      Pixel pixel);
Boolean XomEditTableSetCellForeground(Widget w, int column, int columnCount, int row, int rowCount,
                                      Pixel pixel);
Boolean XomEditTableSetCellPixmap(Widget w, int column, int columnCount, int row, int rowCount,
                                  Pixmap pixmap);
Boolean XomEditTableSetSelection(Widget w, int column, int columnCount, int row, int rowCount,
                                 int mode);
void XomEditTableClearAllSelections(Widget w);
/* A new array (free it with XtFree) of the rows that are selected whole, in rising order, or
 * NULL with count 0. */
int* XomEditTableGetSelectedRows(Widget w, int* count);
Boolean XomEditTableGetCellPointerPosition(Widget w, int* column, int* row);
Widget XomEditTableGetCellWidget(Widget w, int column, int row);

/* For a scroll container: the size in pixels of the scrolling cells (all visible rows, the
 * unfrozen visible columns) and of the part of the widget that shows them. */
void XomEditTableGetContentSize(Widget w, int* width, int* height, int* viewWidth, int* viewHeight);
/* The window rectangle of a cell; False when it is hidden or out of view. */
Boolean XomEditTableGetCellRectangle(Widget w, int column, int row, XRectangle* box);

#endif
