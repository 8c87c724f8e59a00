// The monitoring cycle of the current server: start, poll, pause, stop, and parking its
// rows in a temporary file. Only the current server is polled, and all servers share one
// row array (connBuffer): a server left for another keeps its rows in a temporary file of
// its own and gets them back when it is chosen again, so that memory holds one server's
// rows however many are watched.
#include "app/MonitorApp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Connection.h"
#include "app/MonChart.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/util.h"

const char NO_SERVER_SELECTED_TEXT[] = "No SCOSK5Server selected. Please choose a SOCKS5Server.";

// Start: connects when not connected (the window waits for that, with the watch cursor),
// then polls at once; the end of that first poll starts the update timers.
void MonitorApp::StartMonitoring()
{
    if (!current) {
        KesWarningPost(shell, NO_SERVER_SELECTED_TEXT, NULL, NULL, "Warning");
        return;
    }
    bool warned = false;
    if (!(current->status & SOCKS5_ENABLED)) {
        // A previous failure cleared it: that is said again, and this same Start tries.
        current->status |= SOCKS5_ENABLED;
        WarnAboutServer("Unable to connect SOCKS5Server: ", current);
        warned = true;
    }
    if (current->status & SOCKS5_CONNECTED) {
        current->status &= ~SOCKS5_PAUSED;
    } else {
        ShowWaiting(current); // the connection is made before anything else happens
        int opened = S5MonNetOpen(current->name, MON_CLIENT_NETWORK, &current->handle);
        ShowWaiting(NULL);
        if (opened != 0) {
            current->CloseHandle(SOCKS5_LOST);
            if (!warned)
                WarnAboutServer("Unable to connect SOCKS5Server: ", current);
            return;
        }
        current->status |= SOCKS5_CONNECTED;
        // A new connection: its first pass sets the baseline, and no count of an earlier
        // run stays on show.
        ledger.Reset();
        ClearCounts();
    }
    current->rows = connBuffer;
    if (PassInProgress()) {
        // An Update Now is under way: its end starts the timers.
        pass.restartTimers = true;
        pass.timerChanges = current->timerChanges;
    } else {
        RunMonitoring(true); // its end starts the timers
    }
}

// One poll, unless one is under way: a second pass on the same connection would read the
// first one's frames. The server is busy until the pass ends.
void MonitorApp::RunMonitoring(bool restartTimers)
{
    if (!current || !(current->status & SOCKS5_CONNECTED) || (current->status & SOCKS5_BUSY)
        || PassInProgress()) {
        return;
    }
    current->status |= SOCKS5_BUSY;
    pass.restartTimers = restartTimers;
    pass.timerChanges = current->timerChanges;
    RetrieveData();
}

void MonitorApp::RetrieveData()
{
    if (!current) {
        return;
    }
    if (!current->handle) {
        current->status = SOCKS5_LOST;
        EndPass(PASS_GONE);
        return;
    }
    // The pass goes on as its records arrive; EndPass finishes the poll.
    BeginPass();
}

// Pause keeps the connection and the rows; only the timers stop.
void MonitorApp::PauseMonitoring()
{
    if (!current || !(current->status & SOCKS5_CONNECTED) || (current->status & SOCKS5_PAUSED)) {
        return;
    }
    current->RemoveTimer();
    current->status |= SOCKS5_PAUSED;
}

void MonitorApp::StopMonitoring()
{
    if (!current) {
        return;
    }
    // A pass under way ends here, its rows dropped with the others.
    CancelPass();
    // Timers started by a new interval run even when the server is not connected; a
    // stopped server keeps none, or it would go on polling whichever server is current.
    current->RemoveTimer();
    if (current->status & SOCKS5_CONNECTED) {
        current->CloseHandle(SOCKS5_ENABLED);
    } else if (current->rowCount <= 0) {
        return;
    }
    // Rows kept after a lost connection are dropped too, so that they never reappear
    // under the next server that uses the row array.
    DropConnectionRows();
    tableView->ClearTable();
}

// The row array goes back to its first size rather than being emptied in place: a server
// with many rows would otherwise leave its memory to the next one.
void MonitorApp::DropConnectionRows()
{
    current->rowCount = 0;
    current->rowBytes = 0;
    filing.Clear();
    current->rows = NULL;
    free(current->activeRows);
    free(current->failedRows);
    current->activeRows = NULL;
    current->failedRows = NULL;
    current->activeCount = 0;
    current->failedCount = 0;
    ledger.Reset();
    ClearCounts();
    Connection* fresh = static_cast<Connection*>(calloc(CONN_BUFFER_INITIAL, sizeof(Connection)));
    if (fresh) {
        free(connBuffer);
        connBuffer = fresh;
        connCapacity = CONN_BUFFER_INITIAL;
        connReserved = CONN_BUFFER_INITIAL;
    } else {
        // Keep the old array, emptied: none of its rows is in use any more.
        memset(connBuffer, 0, static_cast<size_t>(connCapacity) * sizeof(Connection));
    }
}

// Parks the current server's rows in its temporary file (made on first use, unlinked by
// tmpfile, so it goes with the process). A failure loses the rows, not the program: the
// next poll files them anew.
void MonitorApp::SaveConnectionList()
{
    if (!current || current->rowCount <= 0 || !current->rows) {
        return;
    }
    if (current->tmpFd < 0) {
        FILE* file = tmpfile();
        if (!file) {
            current->rowCount = 0;
            return;
        }
        // The descriptor is kept; the stream itself is not needed.
        current->tmpFd = dup(fileno(file));
        fclose(file);
        if (current->tmpFd < 0) {
            current->rowCount = 0;
            return;
        }
    }
    struct stat st;
    if (fstat(current->tmpFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return;
    }
    size_t wanted = current->rowBytes;
    if (pwrite(current->tmpFd, current->rows, wanted, 0) != static_cast<ssize_t>(wanted)) {
        close(current->tmpFd);
        current->tmpFd = -1;
        current->rowCount = 0;
    }
}

// Brings the current server's parked rows back into the row array. Rows that cannot be
// read back whole are dropped, and with them the connection, so that the next Start
// builds them afresh instead of filing records against rows that are not there.
void MonitorApp::RestoreConnectionList()
{
    if (!current) {
        return;
    }
    current->rows = connBuffer;
    filing.Clear(); // the rows may be another server's now
    if (current->tmpFd < 0 || current->rowCount <= 0) {
        return;
    }
    size_t wanted = current->rowBytes;
    bool fits = wanted <= static_cast<size_t>(connCapacity) * sizeof(Connection);
    if (!fits || pread(current->tmpFd, connBuffer, wanted, 0) != static_cast<ssize_t>(wanted)) {
        close(current->tmpFd);
        current->tmpFd = -1;
        current->rowCount = 0;
        if (current->handle) {
            current->CloseHandle(SOCKS5_ENABLED);
        }
    }
}

// Leaving the current server for another: its timers stop, it is marked paused, and its
// rows are parked.
void MonitorApp::clearupSOCKS5()
{
    if (!current) {
        return;
    }
    current->RemoveTimer();
    current->status |= SOCKS5_PAUSED;
    SaveConnectionList();
    if (current->rowCount > 0) {
        tableView->ClearTable();
    }
}
