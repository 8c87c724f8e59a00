/* The table's model, free of X: columns with their types, formats and cell values, rows,
 * per-cell colours and pixmaps, hidden and frozen columns and rows, the cell pointer and the
 * selections. Every refusal is reported through the hooks as the full warning text, and
 * leaves the model as it was. The widget calls it; tests use it without a display. */
#ifndef XOM_EDIT_TABLE_MODEL_H
#define XOM_EDIT_TABLE_MODEL_H

#include <string>
#include <vector>

#include "toolkit/EditTableFormat.h"

/* Selection modes. */
enum {
    XomSELECT_NONE = 0,
    XomSELECT_COLUMNS = 1,
    XomSELECT_ROWS = 2,
    XomSELECT_BLOCK = 4,
    XomSELECT_QUIETLY = 8 /* added to a mode: select without calling the callbacks */
};

/* A size not set: take the default, or fit the contents. */
#define XomSIZE_UNSET 2147483647
/* A pixel that no cell has: the cell takes the table's colour. */
#define XomNO_PIXEL (~0UL)

/* A block of cells; counts are at least 1. */
struct EditTableBlock {
    int column, columnCount, row, rowCount;
    bool Contains(int c, int r) const
    {
        return c >= column && c < column + columnCount && r >= row && r < row + rowCount;
    }
};

/* What the model asks of its owner. */
class EditTableHooks {
public:
    virtual ~EditTableHooks() {}
    /* A refusal, as the whole warning text. */
    virtual void Warn(const std::string& text) = 0;
    /* Rows or columns are about to be deleted: false vetoes. */
    virtual bool RowsDeleting(int first, int count)
    {
        (void)first;
        (void)count;
        return true;
    }
    virtual bool ColumnsDeleting(int first, int count)
    {
        (void)first;
        (void)count;
        return true;
    }
    virtual void RowsInserted(int first, int count)
    {
        (void)first;
        (void)count;
    }
    virtual void ColumnsInserted(int first, int count)
    {
        (void)first;
        (void)count;
    }
    /* The owner's content of a cell (text NULL for none, pixmap 0 for none, background
     * XomNO_PIXEL for the table's own) when the table takes its cells from its owner; false
     * when it stores them itself. */
    virtual bool CellSource(int column, int row, const char** text, unsigned long* pixmap,
                            unsigned long* background)
    {
        (void)column;
        (void)row;
        (void)text;
        (void)pixmap;
        (void)background;
        return false;
    }
    /* The text of a type_pointer cell; false for none. */
    virtual bool FormatPointer(int column, int row, const void* pointer, std::string* text)
    {
        (void)column;
        (void)row;
        (void)pointer;
        (void)text;
        return false;
    }
};

/* The defaults that columns without their own setting take. */
struct EditTableDefaults {
    int dataType = XomTYPE_STRING;
    std::string dataFormat; /* empty: the type's default format */
    int editMode = XomCOLUMN_EDITABLE;
    int alignment = XomALIGNMENT_BEGINNING;
    int cellWidth = XomSIZE_UNSET;
    int cellHeight = XomSIZE_UNSET;
    bool automaticColumnAnnotation = true;
    bool automaticRowAnnotation = true;
    bool useOriginalData = false;
};

class EditTableModel {
public:
    explicit EditTableModel(EditTableHooks* hooks);

    EditTableDefaults defaults;

    /* ---- counts (resource changes: no callbacks) ---- */
    int Columns() const { return (int)columns.size(); }
    int Rows() const { return rowCount; }
    void SetColumnCount(int count);
    void SetRowCount(int count);

    /* ---- range check: a reversed pair is swapped, 0 means the first (the last for the end);
     * false when refused. Roles are "Column", "Starting row" and so on. ---- */
    bool CheckColumns(const char* function, int* first, int* last, const char* firstRole,
                      const char* lastRole);
    bool CheckRows(const char* function, int* first, int* last, const char* firstRole,
                   const char* lastRole);
    bool CheckCell(const char* function, int* column, int* row);
    void WarnRange(const char* function, const char* role, int value);
    void Warn(const char* function, const char* message);

    /* ---- columns ---- */
    bool DefineColumnFormat(int column, int editMode, int alignment, int width, int dataType,
                            const char* format);
    int ColumnType(int column) const;
    const char* ColumnFormat(int column) const; /* none for type_pointer */
    int ColumnEditMode(int column) const;
    int ColumnAlignment(int column) const;
    int ColumnWidth(int column) const;                  /* XomSIZE_UNSET: fit the contents */
    void SetColumnWidths(const int* widths, int count); /* "cellWidthData" */
    void SetColumnAnnotations(const char* const* texts, int count);
    std::string ColumnAnnotation(int column) const;
    int ColumnFont(int column) const { return columns[column - 1].fontIndex; }

    /* ---- cells ---- */
    bool FillCell(const char* function, int column, int row, const void* address, bool* changed);
    /* Stores numberOfRows values; returns the number that changed, -1 when refused. */
    int FillColumnData(int column, const void* array);
    /* A copy of the value made with malloc (the caller frees it), the stored pointer for
     * type_pointer, none for an empty cell or a refusal. */
    void* GetCellData(int column, int row);
    /* The cell's text, none for the empty value. Valid until the next call. */
    const char* CellText(int column, int row);
    bool CellIsEmpty(int column, int row) const;

    /* ---- rows ---- */
    bool InsertRows(int position, int count);
    bool DeleteRows(int first, int count);
    bool InsertColumns(int position, int count);
    bool DeleteColumns(int first, int count);
    std::string RowAnnotation(int row) const;
    int RowHeight(int row) const; /* XomSIZE_UNSET: fit the fonts */

    /* ---- visibility and freezing ---- */
    /* The number of columns (rows) whose state changed; -1 when refused. */
    int ChangeColumnVisibility(int first, int last, bool visible);
    int ChangeRowVisibility(int first, int last, bool visible);
    bool ColumnHidden(int column) const { return columns[column - 1].hidden; }
    bool RowHidden(int row) const
    {
        return row >= 1 && row <= (int)rowHidden.size() && rowHidden[row - 1];
    }
    bool FreezeColumn(int column);
    bool ReleaseColumn(int column);
    bool ColumnFrozen(int column) const { return columns[column - 1].frozen; }
    std::vector<int> FrozenColumns() const;

    /* ---- colours and pixmaps: the changed cells' bounding block, none (count 0) when
     * nothing changed; false when refused ---- */
    bool SetCellBackground(int column, int columnCount, int row, int rowCount, unsigned long pixel,
                           EditTableBlock* changed);
    bool SetCellForeground(int column, int columnCount, int row, int rowCount, unsigned long pixel,
                           EditTableBlock* changed);
    bool SetCellPixmap(int column, int columnCount, int row, int rowCount, unsigned long pixmap,
                       EditTableBlock* changed);
    unsigned long CellBackground(int column, int row) const; /* XomNO_PIXEL when unset */
    unsigned long CellForeground(int column, int row) const;
    unsigned long CellPixmap(int column, int row) const; /* 0 when none */

    /* ---- selections ---- */
    /* Clears, then selects; *block is what was selected (count 0 for none). */
    bool SetSelection(int column, int columnCount, int row, int rowCount, int mode,
                      EditTableBlock* block);
    void AddSelection(const EditTableBlock& block) { selections.push_back(block); }
    /* Clears all selections and returns them. */
    std::vector<EditTableBlock> ClearSelections();
    const std::vector<EditTableBlock>& Selections() const { return selections; }
    bool IsSelected(int column, int row) const;

    /* ---- the cell pointer: 0 for none ---- */
    int pointerColumn = 0;
    int pointerRow = 0;
    /* Moves the pointer off a frozen or hidden column, wrapping to column 1. */
    void FixPointerColumn();

private:
    struct Column {
        int ownType = -1, ownEditMode = -1, ownAlignment = -1, ownWidth = XomSIZE_UNSET;
        bool hasFormat = false;
        std::string format;
        std::string annotation;
        int fontIndex = 0;
        bool hidden = false, frozen = false;
        int storedType = -1;                /* type of the values below */
        std::vector<EditTableValue> values; /* numbers and pointers, one per row */
        std::vector<std::string> strings;   /* strings, one per row */
        const void* original = nullptr;     /* the caller's array under useOriginalData */
        std::vector<unsigned long> background, foreground, pixmap;
    };

    bool CheckRange(const char* function, int count, int* first, int* last, const char* firstRole,
                    const char* lastRole);
    Column& Col(int column) { return columns[column - 1]; }
    const Column& Col(int column) const { return columns[column - 1]; }
    void Prepare(Column& c, int column);
    bool SetCellPixels(const char* function, std::vector<unsigned long> Column::*buffer,
                       unsigned long none, int column, int columnCount, int row, int rowCount,
                       unsigned long value, EditTableBlock* changed);
    bool StoreValue(Column& c, int column, int row, const void* address);
    static const void* OriginalSlot(const Column& c, int type, int row);
    void InsertRowsAt(int at, int count); /* 0-based, no checks, no callbacks */
    void EraseRows(int at, int count);

    EditTableHooks* hooks;
    std::vector<Column> columns;
    int rowCount = 0;
    std::vector<char> rowHidden;             /* empty while no row is hidden */
    std::vector<std::string> rowAnnotations; /* empty while no row has a heading of its own */
    std::vector<EditTableBlock> selections;
    std::string text; /* the last CellText */
};

#endif
