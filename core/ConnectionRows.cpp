// Ageing and comparison rules of connection rows. The rules live apart from the controller
// so that tests and benchmarks can run them on plain arrays without a display.
#include "core/ConnectionRows.h"

#include "core/TableTexts.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>

namespace {

// The difference of two words in 32-bit wrap-around arithmetic, taken as signed.
int WrapDifference(uint32_t a, uint32_t b)
{
    return static_cast<int32_t>(a - b);
}

// Two hosts of rows compared as the rows show them. Only host names compare as text, so an
// IPv6 address's text is made only then.
int CompareRowHosts(const char* nameA, const char* keptTextA, const S5NetAddr& addressA,
                    const char* nameB, const char* keptTextB, const S5NetAddr& addressB,
                    NodeType nodeType)
{
    if (nodeType != NODE_HOST_NAMES) {
        return CompareHosts("", addressA, "", addressB, nodeType);
    }
    AddressTextBuffer shownA, shownB;
    return CompareHosts(HostText(nameA, keptTextA, addressA, nodeType, &shownA), addressA,
                        HostText(nameB, keptTextB, addressB, nodeType, &shownB), addressB,
                        nodeType);
}

} // namespace

bool IsActiveRow(const Connection* row)
{
    return row->kind == CONN_ACTIVE || row->kind == CONN_ACTIVE_STOPPED
        || row->kind == CONN_ACTIVE_PAUSED;
}

// A row's age counts polls since the server reported it ended: 0 open (or seen ending just
// now), 1 ended at the last poll, 2 failed and shown once more, 3 due to be freed. An ended
// row is thus listed in the poll that saw it end and the next, so that the user sees it
// go; a failed row ages only while failed rows are on show, so that none vanishes unseen.
RowFate AgeRow(Connection* row, int showFailed)
{
    switch (row->age) {
    case RowAge::LastListed:
        row->kind = CONN_FREE;
        row->age = RowAge::Open;
        return ROW_FREED;
    case RowAge::Open:
        if (!(row->data.state & CONN_STATE_ENDED)) {
            return ROW_ACTIVE;
        }
        row->age = RowAge::Listed;
        if (row->data.state & CONN_STATE_FAILED) {
            row->kind = CONN_FAILED;
            return ROW_FAILED;
        }
        return ROW_ACTIVE;
    default:
        if (IsActiveRow(row)) {
            // Listed in the poll that saw it end and in the next one.
            if (showFailed == 0 && row->age == RowAge::Listed) {
                row->age = RowAge::LastListed;
            }
            return ROW_ACTIVE;
        }
        // A failed row ages only while failed rows are on show.
        if (showFailed == 1) {
            row->age = row->age == RowAge::Listed ? RowAge::ListedAgain : RowAge::LastListed;
        }
        return ROW_FAILED;
    }
}

// A stable sort by end time over slot numbers, so that ties keep slot order and the choice
// does not depend on the sort's whims.
std::vector<int> SurplusFailedRows(const Connection* rows, int capacity, int keep)
{
    std::vector<int> failed;
    for (int i = 0; i < capacity; i++) {
        if (rows[i].kind == CONN_FAILED) {
            failed.push_back(i);
        }
    }
    if (keep < 1 || static_cast<int>(failed.size()) <= keep) {
        return {};
    }
    std::stable_sort(failed.begin(), failed.end(),
                     [rows](int a, int b) { return rows[a].data.endTime < rows[b].data.endTime; });
    failed.resize(failed.size() - static_cast<size_t>(keep));
    return failed;
}

uint32_t AddressWord(const S5NetAddr& address)
{
    if (address.sn.sn_family == ADDRESS_BY_NAME) {
        return 0;
    }
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address.sin.sin_addr.s_addr);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8
        | static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

// IPv4 addresses compare by the wrap-around difference of their words, which orders
// addresses near each other by their last octet as the table has always shown them.
int CompareAddresses(const S5NetAddr& a, const S5NetAddr& b)
{
    bool ipv6A = IsIPv6Address(a);
    if (ipv6A != IsIPv6Address(b)) {
        return ipv6A ? 1 : -1;
    }
    if (!ipv6A) {
        return WrapDifference(AddressWord(a), AddressWord(b));
    }
    int order =
        memcmp(a.sin6.sin6_addr.s6_addr, b.sin6.sin6_addr.s6_addr, sizeof a.sin6.sin6_addr.s6_addr);
    return (order > 0) - (order < 0);
}

int CompareHosts(const char* nameA, const S5NetAddr& addressA, const char* nameB,
                 const S5NetAddr& addressB, NodeType nodeType)
{
    if (nodeType == NODE_HOST_NAMES) {
        return strcasecmp(nameA, nameB);
    }
    return CompareAddresses(addressA, addressB);
}

int CompareUserNames(const Connection* a, const Connection* b)
{
    return strcmp(a->data.userName, b->data.userName);
}

int CompareServiceNames(const Connection* a, const Connection* b)
{
    return strcasecmp(a->data.appName, b->data.appName);
}

int CompareStartTimes(const Connection* a, const Connection* b)
{
    // Compared rather than subtracted: the difference of two 32-bit times may not fit.
    return (a->data.startTime > b->data.startTime) - (a->data.startTime < b->data.startTime);
}

// Total traffic is the byte total counted at the last poll; 32-bit counters wrap, so the
// difference is taken as signed.
int CompareTotalBytes(const Connection* a, const Connection* b)
{
    return WrapDifference(a->lastTotalBytes, b->lastTotalBytes);
}

int ElapsedSeconds(const S5MonData& d)
{
    long long until = (d.state & CONN_STATE_ENDED) ? d.endTime : d.curTime;
    long long elapsed = llabs(until - static_cast<long long>(d.startTime));
    return elapsed > INT_MAX ? INT_MAX : static_cast<int>(elapsed); // beyond: only a damaged record
}

// Every sort key of the table, heading-only keys (in and out traffic, duration) included;
// anything else sorts by total traffic.
int CompareRowsBy(SortKey sortType, NodeType nodeType, const Connection* a, const Connection* b)
{
    switch (sortType) {
    case SORT_BY_IN_TRAFFIC:
        return (a->data.inTotBytes > b->data.inTotBytes)
            - (a->data.inTotBytes < b->data.inTotBytes);
    case SORT_BY_OUT_TRAFFIC:
        return (a->data.outTotBytes > b->data.outTotBytes)
            - (a->data.outTotBytes < b->data.outTotBytes);
    case SORT_BY_DURATION: {
        int elapsedA = ElapsedSeconds(a->data), elapsedB = ElapsedSeconds(b->data);
        return (elapsedA > elapsedB) - (elapsedA < elapsedB);
    }
    case SORT_BY_SOURCE:
        return CompareRowHosts(a->data.srcHostName, a->srcAddrText, a->data.srcSockAddr,
                               b->data.srcHostName, b->srcAddrText, b->data.srcSockAddr, nodeType);
    case SORT_BY_DESTINATION:
        return CompareRowHosts(a->data.dstHostName, a->dstAddrText, a->data.dstSockAddr,
                               b->data.dstHostName, b->dstAddrText, b->data.dstSockAddr, nodeType);
    case SORT_BY_USER:
        return CompareUserNames(a, b);
    case SORT_BY_SERVICE:
        return CompareServiceNames(a, b);
    case SORT_BY_START_TIME:
        return CompareStartTimes(a, b);
    default:
        return CompareTotalBytes(a, b);
    }
}

// Reversal in place instead of a second sort: a list already sorted ascending becomes
// descending in linear time, and ties keep the order the user saw ascending.
void ReverseSortedRows(Connection** list, int count, SortKey sortType, NodeType nodeType)
{
    std::reverse(list, list + count);
    // Each run of equal rows is now in descending key order: turned back.
    for (int start = 0; start < count;) {
        int end = start + 1;
        while (end < count && CompareRowsBy(sortType, nodeType, list[start], list[end]) == 0)
            end++;
        std::reverse(list + start, list + end);
        start = end;
    }
}
