// The texts of the connection table.
#include "app/TableTexts.h"

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

// Bytes in the chosen unit, as the table shows them.
char* TrafficText(char (&buffer)[25], uint32_t bytes, float unitFactor)
{
    snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(bytes) / unitFactor);
    return buffer;
}

} // namespace

char* ConnectionCellText(Connection* row, int dataColumn, int nodeType, float unitFactor)
{
    bool addresses = nodeType == NODE_IP_ADDRESSES;
    S5MonData& d = row->data;
    switch (dataColumn) {
    case COLUMN_SOURCE:
        return addresses ? row->srcAddrText : d.srcHostName;
    case COLUMN_DESTINATION:
        return addresses ? row->dstAddrText : d.dstHostName;
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
        return addresses ? row->proxyAddrText : d.proxyHostName;
    case COLUMN_ERRORS:
        return d.socksErrMsg;
    default:
        return NULL;
    }
}
