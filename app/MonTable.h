// The upper view of the main window: the connection table of the current server.
#ifndef VANTOR_MONTABLE_H
#define VANTOR_MONTABLE_H

#include <X11/Intrinsic.h>

#include "app/Setting.h"

class MonitorApp;

class MonTable {
public:
    MonTable(Widget parent, MonitorApp* app);
    ~MonTable();
    MonTable(const MonTable&) = delete;
    MonTable& operator=(const MonTable&) = delete;

    void RasterTable();
    void ClearTable();
    void RestoreTable(int reload);
    void callColumnSelect();

    Widget scroll;     // the container that holds the table; what the paned window shows
    Widget table;      // the table itself
    MonitorApp* app;
};

// The one table view.
extern MonTable* current_monTable;

#endif
