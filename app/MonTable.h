// The upper view of the main window: the connection table of the current server, a table
// widget in a scroll container, one row per connection on show (active or failed).
#ifndef VANTOR_MONTABLE_H
#define VANTOR_MONTABLE_H

#include <X11/Intrinsic.h>

#include "app/AddressTexts.h"
#include "app/Setting.h"
#include "toolkit/EditTable.h"

class MonitorApp;
struct Connection;

class MonTable {
public:
    MonTable(Widget parent, MonitorApp* app);
    ~MonTable();
    MonTable(const MonTable&) = delete;
    MonTable& operator=(const MonTable&) = delete;

    void SetupTable(Widget parent);
    void BuildTable(Widget parent, Setting s);
    void AlterColumnSetting(Setting s);
    void AlterTableTitle();
    void RasterTable();
    void ClearTable();
    void RestoreTable(int reload);
    void callColumnSelect();
    static void ColumnSelectCallback();

    // The table asks for the cells it draws: the texts of the rows on show are made only
    // for the rows in view, whatever the number of connections.
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
};

// The one table view.
extern MonTable* current_monTable;

#endif
