/* Private definitions of XomEditTable. The table's files share this record: EditTable.cpp
 * (resources and class methods), EditTableLayout.cpp (sizes and positions), EditTableDraw.cpp
 * (painting through the canvas), EditTableActions.cpp (actions and translations),
 * EditTableFunctions.cpp (public functions) and EditTableCellWidget.cpp (cell widgets). */
#ifndef XOM_EDIT_TABLE_P_H
#define XOM_EDIT_TABLE_P_H

#include <map>
#include <string>
#include <vector>

#include "toolkit/EditObjectP.h"
#include "toolkit/EditTable.h"
#include "toolkit/EditTableModel.h"

typedef struct {
    XtPointer extension;
} XomEditTableClassPart;

typedef struct _XomEditTableClassRec {
    CoreClassPart core_class;
    CompositeClassPart composite_class;
    ConstraintClassPart constraint_class;
    XmManagerClassPart manager_class;
    XomCompBaseClassPart comp_base_class;
    XomEditObjectClassPart edit_object_class;
    XomEditTableClassPart edit_table_class;
} XomEditTableClassRec;

extern XomEditTableClassRec xomEditTableClassRec;

struct XomEditTableState;

typedef struct {
    /* resources */
    int number_of_columns;
    int number_of_rows;
    int default_cell_height;        /* in cell_size_unit; XomSIZE_UNSET fits the font */
    int default_cell_width;         /* XomSIZE_UNSET fits the contents */
    int cell_size_unit;             /* CellSizeUnit */
    String reference_char;          /* the character widths are counted in */
    int* cell_width_data;           /* per column, read when set */
    String* column_annotation_data; /* per column, read when set */
    int* column_data_type_data;
    String* column_data_format_data;
    int* column_edit_mode_data;
    int default_column_data_type; /* DataType */
    String default_column_data_format;
    int default_column_edit_mode; /* ColumnEditMode */
    int default_column_alignment; /* ColumnAlignment */
    Boolean automatic_column_annotation;
    Boolean automatic_row_annotation;
    int cell_pointer_border_thickness; /* 0 draws no cell pointer */
    Pixel cell_pointer_color;
    Pixel cell_highlight_color; /* selected cells */
    int cell_highlight_thickness;
    int grid_line_style; /* GridLineStyle */
    int grid_line_width; /* 0 draws none */
    Pixel grid_line_foreground;
    Pixel grid_line_background;
    int grid_line_highlight_thickness;
    Pixel grid_line_highlight_color;
    int horizontal_cell_margin;
    int vertical_cell_margin;
    Pixel table_foreground;
    String table_font;
    String font_table; /* font names apart by tabs */
    String column_annotation_font;
    String row_annotation_font;
    int frozen_column_placement; /* FrozenPlacement: left or right */
    Boolean freeze_update;
    Boolean use_original_data;
    XomEditTableCellSourceProc cell_source; /* the owner's cells, or none */
    XtPointer cell_source_data;             /* its closure */
    int sort_indicator_column;              /* the heading with the arrow; 0 none */
    Boolean sort_indicator_descending;      /* the arrow points down */
    XtCallbackList traverse_cell_callback;
    XtCallbackList cell_widget_display_callback;
    XtCallbackList row_callback;
    XtCallbackList column_callback;
    XtCallbackList select_cell_callback;
    XtCallbackList format_cell_callback;
    XtCallbackList validate_value_callback;
    XtCallbackList check_edit_mode_callback;
    XtCallbackList double_click_callback;
    XtCallbackList edit_annotation_callback;
    XtCallbackList heading_callback;

    /* private state */
    XomEditTableState* state; /* model, layout, fonts, selection drag */
} XomEditTablePart;

typedef struct _XomEditTableRec {
    CorePart core;
    CompositePart composite;
    ConstraintPart constraint;
    XmManagerPart manager;
    XomCompBasePart comp_base;
    XomEditObjectPart edit_object;
    XomEditTablePart edit_table;
} XomEditTableRec;

#define XomEditTable(w) (&((XomEditTableWidget)(w))->edit_table)

/* Constraint record of a cell widget. */
typedef struct {
    /* resources */
    int* cell_widget_range; /* first row, rows, first column, columns */
    Boolean cell_widget_override_translations;
    Boolean cell_widget_set_resources;
} XomEditTableConstraintPart;

typedef struct _XomEditTableConstraintRec {
    XmManagerConstraintPart manager;
    XomEditTableConstraintPart edit_table;
} XomEditTableConstraintRec;

/* One registered cell widget and the cells it serves. */
struct XomEditTableCellWidget {
    Widget widget;
    int row, rowCount, column, columnCount; /* counts resolved: at least 1 */
};

/* Where things are, in window pixels, after the last layout. */
struct XomEditTableGeometry {
    int cellLeft, cellTop;        /* the top-left corner of the cell area */
    int viewWidth, viewHeight;    /* the part of the cell area the window shows */
    int frozenWidth;              /* frozen columns, at the left or right of the view */
    int scrollLeft;               /* where the scrolling columns start */
    int scrollWidth;              /* the window width they may use */
    int rowHeadingWidth;          /* 0 without row headings */
    int columnHeadingHeight;      /* 0 without column headings */
    int rowHeight;                /* every row's pixels, grid included */
    std::vector<int> columnWidth; /* per column, pixels; 0 when hidden */
    std::vector<int> columnX;     /* per unfrozen column: content x; per frozen: window x */
    std::vector<int> rowY;        /* content y of each row; empty while none is hidden */
    int contentWidth, contentHeight;
};

/* The model's hooks: warnings and callbacks of the widget. */
class XomEditTableHooks : public EditTableHooks {
public:
    explicit XomEditTableHooks(Widget table) : w(table) {}
    void Warn(const std::string& text) override;
    bool RowsDeleting(int first, int count) override;
    bool ColumnsDeleting(int first, int count) override;
    void RowsInserted(int first, int count) override;
    void ColumnsInserted(int first, int count) override;
    bool FormatPointer(int column, int row, const void* pointer, std::string* text) override;
    bool CellSource(int column, int row, const char** text, unsigned long* pixmap,
                    unsigned long* background) override;
    XEvent* event = nullptr; /* the event of the action in progress */

private:
    Widget w;
};

struct XomEditTableState {
    explicit XomEditTableState(Widget w) : hooks(w), model(&hooks) {}
    XomEditTableHooks hooks;
    EditTableModel model;
    XomEditTableGeometry geometry;
    bool layoutValid = false;
    int reportedWidth = -1, reportedHeight = -1, reportedStep = -1; /* to a scroll parent */
    XFontStruct* tableFont = nullptr;
    XFontStruct* columnFont = nullptr;
    XFontStruct* rowFont = nullptr;
    std::vector<XFontStruct*> fontTable;
    std::vector<std::string> fontTableNames;
    std::vector<XomEditTableCellWidget> cellWidgets;
    struct PixmapSize {
        int width, height, depth;
    };
    std::map<Pixmap, PixmapSize> pixmapSizes; /* asked of the server once per pixmap */
    Widget editedWidget = nullptr;            /* the cell widget shown while its cell is edited */
    /* the selection being dragged */
    bool selecting = false;
    int selectMode = 0; /* XomSELECT_BLOCK, _ROWS or _COLUMNS */
    bool selectMultiple = false;
    int anchorColumn = 0, anchorRow = 0;
    std::vector<EditTableBlock> keptSelections; /* of a multiple selection */
};

#define XomEditTableModelOf(w) (XomEditTable(w)->state->model)

/* ---- shared among the table's files ---- */

/* EditTableLayout.cpp */
void _XomEditTableLoadFonts(Widget w);
void _XomEditTableLayout(Widget w);
const XomEditTableGeometry& _XomEditTableGeometryOf(Widget w);
/* The largest content position in pixels: a very tall or wide table is held there. */
enum { XOM_CONTENT_MAX = 1 << 30 };
/* The top of a row in the content, held at XOM_CONTENT_MAX. */
int _XomEditTableRowTop(const XomEditTableGeometry& g, int row);
/* The scroll origin, kept inside the content. */
void _XomEditTableOrigin(Widget w, int* x, int* y);
/* The window rectangle of a cell (may lie outside the window); False when hidden. */
bool _XomEditTableCellBox(Widget w, int column, int row, XomArea* box);
/* The column whose heading is under a window point; false elsewhere. */
bool _XomEditTableHeadingAt(Widget w, int x, int y, int* column);
/* The cell under a window point; false outside the cells. */
bool _XomEditTableCellAt(Widget w, int x, int y, int* column, int* row);
/* Scrolls: through the scroll container when there is one, so its bars follow. */
void _XomEditTableSetOrigin(Widget w, int x, int y);
/* Scrolls so that the cell is in view. */
void _XomEditTableShowCell(Widget w, int column, int row);
XFontStruct* _XomEditTableCellFont(Widget w, int column);

/* EditTableDraw.cpp */
void _XomEditTableDraw(Widget w, XomCanvas canvas, const XomArea* area);
/* Repaints a block of cells now (unless frozen or unrealized); column or row 0: all. */
void _XomEditTableRepaintCells(Widget w, int column, int columnCount, int row, int rowCount);
void _XomEditTableRepaintAll(Widget w);
/* Repaints a rectangle of the window now. */
void _XomEditTableRepaintWindow(Widget w, XomArea area);

/* EditTableActions.cpp */
extern XtActionsRec _xomEditTableActions[];
extern Cardinal _xomEditTableActionCount;
extern const char _xomEditTableTranslations[];
void _XomEditTableMovePointer(Widget w, XEvent* event, int reason, int column, int row);

/* EditTableCellWidget.cpp */
void _XomEditTableRegisterCellWidget(Widget child);
void _XomEditTableUnregisterCellWidget(Widget child);
const XomEditTableCellWidget* _XomEditTableFindCellWidget(Widget w, int column, int row);
void _XomEditTablePaintCellWidget(Widget w, const XomEditTableCellWidget* cell, XomCanvas canvas,
                                  const XomArea* box, int column, int row);
void _XomEditTableEditCellWidget(Widget w, XEvent* event, int column, int row);
/* Ends an edit whose cell the pointer has left; hands a button release to the widget. */
void _XomEditTableEndCellEdit(Widget w, XEvent* event);
/* Ends the edit: the widget goes back off-screen. */
void _XomEditTableStopCellEdit(Widget w);

/* EditTableFunctions.cpp: the class check every function makes first, and the callbacks of
 * a selection of cells, rows (XomSELECT_ROWS) or columns (XomSELECT_COLUMNS). */
bool _XomEditTableCheck(Widget w, const char* function);
void _XomEditTableCallSelection(Widget w, XEvent* event, const EditTableBlock& block, int kind);

#endif
