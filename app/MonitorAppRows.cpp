// Connection rows of the current server: filing records into slots, deriving their texts,
// ageing and listing them, accounting traffic per service, and sorting the list on show.
// A row is a slot of the shared row array; a slot's place never changes while it is used,
// so the filing index and the active and failed lists can hold it by pointer or number.
// Each poll files every record it gets (a new key takes the next free slot), then ages
// the rows once (see AgeRow): a connection the server reports ended stays listed for one
// more poll before its slot is freed, so that the user sees it end.
#include "app/MonitorApp.h"

#include <arpa/inet.h>
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <Xm/TextF.h>

#include <algorithm>
#include <vector>

#include "core/AddressTexts.h"
#include "core/Connection.h"
#include "core/ConnectionRows.h"
#include "app/MonSOCKS5.h"
#include "core/RowSort.h"
#include "core/SortEntries.h"
#include "core/TableTexts.h"
#include "app/util.h"
#include "lib/monUnixTcp.h"

namespace {

// Lists this long are sorted through copies of their keys: below, copying costs more than
// it saves.
enum { ENTRY_SORT_MIN_ROWS = 64 };

// What ageing and traffic accounting read of a row: its kind and age, its state and
// counters, and its destination port.
void PrefetchRow(const Connection* rows, int capacity, int slot)
{
    if (slot >= capacity)
        return;
    __builtin_prefetch(&rows[slot].kind);
    __builtin_prefetch(&rows[slot].data.state);
    __builtin_prefetch(&rows[slot].data.dstSockAddr.sin.sin_port);
}

// The slot of a listed row, or -1 when the pointer is not into this array.
long SlotOf(const Connection* row, const Connection* base, int capacity)
{
    uintptr_t at = reinterpret_cast<uintptr_t>(row);
    uintptr_t first = reinterpret_cast<uintptr_t>(base);
    if (at < first || at >= first + static_cast<uintptr_t>(capacity) * sizeof(Connection)) {
        return -1;
    }
    return static_cast<long>((at - first) / sizeof(Connection));
}

// Slot indices of a server's listed rows, so that the lists survive a move of the array.
std::vector<long> ListedSlots(const SOCKS5* server, const Connection* base, int capacity)
{
    std::vector<long> slots;
    for (int i = 0; i < server->activeCount; i++) {
        slots.push_back(SlotOf(server->activeRows[i], base, capacity));
    }
    for (int i = 0; i < server->failedCount; i++) {
        slots.push_back(SlotOf(server->failedRows[i], base, capacity));
    }
    return slots;
}

void RelistSlots(SOCKS5* server, const std::vector<long>& slots, Connection* base)
{
    size_t next = 0;
    for (int i = 0; i < server->activeCount; i++, next++) {
        if (slots[next] >= 0)
            server->activeRows[i] = base + slots[next];
    }
    for (int i = 0; i < server->failedCount; i++, next++) {
        if (slots[next] >= 0)
            server->failedRows[i] = base + slots[next];
    }
}

// Makes a pointer list hold at least count entries; false when it cannot grow.
bool GrowList(Connection*** list, int listed, int count)
{
    if (listed >= count) {
        return true;
    }
    Connection** grown =
        static_cast<Connection**>(realloc(*list, static_cast<size_t>(count) * sizeof(Connection*)));
    if (!grown) {
        return false;
    }
    *list = grown;
    return true;
}

// Enlarges the row array by one step of CONN_BUFFER_GROWTH slots. Memory is reserved half
// as much again ahead, so most steps only take reserved slots into use; when the rows do
// move, every pointer list into the array is carried over. Slots are zeroed (made free) as
// they are taken into use, not ahead: reserved pages that are never written cost no
// memory. False, with everything unchanged, when memory is exhausted.
bool GrowRowArray(MonitorApp* app)
{
    int capacity = app->connCapacity + CONN_BUFFER_GROWTH;
    if (capacity <= app->connReserved) {
        memset(app->connBuffer + app->connCapacity, 0,
               static_cast<size_t>(CONN_BUFFER_GROWTH) * sizeof(Connection));
        app->connCapacity = capacity;
        return true;
    }
    if (capacity > INT_MAX / 3) {
        return false;
    }
    int reserve = capacity + capacity / 2;
    std::vector<std::vector<long>> listed;
    std::vector<bool> lent; // servers whose rows are this array
    for (int i = 0; i < app->serverCount; i++) {
        listed.push_back(ListedSlots(app->servers[i], app->connBuffer, app->connCapacity));
        lent.push_back(app->servers[i]->rows == app->connBuffer);
    }
    Connection* grown = static_cast<Connection*>(
        realloc(app->connBuffer, static_cast<size_t>(reserve) * sizeof(Connection)));
    if (!grown) {
        return false;
    }
    memset(grown + app->connCapacity, 0,
           static_cast<size_t>(CONN_BUFFER_GROWTH) * sizeof(Connection));
    for (int i = 0; i < app->serverCount; i++) {
        RelistSlots(app->servers[i], listed[i], grown);
        if (lent[i]) {
            app->servers[i]->rows = grown;
        }
    }
    app->connBuffer = grown;
    app->current->rows = grown;
    app->connCapacity = capacity;
    app->connReserved = reserve;
    return true;
}

} // namespace

// Files one record: into its row when the key is known, into a new slot otherwise, unless
// the ledger retired the key (see below) or the row limit is reached.
void MonitorApp::UpdateConnectionList(S5MonData* record)
{
    if (!current || !record) {
        return;
    }
    filing.Sync(current, connBuffer, connCapacity, current->rowCount);
    int found = filing.Find(record->key);
    if (found >= 0) {
        UpdateConnection(&connBuffer[found], record, 0);
    } else if (ledger.IsRetired(record->key)) {
        // Its row was freed while the server still lists it: filed again, its bytes
        // would count again.
    } else if (current->rowCount >= passLimit.rows) {
        rowsLeftOut = true; // a desktop holds only so many rows
    } else {
        int usedEnd = filing.UsedEnd();
        int slot = filing.NextSlot();
        // No memory to grow: the record is dropped, the array stays as it was.
        const Connection* before = connBuffer;
        if (slot < connCapacity || GrowRowArray(this)) {
            filing.Moved(before, connBuffer);
            filing.Take(record->key, slot);
            current->rowCount++;
            // The used part never reaches beyond the array.
            int usedSlots = usedEnd + 1 < connCapacity ? usedEnd + 1 : connCapacity;
            current->rowBytes = static_cast<size_t>(usedSlots) * sizeof(Connection);
            UpdateConnection(&connBuffer[slot], record, 1);
        }
    }
}

// Copies the record into its row and derives the texts the table shows. Start time,
// authentication and source are fixed at the first sight of a connection; the rest may
// change from poll to poll. A new row's traffic counts from the total the ledger gives,
// so that bytes moved before the window watched a connection are not this poll's traffic.
void MonitorApp::UpdateConnection(Connection* row, S5MonData* record, int isNew)
{
    // An update formats again only the texts whose values changed.
    bool sameDuration = !isNew && ElapsedSeconds(row->data) == ElapsedSeconds(*record);
    bool sameDestination = !isNew && SameAddressText(row->data.dstSockAddr, record->dstSockAddr);
    bool sameProxy = !isNew && SameAddressText(row->data.proxySockAddr, record->proxySockAddr);
    row->data = *record;
    const S5MonData& d = row->data;
    if (isNew) {
        snprintf(row->authenText, sizeof row->authenText, "%i", d.authen);
        time_t start = d.startTime;
        struct tm local;
        row->startText[0] = '\0';
        if (localtime_r(&start, &local)) {
            strftime(row->startText, sizeof row->startText, "%H:%M:%S", &local);
        }
        AddressText(row->srcAddrText, sizeof row->srcAddrText, d.srcSockAddr);
        row->lastTotalBytes = ledger.CountedFrom(d);
        row->kind = CONN_ACTIVE;
    }
    if (!sameDuration) {
        ConvertTime(row->durationText, sizeof row->durationText, ElapsedSeconds(d));
    }
    if (!sameDestination) {
        AddressText(row->dstAddrText, sizeof row->dstAddrText, d.dstSockAddr);
    }
    if (!sameProxy) {
        AddressText(row->proxyAddrText, sizeof row->proxyAddrText, d.proxySockAddr);
    }
}

// Ages every row at once: the form used outside a pass (a pass ages in slices).
void MonitorApp::UpdateData(int withTraffic)
{
    if (!current || !current->rows || current->rowCount <= 0) {
        return;
    }
    StartAgeing(withTraffic);
    AgeRows(LLONG_MAX);
    DropSurplusFailedRows();
    ListAgedRows();
}

void MonitorApp::StartAgeing(int withTraffic)
{
    ageing.slot = 0;
    ageing.toVisit = current->rowCount;
    ageing.withTraffic = withTraffic;
    ageing.active.clear();
    ageing.failed.clear();
    ageing.active.reserve(static_cast<size_t>(current->activeCount));
    ageing.failed.reserve(static_cast<size_t>(current->failedCount));
}

// The walk through the row array that ages rows and counts traffic. Each row seen in the
// last poll (age 0) adds the growth of its byte counters, taken modulo 2^32 because the
// server's counters wrap, to its service's traffic in the shown unit. Rows go to the
// active or failed list in slot order; freed rows leave the filing index, and the ledger
// remembers their keys so that a late record of them is not filed again.
bool MonitorApp::AgeRows(long long untilMs)
{
    const Setting& s = current->setting;
    // The clock is read every so many rows only.
    enum { ROWS_BETWEEN_CLOCK_READS = 4096 };
    int sinceClock = 0;
    for (; ageing.slot < connCapacity && ageing.toVisit > 0; ageing.slot++) {
        if (++sinceClock == ROWS_BETWEEN_CLOCK_READS) {
            sinceClock = 0;
            if (Mon_TcpClockMs() >= untilMs)
                return false;
        }
        int i = ageing.slot;
        Connection* row = &connBuffer[i];
        PrefetchRow(connBuffer, connCapacity, i + ROW_PREFETCH_DISTANCE);
        if (row->kind == CONN_FREE) {
            continue;
        }
        ageing.toVisit--;
        if (row->age == RowAge::Open && ageing.withTraffic) {
            S5Count total = row->data.inTotBytes + row->data.outTotBytes;
            S5Count growth = TrafficGrowth(row->lastTotalBytes, total);
            serviceTraffic[GetAppIndex(&row->data)] += static_cast<float>(growth) / s.unitFactor;
            row->lastTotalBytes = total;
        }
        switch (AgeRow(row, s.showFailed)) {
        case ROW_FREED:
            current->rowCount--;
            filing.Release(connBuffer, i);
            ledger.Retire(row->data.key);
            break;
        case ROW_ACTIVE:
            ageing.active.push_back(row);
            break;
        case ROW_FAILED:
            ageing.failed.push_back(row);
            break;
        }
    }
    return true;
}

void MonitorApp::DropSurplusFailedRows()
{
    const Setting& s = current->setting;
    RowList& failedRows = ageing.failed;
    // The server keeps at most maxRejected failed rows: the oldest go first.
    if (static_cast<int>(failedRows.size()) > s.maxRejected) {
        for (int i : SurplusFailedRows(connBuffer, connCapacity, s.maxRejected)) {
            connBuffer[i].kind = CONN_FREE;
            connBuffer[i].age = RowAge::Open;
            current->rowCount--;
            filing.Release(connBuffer, i);
            ledger.Retire(connBuffer[i].data.key);
        }
        failedRows.erase(
            std::remove_if(failedRows.begin(), failedRows.end(),
                           [](const Connection* row) { return row->kind == CONN_FREE; }),
            failedRows.end());
    }
}

Connection** MonitorApp::AgedRowsOnShow(int* count)
{
    RowList& list =
        current->setting.showFailed == 1 ? ageing.failed : ageing.active;
    *count = static_cast<int>(list.size());
    return list.data();
}

// The aged rows become the server's lists, and the status line shows their counts.
void MonitorApp::ListAgedRows()
{
    RowList& failedRows = ageing.failed;
    int active = static_cast<int>(ageing.active.size());
    int failed = static_cast<int>(failedRows.size());
    if (!GrowList(&current->activeRows, current->activeCount, active)) {
        current->activeCount = 0;
        return;
    }
    if (!GrowList(&current->failedRows, current->failedCount, failed)) {
        current->failedCount = 0;
        return;
    }
    std::copy(ageing.active.begin(), ageing.active.end(), current->activeRows);
    std::copy(failedRows.begin(), failedRows.end(), current->failedRows);
    current->activeCount = active;
    current->failedCount = failed;
    // Given back: a row costs its place in the lists once only between polls.
    RowList().swap(ageing.active);
    RowList().swap(ageing.failed);

    char count[16];
    snprintf(count, sizeof count, "%d", active);
    XmTextFieldSetString(activeText, count);
    snprintf(count, sizeof count, "%d", failed);
    XmTextFieldSetString(failedText, count);
}

// The chart's service of a connection: the first selected service with its destination
// port, or the catch-all "Others".
int MonitorApp::GetAppIndex(S5MonData* record)
{
    return ServiceIndexOf(current->setting, ntohs(record->dstSockAddr.sin.sin_port));
}

// Sorts the list on show when the reason can change its order: new data or a new key
// always, a change of naming only for the keys that show names (source, destination).
// The menu's six keys go through the comparison table; the table's other columns sort
// through the core's comparisons.
void MonitorApp::SortConnectionList(SortReason reason)
{
    if (!current) {
        return;
    }
    const Setting& s = current->setting;
    Connection** list = s.showFailed == 1 ? current->failedRows : current->activeRows;
    int count = s.showFailed == 1 ? current->failedCount : current->activeCount;
    if (!list || count <= 0 || ColumnOfSortKey(s.sortType) < 0) {
        return;
    }
    bool byHost = s.sortType == SORT_BY_SOURCE || s.sortType == SORT_BY_DESTINATION;
    if (reason == SORT_AFTER_NEW_DATA || reason == SORT_AFTER_SORT_KEY
        || (reason == SORT_AFTER_NODE_TYPE && byHost)) {
        if (IsMenuSortKey(s.sortType)) {
            Sort(list, 0, count - 1, s.sortType - SORT_BY_SOURCE);
        } else {
            SortKey sortType = s.sortType;
            NodeType nodeType = s.nodeType;
            SortRows(list, 0, count - 1,
                     [sortType, nodeType](const Connection* a, const Connection* b) {
                         return CompareRowsBy(sortType, nodeType, a, b);
                     });
        }
        OrderListOnShow();
    }
}

// A descending order is the ascending one turned round, with ties kept in key order.
void MonitorApp::OrderListOnShow()
{
    const Setting& s = current->setting;
    if (!s.sortDescending)
        return;
    Connection** list = s.showFailed == 1 ? current->failedRows : current->activeRows;
    int count = s.showFailed == 1 ? current->failedCount : current->activeCount;
    if (list && count > 1)
        ReverseSortedRows(list, count, s.sortType, s.nodeType);
}

void MonitorApp::Sort(Connection** list, int left, int right, int key)
{
    // A short list is sorted in place; a long one through copies of its keys, which give
    // the same order.
    if (right - left + 1 >= ENTRY_SORT_MIN_ROWS) {
        SortRowsByEntries(list + left, right - left + 1, static_cast<SortKey>(key + SORT_BY_SOURCE),
                          current->setting.nodeType);
        return;
    }
    CompareFunction compare = compareTable[key];
    SortRows(list, left, right, [this, compare](const Connection* a, const Connection* b) {
        return (this->*compare)(a, b);
    });
}

void MonitorApp::Swap(Connection** list, int i, int j)
{
    Connection* kept = list[i];
    list[i] = list[j];
    list[j] = kept;
}

int MonitorApp::CompareSrc(const Connection* a, const Connection* b)
{
    return CompareRowsBy(SORT_BY_SOURCE, current->setting.nodeType, a, b);
}

int MonitorApp::CompareDst(const Connection* a, const Connection* b)
{
    return CompareRowsBy(SORT_BY_DESTINATION, current->setting.nodeType, a, b);
}

int MonitorApp::CompareUsr(const Connection* a, const Connection* b)
{
    return CompareUserNames(a, b);
}

int MonitorApp::CompareApp(const Connection* a, const Connection* b)
{
    return CompareServiceNames(a, b);
}

int MonitorApp::CompareTime(const Connection* a, const Connection* b)
{
    return CompareStartTimes(a, b);
}

int MonitorApp::CompareByte(const Connection* a, const Connection* b)
{
    return CompareTotalBytes(a, b);
}
