// The texts of the connection table: headings, title, and each cell's text made from a row.
// Cells point into the row where they can, so that a table fill copies nothing.
#include "core/TableTexts.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>

const char* const annotation_label_list[DATA_COLUMN_COUNT] = {
    "Source",     "Destination", "User Name",     "Service", "Start Time",   "Duration",
    "In Traffic", "Out Traffic", "Total Traffic", "Auth",    "Proxy Server", "Errors",
};

void ComposeTableTitle(char title[TABLE_TITLE_SIZE], int showFailed, const char* serverName)
{
    const char* heading = showFailed ? "Failed Connections " : "Active Connections ";
    snprintf(title, TABLE_TITLE_SIZE, "%s (%s)", heading, serverName);
}

namespace {

// The n with unitFactor = 2 to the power n, or -1 when it is not such a power (from 1 on).
int PowerOfTwo(float unitFactor)
{
    int exponent = 0;
    if (frexpf(unitFactor, &exponent) != 0.5f || exponent < 1 || exponent > 32)
        return -1;
    return exponent - 1;
}

// Bytes in the chosen unit, as the table shows them: "%.2f" of bytes / unitFactor. Every unit
// the settings offer is a power of two, so the quotient is exact and its rounding to
// hundredths (to nearest, a half to even, as printf does) can be done on integers: three
// texts per row and poll, where snprintf of a double was the larger part of a table fill.
char* TrafficText(char (&buffer)[25], uint32_t bytes, float unitFactor)
{
    int shift = PowerOfTwo(unitFactor);
    if (shift < 0) {
        snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(bytes) / unitFactor);
        return buffer;
    }
    uint64_t scaled = static_cast<uint64_t>(bytes) * 100;
    uint64_t hundredths = scaled >> shift;
    if (shift > 0) {
        uint64_t rest = scaled & ((uint64_t{1} << shift) - 1);
        uint64_t half = uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (hundredths & 1)))
            hundredths++;
    }
    char digits[24];
    int n = 0;
    uint64_t whole = hundredths / 100;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    char* out = buffer;
    while (n > 0)
        *out++ = digits[--n];
    *out++ = '.';
    *out++ = static_cast<char>('0' + hundredths % 100 / 10);
    *out++ = static_cast<char>('0' + hundredths % 10);
    *out = '\0';
    return buffer;
}

} // namespace

// A host as the table shows it: its name when names are shown and it has one, else its
// address (an IPv6 one formatted into the caller's buffer).
const char* HostText(const char* name, const char* keptAddressText, const S5NetAddr& address,
                     NodeType nodeType, AddressTextBuffer* buffer)
{
    if (nodeType != NODE_IP_ADDRESSES && name[0])
        return name;
    return ShownAddressText(keptAddressText, address, buffer);
}

char* ConnectionCellText(Connection* row, int dataColumn, NodeType nodeType, float unitFactor,
                         AddressTextBuffer* addressBuffer)
{
    S5MonData& d = row->data;
    // Every text is the row's own or the caller's, writable.
    auto host = [nodeType, addressBuffer](char* name, char* keptText, const S5NetAddr& address) {
        return const_cast<char*>(HostText(name, keptText, address, nodeType, addressBuffer));
    };
    switch (dataColumn) {
    case COLUMN_SOURCE:
        return host(d.srcHostName, row->srcAddrText, d.srcSockAddr);
    case COLUMN_DESTINATION:
        return host(d.dstHostName, row->dstAddrText, d.dstSockAddr);
    case COLUMN_USER:
        return d.userName;
    case COLUMN_SERVICE:
        return d.appName;
    case COLUMN_START:
        return row->startText;
    case COLUMN_DURATION:
        return row->durationText;
    case COLUMN_IN_TRAFFIC:
        return TrafficText(row->inText, d.inTotBytes, unitFactor);
    case COLUMN_OUT_TRAFFIC:
        return TrafficText(row->outText, d.outTotBytes, unitFactor);
    case COLUMN_TOTAL_TRAFFIC:
        return TrafficText(row->totalText, row->lastTotalBytes, unitFactor);
    case COLUMN_AUTH:
        return row->authenText;
    case COLUMN_PROXY:
        return host(d.proxyHostName, row->proxyAddrText, d.proxySockAddr);
    case COLUMN_ERRORS:
        return d.socksErrMsg;
    default:
        return NULL;
    }
}

namespace {

// Data columns and the keys their headings sort by.
const struct {
    int column;
    SortKey sortType;
} kHeadingKeys[] = {
    {COLUMN_SOURCE, SORT_BY_SOURCE},
    {COLUMN_DESTINATION, SORT_BY_DESTINATION},
    {COLUMN_USER, SORT_BY_USER},
    {COLUMN_SERVICE, SORT_BY_SERVICE},
    {COLUMN_START, SORT_BY_START_TIME},
    {COLUMN_DURATION, SORT_BY_DURATION},
    {COLUMN_IN_TRAFFIC, SORT_BY_IN_TRAFFIC},
    {COLUMN_OUT_TRAFFIC, SORT_BY_OUT_TRAFFIC},
    {COLUMN_TOTAL_TRAFFIC, SORT_BY_TOTAL_TRAFFIC},
};

} // namespace

// The sort key of a heading click; SORT_BY_NONE for columns that do not sort (Auth, Proxy,
// Errors).
SortKey SortKeyOfColumn(int dataColumn)
{
    for (const auto& key : kHeadingKeys)
        if (key.column == dataColumn)
            return key.sortType;
    return SORT_BY_NONE;
}

int ColumnOfSortKey(SortKey sortType)
{
    for (const auto& key : kHeadingKeys)
        if (key.sortType == sortType)
            return key.column;
    return -1;
}
