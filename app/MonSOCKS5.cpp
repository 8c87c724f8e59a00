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

void SOCKS5::CloseHandle(ServerStatus newStatus)
{
    if (handle) {
        S5MonClose(handle);
        handle = nullptr;
    }
    status = newStatus;
}

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
