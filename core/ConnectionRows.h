// The rules by which rows age and compare, apart from the controller so that they can be
// checked without a display.
#ifndef VANTOR_CONNECTIONROWS_H
#define VANTOR_CONNECTIONROWS_H

#include <stdint.h>

#include <vector>

#include "core/AddressTexts.h"
#include "core/Connection.h"
#include "core/Setting.h"

// Bits of S5MonData::state.
enum { CONN_STATE_FAILED = 4, CONN_STATE_ENDED = 8 };

// How a row counts after ageing.
enum RowFate {
    ROW_FREED, // listed for the last time at the previous poll; its slot is free now
    ROW_ACTIVE,
    ROW_FAILED
};

// CONN_ACTIVE and the two marked kinds are active rows.
bool IsActiveRow(const Connection* row);

// Moves a used row on by one poll (the traffic of an open row is accounted before) and
// tells how it counts. showFailed says which kind of row is on show.
RowFate AgeRow(Connection* row, int showFailed);

// The slots of the failed rows to free so that at most keep remain, those that ended first
// (then the lower slot) first. A keep below 1 keeps them all.
std::vector<int> SurplusFailedRows(const Connection* rows, int capacity, int keep);

// The IPv4 address as stored (network order) read as a little-endian word, so that the
// last octet weighs most; 0 for an address given by name.
uint32_t AddressWord(const S5NetAddr& address);

// Comparisons: negative when a goes before b.
// Addresses: IPv4 ones (and those given by name) by their address words with a wrap-around
// difference; IPv6 ones after all of them, by their bytes.
int CompareAddresses(const S5NetAddr& a, const S5NetAddr& b);
// Host names ignore case when nodeType is NODE_HOST_NAMES; otherwise the addresses compare.
int CompareHosts(const char* nameA, const S5NetAddr& addressA, const char* nameB,
                 const S5NetAddr& addressB, NodeType nodeType);
int CompareUserNames(const Connection* a, const Connection* b);
int CompareServiceNames(const Connection* a, const Connection* b);
int CompareStartTimes(const Connection* a, const Connection* b);
int CompareTotalBytes(const Connection* a, const Connection* b);
// Seconds from the start of a connection to its end, or to now while it is open.
int ElapsedSeconds(const S5MonData& d);
// The comparison of a sort key (a SortKey, heading-only keys included) of rows as shown
// under nodeType: hosts are compared as shown, a row without a name by its address.
int CompareRowsBy(SortKey sortType, NodeType nodeType, const Connection* a, const Connection* b);
// Turns list[0..count), sorted ascending by sortType with ties in connection key order,
// into the descending order with ties still in connection key order.
void ReverseSortedRows(Connection** list, int count, SortKey sortType, NodeType nodeType);

#endif
