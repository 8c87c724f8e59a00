// The entries that open the program's secondary windows: the three settings dialogs of
// the Options menu and the two windows of the Help menu.
#include "app/HelpDialog.h"
#include "app/MonChart.h"
#include "app/Logo.h"
#include "app/MonMenu.h"
#include "app/MonitorApp.h"

#include "app/ColumnSelect.h"
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

void MonMenu::GraphSettingsSelect()
{
    app->chartView->BuildServicePanel();
}

void MonMenu::ManualSelect()
{
    new HelpDialog(app->shell);
}

void MonMenu::AboutSelect()
{
    new Logo(app->shell);
}
