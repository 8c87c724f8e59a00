// What the connection table shows, free of X: the title, the column titles and the cell text
// of each data column of a row.
#ifndef VANTOR_TABLETEXTS_H
#define VANTOR_TABLETEXTS_H

#include <stddef.h>

#include "core/AddressTexts.h"
#include "core/Connection.h"
#include "core/Setting.h"

// Data columns of the table.
enum {
    COLUMN_SOURCE = 0,
    COLUMN_DESTINATION = 1,
    COLUMN_USER = 2,
    COLUMN_SERVICE = 3,
    COLUMN_START = 4,
    COLUMN_DURATION = 5,
    COLUMN_IN_TRAFFIC = 6,
    COLUMN_OUT_TRAFFIC = 7,
    COLUMN_TOTAL_TRAFFIC = 8,
    COLUMN_AUTH = 9,
    COLUMN_PROXY = 10,
    COLUMN_ERRORS = 11,
    DATA_COLUMN_COUNT = 12
};

// The size of the buffer in which the title is composed.
enum { TABLE_TITLE_SIZE = 52 };

// The fixed column titles, in data column order.
extern const char* const annotation_label_list[DATA_COLUMN_COUNT];

// The sort key a click on a data column's heading chooses; SORT_BY_NONE for a column that
// sorts nothing (Auth, Proxy Server, Errors).
SortKey SortKeyOfColumn(int dataColumn);
// The data column whose heading shows a sort key's arrow; -1 for no key.
int ColumnOfSortKey(SortKey sortType);

// Composes "Active Connections  (name)" or "Failed Connections  (name)" into a buffer of
// TABLE_TITLE_SIZE bytes; a name too long for it is cut.
void ComposeTableTitle(char title[TABLE_TITLE_SIZE], int showFailed, const char* serverName);

// The text of a host: its name in host-name mode, its address text in address mode or when
// the record carries no name: the row's kept text, or an IPv6 address's text made in buffer.
const char* HostText(const char* name, const char* keptAddressText, const S5NetAddr& address,
                     NodeType nodeType, AddressTextBuffer* buffer);

// The text of one data column of a row; none for a column number outside 0 to 11. The three
// traffic texts are written into the row's own buffers first, in units of unitFactor bytes;
// the text of an IPv6 address into addressBuffer, where it stays until the next call.
char* ConnectionCellText(Connection* row, int dataColumn, NodeType nodeType, float unitFactor,
                         AddressTextBuffer* addressBuffer);

#endif
