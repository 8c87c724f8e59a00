// The per-server display and polling settings: one plain record copied by value.
// A server keeps its own copy; MonitorApp keeps the template that new servers receive.
// The record, its defaults, its copy and the release of its service texts live here, apart
// from any window, so that they can be used and tested without a display.
#ifndef VANTOR_SETTING_H
#define VANTOR_SETTING_H

enum {
    SETTING_COLUMNS = 12,   // table columns
    SETTING_SERVICES = 20,  // chart services
    SETTING_TEXT_SIZE = 25, // bytes of each service name and port-text buffer
    SETTING_DEFAULT_SERVICES = 7,
    // What the window can show; larger values in monitor.ini are bounded to these.
    SETTING_CELL_HEIGHT_MAX = 200, // pixels of a table row
    SETTING_TABLE_ROWS_MAX = 1000, // rows the table starts with (then it follows the list)
    SETTING_PIXELS_MAX = 8192,     // pixels of a column, of the table or the chart
    SETTING_FILTER_SIZE = 128      // bytes of the table's filter text
};

// sortType: the key the list on show is sorted by. The values are those of the settings file.
enum SortKey : int {
    SORT_BY_NONE = 0, // no key of its own: a heading that sorts nothing; in view.ini, the
                      // Sort By key of monitor.ini
    SORT_BY_SOURCE = 3,
    SORT_BY_DESTINATION = 4,
    SORT_BY_USER = 5,
    SORT_BY_SERVICE = 6,
    SORT_BY_START_TIME = 7,
    SORT_BY_TOTAL_TRAFFIC = 8,
    // Keys that only a column heading chooses. monitor.ini never holds them: it keeps the
    // last Sort By key (menuSortType) while one of these sorts; view.ini names them.
    SORT_BY_IN_TRAFFIC = 20,
    SORT_BY_OUT_TRAFFIC = 21,
    SORT_BY_DURATION = 22
};

// Whether a key is one of the six of the Sort By menu (and of monitor.ini).
inline bool IsMenuSortKey(SortKey sortType)
{
    return sortType >= SORT_BY_SOURCE && sortType <= SORT_BY_TOTAL_TRAFFIC;
}

// nodeType: hosts shown and compared by name or by address.
enum NodeType : int { NODE_HOST_NAMES = 12, NODE_IP_ADDRESSES = 13 };

// unitType: the unit traffic is shown in.
enum UnitType : int { UNIT_BYTES = 9, UNIT_KILOBYTES = 10, UNIT_MEGABYTES = 11 };

struct Setting {
    int columnType[SETTING_COLUMNS];    // data column shown at each table position
    int columnVisible[SETTING_COLUMNS]; // 1 shown, 0 hidden
    int columnWidth[SETTING_COLUMNS];   // pixels
    int columnCount;                    // never saved
    int frozenColumns;
    int cellHeight;
    int tableWidth;
    int tableHeight;
    int tableRows;
    int tableColumns;
    int chartWidth; // saved and loaded, applied by no view
    int chartHeight;
    float unitFactor; // UnitFactorOf(unitType)
    int showToolbar;
    int showFailed; // 0 active rows, 1 failed rows
    SortKey sortType;
    SortKey menuSortType;             // the Sort By key monitor.ini keeps (see SavedSortKey)
    int sortDescending;               // 1: the list on show is sorted largest first (view.ini)
    char filter[SETTING_FILTER_SIZE]; // rows on show contain this text; "" all (view.ini)
    NodeType nodeType;
    UnitType unitType;
    int updateInterval; // milliseconds
    int maxRejected;
    int serviceCount;
    int serviceSelected[SETTING_SERVICES];
    char* serviceName[SETTING_SERVICES]; // NewServiceText buffers
    int servicePort[SETTING_SERVICES];
    char* servicePortText[SETTING_SERVICES]; // NewServiceText buffers
};

// The sort key monitor.ini stores: sortType, or the last Sort By key while a heading-only
// key sorts.
SortKey SavedSortKey(const Setting& s);

// Bytes per shown unit: 1024 to the power (unitType - UNIT_BYTES).
float UnitFactorOf(UnitType unitType);

// A SETTING_TEXT_SIZE-byte buffer holding text, cut to fit ("" for none); free it with free.
char* NewServiceText(const char* text);

// Fills s as a fresh program fills its template: twelve columns, the seven known services,
// a poll a minute. s must hold no service buffers (zeroed or released).
void FillDefaultSetting(Setting* s);

// Makes to a copy of from as a new server receives it: every column visible, the tool bar
// on, the services below from's count selected with their ports read from their texts, the
// others blank. to's earlier service buffers are released.
void CopySetting(Setting* to, const Setting& from);

// The service that names a destination port: the first selected service with that port,
// else service 0 ("Others", which catches every port no other service names).
int ServiceIndexOf(const Setting& s, int port);

// Frees the service buffers and leaves null pointers behind.
void ReleaseSetting(Setting* s);

#endif
