// The connection table view. Until the table widget exists the view shows an empty,
// white sheet with the placeholder text, so the window keeps its final layout.
#include "app/MonTable.h"

#include <Xm/Label.h>
#include <Xm/Frame.h>
#include <Xm/Xm.h>

#include "app/MonitorApp.h"

MonTable* current_monTable = NULL;

MonTable::MonTable(Widget parent, MonitorApp* owner)
    : scroll(NULL), table(NULL), app(owner)
{
    current_monTable = this;
    Setting s = app->setting;
    scroll = XtVaCreateManagedWidget("scroll", xmFrameWidgetClass, parent,
                                     XmNshadowType, XmSHADOW_IN, NULL);
    XmString empty = XmStringCreateLocalized((char*)"");
    table = XtVaCreateManagedWidget("table", xmLabelWidgetClass, scroll,
                                    XmNlabelString, empty,
                                    XmNwidth, (Dimension)s.tableWidth,
                                    XmNheight, (Dimension)s.tableHeight,
                                    XmNrecomputeSize, False,
                                    XtVaTypedArg, XmNbackground, XmRString, "white", 6, NULL);
    XmStringFree(empty);
}

MonTable::~MonTable() {}

void MonTable::RasterTable() {}

void MonTable::ClearTable() {}

void MonTable::RestoreTable(int) {}

void MonTable::callColumnSelect() {}
