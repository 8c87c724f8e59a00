// How the current server's table shows its rows beyond the menus' choices: the order chosen
// by a column heading (either direction), the filter, the count of what is shown, and the
// window's look while a poll waits for its server.
#include "app/MonitorApp.h"

#include <stdio.h>

#include <X11/cursorfont.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include "app/MonMenu.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "core/RowFilter.h"

// A heading click. The menu's key is remembered while a heading-only key is in use, since
// monitor.ini can keep only the menu's six keys; the Sort By entries then show no choice.
void MonitorApp::SortByHeading(SortKey sortType)
{
    if (!current || sortType == SORT_BY_NONE)
        return;
    Setting& s = current->setting;
    if (s.sortType == sortType) {
        s.sortDescending = !s.sortDescending;
    } else {
        if (IsMenuSortKey(s.sortType))
            s.menuSortType = s.sortType; // what monitor.ini keeps meanwhile
        s.sortType = sortType;
        s.sortDescending = 0;
    }
    ShowResorted(SORT_AFTER_SORT_KEY);
    menu->ResetOptionBn();
}

// The filter is kept cleaned (see CleanFilterText) in the server's setting, to be saved in
// view.ini; the table is filtered at once, not at the next poll.
void MonitorApp::SetFilter(const char* text)
{
    if (!current)
        return;
    Setting& s = current->setting;
    snprintf(s.filter, sizeof s.filter, "%s", CleanFilterText(text, sizeof s.filter).c_str());
    if (!s.filter[0]) {
        // The count goes back to the whole list's, as a poll writes it.
        int total = s.showFailed ? current->failedCount : current->activeCount;
        if (current->status & SOCKS5_CONNECTED)
            ShowShownCount(total, total, false);
    }
    current->status |= SOCKS5_BUSY;
    tableView->RasterTable();
    current->status &= ~SOCKS5_BUSY;
    tableView->AlterTableTitle();
}

// The count goes into the field of the list on show, active or failed.
void MonitorApp::ShowShownCount(int shown, int total, bool filtered)
{
    std::string text = filtered ? ShownOfTotalText(shown, total) : std::to_string(total);
    Widget field = current && current->setting.showFailed ? failedText : activeText;
    XmTextFieldSetString(field, const_cast<char*>(text.c_str()));
}

// The window shows at once that it waits: the label and the cursor are flushed to the
// display here, since a connect may block before the event loop runs again.
void MonitorApp::ShowWaiting(const SOCKS5* server)
{
    char text[MESSAGE_SIZE] = "";
    if (server)
        snprintf(text, sizeof text, "%s %s...", "Waiting for", server->name);
    XmString label = XmStringCreateLocalized(text);
    XtVaSetValues(waitLabel, XmNlabelString, label, NULL);
    XmStringFree(label);
    // Before the window exists there is no cursor to set.
    if (!XtIsRealized(shell))
        return;
    Display* display = XtDisplay(shell);
    if (server) {
        if (watchCursor == None)
            watchCursor = XCreateFontCursor(display, XC_watch);
        XDefineCursor(display, XtWindow(shell), watchCursor);
    } else {
        XUndefineCursor(display, XtWindow(shell));
    }
    // Painted before the wait begins, not when the event loop next gets to it.
    XmUpdateDisplay(shell);
    XFlush(display);
}
