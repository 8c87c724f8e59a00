// The connection table view. Until the table widget exists the view shows an empty,
// white sheet with the placeholder text, so the window keeps its final layout.
#include "MonTable.h"

#include <Xm/Label.h>
#include <Xm/ScrolledW.h>
#include <Xm/Xm.h>

#include "MonitorApp.h"

MonTable* current_monTable = NULL;

MonTable::MonTable(Widget parent, MonitorApp* owner)
    : scroll(NULL), table(NULL), app(owner)
{
    current_monTable = this;
    scroll = XtVaCreateManagedWidget("scroll", xmScrolledWindowWidgetClass, parent,
                                     XmNscrollingPolicy, XmAUTOMATIC, NULL);
    table = XtVaCreateManagedWidget("table", xmLabelWidgetClass, scroll, NULL);
}

MonTable::~MonTable() {}

void MonTable::RasterTable() {}

void MonTable::ClearTable() {}

void MonTable::RestoreTable(int) {}

void MonTable::callColumnSelect() {}
