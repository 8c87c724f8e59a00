/* The table's model: counts, range checks, column formats, cell values, insertion and
 * deletion of rows and columns. */
#include "toolkit/EditTableModel.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

const char WARNING_HEADER[] = "**** XomEditTableWarning ****\n";

} // namespace

EditTableModel::EditTableModel(EditTableHooks* owner) : hooks(owner)
{}

/* ---- warnings and range checks ---- */

void EditTableModel::Warn(const char* function, const char* message)
{
    hooks->Warn(std::string(WARNING_HEADER) + function + "\n" + message);
}

void EditTableModel::WarnRange(const char* function, const char* role, int value)
{
    char line[200];
    snprintf(line, sizeof line, "    %s: %s number %d is out of range.", function, role, value);
    hooks->Warn(std::string(WARNING_HEADER) + line);
}

bool EditTableModel::CheckRange(const char* function, int count, int* first, int* last,
                                const char* firstRole, const char* lastRole)
{
    /* An end of 0 means "to the last", so only a pair of two real numbers is reversed. */
    if (*last != 0 && *first > *last)
        std::swap(*first, *last);
    if (count <= 0)
        return false;
    if (*first < 0 || *first > count) {
        WarnRange(function, firstRole, *first);
        return false;
    }
    if (*last < 0 || *last > count) {
        WarnRange(function, lastRole, *last);
        return false;
    }
    if (*first == 0)
        *first = 1;
    if (*last == 0)
        *last = count;
    if (*first > *last)
        std::swap(*first, *last);
    return true;
}

bool EditTableModel::CheckColumns(const char* function, int* first, int* last,
                                  const char* firstRole, const char* lastRole)
{
    return CheckRange(function, Columns(), first, last, firstRole, lastRole);
}

bool EditTableModel::CheckRows(const char* function, int* first, int* last, const char* firstRole,
                               const char* lastRole)
{
    return CheckRange(function, rowCount, first, last, firstRole, lastRole);
}

bool EditTableModel::CheckCell(const char* function, int* column, int* row)
{
    int lastColumn = *column, lastRow = *row;
    return CheckRange(function, Columns(), column, &lastColumn, "Column", "Column")
        && CheckRange(function, rowCount, row, &lastRow, "Row", "Row");
}

/* ---- counts ---- */

void EditTableModel::SetColumnCount(int count)
{
    if (count < 0)
        count = 0;
    columns.resize((size_t)count);
    selections.clear();
    if (pointerColumn > count)
        pointerColumn = pointerRow = 0;
}

void EditTableModel::SetRowCount(int count)
{
    if (count < 0)
        count = 0;
    if (count > rowCount)
        InsertRowsAt(rowCount, count - rowCount);
    else if (count < rowCount)
        EraseRows(count, rowCount - count);
}

/* ---- column formats ---- */

int EditTableModel::ColumnType(int column) const
{
    int own = Col(column).ownType;
    return own >= 0 ? own : defaults.dataType;
}

const char* EditTableModel::ColumnFormat(int column) const
{
    const Column& c = Col(column);
    if (c.hasFormat)
        return c.format.c_str();
    int type = ColumnType(column);
    if (!defaults.dataFormat.empty() && EditTableFormatFits(type, defaults.dataFormat.c_str()))
        return defaults.dataFormat.c_str();
    return EditTableDefaultFormat(type);
}

int EditTableModel::ColumnEditMode(int column) const
{
    int own = Col(column).ownEditMode;
    return own >= 0 ? own : defaults.editMode;
}

int EditTableModel::ColumnAlignment(int column) const
{
    int own = Col(column).ownAlignment;
    return own >= 0 ? own : defaults.alignment;
}

int EditTableModel::ColumnWidth(int column) const
{
    int own = Col(column).ownWidth;
    return own != XomSIZE_UNSET ? own : defaults.cellWidth;
}

void EditTableModel::SetColumnWidths(const int* widths, int count)
{
    for (int i = 0; i < Columns(); i++)
        columns[i].ownWidth = widths && i < count && widths[i] >= 0 ? widths[i] : XomSIZE_UNSET;
}

void EditTableModel::SetColumnAnnotations(const char* const* texts, int count)
{
    for (int i = 0; i < Columns(); i++)
        columns[i].annotation = texts && i < count && texts[i] ? texts[i] : "";
}

std::string EditTableModel::ColumnAnnotation(int column) const
{
    if (defaults.automaticColumnAnnotation)
        return std::to_string(column);
    return Col(column).annotation;
}

bool EditTableModel::DefineColumnFormat(int column, int editMode, int alignment, int width,
                                        int dataType, const char* format)
{
    static const char F[] = "XomEditTableDefineColumnFormat";
    int last = column;
    if (!CheckColumns(F, &column, &last, "Column", "Column"))
        return false;
    if (editMode > XomCOLUMN_EDITABLE) {
        Warn(F, "Invalid Edit Mode");
        return false;
    }
    if (alignment > 10 || (alignment >= 0 && (alignment & 3) == 3)) {
        Warn(F, "Invalid Alignment Setting");
        return false;
    }
    if (dataType < -1 || dataType >= XomTYPE_COUNT) {
        Warn(F, "Invalid data Type.");
        return false;
    }
    int type = dataType == -1 ? defaults.dataType : dataType;
    bool ownFormat = format != NULL && format != (const char*)-1;
    if (ownFormat && !EditTableFormatFits(type, format)) {
        Warn(F, "Format does not match data type.");
        return false;
    }
    Column& c = Col(column);
    c.ownEditMode = editMode < 0 ? -1 : editMode;
    c.ownAlignment = alignment < 0 ? -1 : alignment;
    c.ownWidth = width < 0 ? XomSIZE_UNSET : width;
    c.ownType = dataType;
    c.hasFormat = ownFormat;
    c.format = ownFormat ? format : "";
    return true;
}

/* ---- cell values ---- */

const void* EditTableModel::OriginalSlot(const Column& c, int type, int row)
{
    return (const char*)c.original + EditTableValueSize(type) * (size_t)(row - 1);
}

/* Makes the column's value buffers fit its current type: values of another type go. */
void EditTableModel::Prepare(Column& c, int column)
{
    int type = ColumnType(column);
    if (c.storedType == type)
        return;
    c.storedType = type;
    c.values.clear();
    c.strings.clear();
    if (type == XomTYPE_STRING)
        c.strings.resize((size_t)rowCount);
    else
        c.values.assign((size_t)rowCount, EditTableEmptyValue(type));
}

bool EditTableModel::StoreValue(Column& c, int column, int row, const void* address)
{
    Prepare(c, column);
    size_t r = (size_t)(row - 1);
    if (c.storedType == XomTYPE_STRING) {
        const char* s = address ? (const char*)address : "";
        // A column is mostly filled row by row: the stored strings of the rows ahead are
        // asked for early, the string objects 16 rows ahead and the texts of longer ones 8
        // rows ahead. A table of 100,000 rows holds more than the caches, and these walks
        // are too many at once for the processor to follow by itself.
        if (r + 16 < c.strings.size()) {
            __builtin_prefetch(c.strings.data() + r + 16);
            __builtin_prefetch(c.strings[r + 8].data());
        }
        // Stored strings come from C strings only, so they hold no NUL: strcmp reads the new
        // text once, where comparing as std::string measures it first.
        if (strcmp(c.strings[r].c_str(), s) == 0)
            return false;
        c.strings[r] = s;
        return true;
    }
    EditTableValue v = EditTableReadValue(c.storedType, address);
    if (memcmp(&c.values[r], &v, sizeof v) == 0)
        return false;
    c.values[r] = v;
    return true;
}

bool EditTableModel::FillCell(const char* function, int column, int row, const void* address,
                              bool* changed)
{
    *changed = false;
    if (column == 0) {
        if (defaults.automaticRowAnnotation) {
            Warn(function, "Automatic annotation is not edittable.");
            return false;
        }
        int last = row;
        if (!CheckRows(function, &row, &last, "Row", "Row"))
            return false;
        std::string heading = address ? (const char*)address : "";
        if (rowAnnotations.empty())
            rowAnnotations.resize((size_t)rowCount); /* made with the first heading */
        *changed = rowAnnotations[row - 1] != heading;
        rowAnnotations[row - 1] = heading;
        return true;
    }
    if (!CheckCell(function, &column, &row))
        return false;
    int type = ColumnType(column);
    if (type < 0 || type >= XomTYPE_COUNT) {
        Warn(function, "Unknown cell data type.");
        return false;
    }
    if (address == NULL && type != XomTYPE_STRING && type != XomTYPE_POINTER) {
        Warn(function, "Argument <data_addr> is NULL");
        return false;
    }
    Column& c = Col(column);
    if (defaults.useOriginalData) {
        if (c.original == NULL) {
            Warn(function, "Column is not defined yet.");
            return false;
        }
        /* The caller's array is the storage: write the value into it. */
        char* slot = (char*)OriginalSlot(c, type, row);
        size_t size = EditTableValueSize(type);
        const void* from = type == XomTYPE_STRING || type == XomTYPE_POINTER ? &address : address;
        *changed = memcmp(slot, from, size) != 0;
        memcpy(slot, from, size);
        return true;
    }
    *changed = StoreValue(c, column, row, address);
    return true;
}

int EditTableModel::FillColumnData(int column, const void* array)
{
    static const char F[] = "XomEditTableFillColumnData";
    int last = column;
    if (!CheckColumns(F, &column, &last, "Column", "Column"))
        return -1;
    if (array == NULL) {
        Warn(F, "Argument <data_addr> is NULL");
        return -1;
    }
    Column& c = Col(column);
    int type = ColumnType(column);
    if (defaults.useOriginalData) {
        c.original = array;
        return rowCount;
    }
    int changed = 0;
    for (int r = 1; r <= rowCount; r++) {
        const void* address;
        if (type == XomTYPE_STRING || type == XomTYPE_POINTER)
            address = ((const void* const*)array)[r - 1];
        else
            address = (const char*)array + EditTableValueSize(type) * (size_t)(r - 1);
        if (type == XomTYPE_POINTER) {
            Prepare(c, column);
            EditTableValue v;
            v.d = 0;
            v.p = address;
            if (memcmp(&c.values[r - 1], &v, sizeof v) != 0) {
                c.values[r - 1] = v;
                changed++;
            }
        } else if (StoreValue(c, column, r, address)) {
            changed++;
        }
    }
    return changed;
}

bool EditTableModel::CellIsEmpty(int column, int row) const
{
    const Column& c = Col(column);
    int type = ColumnType(column);
    if (c.original) {
        if (type == XomTYPE_STRING || type == XomTYPE_POINTER) {
            const char* s = *(const char* const*)OriginalSlot(c, type, row);
            return s == NULL || (type == XomTYPE_STRING && *s == 0);
        }
        return EditTableValueIsEmpty(type, EditTableReadValue(type, OriginalSlot(c, type, row)));
    }
    if (c.storedType != type)
        return true;
    if (type == XomTYPE_STRING)
        return c.strings[row - 1].empty();
    return EditTableValueIsEmpty(type, c.values[row - 1]);
}

void* EditTableModel::GetCellData(int column, int row)
{
    if (!CheckCell("XomEditTableGetCellData", &column, &row))
        return NULL;
    const char* sourced;
    unsigned long pixmap, background;
    if (hooks->CellSource(column, row, &sourced, &pixmap, &background))
        return sourced ? strdup(sourced) : NULL;
    if (CellIsEmpty(column, row))
        return NULL;
    const Column& c = Col(column);
    int type = ColumnType(column);
    if (c.original) {
        const void* slot = OriginalSlot(c, type, row);
        if (type == XomTYPE_POINTER)
            return *(void* const*)slot;
        if (type == XomTYPE_STRING)
            return strdup(*(const char* const*)slot);
        void* copy = malloc(EditTableValueSize(type));
        if (copy)
            memcpy(copy, slot, EditTableValueSize(type));
        return copy;
    }
    if (type == XomTYPE_POINTER)
        return (void*)c.values[row - 1].p;
    if (type == XomTYPE_STRING)
        return strdup(c.strings[row - 1].c_str());
    void* copy = malloc(EditTableValueSize(type));
    if (copy)
        memcpy(copy, &c.values[row - 1], EditTableValueSize(type));
    return copy;
}

const char* EditTableModel::CellText(int column, int row)
{
    text.clear();
    const char* sourced;
    unsigned long pixmap, background;
    if (hooks->CellSource(column, row, &sourced, &pixmap, &background))
        return sourced;
    if (CellIsEmpty(column, row))
        return NULL;
    const Column& c = Col(column);
    int type = ColumnType(column);
    const char* format = ColumnFormat(column);
    if (type == XomTYPE_POINTER) {
        const void* p =
            c.original ? *(const void* const*)OriginalSlot(c, type, row) : c.values[row - 1].p;
        return hooks->FormatPointer(column, row, p, &text) ? text.c_str() : NULL;
    }
    size_t size = EditTableTextSize(format);
    text.resize(size);
    size_t n;
    if (type == XomTYPE_STRING) {
        const char* s = c.original ? *(const char* const*)OriginalSlot(c, type, row)
                                   : c.strings[row - 1].c_str();
        n = EditTablePrintString(format, s, &text[0], size);
    } else {
        EditTableValue v =
            c.original ? EditTableReadValue(type, OriginalSlot(c, type, row)) : c.values[row - 1];
        n = EditTablePrintValue(type, format, v, &text[0], size);
    }
    text.resize(n);
    return n ? text.c_str() : NULL;
}

/* ---- rows and columns ---- */

std::string EditTableModel::RowAnnotation(int row) const
{
    if (defaults.automaticRowAnnotation)
        return std::to_string(row);
    return rowAnnotations.empty() ? std::string() : rowAnnotations[row - 1];
}

int EditTableModel::RowHeight(int) const
{
    return defaults.cellHeight;
}

void EditTableModel::InsertRowsAt(int at, int count)
{
    size_t pos = (size_t)at, n = (size_t)count;
    for (Column& c : columns) {
        if (c.storedType == XomTYPE_STRING)
            c.strings.insert(c.strings.begin() + pos, n, std::string());
        else if (c.storedType >= 0)
            c.values.insert(c.values.begin() + pos, n, EditTableEmptyValue(c.storedType));
        for (auto buffer : {&c.background, &c.foreground})
            if (!buffer->empty())
                buffer->insert(buffer->begin() + pos, n, XomNO_PIXEL);
        if (!c.pixmap.empty())
            c.pixmap.insert(c.pixmap.begin() + pos, n, 0UL);
    }
    if (!rowHidden.empty())
        rowHidden.insert(rowHidden.begin() + pos, n, 0);
    if (!rowAnnotations.empty())
        rowAnnotations.insert(rowAnnotations.begin() + pos, n, std::string());
    rowCount += count;
    for (EditTableBlock& b : selections)
        if (b.row > at)
            b.row += count;
    if (pointerRow > at)
        pointerRow += count;
}

void EditTableModel::EraseRows(int at, int count)
{
    auto erase = [at, count](auto& v) {
        if (!v.empty())
            v.erase(v.begin() + at, v.begin() + at + count);
    };
    for (Column& c : columns) {
        erase(c.strings);
        erase(c.values);
        erase(c.background);
        erase(c.foreground);
        erase(c.pixmap);
    }
    erase(rowHidden);
    erase(rowAnnotations);
    rowCount -= count;
    /* Selections keep the rows that remain. */
    std::vector<EditTableBlock> kept;
    for (EditTableBlock b : selections) {
        int first = b.row - 1, end = b.row - 1 + b.rowCount;
        int keepBefore = std::min(end, at) - first;
        int keepAfter = end - std::max(first, at + count);
        int rows = std::max(keepBefore, 0) + std::max(keepAfter, 0);
        if (rows <= 0)
            continue;
        b.row = std::min(first, at) + 1;
        b.rowCount = rows;
        kept.push_back(b);
    }
    selections.swap(kept);
    if (pointerRow > at + count)
        pointerRow -= count;
    else if (pointerRow > at)
        pointerRow = pointerColumn = 0;
}

bool EditTableModel::InsertRows(int position, int count)
{
    static const char F[] = "XomEditTableInsertRows";
    if (defaults.useOriginalData) {
        Warn(F, "Row insertion not allowed when XmNuseOriginalData is True.");
        return false;
    }
    if (count < 1) {
        WarnRange(F, "number of rows", count);
        return false;
    }
    if (position == 0)
        position = rowCount + 1;
    if (position < 0 || position > rowCount + 1) {
        WarnRange(F, "Row", position);
        return false;
    }
    InsertRowsAt(position - 1, count);
    hooks->RowsInserted(position, count);
    return true;
}

bool EditTableModel::DeleteRows(int first, int count)
{
    static const char F[] = "XomEditTableDeleteRows";
    if (defaults.useOriginalData) {
        Warn(F, "Row deletion not allowed on XmNuseOriginalData = true.");
        return false;
    }
    if (rowCount == 0)
        return false;
    if (first < 1)
        first = rowCount;
    if (first > rowCount) {
        WarnRange(F, "Starting row", first);
        return false;
    }
    if (count <= 0 || first + count - 1 > rowCount)
        count = rowCount - first + 1;
    if (!hooks->RowsDeleting(first, count))
        return false;
    EraseRows(first - 1, count);
    return true;
}

bool EditTableModel::InsertColumns(int position, int count)
{
    static const char F[] = "XomEditTableInsertColumns";
    if (count < 1) {
        WarnRange(F, "number of columns", count);
        return false;
    }
    if (position == 0)
        position = Columns() + 1;
    if (position < 0 || position > Columns() + 1) {
        WarnRange(F, "Column", position);
        return false;
    }
    columns.insert(columns.begin() + (position - 1), (size_t)count, Column());
    for (EditTableBlock& b : selections)
        if (b.column >= position)
            b.column += count;
    if (pointerColumn >= position)
        pointerColumn += count;
    hooks->ColumnsInserted(position, count);
    return true;
}

bool EditTableModel::DeleteColumns(int first, int count)
{
    static const char F[] = "XomEditTableDeleteColumns";
    if (Columns() == 0)
        return false;
    if (first < 1)
        first = Columns();
    if (first > Columns()) {
        WarnRange(F, "Starting column", first);
        return false;
    }
    if (count <= 0 || first + count - 1 > Columns())
        count = Columns() - first + 1;
    if (!hooks->ColumnsDeleting(first, count))
        return false;
    columns.erase(columns.begin() + (first - 1), columns.begin() + (first - 1 + count));
    selections.clear();
    if (pointerColumn >= first + count)
        pointerColumn -= count;
    else if (pointerColumn >= first)
        pointerColumn = pointerRow = 0;
    return true;
}
