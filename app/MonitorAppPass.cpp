// A poll's pass read as its records arrive, between the window's other events: the pass is
// driven by the readiness of the monitor connection (an input source on its descriptor), a
// time-out at the connection's next deadline, and, when a slice of work was cut short, a
// work procedure that goes on once the window is idle. Once the records are all in, the
// rows age, and their sort keys are read and sorted, in slices the same way; then they are
// listed and shown at once. However slowly or however much a server sends, the window
// repaints, its menus open and Stop acts during the pass.
#include "app/MonitorApp.h"

#include <malloc.h>
#include <stdio.h>

#include "app/MonChart.h"
#include "app/MonMenu.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/util.h"
#include "lib/monUnixTcp.h"

namespace {

// Records received before they are filed; 16 records are 26 KB, well inside the cache.
enum { RECORD_BATCH = 16 };
// The longest a slice of a pass keeps the window from its events: half a frame at 60 Hz,
// so that scrolling and the spinning icon stay smooth while a big list comes in.
const long long SLICE_MS = 8;
// Passes of this many rows give back the memory they borrowed as they end; below it the
// trim costs more than the memory it returns.
const int BIG_PASS_ROWS = 20000;

} // namespace

// Starts reading the current server's list: the connection's descriptor becomes an input
// source of the event loop, and the first slice sends the request.
void MonitorApp::BeginPass()
{
    SOCKS5* server = current;
    int fd = S5MonDescriptor(server->handle);
    if (fd < 0) {
        EndPass(PASS_LOST);
        return;
    }
    rowsLeftOut = false;
    ledger.BeginPass();
    ShowWaiting(server);
    pass.server = server;
    pass.records = 0;
    pass.input =
        XtAppAddInput(monitor_app, fd, (XtPointer)XtInputReadMask, PassInputCallback, this);
    ReadPassSlice(); // sends the request
}

// Reads and files what has come, for at most SLICE_MS. Each slice ends in one of three
// ways: the list is complete or lost (the pass ends), nothing more has come (the input
// source or the deadline's time-out calls again), or the time is up while records wait in
// the read-ahead (a work procedure calls again once the window's events are served).
void MonitorApp::ReadPassSlice()
{
    SOCKS5* server = pass.server;
    if (!server)
        return;
    long long sliceEnd = Mon_TcpClockMs() + SLICE_MS;
    // Records are filed a batch at a time: the index entries and rows a batch needs are asked
    // for before any of its records is filed, so that their fetches from memory overlap.
    S5MonData batch[RECORD_BATCH];
    for (;;) {
        int received = 1;
        int taken = 0;
        while (taken < RECORD_BATCH
               && (received = S5MonRecvNextDataNoWait(server->handle, 0, &batch[taken])) > 0) {
            if (++pass.records > passLimit.records) {
                received = -1; // the position in the stream is lost with the pass: a failed read
                break;
            }
            ledger.See(batch[taken]);
            taken++;
        }
        // The index must know of rows filed since the last batch (and of a row array that
        // grew and moved) before it is asked where this batch's records go.
        filing.Sync(server, connBuffer, connCapacity, server->rowCount);
        // Three passes over the batch instead of one: first every index entry is asked for,
        // then every row it names, then the records are filed, by which time the memory
        // they touch has come. Filing record by record would wait for each miss in turn.
        for (int i = 0; i < taken; i++)
            filing.PrefetchEntry(batch[i].key);
        // A key that no row holds is looked up in the ledger next: that is asked for too.
        for (int i = 0; i < taken; i++)
            if (!filing.PrefetchRow(batch[i].key))
                ledger.Prefetch(batch[i].key);
        for (int i = 0; i < taken; i++)
            UpdateConnectionList(&batch[i]);
        if (received == 0 || received == -1) {
            EndPass(received == 0 ? PASS_COMPLETE : PASS_LOST);
            return;
        }
        if (received == S5MON_NOT_YET) {
            // The input source resumes the pass; the time-out ends one that stalls.
            if (pass.limitTimer)
                XtRemoveTimeOut(pass.limitTimer);
            pass.limitTimer = 0;
            int wait = S5MonWaitLimitMs(server->handle);
            if (wait >= 0)
                pass.limitTimer = XtAppAddTimeOut(monitor_app, static_cast<unsigned long>(wait) + 1,
                                                  PassLimitCallback, this);
            return;
        }
        if (Mon_TcpClockMs() >= sliceEnd) {
            // What was read ahead no longer makes the descriptor readable: go on when idle.
            if (!pass.work)
                pass.work = XtAppAddWorkProc(monitor_app, PassWorkCallback, this);
            return;
        }
    }
}

// Removes the pass's input source, time-out and work procedure; no callback of this pass
// comes afterwards.
void MonitorApp::StopReadingPass()
{
    if (pass.input)
        XtRemoveInput(pass.input);
    if (pass.limitTimer)
        XtRemoveTimeOut(pass.limitTimer);
    if (pass.work)
        XtRemoveWorkProc(pass.work);
    pass.input = 0;
    pass.limitTimer = 0;
    pass.work = 0;
    pass.server = NULL;
}

// The records are all in (or the connection is lost): the traffic ledger closes the poll,
// and the rows of the current server are aged, listed and sorted in slices.
void MonitorApp::EndPass(PassOutcome outcome)
{
    SOCKS5* server = pass.server ? pass.server : current;
    StopReadingPass();
    if (outcome == PASS_COMPLETE)
        ledger.EndPass();
    if (rowsLeftOut && !rowLimitWarned) {
        rowLimitWarned = true;
        snprintf(
            message, sizeof message,
            "SOCKS5Server %s sent more than %d connections: the window shows only the first %d.",
            server->name, passLimit.rows, passLimit.rows);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
    }
    if (outcome == PASS_LOST) {
        // The connection is gone; the rows stay as they are.
        server->CloseHandle(SOCKS5_LOST);
        WarnAboutServer("Connection unavailable to SOCKS5Server: ", server);
    }
    if (server == current && (server->status & SOCKS5_ENABLED) && current->rows
        && current->rowCount > 0) {
        // The pass goes on while its rows age, a slice at a time; the table shows the
        // rows of the previous poll until they are listed anew.
        pass.server = server;
        StartAgeing(1);
        AgePassSlice();
        return;
    }
    FinishPass(server, false);
}

// Ages rows, then sorts the list on show, for at most SLICE_MS a call. The sort is
// resumable (RowSorter), so a list of hundreds of thousands of rows never blocks the window.
void MonitorApp::AgePassSlice()
{
    long long sliceEnd = Mon_TcpClockMs() + SLICE_MS;
    if (!pass.sorting) {
        if (!AgeRows(sliceEnd)) {
            if (!pass.work)
                pass.work = XtAppAddWorkProc(monitor_app, PassWorkCallback, this);
            return;
        }
        DropSurplusFailedRows();
        int count = 0;
        Connection** list = AgedRowsOnShow(&count);
        sorter.Begin(list, count, current->setting.sortType, current->setting.nodeType);
        pass.sorting = true;
    }
    if (!sorter.Sort(sliceEnd)) {
        if (!pass.work)
            pass.work = XtAppAddWorkProc(monitor_app, PassWorkCallback, this);
        return;
    }
    SOCKS5* server = pass.server;
    StopReadingPass();
    FinishPass(server, true);
}

// Shows what the pass gave, all at once: lists, order, table and chart.
void MonitorApp::FinishPass(SOCKS5* server, bool aged)
{
    if (server == current && (server->status & SOCKS5_ENABLED)) {
        const Setting& s = current->setting;
        int count = 0;
        // Sorted through the keys read during the pass, unless the choice of list, key or
        // naming changed meanwhile.
        bool sorted = aged && (sorter.Sorts(AgedRowsOnShow(&count), s.sortType, s.nodeType))
            && s.sortType >= SORT_BY_SOURCE && s.sortType <= SORT_BY_TOTAL_TRAFFIC;
        if (sorted)
            sorter.Sort();
        if (aged)
            ListAgedRows();
        if (!sorted)
            SortConnectionList(SORT_AFTER_NEW_DATA);
        else
            OrderListOnShow();
        tableView->RasterTable();
        chartView->RasterChart();
    }
    pass.sorting = false;
    sorter = RowSorter();
    // What a big pass borrowed for its lists and sort keys goes back to the system instead
    // of staying with the process between polls.
    if (aged && current && current->rowCount >= BIG_PASS_ROWS)
        malloc_trim(0);
    server->status &= ~SOCKS5_BUSY;
    ShowWaiting(NULL);
    if (!(server->status & SOCKS5_ENABLED)) {
        // The menus, buttons and status icon say that the server is lost.
        server->RemoveTimer();
        menu->setValues(MenuState::Stopped);
        setWkLabelValue(STATUS_NEW_REJECTION);
    } else if (pass.restartTimers && server->timerChanges == pass.timerChanges) {
        // Both timers start afresh, unless an action meanwhile (Pause, Stop, a new
        // interval) has made its own choice.
        server->RemoveTimer();
        server->AddTimer();
    }
}

// Stop, a server switch or leaving the program: the pass ends where it is.
void MonitorApp::CancelPass()
{
    if (!pass.server)
        return;
    pass.server->status &= ~SOCKS5_BUSY;
    ShowWaiting(NULL);
    StopReadingPass();
    // Rows aged so far stay so; the lists of the previous poll stay on show.
    ageing = RowAgeing();
    pass.sorting = false;
    sorter = RowSorter();
}

void MonitorApp::PassInputCallback(XtPointer clientData, int*, XtInputId*)
{
    static_cast<MonitorApp*>(clientData)->ReadPassSlice();
}

void MonitorApp::PassLimitCallback(XtPointer clientData, XtIntervalId*)
{
    MonitorApp* app = static_cast<MonitorApp*>(clientData);
    app->pass.limitTimer = 0; // spent
    app->ReadPassSlice();
}

Boolean MonitorApp::PassWorkCallback(XtPointer clientData)
{
    MonitorApp* app = static_cast<MonitorApp*>(clientData);
    app->pass.work = 0; // removed as it returns True
    if (app->pass.input)
        app->ReadPassSlice();
    else
        app->AgePassSlice(); // the records are all in
    return True;
}
