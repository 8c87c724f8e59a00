/* The table's model: hidden and frozen columns and rows, per-cell colours and pixmaps,
 * selections and the cell pointer. */
#include "toolkit/EditTableModel.h"

#include <algorithm>

/* ---- visibility ---- */

int EditTableModel::ChangeColumnVisibility(int first, int last, bool visible)
{
    if (!CheckColumns("XomEditTableChangeColumnVisibility", &first, &last, "Starting column",
                      "Ending column"))
        return -1;
    int changed = 0;
    for (int c = first; c <= last; c++) {
        if (Col(c).hidden == !visible)
            continue;
        Col(c).hidden = !visible;
        changed++;
    }
    if (changed)
        FixPointerColumn();
    return changed;
}

int EditTableModel::ChangeRowVisibility(int first, int last, bool visible)
{
    if (!CheckRows("XomEditTableChangeRowVisibility", &first, &last, "Starting row", "Ending row"))
        return -1;
    if (rowHidden.empty()) {
        if (visible)
            return 0;
        rowHidden.assign((size_t)rowCount, 0);
    }
    int changed = 0;
    for (int r = first; r <= last; r++) {
        if ((rowHidden[r - 1] != 0) == !visible)
            continue;
        rowHidden[r - 1] = !visible;
        changed++;
    }
    if (changed && RowHidden(pointerRow))
        pointerRow = pointerColumn = 0;
    return changed;
}

/* ---- freezing ---- */

bool EditTableModel::FreezeColumn(int column)
{
    static const char F[] = "XomEditTableFreezeColumn";
    int last = column;
    if (!CheckColumns(F, &column, &last, "Column", "Column"))
        return false;
    if (Col(column).frozen)
        return true;
    int unfrozen = 0;
    for (const Column& c : columns)
        unfrozen += !c.frozen;
    if (unfrozen <= 1) {
        Warn(F, "Cannot freeze the last unfrozen column.");
        return false;
    }
    Col(column).frozen = true;
    FixPointerColumn();
    return true;
}

bool EditTableModel::ReleaseColumn(int column)
{
    int last = column;
    if (!CheckColumns("XomEditTableReleaseColumn", &column, &last, "Column", "Column"))
        return false;
    Col(column).frozen = false;
    return true;
}

std::vector<int> EditTableModel::FrozenColumns() const
{
    std::vector<int> frozen;
    for (int c = 1; c <= Columns(); c++)
        if (Col(c).frozen)
            frozen.push_back(c);
    return frozen;
}

void EditTableModel::FixPointerColumn()
{
    if (pointerColumn == 0)
        return;
    auto usable = [this](int c) { return !Col(c).frozen && !Col(c).hidden; };
    if (pointerColumn <= Columns() && usable(pointerColumn))
        return;
    for (int step = 1; step <= Columns(); step++) {
        int c = (pointerColumn - 1 + step) % Columns() + 1;
        if (usable(c)) {
            pointerColumn = c;
            return;
        }
    }
    pointerColumn = pointerRow = 0;
}

/* ---- colours and pixmaps ---- */

bool EditTableModel::SetCellPixels(const char* function, std::vector<unsigned long> Column::*buffer,
                                   unsigned long none, int column, int columnCount, int row,
                                   int rowCount_, unsigned long value, EditTableBlock* changed)
{
    *changed = EditTableBlock{0, 0, 0, 0};
    /* A start of 0 means all; otherwise the block runs count cells from the start. */
    int lastColumn = column == 0 ? 0 : column + std::max(columnCount, 1) - 1;
    int lastRow = row == 0 ? 0 : row + std::max(rowCount_, 1) - 1;
    if (!CheckColumns(function, &column, &lastColumn, "Starting column", "Ending column")
        || !CheckRows(function, &row, &lastRow, "Starting row", "Ending row"))
        return false;
    int minC = lastColumn + 1, maxC = 0, minR = lastRow + 1, maxR = 0;
    for (int c = column; c <= lastColumn; c++) {
        std::vector<unsigned long>& cells = Col(c).*buffer;
        if (cells.empty()) {
            if (value == none)
                continue;
            cells.assign((size_t)rowCount, none);
        }
        for (int r = row; r <= lastRow; r++) {
            if (cells[r - 1] == value)
                continue;
            cells[r - 1] = value;
            minC = std::min(minC, c), maxC = std::max(maxC, c);
            minR = std::min(minR, r), maxR = std::max(maxR, r);
        }
    }
    if (maxC)
        *changed = EditTableBlock{minC, maxC - minC + 1, minR, maxR - minR + 1};
    return true;
}

bool EditTableModel::SetCellBackground(int column, int columnCount, int row, int rows,
                                       unsigned long pixel, EditTableBlock* changed)
{
    return SetCellPixels("XomEditTableSetCellBackground", &Column::background, XomNO_PIXEL, column,
                         columnCount, row, rows, pixel, changed);
}

bool EditTableModel::SetCellForeground(int column, int columnCount, int row, int rows,
                                       unsigned long pixel, EditTableBlock* changed)
{
    return SetCellPixels("XomEditTableSetCellForeground", &Column::foreground, XomNO_PIXEL, column,
                         columnCount, row, rows, pixel, changed);
}

bool EditTableModel::SetCellPixmap(int column, int columnCount, int row, int rows,
                                   unsigned long pixmap, EditTableBlock* changed)
{
    /* The Motif unspecified pixmap (2) removes the pixmap as 0 does. */
    if (pixmap == 2)
        pixmap = 0;
    return SetCellPixels("XomEditTableSetCellPixmap", &Column::pixmap, 0UL, column, columnCount,
                         row, rows, pixmap, changed);
}

unsigned long EditTableModel::CellBackground(int column, int row) const
{
    const char* text;
    unsigned long pixmap, sourced;
    if (hooks->CellSource(column, row, &text, &pixmap, &sourced) && sourced != XomNO_PIXEL)
        return sourced;
    const std::vector<unsigned long>& v = Col(column).background;
    return v.empty() ? XomNO_PIXEL : v[row - 1];
}

unsigned long EditTableModel::CellForeground(int column, int row) const
{
    const std::vector<unsigned long>& v = Col(column).foreground;
    return v.empty() ? XomNO_PIXEL : v[row - 1];
}

unsigned long EditTableModel::CellPixmap(int column, int row) const
{
    const char* text;
    unsigned long sourced, background;
    if (hooks->CellSource(column, row, &text, &sourced, &background))
        return sourced;
    const std::vector<unsigned long>& v = Col(column).pixmap;
    return v.empty() ? 0UL : v[row - 1];
}

/* ---- selections ---- */

std::vector<EditTableBlock> EditTableModel::ClearSelections()
{
    std::vector<EditTableBlock> old;
    old.swap(selections);
    return old;
}

bool EditTableModel::IsSelected(int column, int row) const
{
    for (const EditTableBlock& b : selections)
        if (b.Contains(column, row))
            return true;
    return false;
}

bool EditTableModel::SetSelection(int column, int columnCount, int row, int rows, int mode,
                                  EditTableBlock* block)
{
    static const char F[] = "XomEditTableSetSelection";
    *block = EditTableBlock{0, 0, 0, 0};
    int kind = mode & ~XomSELECT_QUIETLY;
    if (mode < 0
        || (mode != XomSELECT_NONE && kind != XomSELECT_COLUMNS && kind != XomSELECT_ROWS
            && kind != XomSELECT_BLOCK)) {
        Warn(F, "Invalid selection mode.");
        return false;
    }
    if (kind == XomSELECT_NONE) {
        selections.clear();
        return true;
    }
    int lastColumn = column == 0 ? 0 : column + std::max(columnCount, 1) - 1;
    int lastRow = row == 0 ? 0 : row + std::max(rows, 1) - 1;
    if (kind == XomSELECT_ROWS)
        column = lastColumn = 0;
    if (kind == XomSELECT_COLUMNS)
        row = lastRow = 0;
    if (!CheckColumns(F, &column, &lastColumn, "Starting column", "Ending column")
        || !CheckRows(F, &row, &lastRow, "Starting row", "Ending row"))
        return false;
    selections.clear();
    *block = EditTableBlock{column, lastColumn - column + 1, row, lastRow - row + 1};
    selections.push_back(*block);
    return true;
}
