// File > Print (Ctrl+p): the main window printed to PostScript.
#include "app/MonMenu.h"
#include "app/MonitorApp.h"
#include "app/PrintJob.h"

void MonMenu::PrintSelect()
{
    // The job runs on by itself; the menu does not wait for the printer.
    PrintJob::Start(app->shell);
}
