// The monitoring cycle of the current server: start, poll, pause, stop, and parking its
// rows in a temporary file.
#include "app/MonitorApp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Connection.h"
#include "app/MonChart.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/util.h"

namespace {

// Records received before they are filed; 16 records are 26 KB, well inside the cache.
enum { RECORD_BATCH = 16 };

} // namespace

void MonitorApp::StartMonitoring()
{
    if (!current) {
        KesWarningPost(shell, "No SCOSK5Server selected. Please choose a SOCKS5Server.", NULL, NULL,
                       "Warning");
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
        if (S5MonNetOpen(current->name, MON_CLIENT_NETWORK, &current->handle) != 0) {
            current->CloseHandle(0);
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
    RunMonitoring();
    if (current && (current->status & SOCKS5_ENABLED)) {
        current->AddTimer();
    }
}

void MonitorApp::RunMonitoring()
{
    if (!current || !(current->status & SOCKS5_CONNECTED) || (current->status & SOCKS5_BUSY)) {
        return;
    }
    SOCKS5* server = current;
    server->status |= SOCKS5_BUSY;
    RetrieveData();
    if (server->status & SOCKS5_ENABLED) {
        UpdateData(1);
        SortConnectionList(SORT_AFTER_NEW_DATA);
        tableView->RasterTable();
        chartView->RasterChart();
    }
    server->status &= ~SOCKS5_BUSY;
}

void MonitorApp::RetrieveData()
{
    if (!current) {
        return;
    }
    if (!current->handle) {
        current->status = 0;
        return;
    }
    // Records are filed a batch at a time: the index entries and rows a batch needs are asked
    // for before any of its records is filed, so that their fetches from memory overlap.
    S5MonData batch[RECORD_BATCH];
    int received = 1;
    int records = 0;
    rowsLeftOut = false;
    ledger.BeginPass();
    while (received > 0) {
        int taken = 0;
        while (taken < RECORD_BATCH
               && (received = S5MonRecvNextData(current->handle, 0, &batch[taken])) > 0) {
            if (++records > passLimit.records) {
                received = -1; // the position in the stream is lost with the pass: a failed read
                break;
            }
            ledger.See(batch[taken]);
            taken++;
        }
        filing.Sync(current, connBuffer, connCapacity, current->rowCount);
        for (int i = 0; i < taken; i++)
            filing.PrefetchEntry(batch[i].key);
        for (int i = 0; i < taken; i++)
            filing.PrefetchRow(batch[i].key);
        for (int i = 0; i < taken; i++)
            UpdateConnectionList(&batch[i]);
    }
    if (rowsLeftOut && !rowLimitWarned) {
        rowLimitWarned = true;
        snprintf(
            message, sizeof message,
            "SOCKS5Server %s sent more than %d connections: the window shows only the first %d.",
            current->name, passLimit.rows, passLimit.rows);
        KesWarningPost(shell, message, NULL, NULL, "Warning");
    }
    if (received == 0) {
        ledger.EndPass();
    }
    if (received < 0) {
        // The connection is gone; the rows stay as they are.
        current->CloseHandle(0);
        WarnAboutServer("Connection unavailable to SOCKS5Server: ", current);
    }
}

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
