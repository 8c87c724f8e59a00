// The upper view of the main window: the connection table of the current server, a table
// widget in a scroll container, one row per connection on show (active or failed).
#ifndef VANTOR_MONTABLE_H
#define VANTOR_MONTABLE_H

#include <X11/Intrinsic.h>

#include <vector>

#include "core/AddressTexts.h"
#include "core/Setting.h"
#include "toolkit/EditTable.h"

class MonitorApp;
struct Connection;

class MonTable {
public:
    MonTable(Widget parent, MonitorApp* app);
    ~MonTable();
    MonTable(const MonTable&) = delete;
    MonTable& operator=(const MonTable&) = delete;

    // Builds the table on first use and applies the shown setting's columns and title.
    void SetupTable(Widget parent);
    void BuildTable(Widget parent, Setting s);
    // Columns, their widths, visibility and frozen ones, and the sort arrow, from s.
    void AlterColumnSetting(Setting s);
    void AlterTableTitle();
    // Redraws the rows on show after a poll or a change of list, order or filter.
    void RasterTable();
    // Deletes every row.
    void ClearTable();
    // After the current server or its list changed; see MonTable.cpp.
    void RestoreTable(int reload);
    // Opens the Table Settings dialog for the current server.
    void callColumnSelect();
    static void ColumnSelectCallback();

    // The table asks for the cells it draws: the texts of the rows on show are made only
    // for the rows in view, whatever the number of connections.
    // The number of rows on show: the server's list on show, or the rows of it that its
    // filter lets through; and row i (from 0) of them, NULL beyond.
    int ShownCount();
    Connection* ShownRow(int i);
    // The rows the table has, or would have without the current server's filter.
    int RowsWithoutFilter();
    // The heading of the column the list is sorted by shows the order's direction.
    void ShowSortArrow();
    // A click on a column heading sorts by its column.
    static void HeadingCallback(Widget w, XtPointer clientData, XtPointer callData);

    static void CellSourceCallback(Widget w, XtPointer closure, int column, int row,
                                   XomEditTableCellContent* content);
    void CellSource(int column, int row, XomEditTableCellContent* content);

    Widget scroll;     // the scroll container "scroll"
    Widget table;      // the table "table"; none until built
    Pixmap* connIcons; // [0] stop icon (kind 3), [1] pause icon (kind 4)
    Pixel stripe;      // the background of odd rows
    MonitorApp* app;
    // The text of an IPv6 address cell: the table takes each cell's text before it asks for
    // the next, as its own texts last only until then.
    AddressTextBuffer addressCell;
    // While a filter is set, the places in the server's list of the rows on show: places
    // stay right when the rows move in memory, and a list cut short only loses rows.
    std::vector<int> filtered;
};

// The one table view.
extern MonTable* current_monTable;

#endif
