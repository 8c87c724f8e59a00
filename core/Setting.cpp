// The defaults, the copy and the release of a Setting. Service names and port texts are
// heap buffers of SETTING_TEXT_SIZE bytes each, since the table widgets show them in place;
// every Setting that is filled must be released.
#include "core/Setting.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const int kDefaultColumnWidth[SETTING_COLUMNS] = {200, 200, 200, 100, 100, 100,
                                                  100, 100, 100, 35,  200, 150};
const char* const kDefaultServiceName[SETTING_DEFAULT_SERVICES] = {
    "Others", "Telnet", "FTP", "Web", "Finger", "FTP_data", "Archie"};
// "Others" has no port: it catches every port no other service names.
const char* const kDefaultServicePort[SETTING_DEFAULT_SERVICES] = {"",   "23", "21",  "80",
                                                                   "79", "20", "1525"};

const int kDefaultUpdateMs = 60000;

// Service k as a selected one named name, its port read from portText (0 when none).
void SetSelectedService(Setting* s, int k, const char* name, const char* portText)
{
    s->serviceName[k] = NewServiceText(name);
    s->servicePortText[k] = NewServiceText(portText);
    s->serviceSelected[k] = 1;
    s->servicePort[k] = 0;
    if (portText) {
        sscanf(portText, "%d", &s->servicePort[k]);
    }
}

void SetBlankService(Setting* s, int k)
{
    s->serviceName[k] = NewServiceText(" ");
    s->servicePortText[k] = NewServiceText(" ");
    s->serviceSelected[k] = 0;
    s->servicePort[k] = -1;
}

} // namespace

int ServiceIndexOf(const Setting& s, int port)
{
    for (int i = 0; i < SETTING_SERVICES; i++) {
        if (s.serviceSelected[i] == 1 && s.servicePort[i] == port) {
            return i;
        }
    }
    return 0;
}

float UnitFactorOf(UnitType unitType)
{
    return static_cast<float>(pow(1024.0, unitType - UNIT_BYTES));
}

char* NewServiceText(const char* text)
{
    char* buffer = static_cast<char*>(calloc(1, SETTING_TEXT_SIZE));
    if (buffer && text) {
        snprintf(buffer, SETTING_TEXT_SIZE, "%s", text);
    }
    return buffer;
}

void FillDefaultSetting(Setting* s)
{
    memset(s, 0, sizeof *s);
    for (int i = 0; i < SETTING_COLUMNS; i++) {
        s->columnType[i] = i;
        s->columnVisible[i] = 1;
        s->columnWidth[i] = kDefaultColumnWidth[i];
    }
    s->columnCount = SETTING_COLUMNS;
    s->frozenColumns = 2;
    s->cellHeight = 22;
    s->tableWidth = 750;
    s->tableHeight = 280;
    s->tableRows = 10;
    s->tableColumns = SETTING_COLUMNS;
    s->chartWidth = 750;
    s->chartHeight = 280;
    s->sortType = SORT_BY_SOURCE;
    s->menuSortType = SORT_BY_SOURCE;
    s->sortDescending = 0;
    s->filter[0] = '\0';
    s->nodeType = NODE_HOST_NAMES;
    s->showFailed = 0;
    s->unitType = UNIT_BYTES;
    s->unitFactor = UnitFactorOf(s->unitType);
    s->updateInterval = kDefaultUpdateMs;
    s->maxRejected = 50;
    s->showToolbar = 1;
    s->serviceCount = SETTING_DEFAULT_SERVICES;
    for (int k = 0; k < SETTING_SERVICES; k++) {
        if (k < SETTING_DEFAULT_SERVICES) {
            SetSelectedService(s, k, kDefaultServiceName[k], kDefaultServicePort[k]);
        } else {
            SetBlankService(s, k);
        }
    }
}

// A server added to the list starts from the template setting: every column visible, the
// tool bar shown, no filter and an ascending order.
void CopySetting(Setting* to, const Setting& from)
{
    to->columnCount = from.columnCount;
    for (int i = 0; i < SETTING_COLUMNS; i++) {
        to->columnType[i] = from.columnType[i];
        to->columnWidth[i] = from.columnWidth[i];
        to->columnVisible[i] = 1;
    }
    to->frozenColumns = from.frozenColumns;
    to->cellHeight = from.cellHeight;
    to->tableWidth = from.tableWidth;
    to->tableHeight = from.tableHeight;
    to->tableRows = from.tableRows;
    to->tableColumns = from.tableColumns;
    to->chartWidth = from.chartWidth;
    to->chartHeight = from.chartHeight;
    to->sortType = from.sortType;
    to->menuSortType = from.menuSortType;
    // The order's direction and the filter belong to each server: a new one starts plain.
    to->sortDescending = 0;
    to->filter[0] = '\0';
    to->nodeType = from.nodeType;
    to->showFailed = from.showFailed;
    to->unitType = from.unitType;
    to->unitFactor = from.unitFactor;
    to->updateInterval = from.updateInterval;
    to->maxRejected = from.maxRejected;
    to->serviceCount = from.serviceCount;
    to->showToolbar = 1;

    ReleaseSetting(to);
    for (int k = 0; k < SETTING_SERVICES; k++) {
        if (k < from.serviceCount) {
            SetSelectedService(to, k, from.serviceName[k], from.servicePortText[k]);
        } else {
            SetBlankService(to, k);
        }
    }
}

// monitor.ini holds only the menu's six keys; a heading-only key is saved as the menu key it
// replaced.
SortKey SavedSortKey(const Setting& s)
{
    if (IsMenuSortKey(s.sortType))
        return s.sortType;
    return IsMenuSortKey(s.menuSortType) ? s.menuSortType : SORT_BY_SOURCE;
}

void ReleaseSetting(Setting* s)
{
    for (int k = 0; k < SETTING_SERVICES; k++) {
        free(s->serviceName[k]);
        free(s->servicePortText[k]);
        s->serviceName[k] = nullptr;
        s->servicePortText[k] = nullptr;
    }
}
