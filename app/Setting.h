// The per-server display and polling settings: one plain record copied by value.
// A server keeps its own copy; MonitorApp keeps the template that new servers receive.
#ifndef VANTOR_SETTING_H
#define VANTOR_SETTING_H

enum {
    SETTING_COLUMNS = 12,      // table columns
    SETTING_SERVICES = 20,     // chart services
    SETTING_TEXT_SIZE = 25     // bytes of each service name and port-text buffer
};

struct Setting {
    int columnType[SETTING_COLUMNS];     // data column shown at each table position
    int columnVisible[SETTING_COLUMNS];  // 1 shown, 0 hidden
    int columnWidth[SETTING_COLUMNS];    // pixels
    int columnCount;                     // never saved
    int frozenColumns;
    int cellHeight;
    int tableWidth;
    int tableHeight;
    int tableRows;
    int tableColumns;
    int chartWidth;                      // saved and loaded, applied by no view
    int chartHeight;
    float unitFactor;                    // 1024 to the power (unitType - 9)
    int showToolbar;
    int showFailed;                      // 0 active rows, 1 failed rows
    int sortType;                        // 3 source .. 8 total traffic
    int nodeType;                        // 12 host names, 13 IP addresses
    int unitType;                        // 9 bytes, 10 kilobytes, 11 megabytes
    int updateInterval;                  // milliseconds
    int maxRejected;
    int serviceCount;
    int serviceSelected[SETTING_SERVICES];
    char* serviceName[SETTING_SERVICES];      // SETTING_TEXT_SIZE-byte heap buffers
    int servicePort[SETTING_SERVICES];
    char* servicePortText[SETTING_SERVICES];  // SETTING_TEXT_SIZE-byte heap buffers
};

#endif
