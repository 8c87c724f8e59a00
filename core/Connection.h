// One row of the connection table: the last monitor record received for one proxied
// connection plus the texts derived from it for display.
#ifndef VANTOR_CONNECTION_H
#define VANTOR_CONNECTION_H

#include <stdint.h>

#include <type_traits>
#include "lib/monMsg.h"

// Row kinds.
enum RowKind {
    CONN_FREE = 0,           // free slot
    CONN_FAILED = 1,         // failed connection
    CONN_ACTIVE = 2,         // active connection, as every row is made
    CONN_ACTIVE_STOPPED = 3, // active, marked by the table with the stop icon
    CONN_ACTIVE_PAUSED = 4   // active, marked by the table with the pause icon
};

// How far a row is on its way out, poll by poll; 0 in a fresh or freed slot.
enum class RowAge : int32_t {
    Open = 0,        // the connection was open at the last poll
    Listed = 1,      // ended, and listed
    ListedAgain = 2, // an ended failed row listed once more
    LastListed = 3   // listed for the last time: the slot is freed at the next poll
};

// The row array starts with this many zeroed slots and grows by the second number.
enum { CONN_BUFFER_INITIAL = 25, CONN_BUFFER_GROWTH = 15 };

// Rows are 1.8 KB apart, too far for the processor to see a walk through them and fetch
// ahead by itself: walks that read rows in order ask for the row this many places ahead.
enum { ROW_PREFETCH_DISTANCE = 8 };

// A plain record: the row array is allocated with calloc and grown with realloc, so rows
// must stay trivially copyable and an all-zero slot must be a free one.
struct Connection {
    int32_t kind; // see the row kinds above
    RowAge age;
    uint32_t lastTotalBytes; // inTotBytes + outTotBytes at the last traffic accounting
    char authenText[25];
    char startText[25]; // "%H:%M:%S", local time
    char durationText[25];
    char inText[25]; // written by the table view
    char outText[25];
    char totalText[25];
    char srcAddrText[16]; // dotted form, "0.0.0.0" for an address given by name, empty for an
                          // IPv6 address, whose text is made when shown (AddressTexts.h)
    char dstAddrText[16];
    char proxyAddrText[16];
    S5MonData data; // the whole last record; data.key identifies the connection
};

static_assert(std::is_trivially_copyable<Connection>::value, "rows are moved with realloc");

#endif
