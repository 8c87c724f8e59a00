// A Setting filled as a fresh program fills its template, for tests that do not build the
// main window (the service buffers are owned by the object), and the block of the settings
// file that such a Setting is written as, byte for byte.
#ifndef VANTOR_TEST_DEFAULT_SETTING_H
#define VANTOR_TEST_DEFAULT_SETTING_H

#include <stdio.h>
#include <string.h>

#include "app/Setting.h"

const char kDefaultBlock[] =
    "0  1  2  3  4  5  6  7  8  9  10  11  \n"
    "1  1  1  1  1  1  1  1  1  1  1  1  \n"
    "200  200  200  100  100  100  100  100  100  35  200  150  \n"
    "2  22  \n"
    "750  280  10  \n"
    "12  750  280  \n"
    "3  12  0  \n"
    "9  1.000000  60000  \n"
    "50  1  7  "
    "\nOthers  -1  1  0  "
    "\nTelnet  23  1  23  "
    "\nFTP  21  1  21  "
    "\nWeb  80  1  80  "
    "\nFinger  79  1  79  "
    "\nFTP_data  20  1  20  "
    "\nArchie  1525  1  1525  ";

class DefaultSetting {
public:
    DefaultSetting()
    {
        static const int widths[SETTING_COLUMNS] = {200, 200, 200, 100, 100, 100, 100, 100, 100, 35, 200, 150};
        static const char* const names[7] = {"Others", "Telnet", "FTP", "Web", "Finger", "FTP_data", "Archie"};
        static const char* const ports[7] = {"", "23", "21", "80", "79", "20", "1525"};
        memset(&s, 0, sizeof s);
        for (int i = 0; i < SETTING_COLUMNS; i++) {
            s.columnType[i] = i;
            s.columnVisible[i] = 1;
            s.columnWidth[i] = widths[i];
        }
        s.columnCount = 12;
        s.frozenColumns = 2;
        s.cellHeight = 22;
        s.tableWidth = 750;
        s.tableHeight = 280;
        s.tableRows = 10;
        s.tableColumns = 12;
        s.chartWidth = 750;
        s.chartHeight = 280;
        s.unitFactor = 1.0f;
        s.showToolbar = 1;
        s.showFailed = 0;
        s.sortType = 3;
        s.nodeType = 12;
        s.unitType = 9;
        s.updateInterval = 60000;
        s.maxRejected = 50;
        s.serviceCount = 7;
        for (int k = 0; k < SETTING_SERVICES; k++) {
            s.serviceName[k] = new char[SETTING_TEXT_SIZE];
            s.servicePortText[k] = new char[SETTING_TEXT_SIZE];
            if (k < 7) {
                strcpy(s.serviceName[k], names[k]);
                strcpy(s.servicePortText[k], ports[k]);
                s.serviceSelected[k] = 1;
                s.servicePort[k] = 0;
                sscanf(ports[k], "%d", &s.servicePort[k]);
            } else {
                strcpy(s.serviceName[k], " ");
                strcpy(s.servicePortText[k], " ");
                s.serviceSelected[k] = 0;
                s.servicePort[k] = -1;
            }
        }
    }
    ~DefaultSetting()
    {
        for (int k = 0; k < SETTING_SERVICES; k++) {
            delete[] s.serviceName[k];
            delete[] s.servicePortText[k];
        }
    }
    DefaultSetting(const DefaultSetting&) = delete;
    DefaultSetting& operator=(const DefaultSetting&) = delete;

    Setting s;
};

#endif
