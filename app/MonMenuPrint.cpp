// File > Print (Ctrl+p): the main window printed to PostScript.
#include "app/MonMenu.h"
#include "app/MonitorApp.h"
#include "app/PrintJob.h"

void MonMenu::PrintSelect()
{
    PrintJob::Start(app->shell);
}
