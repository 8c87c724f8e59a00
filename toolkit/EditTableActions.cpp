/* XomEditTable: actions and default translations: the cell pointer moved by keys and the
 * pointer, selections of cells, rows or columns by pressing and dragging, presses on column
 * headings told to the owner. Editing of cell
 * text, drag and drop, copy and paste are not offered: their actions do nothing. */
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/EditTableP.h"

const char _xomEditTableTranslations[] =
    "<EnterWindow>: ManagerEnter() EditTableEnterTable()\n"
    "<LeaveWindow>: ManagerLeave()\n"
    "<FocusIn>: ManagerFocusIn() EditTableEnterCell(FocusIn)\n"
    "<FocusOut>: ManagerFocusOut() EditTableFocusOut()\n"
    "Shift Ctrl<Key>Tab: PreviousTabGroup()\n"
    "Ctrl<Key>Tab: NextTabGroup()\n"
    "Shift<Key>Tab: EditTableEnterCell(Left) EditTableClearAllSelections()\n"
    "Shift<Key>Return: EditTableEnterCell(Up) EditTableClearAllSelections()\n"
    "<Key>Tab: EditTableEnterCell(Right) EditTableClearAllSelections()\n"
    "<Key>Return: EditTableEnterCell(Down) EditTableClearAllSelections()\n"
    "<Key>Left: EditTableEnterCell(Left) EditTableClearAllSelections()\n"
    "<Key>Up: EditTableEnterCell(Up) EditTableClearAllSelections()\n"
    "<Key>Right: EditTableEnterCell(Right) EditTableClearAllSelections()\n"
    "<Key>Down: EditTableEnterCell(Down) EditTableClearAllSelections()\n"
    "None<Btn1Down>: EditTableEnterCell(Pointer) EditTableStartSelect(single)\n"
    "<Btn2Down>: MotifDragStart()\n"
    "<Btn1Up>: EditTableEndSelect()\n"
    "<Key>KP_Enter: TextConfirmEdit()\n"
    "~Ctrl ~Meta ~Alt<Key>: EditTableEditCell()";

/* The traverse reasons, one per kind of move. */
enum {
    MOVE_LEFT = XomCR_TRAVERSE_FIRST, /* 8290 */
    MOVE_RIGHT = 8291,
    MOVE_UP = 8292,
    MOVE_POINTER = XomCR_TRAVERSE_POINTER, /* 8293 */
    MOVE_DOWN = 8294,
    MOVE_FOCUS = XomCR_TRAVERSE_LAST /* 8295 */
};

/* The table an action runs for: the widget, or the table of a cell widget. */
static Widget TableOf(Widget w)
{
    if (XomIsEditTable(w))
        return w;
    return w && XomIsEditTable(XtParent(w)) ? XtParent(w) : NULL;
}

/* The pointer position of an event in the table's window pixels. */
static bool EventPoint(Widget table, XEvent* event, int* x, int* y)
{
    if (!event)
        return false;
    switch (event->type) {
    case ButtonPress:
    case ButtonRelease:
        *x = event->xbutton.x, *y = event->xbutton.y;
        break;
    case MotionNotify:
        *x = event->xmotion.x, *y = event->xmotion.y;
        break;
    default:
        return false;
    }
    Widget source = XtWindowToWidget(event->xany.display, event->xany.window);
    if (source && source != table && XtParent(source) == table)
        *x += source->core.x, *y += source->core.y;
    return true;
}

static bool Usable(EditTableModel& model, int column, int row)
{
    return column >= 1 && column <= model.Columns() && row >= 1 && row <= model.Rows()
        && !model.ColumnHidden(column) && !model.ColumnFrozen(column) && !model.RowHidden(row);
}

void _XomEditTableMovePointer(Widget w, XEvent* event, int reason, int column, int row)
{
    XomEditTablePart* et = XomEditTable(w);
    EditTableModel& model = et->state->model;
    XomEditTableTraverseCallbackStruct data = {
        reason, event,  model.pointerRow, model.pointerColumn,
        row,    column, model.Rows(),     model.Columns()};
    XtCallCallbacks(w, (String)XomNtraverseCellCallback, &data);
    column = data.column, row = data.row;
    if (column < 1 || column > model.Columns() || row < 1 || row > model.Rows())
        return;
    int oldColumn = model.pointerColumn, oldRow = model.pointerRow;
    model.pointerColumn = column, model.pointerRow = row;
    model.FixPointerColumn();
    _XomEditTableShowCell(w, model.pointerColumn, model.pointerRow);
    _XomEditTableEndCellEdit(w, NULL);
    if (oldColumn && oldRow)
        _XomEditTableRepaintCells(w, oldColumn, 1, oldRow, 1);
    _XomEditTableRepaintCells(w, model.pointerColumn, 1, model.pointerRow, 1);
}

/* The next usable cell from column, row in a direction; the same cell when there is none. */
static void Step(EditTableModel& model, int dc, int dr, int* column, int* row)
{
    int c = *column, r = *row;
    for (;;) {
        c += dc, r += dr;
        if (c < 1 || c > model.Columns() || r < 1 || r > model.Rows())
            return;
        if (Usable(model, c, r)) {
            *column = c, *row = r;
            return;
        }
    }
}

static void EnterCell(Widget from, XEvent* event, String* params, Cardinal* count)
{
    Widget w = TableOf(from);
    if (!w || *count < 1)
        return;
    EditTableModel& model = XomEditTableModelOf(w);
    int column = model.pointerColumn, row = model.pointerRow;
    const char* how = params[0];
    int reason;
    if (strcmp(how, "Pointer") == 0) {
        int x, y;
        if (!EventPoint(w, event, &x, &y) || !_XomEditTableCellAt(w, x, y, &column, &row))
            return;
        reason = MOVE_POINTER;
    } else if (!column || !row) {
        /* No pointer yet: any move starts at the first usable cell. */
        column = row = 0;
        for (int c = 1; c <= model.Columns() && !column; c++)
            for (int r = 1; r <= model.Rows() && !column; r++)
                if (Usable(model, c, r))
                    column = c, row = r;
        if (!column || strcmp(how, "FocusIn") == 0)
            return;
        reason = MOVE_FOCUS;
    } else if (strcmp(how, "Left") == 0) {
        Step(model, -1, 0, &column, &row), reason = MOVE_LEFT;
    } else if (strcmp(how, "Right") == 0) {
        Step(model, 1, 0, &column, &row), reason = MOVE_RIGHT;
    } else if (strcmp(how, "Up") == 0) {
        Step(model, 0, -1, &column, &row), reason = MOVE_UP;
    } else if (strcmp(how, "Down") == 0) {
        Step(model, 0, 1, &column, &row), reason = MOVE_DOWN;
    } else {
        return;
    }
    _XomEditTableMovePointer(w, event, reason, column, row);
    if (reason == MOVE_POINTER
        && _XomEditTableFindCellWidget(w, model.pointerColumn, model.pointerRow)) {
        XomEditTableClearAllSelections(w);
        _XomEditTableEditCellWidget(w, event, model.pointerColumn, model.pointerRow);
    }
}

/* ---- selections ---- */

static EditTableBlock Span(Widget w, int mode, int c1, int r1, int c2, int r2)
{
    EditTableModel& model = XomEditTableModelOf(w);
    EditTableBlock b = {XomMin(c1, c2), abs(c1 - c2) + 1, XomMin(r1, r2), abs(r1 - r2) + 1};
    if (mode == XomSELECT_ROWS)
        b.column = 1, b.columnCount = model.Columns();
    if (mode == XomSELECT_COLUMNS)
        b.row = 1, b.rowCount = model.Rows();
    return b;
}

static void Show(Widget w, const std::vector<EditTableBlock>& blocks)
{
    for (const EditTableBlock& b : blocks)
        _XomEditTableRepaintCells(w, b.column, b.columnCount, b.row, b.rowCount);
}

static void StartSelect(Widget from, XEvent* event, String* params, Cardinal* count)
{
    Widget w = TableOf(from);
    if (!w)
        return;
    XomEditTableState* s = XomEditTable(w)->state;
    int x, y, column, row;
    if (!EventPoint(w, event, &x, &y) || !_XomEditTableCellAt(w, x, y, &column, &row))
        return;
    s->selectMode = XomSELECT_BLOCK;
    s->selectMultiple = false;
    /* Only the first letter of each parameter counts, in either case. */
    for (Cardinal i = 0; i < *count; i++) {
        switch (tolower((unsigned char)params[i][0])) {
        case 'r':
            s->selectMode = XomSELECT_ROWS;
            break;
        case 'c':
            s->selectMode = XomSELECT_COLUMNS;
            break;
        case 'm':
            s->selectMultiple = true;
            break;
        default:
            break;
        }
    }
    Show(w, s->model.ClearSelections());
    /* A multiple selection adds blocks while a modifier is held; a plain press starts anew. */
    bool adding = s->selectMultiple && (event->xbutton.state & (ShiftMask | ControlMask));
    if (!adding)
        s->keptSelections.clear();
    for (const EditTableBlock& b : s->keptSelections)
        s->model.AddSelection(b);
    s->anchorColumn = column, s->anchorRow = row;
    s->selecting = true;
    EditTableBlock block = Span(w, s->selectMode, column, row, column, row);
    s->model.AddSelection(block);
    Show(w, s->model.Selections());
}

static void ExtendSelect(Widget from, XEvent* event, String*, Cardinal*)
{
    Widget w = TableOf(from);
    if (!w)
        return;
    XomEditTableState* s = XomEditTable(w)->state;
    int x, y, column, row;
    if (!s->selecting || !EventPoint(w, event, &x, &y))
        return;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    /* Beyond the view the selection follows the nearest cell and the view scrolls. */
    y = XomMax(g.cellTop, XomMin(y, g.cellTop + g.viewHeight - 1));
    x = XomMax(g.cellLeft, XomMin(x, g.scrollLeft + g.scrollWidth - 1));
    if (!_XomEditTableCellAt(w, x, y, &column, &row))
        return;
    std::vector<EditTableBlock> old = s->model.ClearSelections();
    EditTableBlock now = Span(w, s->selectMode, s->anchorColumn, s->anchorRow, column, row);
    for (size_t i = 0; i + 1 < old.size(); i++)
        s->model.AddSelection(old[i]);
    s->model.AddSelection(now);
    if (!old.empty())
        Show(w, {old.back()});
    Show(w, {now});
    _XomEditTableShowCell(w, column, row);
}

static void EndSelect(Widget from, XEvent* event, String*, Cardinal*)
{
    Widget w = TableOf(from);
    if (!w)
        return;
    XomEditTableState* s = XomEditTable(w)->state;
    _XomEditTableEndCellEdit(w, event);
    if (!s->selecting)
        return;
    s->selecting = false;
    if (s->model.Selections().empty())
        return;
    EditTableBlock block = s->model.Selections().back();
    if (s->selectMultiple)
        s->keptSelections = s->model.Selections();
    _XomEditTableCallSelection(w, event, block, s->selectMode);
}

/* A press on a column heading is told to "headingCallback"; elsewhere nothing happens. */
static void SelectHeading(Widget from, XEvent* event, String*, Cardinal*)
{
    Widget w = TableOf(from);
    int x, y, column;
    if (!w || !EventPoint(w, event, &x, &y) || !_XomEditTableHeadingAt(w, x, y, &column))
        return;
    XomEditTableRowColumnCallbackStruct data = {XomCR_HEADING_SELECT, event, column, 0, 1, 0, True};
    XtCallCallbacks(w, (String)XomNheadingCallback, &data);
}

static void ClearAllSelections(Widget from, XEvent*, String*, Cardinal*)
{
    Widget w = TableOf(from);
    if (!w)
        return;
    XomEditTable(w)->state->keptSelections.clear();
    XomEditTableClearAllSelections(w);
}

static void ConfirmEdit(Widget from, XEvent*, String*, Cardinal*)
{
    Widget w = TableOf(from);
    if (!w)
        return;
    _XomEditTableStopCellEdit(w);
}

static void Nothing(Widget, XEvent*, String*, Cardinal*)
{}

XtActionsRec _xomEditTableActions[] = {
    {(String) "EditTableEnterTable", Nothing},
    {(String) "EditTableFocusOut", Nothing},
    {(String) "EditTableTraverseCurrent", Nothing},
    {(String) "EditTablePreviousTable", Nothing},
    {(String) "XomEditTableNextTable", Nothing},
    {(String) "EditTableExtendSelect", ExtendSelect},
    {(String) "EditTableConfirmEdit", ConfirmEdit},
    {(String) "TextConfirmEdit", ConfirmEdit},
    {(String) "TextAbandonEdit", ConfirmEdit},
    {(String) "EditTableCopyColumn", Nothing},
    {(String) "EditTableCopyColumns", Nothing},
    {(String) "EditTableCopyRows", Nothing},
    {(String) "EditTableDeleteColumns", Nothing},
    {(String) "EditTableDeleteRows", Nothing},
    {(String) "EditTableEditCell", Nothing},
    {(String) "EditTableEndSelect", EndSelect},
    {(String) "EditTableEnterCell", EnterCell},
    {(String) "EditTableInsertColumns", Nothing},
    {(String) "EditTableInsertRows", Nothing},
    {(String) "EditTablePasteColumn", Nothing},
    {(String) "EditTablePasteColumns", Nothing},
    {(String) "EditTablePasteRows", Nothing},
    {(String) "EditTableClearAllSelections", ClearAllSelections},
    {(String) "EditTableClearSelection", ClearAllSelections},
    {(String) "EditTableStartSelect", StartSelect},
    {(String) "EditTableSelectHeading", SelectHeading},
    {(String) "EditTableUndeleteRows", Nothing},
    {(String) "EditTableUndeleteColumns", Nothing},
    {(String) "EditTableStartDrag", Nothing},
    {(String) "EditTableExtendDrag", Nothing},
    {(String) "EditTableEndDrag", Nothing},
    {(String) "BackToTable", Nothing},
    {(String) "EditTextFocusIn", Nothing},
};

Cardinal _xomEditTableActionCount = XtNumber(_xomEditTableActions);
