// The upper view of the main window: the connection table of the current server, a table
// widget in a scroll container, one row per connection on show (active or failed).
#ifndef VANTOR_MONTABLE_H
#define VANTOR_MONTABLE_H

#include <stddef.h>

#include <X11/Intrinsic.h>

#include "app/Setting.h"

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
    void FillData(Connection** list, int count, int dataColumn, int position);
    void AlterBackground(int firstRow, int lastRow);
    void ClearTable();
    void RestoreTable(int reload);
    void callColumnSelect();
    static void ColumnSelectCallback();

    Widget scroll;                      // the scroll container "scroll"
    Widget table;                       // the table "table"; none until built
    char** columnText[SETTING_COLUMNS]; // per position, the cell texts of all rows
    int rowCapacity;                    // rows each columnText array was sized for
    Pixmap* connIcons;                  // [0] stop icon (kind 3), [1] pause icon (kind 4)
    MonitorApp* app;

    // How the columnText arrays grow: realloc, replaceable so that a failed allocation can
    // be shown to leave the table as it was.
    void* (*reallocate)(void* block, size_t size);

private:
    bool GrowColumnTexts(int count);
};

// The one table view.
extern MonTable* current_monTable;

#endif
