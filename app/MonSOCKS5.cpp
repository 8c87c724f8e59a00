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

char* NewServiceText(const char* text)
{
    char* buffer = static_cast<char*>(calloc(1, SETTING_TEXT_SIZE));
    if (buffer && text) {
        snprintf(buffer, SETTING_TEXT_SIZE, "%s", text);
    }
    return buffer;
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
    : button(nullptr), status(SOCKS5_ENABLED), failedCount(0), activeCount(0),
      activeRows(nullptr), failedRows(nullptr), tmpFd(-1), rowCount(0), rowBytes(0),
      rows(nullptr), handle(nullptr), spinInterval(500), updateTimer(SOCKS5_NO_TIMER),
      spinTimer(SOCKS5_NO_TIMER), timerChanges(0), app(owner)
{
    snprintf(name, sizeof name, "%s", serverName);
    memset(&setting, 0, sizeof setting);
    CopySetting(s);
}

SOCKS5::~SOCKS5()
{
    RemoveTimer();
    if (handle) {
        S5MonClose(handle);
    }
    if (tmpFd >= 0) {
        close(tmpFd);
    }
    free(activeRows);
    free(failedRows);
    if (button) {
        XtDestroyWidget(button);
    }
    for (int k = 0; k < SETTING_SERVICES; k++) {
        free(setting.serviceName[k]);
        free(setting.servicePortText[k]);
    }
}

void SOCKS5::CopySetting(Setting s)
{
    setting.columnCount = s.columnCount;
    for (int i = 0; i < SETTING_COLUMNS; i++) {
        setting.columnType[i] = s.columnType[i];
        setting.columnWidth[i] = s.columnWidth[i];
        setting.columnVisible[i] = 1;
    }
    setting.frozenColumns = s.frozenColumns;
    setting.cellHeight = s.cellHeight;
    setting.tableWidth = s.tableWidth;
    setting.tableHeight = s.tableHeight;
    setting.tableRows = s.tableRows;
    setting.tableColumns = s.tableColumns;
    setting.chartWidth = s.chartWidth;
    setting.chartHeight = s.chartHeight;
    setting.sortType = s.sortType;
    setting.nodeType = s.nodeType;
    setting.showFailed = s.showFailed;
    setting.unitType = s.unitType;
    setting.unitFactor = s.unitFactor;
    setting.updateInterval = s.updateInterval;
    setting.maxRejected = s.maxRejected;
    setting.serviceCount = s.serviceCount;
    setting.showToolbar = 1;

    for (int k = 0; k < SETTING_SERVICES; k++) {
        // Buffers of an earlier copy are released, not leaked.
        free(setting.serviceName[k]);
        free(setting.servicePortText[k]);
        if (k < s.serviceCount) {
            setting.serviceName[k] = NewServiceText(s.serviceName[k]);
            setting.servicePortText[k] = NewServiceText(s.servicePortText[k]);
            setting.serviceSelected[k] = 1;
            setting.servicePort[k] = 0;
            if (s.servicePortText[k]) {
                sscanf(s.servicePortText[k], "%d", &setting.servicePort[k]);
            }
        } else {
            setting.serviceSelected[k] = 0;
            setting.serviceName[k] = NewServiceText(" ");
            setting.servicePortText[k] = NewServiceText(" ");
            setting.servicePort[k] = -1;
        }
    }
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
    spinInterval = seconds * 250;  // four spinner steps per poll
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
    if (pixmap_index > 2) {
        pixmap_index = 0;
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
        return;  // as in SpinTimeOut: a Pause or Stop handled above must not be undone
    }
    if (!(status & SOCKS5_ENABLED)) {
        return;
    }
    app->RunMonitoring();
    RemoveTimer();
    if (!(status & SOCKS5_ENABLED)) {
        // The poll found the connection gone.
        app->callSetValues(1);
        app->setWkLabelValue(3);
        return;
    }
    AddTimer();
}
