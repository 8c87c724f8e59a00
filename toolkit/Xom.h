/* What every widget of the toolkit shares: callback reasons, the values of its enumerated
 * resources, the callback records and the toolkit's own message dialog. */
#ifndef XOM_H
#define XOM_H

#include <stdio.h>

#include <X11/Intrinsic.h>

#include "toolkit/XomTableTypes.h"

/* ---- callback reasons ---- */
enum {
    XomCR_DATA_APPEND = 8215,
    XomCR_DATA_GROUP_REMOVE = 8216,
    XomCR_DATA_GROUP_ADD = 8217,
    XomCR_DATA_REPLACE = 8219,
    XomCR_DATA_SHIFT = 8220,
    XomCR_COLUMN_DELETE = 8224,
    XomCR_ROW_DELETE = 8226,
    XomCR_EXPOSE = 8239,
    XomCR_COLUMN_INSERT = 8241,
    XomCR_ROW_INSERT = 8243,
    XomCR_LOCATOR = 8244,
    XomCR_OBJECT_SELECT = 8250,
    XomCR_OBJECT_DESELECT = 8251,
    XomCR_HARDCOPY = 8262,
    XomCR_CELL_WIDGET_MEASURE = 8264,
    XomCR_SELECT_CELLS = 8275,
    XomCR_SELECT_COLUMNS = 8276,
    XomCR_SELECT_ROWS = 8279,
    XomCR_TRAVERSE_FIRST = 8290, /* 8290 to 8295: one per kind of cell pointer move */
    XomCR_TRAVERSE_POINTER = 8293,
    XomCR_TRAVERSE_LAST = 8295,
    XomCR_CELL_WIDGET_DISPLAY = 8296,
    XomCR_HEADING_SELECT = 8297 /* a column heading clicked */
};

/* ---- enumerated resource values (names as resource files write them) ---- */

/* AnnotationPlacement: a bit set; 0 shows nothing on that side. */
enum {
    XomPLACEMENT_TOP = 1,
    XomPLACEMENT_BOTTOM = 2,
    XomPLACEMENT_LEFT = 4,
    XomPLACEMENT_RIGHT = 8,
    XomPLACEMENT_INSIDE = 16
};

/* AutoMarginAdjust: which margins are fitted to the title and annotations. */
enum {
    XomADJUST_NONE = 0,
    XomADJUST_LEFT = 1,
    XomADJUST_RIGHT = 2,
    XomADJUST_LEFT_RIGHT = 3,
    XomADJUST_TOP = 4,
    XomADJUST_BOTTOM = 8,
    XomADJUST_TOP_BOTTOM = 12,
    XomADJUST_ALL = 15
};

/* TextAlignment of text objects. */
enum {
    XomHALIGN_LEFT = 1,
    XomHALIGN_CENTER = 2,
    XomHALIGN_RIGHT = 4,
    XomVALIGN_TOP = 8,
    XomVALIGN_CENTER = 16,
    XomVALIGN_BOTTOM = 32
};

/* LineStyle. */
enum {
    XomLINE_NONE = 0,
    XomLINE_SOLID = 1,
    XomLINE_ON_OFF_DASH = 2,
    XomLINE_DOUBLE_DASH = 3,
    XomSHADOW_ETCHED_IN = 5,
    XomSHADOW_ETCHED_OUT = 6,
    XomSHADOW_IN = 7,
    XomSHADOW_OUT = 8
};

/* FillStyle. */
enum { XomFILL_SOLID = 0, XomFILL_STIPPLED = 2, XomFILL_OPAQUE_STIPPLED = 3, XomFILL_NONE = 4 };

/* The table's enumerations and ColumnAlignment (also the alignment of titles and of
 * text in a box) live without X in toolkit/XomTableTypes.h. */

/* Chart enumerations. */
enum {
    XomCHART_TYPE_BAR = 0,
    XomCHART_TYPE_PIE = 1,
    XomCHART_TYPE_BAR_LINE = 2,
    XomCHART_TYPE_SURFACE_3D = 3,
    XomCHART_TYPE_HIGH_LOW = 4,
    XomCHART_TYPE_HISTOGRAM = 5,
    XomCHART_TYPE_AREA = 6,
    XomCHART_TYPE_LINE = 7,
    XomCHART_TYPE_SCATTERED = 8,
    XomCHART_TYPE_BAR_3D = 9,
    XomCHART_TYPE_CELL_ARRAY = 10,
    XomCHART_TYPE_COMBINATION = 11
};
enum {
    XomSYMBOL_X = 0,
    XomSYMBOL_PLUS = 1,
    XomSYMBOL_SQUARE = 2,
    XomSYMBOL_CIRCLE = 3,
    XomSYMBOL_TRIANGLE = 4,
    XomSYMBOL_DIAMOND = 5,
    XomSYMBOL_FILLED_SQUARE = 6,
    XomSYMBOL_FILLED_CIRCLE = 7,
    XomSYMBOL_FILLED_TRIANGLE = 8,
    XomSYMBOL_FILLED_DIAMOND = 9
};

/* ---- representation names of the enumerated resources (see Converters.cpp) ---- */
#define XomRAnnotationPlacement "AnnotationPlacement"
#define XomRAutoMarginAdjust "AutoMarginAdjust"
#define XomRColumnAlignment "ColumnAlignment"
#define XomRTextAlignment "TextAlignment"
#define XomRLineStyle "LineStyle"
#define XomRFillStyle "FillStyle"
#define XomRDataType "DataType"
#define XomRColumnEditMode "ColumnEditMode"
#define XomRCellSizeUnit "CellSizeUnit"
#define XomRGridLineStyle "GridLineStyle"
#define XomRGridLineOrientation "GridLineOrientation"
#define XomRFrozenPlacement "FrozenPlacement"
#define XomRColumnOrientation "ColumnOrientation"
#define XomRSpanMode "SpanMode"
#define XomRChartType "ChartType"
#define XomRSymbolType "SymbolType"
#define XomRObjectEditMode "ObjectEditMode"
#define XomRCursorType "CursorType"
#define XomRHighlightMode "HighlightMode"
#define XomRScrollShadowType "ScrollShadowType"

/* Registers the converters of all the representations above (once per process; every
 * toolkit class does it in its class initialisation). */
void XomRegisterConverters(void);

/* ---- shared structs ---- */

/* A rectangle in pixels; coordinates may lie far beyond what an X window can show. */
typedef struct {
    int x, y;
    int width, height;
} XomArea;

typedef struct {
    int x, y;
} XomPoint;

/* Every callback record starts like this one. */
typedef struct {
    int reason;
    XEvent* event;
} XomAnyCallbackStruct;

/* "locatorCallback": the pointer in the area's user coordinates. */
typedef struct {
    int reason;
    XEvent* event;
    float x, y;
} XomLocatorCallbackStruct;

/* "exposeCallback", "resizeCallback" and "inputCallback" of a drawing widget. */
typedef struct {
    int reason;
    XEvent* event;
    Window window;
} XomDrawingCallbackStruct;

/* "objectSelectionCallback" and "objectDeselectionCallback". */
typedef struct {
    int reason;
    XEvent* event;
    Widget object;
} XomObjectCallbackStruct;

/* "hardcopyCallback": called before a drawing widget is printed. */
typedef struct {
    int reason;
    XEvent* event;
    int x, y; /* always 0 */
    float width, height;
    FILE* file;
} XomHardcopyCallbackStruct;

/* ---- the toolkit's own message dialog ---- */

/* Posts a modal information dialog titled "Message" near w with the text and one OK
 * button; OK destroys it. Returns the dialog (a Motif message box). */
Widget XomPostMessage(Widget w, const char* text);

#endif
