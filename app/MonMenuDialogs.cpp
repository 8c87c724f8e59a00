// The entries that open the program's secondary windows: the three settings dialogs of
// the Options menu and the two windows of the Help menu.
#include "app/MonMenu.h"

#include "app/ColumnSelect.h"
#include "app/HelpDialog.h"
#include "app/Logo.h"
#include "app/MonChart.h"
#include "app/MonitorApp.h"

void MonMenu::GeneralSettingsSelect()
{
    app->callBuildRejectPanel();
}

// A second Table Settings while the dialog is open opens nothing.
void MonMenu::TableSettingsSelect()
{
    if (!current_column_select)
        app->callColumnSelect();
}

// The dialog is kept between uses; this pops it up again, filled for the current server.
void MonMenu::GraphSettingsSelect()
{
    app->chartView->BuildServicePanel();
}

// Each viewer and About box deletes itself when closed.
void MonMenu::ManualSelect()
{
    new HelpDialog(app->shell);
}

void MonMenu::AboutSelect()
{
    new Logo(app->shell);
}
