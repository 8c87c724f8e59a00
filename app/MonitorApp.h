// The controller of the program: owns the main window, the server list, the shared row
// buffer, the template settings and the three views. Every menu, button and timer action
// ends in one of its members.
#ifndef VANTOR_MONITORAPP_H
#define VANTOR_MONITORAPP_H

#include <X11/Intrinsic.h>

#include <string>
#include <vector>

#include "core/BitSet.h"
#include "core/Connection.h"
#include "core/ConnectionLedger.h"
#include "core/FilingIndex.h"
#include "core/PassMemory.h"
#include "core/Setting.h"
#include "core/SettingsFile.h"
#include "core/SortEntries.h"
#include "lib/monAPI.h"

class SOCKS5;
class MonMenu;
class MonTable;
class MonChart;
enum class MenuState;

// The X Toolkit application context, set by main and used for time-outs and event loops.
extern XtAppContext monitor_app;
// Ratio between the new and the old traffic unit after the last unit change.
extern double adjust_factor;

// The icons setWkLabelValue shows in the working label.
enum StatusIcon {
    STATUS_SPIN1 = 0,
    STATUS_SPIN2 = 1,
    STATUS_SPIN3 = 2,
    STATUS_NEW_REJECTION = 3,  // also: the connection was lost
    STATUS_LAST_REJECTION = 4, // also: stopped
    STATUS_PAUSE = 5,
    STATUS_ICON_COUNT = 6
};

// The error kinds of the general settings dialog's filter: a set of these bits.
enum ErrorKinds : unsigned char {
    ERROR_KINDS_NONE = 0,
    ERROR_SYSTEM = 1,
    ERROR_SOCKS_FATAL = 2,
    ERROR_SOCKS_SEVERE = 4,
    ERROR_SOCKS_WARNING = 8,
    ERROR_SOCKS_INFO = 16,
    ERROR_KINDS_ALL = 31
};
VANTOR_BIT_SET(ErrorKinds);

// Why SortConnectionList is called; other values sort nothing.
enum SortReason {
    SORT_AFTER_NEW_DATA = 2,
    SORT_AFTER_NODE_TYPE = 3, // sorts only by source or destination, which depend on it
    SORT_AFTER_SORT_KEY = 5
};

enum { MAX_SERVERS = 10, FILTER_TOGGLE_COUNT = 5, MESSAGE_SIZE = 512 };

// The warning when Start or a menu action needs the current server and none is chosen; its
// words, the misspelt "SCOSK5Server" included, are the ones users have always seen.
extern const char NO_SERVER_SELECTED_TEXT[];

class MonitorApp {
public:
    typedef int (MonitorApp::*CompareFunction)(const Connection*, const Connection*);

    MonitorApp(Widget parent, char* name);
    virtual ~MonitorApp();
    virtual const char* className();

    // Status line.
    void setWkLabelValue(int icon); // a StatusIcon; others change nothing
    // Shows the new-failure icon while the current server lists failed connections.
    void UpdateNewRejLabel();
    void ClearCounts(); // the active and failed counts show nothing, as at start-up

    // How rows are shown.
    void setSortType(SortKey sortType);
    // A click on the heading of a column that sorts by sortType: sorts by it ascending, or
    // turns the order round when it sorts already.
    void SortByHeading(SortKey sortType);
    // The current server's table shows only the rows containing text; "" shows all.
    void SetFilter(const char* text);
    // The status line's count of the list on show: "12 of 4,311" while filtered.
    void ShowShownCount(int shown, int total, bool filtered);
    // While a poll waits for server: the watch cursor and "Waiting for SERVER...", shown
    // at once; NULL takes both away.
    void ShowWaiting(const SOCKS5* server);
    void setNodeType(NodeType nodeType);
    void setUnitType(UnitType unitType);

    // Which of table and chart are shown.
    void UnmanageTable();
    void UnmanageGraph();
    void ManageBoth();

    // One-line forwarders to a view or panel (the menu calls the members above directly);
    // callWriteSetting also confirms a save to the user.
    void callSetValues(MenuState state);
    void callSortConnectionList(SortReason reason);
    void callRestoreConnectionList();
    void callReadSettingFile();
    void callClearChart();
    void callColumnSelect();
    void callRestoreTable(int reload);
    void callBuildServicePanel();
    void callBuildRejectPanel();
    void callBuildSOCKS5EditPanel();
    void callAddSOCKS5(const char* name);
    void callWriteSetting();

    static void TablePanelDestroyCallback(Widget w, XtPointer clientData, XtPointer callData);
    void TryMonitoring();

    void ReadSetting();
    // The general settings dialog.
    void BuildRejectPanel();
    static void RejectPanelCallback(Widget w, XtPointer clientData, XtPointer callData);
    void RejectPanelSelect(Widget w, XtPointer clientData, XtPointer callData);

    // ---- monitoring cycle, rows, sorting, settings files, server list ----
    // Monitoring cycle of the current server.
    // Connects to the current server if need be and polls at once; the end of that poll
    // starts its timers.
    void StartMonitoring();
    // Starts a poll; it ends (rows filed, views redrawn) as its records have come, with
    // the timers started afresh when restartTimers is set and no action has set them since.
    void RunMonitoring(bool restartTimers = false);
    void RetrieveData(); // begins the pass
    bool PassInProgress() const { return pass.server != NULL; }
    void CancelPass(); // a pass under way ends at once, its records so far filed
    // Stops the polling but keeps the connection and the rows.
    void PauseMonitoring();
    // Stops the polling, closes the connection and drops the rows.
    void StopMonitoring();
    // Parks the current server's rows in its temporary file while another server is shown.
    void SaveConnectionList();
    // Brings them back when the server is shown again.
    void RestoreConnectionList();
    // Leaving the current server: its timers stop and its rows are parked.
    void clearupSOCKS5();
    void DropConnectionRows(); // the current server's rows and lists, and the row array

    // Connection rows.
    // Files one record of a pass into its row.
    void UpdateConnectionList(S5MonData* record);
    void UpdateConnection(Connection* row, S5MonData* record, int isNew);
    // Ages every row at once, outside a pass, and lists them; withTraffic also counts each
    // service's bytes for the graph.
    void UpdateData(int withTraffic);
    // The service a record belongs to, by its destination port.
    int GetAppIndex(S5MonData* record);

    // Sorting of the list on show.
    void SortConnectionList(SortReason reason);
    // The list on show, sorted ascending, turned round when the server sorts descending.
    void OrderListOnShow();
    void Sort(Connection** list, int left, int right, int key);
    void Swap(Connection** list, int i, int j);
    int CompareSrc(const Connection* a, const Connection* b);
    int CompareDst(const Connection* a, const Connection* b);
    int CompareUsr(const Connection* a, const Connection* b);
    int CompareApp(const Connection* a, const Connection* b);
    int CompareTime(const Connection* a, const Connection* b);
    int CompareByte(const Connection* a, const Connection* b);

    // Settings files.
    // Opens monitor.ini or view.ini at path for reading; another user's file, or one that is
    // no regular file, is not opened and the user is told.
    FILE* OpenIniFile(const std::string& path);
    // Reads monitor.ini into the listed servers' settings, warning once about damage.
    void ReadSettingFile();
    // Says that the settings file at path is no regular file and was not read.
    void WarnNotRead(const std::string& path);
    int WriteSetting(); // monitor.ini and view.ini; 1 written, 0 refused (after the message)
    // view.ini: each server's filter and order beyond monitor.ini's (see ViewFile.h).
    void ReadViewFile();
    int WriteViewFile();   // 1 written, 0 refused (after the message)
    int WriteSOCKS5Data(); // the server list; 1 written, 0 refused
    // Tells the user why a file at path was not written (openFailure when it could not be
    // made); 1 when it was. The messages go to the main window.
    int ReportWrite(SafeWriteResult result, const std::string& path, const char* openFailure);

    // Server list.
    int AddSOCKS5(const char* name); // 1 added, 0 refused (list full)
    // Removes server index; removing the current one makes the first left current.
    void RemoveSOCKS5(int index);
    // The server list editor; a second call while it is open does nothing.
    void BuildSOCKS5EditPanel();
    static void SOCKS5EditPanelCallback(Widget w, XtPointer clientData, XtPointer callData);
    static void SOCKS5EditPanelDestroyCallback(Widget w, XtPointer clientData, XtPointer callData);
    void SOCKS5EditPanelSelect(Widget w, XtPointer clientData, XtPointer callData);
    // ---- end of monitoring cycle, rows, sorting, settings files, server list ----

    // State, in this order.
    // The main window's shell.
    Widget shell;
    // The template settings: new servers start from them, and they are shown while no server is.
    Setting setting;
    // The current server's rows; connCapacity is how many are in use.
    Connection* connBuffer;
    int connCapacity;
    // Bytes per service since the last poll, in the unit shown; the graph takes and clears them.
    float serviceTraffic[SETTING_SERVICES];
    int updateSeconds;
    SOCKS5* servers[MAX_SERVERS];
    int serverCount;
    // The server on show, or NULL; currentIndex is its place in servers, or -1.
    SOCKS5* current;
    int currentIndex;
    CompareFunction
        compareTable[SORT_BY_TOTAL_TRAFFIC - SORT_BY_SOURCE + 1]; // by sortType - SORT_BY_SOURCE
    Widget intervalField;
    Widget newRejectionLabel;
    Widget workingLabel;
    MonMenu* menu;
    Widget panedWindow;
    Widget activeText;
    Widget failedText;
    Widget waitLabel; // "Waiting for SERVER..." during a poll
    Cursor watchCursor;
    Pixmap pixmaps[STATUS_ICON_COUNT];
    Widget rejectPanel;
    Widget filterToggles[FILTER_TOGGLE_COUNT];
    Widget maxRejectedField;
    int maxRejectedEntry;
    ErrorKinds rejectFilter;
    MonTable* tableView;
    MonChart* chartView;
    Widget socks5List;
    Widget socks5Panel;
    Widget socks5NameField;
    Widget socks5AddButton;
    Widget socks5RemoveButton;
    // A buffer for composing warnings.
    char message[MESSAGE_SIZE];

    // How much one poll may take in: a server whose list never ends, or never repeats a
    // connection, would otherwise hold the program or fill its memory. The time a pass may
    // take is limited by the monitor library (S5MonSetPassLimit).
    struct PassLimit {
        int records; // records of one pass; more count as a lost connection
        int rows;    // rows held; records of further connections are not filed
    } passLimit = {2000000, MON_LIST_RECORDS_MAX};
    int connReserved =
        CONN_BUFFER_INITIAL;     // slots of connBuffer allocated; those past connCapacity unused
    bool rowLimitWarned = false; // the warning that rows were left out is given once
    bool rowsLeftOut = false;    // this poll met records that the row limit kept out
    ConnectionLedger ledger;     // which records a poll files, and from what their bytes count

private:
    FilingIndex filing; // where records go; kept from poll to poll

    // The current server's list sorted again after a change of what it is sorted by, and
    // the table and its sort arrow drawn anew.
    void ShowResorted(SortReason reason);

    // How a pass ended.
    enum PassOutcome {
        PASS_COMPLETE, // its empty frame came
        PASS_LOST,     // the connection failed or broke a limit: closed, with a message
        PASS_GONE      // there was no connection to read
    };
    // The pass in progress (see MonitorAppPass.cpp).
    struct Pass {
        SOCKS5* server = NULL;       // none when no pass is in progress
        XtInputId input = 0;         // the connection's readiness
        XtIntervalId limitTimer = 0; // the connection's next deadline
        XtWorkProcId work = 0;       // goes on with a slice cut short
        int records = 0;
        bool sorting = false; // the rows are aged; their sort keys are being read
        bool restartTimers = false;
        unsigned timerChanges = 0; // the server's count of timer changes at the start
    } pass;
    void BeginPass();
    void ReadPassSlice(); // files what has come, for a few milliseconds at most
    void EndPass(PassOutcome outcome);
    void StopReadingPass();
    void AgePassSlice();                        // ages rows for a few milliseconds at most
    void FinishPass(SOCKS5* server, bool aged); // lists, sorts and shows what the pass gave
    static void PassInputCallback(XtPointer clientData, int* fd, XtInputId* id);
    static void PassLimitCallback(XtPointer clientData, XtIntervalId* id);
    static Boolean PassWorkCallback(XtPointer clientData);

    // Rows aged so far by UpdateData's walk through the row array, which a big pass takes
    // in slices.
    using RowList = std::vector<Connection*, PassAllocator<Connection*>>;
    struct RowAgeing {
        int slot = 0;    // the next slot to visit
        int toVisit = 0; // used rows not visited yet
        int withTraffic = 0;
        RowList active, failed; // rows to list, in slot order
    } ageing;
    void StartAgeing(int withTraffic);
    bool AgeRows(long long untilMs);         // true when every row is aged; stops at untilMs
    void DropSurplusFailedRows();            // beyond maxRejected, the oldest failed rows are freed
    Connection** AgedRowsOnShow(int* count); // the aged rows of the kind on show
    void ListAgedRows();                     // the lists and counts set from the aged rows
    RowSorter sorter;                        // sorts the aged rows on show at the end of a pass

    bool MakeSettingsDirectory();
    // The heights of the table and chart panes when both were last shown, kept before one
    // is hidden and given back when both are shown again.
    void KeepPaneHeights();
    void RestorePaneHeights();
    Dimension paneHeights[2] = {0, 0};
    // Posts "text name" about a server under title, over parent (the main window if none).
    void WarnAboutServer(const char* text, const SOCKS5* server, const char* title = "Warning",
                         Widget parent = NULL);
    void BuildStatusLine(Widget mainBox);
};

#endif
