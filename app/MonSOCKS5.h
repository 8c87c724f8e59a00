// One monitored SOCKS5 server: its name, its own settings, its monitor handle, its rows and
// its two timers (polling and the spinning status icon).
#ifndef VANTOR_MONSOCKS5_H
#define VANTOR_MONSOCKS5_H

#include <X11/Intrinsic.h>

#include "core/BitSet.h"
#include "core/Setting.h"
#include "lib/monAPI.h"

struct Connection;
class MonitorApp;

// The status of a server: a set of these bits.
enum ServerStatus : unsigned char {
    SOCKS5_LOST = 0,      // no bit: a failure cleared `enabled`
    SOCKS5_ENABLED = 1,   // `enabled`: may be polled; cleared by a failure
    SOCKS5_CONNECTED = 2, // `connected`: monitor handle open
    SOCKS5_PAUSED = 4,    // `paused`
    SOCKS5_BUSY = 8       // `busy`: a poll or redraw is in progress
};

VANTOR_BIT_SET(ServerStatus);

// The timer id that means "no timer running".
const XtIntervalId SOCKS5_NO_TIMER = 999999;

enum { SOCKS5_NAME_SIZE = 256 };

class SOCKS5 {
public:
    SOCKS5(const char* name, MonitorApp* app, Setting setting);
    ~SOCKS5();
    SOCKS5(const SOCKS5&) = delete;
    SOCKS5& operator=(const SOCKS5&) = delete;

    // Starts the polling and spinner timers that are not running.
    void AddTimer();
    // Stops both timers.
    void RemoveTimer();
    // A new polling interval; both timers start afresh.
    void UpdateTime(int seconds);
    // Starts this server's own settings from the template s (every column visible, no filter).
    void CopySetting(Setting s);
    // Closes the monitor handle, if open, and sets status to the given bits.
    void CloseHandle(ServerStatus newStatus);

    static void TimeOutCallback(XtPointer clientData, XtIntervalId* id);
    static void SpinTimeOutCallback(XtPointer clientData, XtIntervalId* id);
    // The timers' work: one poll, one spinner step.
    void TimeOut();
    void SpinTimeOut();

    // The spinner phase shared by all servers.
    static int pixmap_index;

    Widget button;               // the server menu entry, none until the menu adds it
    char name[SOCKS5_NAME_SIZE]; // "host" or "host:port"
    ServerStatus status;         // SOCKS5_... bits
    int failedCount;             // length of failedRows
    int activeCount;             // length of activeRows
    Connection** activeRows;     // active rows in display order
    Connection** failedRows;     // failed rows in display order
    Setting setting;
    int tmpFd;                // file of parked rows, -1 when none
    int rowCount;             // used slots of rows
    size_t rowBytes;          // byte length of the used part of rows
    Connection* rows;         // MonitorApp::connBuffer while current, else none
    S5MonHandle handle;       // none when not connected
    int spinInterval;         // milliseconds
    XtIntervalId updateTimer; // SOCKS5_NO_TIMER when none
    XtIntervalId spinTimer;
    unsigned timerChanges; // counts AddTimer and RemoveTimer, so a handler sees an action
    MonitorApp* app;
};

#endif
