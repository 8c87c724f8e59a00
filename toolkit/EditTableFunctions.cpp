/* XomEditTable: the public functions. Each checks the class of its widget first, lets the
 * model check the ranges and make the change, then lays out and repaints only what changed,
 * and nothing while repainting is frozen. */
#include <string.h>

#include <algorithm>
#include <vector>

#include "toolkit/EditTableP.h"
#include "toolkit/Scroll.h"

namespace {

bool Frozen(Widget w)
{
    return XomEditTable(w)->freeze_update;
}

/* Sizes may have changed: lay out again, and repaint everything unless frozen. */
void Relayout(Widget w)
{
    XomEditTable(w)->state->layoutValid = false;
    if (!Frozen(w))
        _XomEditTableRepaintAll(w);
}

/* Keeps the resources that can be read back in step with the model. */
void SyncCounts(Widget w)
{
    XomEditTablePart* et = XomEditTable(w);
    et->number_of_rows = et->state->model.Rows();
    et->number_of_columns = et->state->model.Columns();
}

/* Rows from row down moved: repaint from there to the bottom, headings included; all of the
 * table when the row headings changed width. */
void RepaintFromRow(Widget w, int row, int headingWidthBefore)
{
    XomEditTableState* s = XomEditTable(w)->state;
    s->layoutValid = false;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    if (Frozen(w))
        return;
    if (g.rowHeadingWidth != headingWidthBefore) {
        _XomEditTableRepaintAll(w);
        return;
    }
    int ox, oy, rawX, rawY;
    _XomEditTableOrigin(w, &ox, &oy);
    XomCompBaseGetOrigin(w, &rawX, &rawY);
    if (ox != rawX || oy != rawY) {
        /* The content shrank under the view: the whole view moves (and repaints). */
        _XomEditTableSetOrigin(w, ox, oy);
        return;
    }
    int top = g.cellTop + _XomEditTableRowTop(g, row) - oy;
    /* Rows that left the table leave background behind, so all below goes. */
    XomArea below = {0, XomMax(top, g.cellTop), (int)w->core.width, (int)w->core.height};
    _XomEditTableRepaintWindow(w, below);
}

void RepaintBlocks(Widget w, const std::vector<EditTableBlock>& blocks)
{
    for (const EditTableBlock& b : blocks)
        _XomEditTableRepaintCells(w, b.column, b.columnCount, b.row, b.rowCount);
}

bool ParentIsScroll(Widget w, const char* function, const char* message)
{
    if (XomIsScroll(XtParent(w)))
        return true;
    XomEditTableModelOf(w).Warn(function, message);
    return false;
}

} // namespace

void _XomEditTableCallSelection(Widget w, XEvent* event, const EditTableBlock& block, int kind)
{
    XomEditTableRowColumnCallbackStruct data = {
        0, event, block.column, block.row, block.columnCount, block.rowCount, True};
    const char* list = XomNselectCellCallback;
    data.reason = XomCR_SELECT_CELLS;
    if (kind == XomSELECT_ROWS) {
        list = XomNrowCallback;
        data.reason = XomCR_SELECT_ROWS;
        data.column = data.column_count = 0;
    } else if (kind == XomSELECT_COLUMNS) {
        list = XomNcolumnCallback;
        data.reason = XomCR_SELECT_COLUMNS;
        data.row = data.row_count = 0;
    }
    XtCallCallbacks(w, (String)list, &data);
}

bool _XomEditTableCheck(Widget w, const char* function)
{
    if (XomIsEditTable(w))
        return true;
    std::string text =
        std::string("**** XomEditTableWarning ****\n") + function + "\nNot a XomEditTable widget.";
    if (w)
        XomWarning(w, "XomEditTable", "XomEditTableWarning", text.c_str());
    else
        XtWarning(text.c_str());
    return false;
}

Widget XomCreateEditTable(Widget parent, const char* name, ArgList args, Cardinal count)
{
    return XtCreateWidget(name, xomEditTableWidgetClass, parent, args, count);
}

Boolean XomEditTableDefineColumnFormat(Widget w, int column, int editMode, int alignment, int width,
                                       int dataType, const char* format)
{
    if (!_XomEditTableCheck(w, "XomEditTableDefineColumnFormat"))
        return False;
    EditTableModel& model = XomEditTableModelOf(w);
    if (!model.DefineColumnFormat(column, editMode, alignment, width, dataType, format))
        return False;
    if (!model.ColumnHidden(column < 1 ? 1 : column))
        Relayout(w);
    return True;
}

static Boolean Fill(Widget w, const char* function, int column, int row, XtPointer address,
                    bool update)
{
    if (!_XomEditTableCheck(w, function))
        return False;
    XomEditTableState* s = XomEditTable(w)->state;
    bool changed;
    if (!s->model.FillCell(function, column, row, address, &changed))
        return False;
    if (!changed)
        return True;
    bool fits = column == 0 || s->model.ColumnWidth(column) == XomSIZE_UNSET;
    if (fits)
        s->layoutValid = false;
    if (!update || Frozen(w))
        return True;
    if (fits)
        _XomEditTableRepaintAll(w);
    else
        _XomEditTableRepaintCells(w, column, 1, row, 1);
    return True;
}

Boolean XomEditTableFillCell(Widget w, int column, int row, XtPointer dataAddress)
{
    return Fill(w, "XomEditTableFillCell", column, row, dataAddress, true);
}

Boolean XomEditTableFillCellNoUpdate(Widget w, int column, int row, XtPointer dataAddress)
{
    return Fill(w, "XomEditTableFillCellNoUpdate", column, row, dataAddress, false);
}

Boolean XomEditTableFillColumnData(Widget w, int column, XtPointer array)
{
    if (!_XomEditTableCheck(w, "XomEditTableFillColumnData"))
        return False;
    int changed = XomEditTableModelOf(w).FillColumnData(column, array);
    if (changed < 0)
        return False;
    if (changed)
        Relayout(w);
    return True;
}

XtPointer XomEditTableGetCellData(Widget w, int column, int row)
{
    if (!_XomEditTableCheck(w, "XomEditTableGetCellData"))
        return NULL;
    return (XtPointer)XomEditTableModelOf(w).GetCellData(column, row);
}

Boolean XomEditTableInsertRows(Widget w, int position, int count)
{
    if (!_XomEditTableCheck(w, "XomEditTableInsertRows"))
        return False;
    XomEditTableState* s = XomEditTable(w)->state;
    int before = _XomEditTableGeometryOf(w).rowHeadingWidth;
    if (!s->model.InsertRows(position, count))
        return False;
    SyncCounts(w);
    RepaintFromRow(w, position ? position : s->model.Rows() - count + 1, before);
    return True;
}

Boolean XomEditTableDeleteRows(Widget w, int first, int count)
{
    if (!_XomEditTableCheck(w, "XomEditTableDeleteRows"))
        return False;
    XomEditTableState* s = XomEditTable(w)->state;
    int before = _XomEditTableGeometryOf(w).rowHeadingWidth;
    int rows = s->model.Rows();
    if (!s->model.DeleteRows(first, count))
        return False;
    SyncCounts(w);
    RepaintFromRow(w, first < 1 ? rows : first, before);
    return True;
}

Boolean XomEditTableChangeColumnVisibility(Widget w, int firstColumn, int lastColumn,
                                           Boolean visible)
{
    if (!_XomEditTableCheck(w, "XomEditTableChangeColumnVisibility"))
        return False;
    int changed = XomEditTableModelOf(w).ChangeColumnVisibility(firstColumn, lastColumn, visible);
    if (changed > 0)
        Relayout(w);
    return changed >= 0;
}

Boolean XomEditTableChangeRowVisibility(Widget w, int firstRow, int lastRow, Boolean visible)
{
    if (!_XomEditTableCheck(w, "XomEditTableChangeRowVisibility"))
        return False;
    int changed = XomEditTableModelOf(w).ChangeRowVisibility(firstRow, lastRow, visible);
    if (changed > 0)
        Relayout(w);
    return changed >= 0;
}

Boolean XomEditTableFreezeColumn(Widget w, int column)
{
    static const char F[] = "XomEditTableFreezeColumn";
    if (!_XomEditTableCheck(w, F) || !ParentIsScroll(w, F, "Parent is not XomScroll."))
        return False;
    EditTableModel& model = XomEditTableModelOf(w);
    std::vector<int> before = model.FrozenColumns();
    if (!model.FreezeColumn(column))
        return False;
    if (model.FrozenColumns() != before)
        Relayout(w);
    return True;
}

Boolean XomEditTableReleaseColumn(Widget w, int column)
{
    static const char F[] = "XomEditTableReleaseColumn";
    if (!_XomEditTableCheck(w, F) || !ParentIsScroll(w, F, "Parent is not XomScroll."))
        return False;
    EditTableModel& model = XomEditTableModelOf(w);
    std::vector<int> before = model.FrozenColumns();
    if (!model.ReleaseColumn(column))
        return False;
    if (model.FrozenColumns() != before)
        Relayout(w);
    return True;
}

int* XomEditTableGetFrozenColumns(Widget w, int* count)
{
    static const char F[] = "XomEditTableGetFrozenColumns";
    *count = 0;
    if (!_XomEditTableCheck(w, F) || !ParentIsScroll(w, F, "Parent is Not a XomScroll widget."))
        return NULL;
    std::vector<int> frozen = XomEditTableModelOf(w).FrozenColumns();
    if (frozen.empty())
        return NULL;
    int* array = (int*)XtMalloc((Cardinal)(sizeof(int) * frozen.size()));
    memcpy(array, frozen.data(), sizeof(int) * frozen.size());
    *count = (int)frozen.size();
    return array;
}

void XomEditTableFreezeUpdate(Widget w, Boolean freeze)
{
    if (!_XomEditTableCheck(w, "XomEditTableFreezeUpdate"))
        return;
    XomEditTablePart* et = XomEditTable(w);
    if (freeze) {
        et->freeze_update = True;
        return;
    }
    et->freeze_update = False;
    Relayout(w);
}

void XomEditTableUpdateDataDisplay(Widget w, int column, int row)
{
    if (!_XomEditTableCheck(w, "XomEditTableUpdateDataDisplay"))
        return;
    XomEditTable(w)->state->layoutValid = false;
    if (Frozen(w))
        return;
    if (column == 0 && row == 0)
        _XomEditTableRepaintAll(w);
    else
        _XomEditTableRepaintCells(w, column, 1, row, 1);
}

static Boolean SetCells(Widget w, const char* function, int column, int columnCount, int row,
                        int rowCount, unsigned long value)
{
    if (!_XomEditTableCheck(w, function))
        return False;
    EditTableModel& model = XomEditTableModelOf(w);
    EditTableBlock changed;
    bool ok = strcmp(function, "XomEditTableSetCellBackground") == 0
        ? model.SetCellBackground(column, columnCount, row, rowCount, value, &changed)
        : strcmp(function, "XomEditTableSetCellForeground") == 0
        ? model.SetCellForeground(column, columnCount, row, rowCount, value, &changed)
        : model.SetCellPixmap(column, columnCount, row, rowCount, value, &changed);
    if (!ok)
        return False;
    if (changed.columnCount && !Frozen(w))
        _XomEditTableRepaintCells(w, changed.column, changed.columnCount, changed.row,
                                  changed.rowCount);
    return True;
}

Boolean XomEditTableSetCellBackground(Widget w, int column, int columnCount, int row, int rowCount,
                                      Pixel pixel)
{
    return SetCells(w, "XomEditTableSetCellBackground", column, columnCount, row, rowCount, pixel);
}

Boolean XomEditTableSetCellForeground(Widget w, int column, int columnCount, int row, int rowCount,
                                      Pixel pixel)
{
    return SetCells(w, "XomEditTableSetCellForeground", column, columnCount, row, rowCount, pixel);
}

Boolean XomEditTableSetCellPixmap(Widget w, int column, int columnCount, int row, int rowCount,
                                  Pixmap pixmap)
{
    return SetCells(w, "XomEditTableSetCellPixmap", column, columnCount, row, rowCount, pixmap);
}

Boolean XomEditTableSetSelection(Widget w, int column, int columnCount, int row, int rowCount,
                                 int mode)
{
    if (!_XomEditTableCheck(w, "XomEditTableSetSelection"))
        return False;
    EditTableModel& model = XomEditTableModelOf(w);
    std::vector<EditTableBlock> old = model.Selections();
    EditTableBlock block;
    if (!model.SetSelection(column, columnCount, row, rowCount, mode, &block))
        return False;
    RepaintBlocks(w, old);
    if (block.columnCount) {
        RepaintBlocks(w, {block});
        if (!(mode & XomSELECT_QUIETLY))
            _XomEditTableCallSelection(w, NULL, block, mode & ~XomSELECT_QUIETLY);
    }
    return True;
}

void XomEditTableClearAllSelections(Widget w)
{
    if (!_XomEditTableCheck(w, "XomEditTableClearAllSelections"))
        return;
    RepaintBlocks(w, XomEditTableModelOf(w).ClearSelections());
}

int* XomEditTableGetSelectedRows(Widget w, int* count)
{
    *count = 0;
    if (!_XomEditTableCheck(w, "XomEditTableGetSelectedRows"))
        return NULL;
    EditTableModel& model = XomEditTableModelOf(w);
    std::vector<int> rows;
    for (const EditTableBlock& b : model.Selections())
        if (b.column <= 1 && b.column + b.columnCount > model.Columns())
            for (int r = b.row; r < b.row + b.rowCount && r <= model.Rows(); r++)
                rows.push_back(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return NULL;
    int* result = (int*)XtMalloc((Cardinal)(rows.size() * sizeof(int)));
    std::copy(rows.begin(), rows.end(), result);
    *count = (int)rows.size();
    return result;
}

Boolean XomEditTableGetCellPointerPosition(Widget w, int* column, int* row)
{
    *column = *row = 0;
    if (!_XomEditTableCheck(w, "XomEditTableGetCellPointerPosition"))
        return False;
    EditTableModel& model = XomEditTableModelOf(w);
    *column = model.pointerColumn;
    *row = model.pointerRow;
    return *column && *row;
}

Widget XomEditTableGetCellWidget(Widget w, int column, int row)
{
    if (!_XomEditTableCheck(w, "XomEditTableGetCellWidget"))
        return NULL;
    const XomEditTableCellWidget* cell = _XomEditTableFindCellWidget(w, column, row);
    return cell ? cell->widget : NULL;
}

void XomEditTableGetContentSize(Widget w, int* width, int* height, int* viewWidth, int* viewHeight)
{
    *width = *height = *viewWidth = *viewHeight = 0;
    if (!_XomEditTableCheck(w, "XomEditTableGetContentSize"))
        return;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    *width = g.contentWidth;
    *height = g.contentHeight;
    *viewWidth = g.viewWidth;
    *viewHeight = g.viewHeight;
}

Boolean XomEditTableGetCellRectangle(Widget w, int column, int row, XRectangle* box)
{
    if (!_XomEditTableCheck(w, "XomEditTableGetCellRectangle"))
        return False;
    XomArea area;
    if (!_XomEditTableCellBox(w, column, row, &area))
        return False;
    const XomEditTableGeometry& g = _XomEditTableGeometryOf(w);
    XomArea view = {g.cellLeft, g.cellTop, g.frozenWidth + g.scrollWidth, g.viewHeight};
    if (!XomIntersectAreas(&area, &view, &area))
        return False;
    *box = XRectangle{(short)area.x, (short)area.y, (unsigned short)area.width,
                      (unsigned short)area.height};
    return True;
}
