// The command layer of the main window: the menu bar, the tool bar under it, and the state
// of their entries and buttons for the current server.
#ifndef VANTOR_MONMENU_H
#define VANTOR_MONMENU_H

#include <X11/Intrinsic.h>

#include "core/Setting.h"

class MonitorApp;

// The pull-downs of the menu bar, by index (each pull-down carries its index as user data).
enum MenuIndex {
    MENU_FILE = 0,
    MENU_ACTION = 1,
    MENU_VIEW = 2,
    MENU_SERVERS = 3,
    MENU_CONNECTION = 4,
    MENU_OPTIONS = 5,
    MENU_HELP = 6,
    MENU_COUNT = 7
};

// The states setValues puts the action entries and tool buttons into. Its own type, so that
// a server's status bits cannot be passed for one.
enum class MenuState { Stopped = 1, Running = 2, Paused = 4 };

// Entry values, the user data of each entry, by menu.
enum FileEntry { FILE_PRINT = 0, FILE_EXIT = 1 };
enum ActionEntry { ACTION_START = 0, ACTION_PAUSE = 1, ACTION_STOP = 2, ACTION_UPDATE_NOW = 3 };
enum ViewEntry {
    VIEW_SHOW_ACTIVE = 0,
    VIEW_SHOW_FAILED = 1,
    VIEW_TOOLBAR = 2,
    VIEW_CLEAR_GRAPH = 3,
    VIEW_TABLE_ONLY = 4,
    VIEW_GRAPH_ONLY = 5,
    VIEW_TABLE_AND_GRAPH = 6
};
// Edit... is 0; server n is entry n + 1.
enum ServerEntry { SERVERS_EDIT = 0 };
// The Sort By, Traffic Unit and Host Naming entries carry the setting's own values.
enum OptionEntry {
    OPTIONS_GENERAL = 0,
    OPTIONS_TABLE = 1,
    OPTIONS_GRAPH = 2,
    OPTIONS_SORT_FIRST = SORT_BY_SOURCE,
    OPTIONS_SORT_LAST = SORT_BY_TOTAL_TRAFFIC,
    OPTIONS_UNIT_FIRST = UNIT_BYTES,
    OPTIONS_UNIT_LAST = UNIT_MEGABYTES,
    OPTIONS_NODE_FIRST = NODE_HOST_NAMES,
    OPTIONS_NODE_LAST = NODE_IP_ADDRESSES,
    OPTIONS_SAVE = 14
};
enum ConnectionEntry { CONNECTION_FILTER = 0, CONNECTION_EXPORT = 1, CONNECTION_COPY_ROW = 2 };
enum HelpEntry { HELP_MANUAL = 0, HELP_ABOUT = 1 };

// Tool-button slots: the five fixed buttons, then one per server.
enum ToolSlot {
    TOOL_START = 0,
    TOOL_PAUSE = 1,
    TOOL_STOP = 2,
    TOOL_UPDATE = 3,
    TOOL_SHOW_FAILED = 4,  // "Show Active" while failed connections are listed
    TOOL_FIRST_SERVER = 5, // server n is slot 5 + n
    TOOL_SLOTS = 15
};
enum { TOOL_LABEL_SIZE = 256 };

// The tool pixmaps, in the order they are made.
enum ToolPixmap {
    PIXMAP_START,
    PIXMAP_PAUSED,
    PIXMAP_STOP,
    PIXMAP_UPDATE,
    PIXMAP_FAIL,
    PIXMAP_SERVER,
    PIXMAP_ACTIVE,
    TOOL_PIXMAP_COUNT
};

enum { ACTION_ITEMS = 4, VIEW_TOGGLES = 2, OPTION_ITEMS = 18 };

class MonMenu {
public:
    MonMenu(Widget parent, MonitorApp* app);
    ~MonMenu();
    MonMenu(const MonMenu&) = delete;
    MonMenu& operator=(const MonMenu&) = delete;

    // ---- menu bar ----
    // Builds the seven pull-downs from the entry tables.
    void BuildMenu(Widget parent);
    static void MenuCallback(Widget w, XtPointer clientData, XtPointer callData);
    // Dispatches an entry (or its accelerator) to the action of its menu.
    void MenuSelect(Widget w, XtPointer reason);
    static void MenuMapCallback(Widget w, XtPointer clientData, XtPointer callData);
    // Notes which pull-down was opened last.
    void MenuMap(Widget w);
    // The window manager's close button: leaves as File > Exit does.
    static void ExitCallback(Widget w, XtPointer clientData, XtPointer callData);

    // Makes the Action entries and their tool buttons sensitive as the state allows.
    void setValues(MenuState state);
    // The entries, tool buttons and status icon as the current server's status says: a
    // stopped or lost server may be started, a connected one resumed, stopped or polled.
    void ShowServerState();
    // Sets the Options radio entries from the settings in effect.
    void ResetOptionBn();

    // The server list file: its names (each and the array to be released with free), or
    // none; the count goes to serverNameCount.
    char** OpenSOCKS5Data(const char* path);
    // Adds the SOCKS5Server menu entry of the server just added to the list.
    void AddSOCKS5Bn(const char* name);

    // ---- entry actions; the tool buttons call them too ----
    void ActionSelect(int value);
    void ViewSelect(Widget w, int value, bool set);
    void ServerSelect(int index);
    void OptionSelect(int value);
    void ConnectionSelect(int value);
    // True with a current server; otherwise warns that none is selected.
    bool NeedsSelectedServer();

    // Entries whose windows are built elsewhere; each is called once per activation,
    // the settings dialogs only with a current server.
    void PrintSelect();
    void GeneralSettingsSelect();
    void TableSettingsSelect();
    void GraphSettingsSelect();
    void ManualSelect();
    void AboutSelect();

    // ---- tool bar ----
    // Builds the fixed buttons and one per listed server.
    void BuildControlButtons(Widget toolBox);
    void addToolBn(const char* name, int index);
    // Removes a server's button; the buttons after it move down a slot.
    void removeToolBn(int index);
    // Out-of-range or empty slots are ignored by both.
    void EnableToolBn(int index);
    void DisableToolBn(int index);
    static void ControlButtonCallback(Widget w, XtPointer clientData, XtPointer callData);
    void ControlBnSelect(Widget w, XtPointer callData);
    static void PointerEnter(Widget w, XEvent* event, String* params, Cardinal* count);
    static void PointerLeave(Widget w, XEvent* event, String* params, Cardinal* count);

    // State, in this order.
    Widget actionItems[ACTION_ITEMS];
    Widget viewToggles[VIEW_TOGGLES];
    Widget toolbarToggle;
    // The SOCKS5Server pull-down, where server entries are added.
    Widget serverMenu;
    // The pull-down of the entry being handled (a MenuIndex).
    int currentMenu;
    Widget toolBox;
    Widget toolButtons[TOOL_SLOTS];
    Widget optionItems[OPTION_ITEMS];
    // The pointer tip of each slot.
    char* toolLabels[TOOL_SLOTS];
    Pixmap toolPixmaps[TOOL_PIXMAP_COUNT];
    // socks5.dat's names while the list is read at start-up; NULL after.
    char** serverNames;
    int serverNameCount;
    MonitorApp* app;

private:
    // Warns that the entry needs a server when there is none; true when there is one.
    bool NeedsServer(const char* warning);
    void BuildViewMenu(Widget pane);
    void BuildServerMenu(Widget pane);
    void BuildOptionsMenu(Widget pane);
    void ReadServerList();
    void SetToolButton(int index, bool enabled);
    void SetToolLabel(int index, const char* text);
    // Lists active (failed false) or failed connections in the table.
    void ShowList(bool failed);
    // Show Active, Show Failed and tool button 4 as the current server's list is.
    void ShowListEntries();
};

// The one menu object.
extern MonMenu* current_monMenu;

#endif
