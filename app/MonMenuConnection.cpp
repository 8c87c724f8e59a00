// What the entries of the Connection menu do: filter the table, export the rows on show,
// copy the selected rows.
#include "app/MonMenu.h"

#include "app/ExportDialog.h"
#include "app/FilterDialog.h"
#include "app/MonitorApp.h"
#include "app/RowClipboard.h"

void MonMenu::ConnectionSelect(int value)
{
    // All three act on the current server's rows; without one, the user is told to choose a server.
    if (!NeedsSelectedServer())
        return;
    switch (value) {
    case CONNECTION_FILTER:
        FilterDialog::Open(app);
        break;
    case CONNECTION_EXPORT:
        ExportDialog::Open(app);
        break;
    case CONNECTION_COPY_ROW:
        RowClipboard::CopySelectedRows(app);
        break;
    default:
        break;
    }
}
