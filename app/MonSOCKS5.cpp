// One monitored server: construction with its own copy of the settings, and its two timers.
#include "app/MonSOCKS5.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "app/MonitorApp.h"

int SOCKS5::pixmap_index = 0;

namespace {

// Handles every pending X event before a timer acts, so that queued user actions come
// first. Only X events are waited for: with nothing but a timer pending, XtAppNextEvent
// would block until the next X event.
void DrainPendingEvents()
{
    while (XtAppPending(monitor_app) & XtIMXEvent) {
        XEvent event;
        XtAppNextEvent(monitor_app, &event);
        XtDispatchEvent(&event);
    }
}

// An action handled while draining may have removed the server from the list.
bool StillListed(const MonitorApp* app, const SOCKS5* server)
{
    for (int i = 0; i < app->serverCount; i++) {
        if (app->servers[i] == server) {
            return true;
        }
    }
    return false;
}

} // namespace

SOCKS5::SOCKS5(const char* serverName, MonitorApp* owner, Setting s)
    : button(nullptr), status(SOCKS5_ENABLED), failedCount(0), activeCount(0), activeRows(nullptr),
      failedRows(nullptr), tmpFd(-1), rowCount(0), rowBytes(0), rows(nullptr), handle(nullptr),
      spinInterval(500), updateTimer(SOCKS5_NO_TIMER), spinTimer(SOCKS5_NO_TIMER), timerChanges(0),
      app(owner)
{
    snprintf(name, sizeof name, "%s", serverName);
    memset(&setting, 0, sizeof setting);
    CopySetting(s);
}

SOCKS5::~SOCKS5()
{
    RemoveTimer();
    CloseHandle(SOCKS5_LOST);
    if (tmpFd >= 0) {
        close(tmpFd);
    }
    free(activeRows);
    free(failedRows);
    if (button) {
        XtDestroyWidget(button);
    }
    ReleaseSetting(&setting);
}

void SOCKS5::CopySetting(Setting s)
{
    ::CopySetting(&setting, s);
}

// Closes the monitor connection, if any, and sets the status that follows (SOCKS5_LOST
// after a failure, SOCKS5_ENABLED after Stop so that a later Start may try again).
void SOCKS5::CloseHandle(ServerStatus newStatus)
{
    if (handle) {
        S5MonClose(handle);
        handle = nullptr;
    }
    status = newStatus;
}

// Each server has two timers: the update timer polls at the update interval, the spin
// timer turns the working icon four times per poll. Every start or stop of them counts in
// timerChanges, so that a callback that let events run can tell whether an action during
// them has made its own choice.
void SOCKS5::AddTimer()
{
    timerChanges++;
    if (updateTimer == SOCKS5_NO_TIMER) {
        updateTimer = XtAppAddTimeOut(monitor_app, setting.updateInterval, TimeOutCallback, this);
    }
    if (spinTimer == SOCKS5_NO_TIMER) {
        spinTimer = XtAppAddTimeOut(monitor_app, spinInterval, SpinTimeOutCallback, this);
    }
}

void SOCKS5::RemoveTimer()
{
    timerChanges++;
    if (updateTimer != SOCKS5_NO_TIMER) {
        XtRemoveTimeOut(updateTimer);
        updateTimer = SOCKS5_NO_TIMER;
    }
    if (spinTimer != SOCKS5_NO_TIMER) {
        XtRemoveTimeOut(spinTimer);
        spinTimer = SOCKS5_NO_TIMER;
    }
}

// A new update interval starts both timers afresh.
void SOCKS5::UpdateTime(int seconds)
{
    setting.updateInterval = seconds * 1000;
    spinInterval = seconds * 250; // four spinner steps per poll
    RemoveTimer();
    AddTimer();
}

void SOCKS5::TimeOutCallback(XtPointer clientData, XtIntervalId*)
{
    static_cast<SOCKS5*>(clientData)->TimeOut();
}

void SOCKS5::SpinTimeOutCallback(XtPointer clientData, XtIntervalId*)
{
    static_cast<SOCKS5*>(clientData)->SpinTimeOut();
}

// Pending events are handled first, so that a Pause or Stop the user has already asked for
// wins over this tick instead of being undone by it.
void SOCKS5::SpinTimeOut()
{
    // The time-out has fired, so its id is spent.
    spinTimer = SOCKS5_NO_TIMER;
    MonitorApp* owner = app;
    unsigned changesBefore = timerChanges;
    DrainPendingEvents();
    // Removed meanwhile, or an action above (Pause, Stop, a new interval, Start) has
    // stopped or restarted the timers: its choice stands.
    if (!StillListed(owner, this) || timerChanges != changesBefore) {
        return;
    }
    pixmap_index++;
    if (pixmap_index > STATUS_SPIN3) {
        pixmap_index = STATUS_SPIN1;
    }
    app->setWkLabelValue(pixmap_index);
    spinTimer = XtAppAddTimeOut(monitor_app, spinInterval, SpinTimeOutCallback, this);
}

// The update timer: one poll, unless a pass is still under way (a slow server), in which
// case the timers go round again and the next tick tries.
void SOCKS5::TimeOut()
{
    updateTimer = SOCKS5_NO_TIMER;
    MonitorApp* owner = app;
    unsigned changesBefore = timerChanges;
    DrainPendingEvents();
    if (!StillListed(owner, this) || timerChanges != changesBefore) {
        return; // as in SpinTimeOut: a Pause or Stop handled above must not be undone
    }
    if (!(status & SOCKS5_ENABLED)) {
        return;
    }
    if (app->PassInProgress() || (status & SOCKS5_BUSY)) {
        // A pass is still under way: the timers go on, and the next tick tries again.
        RemoveTimer();
        AddTimer();
        return;
    }
    // The end of the pass starts the timers afresh, or shows the server lost.
    app->RunMonitoring(true);
}
