// MonitorApp: the controller's state, the main window (menu bar, tool bar, the paned table
// and chart, the status line), the status icons, the display setters and the choice of
// panes. The menu (MonMenu, which the constructor makes with a pointer back to this object)
// calls the controller's public members directly - StartMonitoring, setSortType,
// UnmanageTable and the like - and reads current, servers and setting as it goes; the few
// call... members at the end pass a request on to a view or a panel. The controller reaches
// back through menu (setValues and the tool buttons) when a server's state changes. The
// monitoring cycle, the rows, sorting, the settings files and the server list live in the
// MonitorApp*.cpp files beside this one.
#include "app/MonitorApp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <X11/Shell.h>
#include <Xm/LabelG.h>
#include <Xm/PanedW.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include "app/MonChart.h"
#include "app/MonMenu.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "core/SettingsFile.h"
#include "app/icons/last_rejection.xpm.h"
#include "app/icons/new_rejection.xpm.h"
#include "app/icons/pause.xpm.h"
#include "app/icons/spin1.xpm.h"
#include "app/icons/spin2.xpm.h"
#include "app/icons/spin3.xpm.h"
#include "toolkit/util.h"
#include "app/util.h"

// The application context main made, for timers and actions added later.
XtAppContext monitor_app = NULL;
// The ratio of the new traffic unit to the old, for the graph to rescale its samples once.
double adjust_factor = 1.0;

// Indexes of the status icons in pixmaps, in the order they are made.
enum { ICON_SPIN1, ICON_SPIN2, ICON_SPIN3, ICON_PAUSE, ICON_NEW_REJECTION, ICON_LAST_REJECTION };

static const char kNoHome[] =
    "No home directory: HOME is not set and the password database names none.\n"
    "Settings are neither read nor saved.";

// Builds the main window from the top down: menu bar and tool bar (MonMenu), the paned
// window holding table and chart, then the status line. The settings are read first, since
// the menu's toggles and the views start from them.
MonitorApp::MonitorApp(Widget parent, char* name)
{
    (void)name;
    shell = NULL;
    memset(&setting, 0, sizeof setting);
    connCapacity = CONN_BUFFER_INITIAL;
    // The rows of the current server; grown as a pass brings more.
    connBuffer = (Connection*)calloc(connCapacity, sizeof(Connection));
    memset(serviceTraffic, 0, sizeof serviceTraffic);
    // A minute between polls until the settings say otherwise: often enough to watch, rarely enough
    // not to load a busy server.
    updateSeconds = 60;
    memset(servers, 0, sizeof servers);
    serverCount = 0;
    current = NULL;
    currentIndex = -1;
    // The comparison of each sort key, indexed by sortType - SORT_BY_SOURCE.
    compareTable[SORT_BY_SOURCE - SORT_BY_SOURCE] = &MonitorApp::CompareSrc;
    compareTable[SORT_BY_DESTINATION - SORT_BY_SOURCE] = &MonitorApp::CompareDst;
    compareTable[SORT_BY_USER - SORT_BY_SOURCE] = &MonitorApp::CompareUsr;
    compareTable[SORT_BY_SERVICE - SORT_BY_SOURCE] = &MonitorApp::CompareApp;
    compareTable[SORT_BY_START_TIME - SORT_BY_SOURCE] = &MonitorApp::CompareTime;
    compareTable[SORT_BY_TOTAL_TRAFFIC - SORT_BY_SOURCE] = &MonitorApp::CompareByte;
    intervalField = NULL;
    // Empty until a failed connection is listed.
    newRejectionLabel = NULL;
    workingLabel = NULL;
    menu = NULL;
    panedWindow = NULL;
    activeText = NULL;
    failedText = NULL;
    waitLabel = NULL;
    watchCursor = None;
    memset(pixmaps, 0, sizeof pixmaps);
    rejectPanel = NULL;
    memset(filterToggles, 0, sizeof filterToggles);
    maxRejectedField = NULL;
    maxRejectedEntry = 0;
    // The failed list starts showing every error kind.
    rejectFilter = ERROR_KINDS_ALL;
    tableView = NULL;
    chartView = NULL;
    socks5List = NULL;
    socks5Panel = NULL;
    socks5NameField = NULL;
    socks5AddButton = NULL;
    socks5RemoveButton = NULL;
    message[0] = '\0';

    bool haveHome = MakeSettingsDirectory();
    ReadSetting();

    Visual* visual = NULL;
    XtVaGetValues(OmGetShell(parent), XmNvisual, &visual, NULL);
    String appName = NULL, appClass = NULL;
    XtGetApplicationNameAndClass(XtDisplay(parent), &appName, &appClass);
    (void)appName;

    // The main window is a shell of its own, titled "Vantor", on the visual of the top-level
    // widget that main made.
    Arg args[3];
    XtSetArg(args[0], XmNtitle, "Vantor");
    XtSetArg(args[1], XmNvisual, visual);
    XtSetArg(args[2], XmNwinGravity, SouthEastGravity);
    shell =
        XtAppCreateShell(appClass, appClass, topLevelShellWidgetClass, XtDisplay(parent), args, 3);
    // Placed near the top left corner of the screen.
    XtVaSetValues(shell, XmNgeometry, "+100+100", NULL);
    XtAddCallback(shell, XmNdestroyCallback, TablePanelDestroyCallback, (XtPointer)this);

    Widget mainBox = OmStandardBox(shell, XmVERTICAL, 0, 0);
    // The Tab key moves between the window's parts.
    XmAddTabGroup(mainBox);

    menu = new MonMenu(mainBox, this);

    XtVaCreateManagedWidget("seperator", xmSeparatorWidgetClass, mainBox, XomNhorizontalStretch,
                            XOM_BOX_UNLIMITED, XomNhorizontalShrink, XOM_BOX_UNLIMITED, NULL);

    panedWindow = XtVaCreateWidget("paned_window", xmPanedWindowWidgetClass, mainBox,
                                   XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNhorizontalShrink,
                                   XOM_BOX_UNLIMITED, XomNverticalStretch, XOM_BOX_UNLIMITED,
                                   XomNverticalShrink, XOM_BOX_UNLIMITED, XmNwidth, (Dimension)800,
                                   XmNheight, (Dimension)600, NULL);
    // Table above graph: the table is what an administrator reads most.
    tableView = new MonTable(panedWindow, this);
    chartView = new MonChart(panedWindow, this);
    XtManageChild(panedWindow);

    XtVaCreateManagedWidget("sperator", xmSeparatorWidgetClass, mainBox, XomNhorizontalStretch,
                            XOM_BOX_UNLIMITED, XomNhorizontalShrink, XOM_BOX_UNLIMITED, NULL);
    XomCreateHorizontalGlue(mainBox, 5, 5, 5);

    BuildStatusLine(mainBox);

    XomCreateHorizontalGlue(mainBox, 5, XOM_BOX_UNLIMITED, XOM_BOX_UNLIMITED);
    XtRealizeWidget(shell);
    // Warned only now, so the message has a window to sit over.
    if (!haveHome)
        KesWarningPost(shell, kNoHome, NULL, NULL, "Warning");
}

// The settings directory is made directly, never through a shell, so that no character of
// HOME can run a command. False when there is no home to make it in.
bool MonitorApp::MakeSettingsDirectory()
{
    std::string path = SettingsDirectory();
    if (path.empty())
        return false;
    // Mode 0700: the settings name servers and users, which are nobody else's business.
    mkdir(path.c_str(), 0700); // when it fails, later saves report the missing directory
    return true;
}

// The read-only fields of the status line that show the active and failed counts.
static Widget CreateStatusText(Widget box)
{
    return XtVaCreateManagedWidget("status_text", xmTextFieldWidgetClass, box, XmNvalue, "",
                                   XmNeditable, False, XmNcursorPositionVisible, False,
                                   XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNhorizontalShrink,
                                   XOM_BOX_UNLIMITED, NULL);
}

// The status line: both counts, "Waiting for ..." during a poll, then at the right the
// new-rejection icon and the working icon, which spins while monitoring runs.
void MonitorApp::BuildStatusLine(Widget mainBox)
{
    Widget statusBox = OmStandardBox(mainBox, XmHORIZONTAL, 10, 10);
    XtVaCreateManagedWidget("Active Connection:", xmLabelGadgetClass, statusBox, NULL);
    activeText = CreateStatusText(statusBox);
    XtVaCreateManagedWidget("Failed Connection:", xmLabelGadgetClass, statusBox, NULL);
    failedText = CreateStatusText(statusBox);
    waitLabel = XtVaCreateManagedWidget("wait_label", xmLabelGadgetClass, statusBox, NULL);
    ShowWaiting(NULL);

    // Three spin pictures shown in turn make the working icon turn while polls come in.
    pixmaps[ICON_SPIN1] = _XomCreatePixmapFromData(0, spin1_xpm, mainBox);
    pixmaps[ICON_SPIN2] = _XomCreatePixmapFromData(0, spin2_xpm, mainBox);
    pixmaps[ICON_SPIN3] = _XomCreatePixmapFromData(0, spin3_xpm, mainBox);
    pixmaps[ICON_PAUSE] = _XomCreatePixmapFromData(0, pause_xpm, mainBox);
    pixmaps[ICON_NEW_REJECTION] = _XomCreatePixmapFromData(0, new_rejection_xpm, mainBox);
    pixmaps[ICON_LAST_REJECTION] = _XomCreatePixmapFromData(0, last_rejection_xpm, mainBox);

    XomCreateHorizontalGlue(statusBox, 5, XOM_BOX_UNLIMITED, XOM_BOX_UNLIMITED);
    newRejectionLabel =
        XtVaCreateManagedWidget("new_rejection_label", xmLabelGadgetClass, statusBox, XmNlabelType,
                                XmPIXMAP, XmNlabelPixmap, XmUNSPECIFIED_PIXMAP, NULL);
    workingLabel =
        XtVaCreateManagedWidget("working_label", xmLabelGadgetClass, statusBox, XmNlabelType,
                                XmPIXMAP, XmNlabelPixmap, pixmaps[ICON_LAST_REJECTION], NULL);
}

// Leaving the program is deleting the controller: a pass under way ends, the servers close
// their connections, and the process exits here (Exit, the window manager's close button).
MonitorApp::~MonitorApp()
{
    CancelPass();
    for (int i = 0; i < serverCount; i++)
        delete servers[i];
    serverCount = 0;
    current = NULL;
    free(connBuffer);
    connBuffer = NULL;
    ReleaseSetting(&setting);
    for (Pixmap pixmap : pixmaps)
        if (pixmap)
            XFreePixmap(XtDisplay(shell), pixmap);
    if (watchCursor != None)
        XFreeCursor(XtDisplay(shell), watchCursor);
    delete menu;
    delete tableView;
    delete chartView;
    XtDestroyWidget(shell);
    exit(0);
}

const char* MonitorApp::className()
{
    return "MonitorApp";
}

// ---- settings ----

void MonitorApp::ReadSetting()
{
    ReleaseSetting(&setting); // a second call must not leak the first one's texts
    FillDefaultSetting(&setting);
    // The interval is kept in milliseconds, the unit of Xt timers.
    setting.updateInterval = updateSeconds * 1000;
}

// ---- status line ----

void MonitorApp::setWkLabelValue(int icon)
{
    // In the order of StatusIcon.
    static const int icon_for_value[STATUS_ICON_COUNT] = {
        ICON_SPIN1, ICON_SPIN2, ICON_SPIN3, ICON_NEW_REJECTION, ICON_LAST_REJECTION, ICON_PAUSE};
    if (icon < 0 || icon >= STATUS_ICON_COUNT)
        return;
    XtVaSetValues(workingLabel, XmNlabelPixmap, pixmaps[icon_for_value[icon]], NULL);
}

// The new-rejection icon shows while the current server has failed connections.
void MonitorApp::UpdateNewRejLabel()
{
    if (!current)
        return;
    Pixmap pixmap = current->failedCount >= 1 ? pixmaps[ICON_NEW_REJECTION] : XmUNSPECIFIED_PIXMAP;
    XtVaSetValues(newRejectionLabel, XmNlabelPixmap, pixmap, NULL);
}

// Empty, not zero: the counts of the server left say nothing about the next one.
void MonitorApp::ClearCounts()
{
    XmTextFieldSetString(activeText, const_cast<char*>(""));
    XmTextFieldSetString(failedText, const_cast<char*>(""));
}

// ---- display setters ----

// The display setters change the current server's setting and redraw at once. The server is
// marked busy meanwhile, so that an update timer firing meanwhile waits for its next tick.
void MonitorApp::setSortType(SortKey sortType)
{
    if (!current || current->setting.sortType == sortType)
        return;
    current->setting.sortType = sortType;
    current->setting.sortDescending = 0; // the menu's keys sort ascending
    ShowResorted(SORT_AFTER_SORT_KEY);
}

// Host names or addresses: the sort by host may change with the names, so the rows are sorted
// again.
void MonitorApp::setNodeType(NodeType nodeType)
{
    if (!current || current->setting.nodeType == nodeType)
        return;
    current->setting.nodeType = nodeType;
    ShowResorted(SORT_AFTER_NODE_TYPE);
}

void MonitorApp::ShowResorted(SortReason reason)
{
    current->status |= SOCKS5_BUSY;
    SortConnectionList(reason);
    tableView->RasterTable();
    current->status &= ~SOCKS5_BUSY;
    tableView->ShowSortArrow();
}

void MonitorApp::setUnitType(UnitType unitType)
{
    if (!current || current->setting.unitType == unitType)
        return;
    // The chart's samples were taken in the old unit: they are scaled by the ratio of the units
    // rather than thrown away.
    adjust_factor =
        static_cast<double>(UnitFactorOf(unitType)) / UnitFactorOf(current->setting.unitType);
    current->setting.unitType = unitType;
    current->setting.unitFactor = UnitFactorOf(unitType);
    current->status |= SOCKS5_BUSY;
    tableView->RasterTable();
    chartView->RasterChartUnitChange(adjust_factor);
    current->status &= ~SOCKS5_BUSY;
}

// ---- table and chart ----

// Taken while both panes show, so the heights can be given back when both show again.
void MonitorApp::KeepPaneHeights()
{
    if (XtIsManaged(tableView->scroll) && XtIsManaged(chartView->box)) {
        XtVaGetValues(tableView->scroll, XmNheight, &paneHeights[0], NULL);
        XtVaGetValues(chartView->box, XmNheight, &paneHeights[1], NULL);
    }
}

// The paned window gives a pane managed again whatever height is left, which may be none:
// each pane is held at its height of before for a moment, then let free again.
void MonitorApp::RestorePaneHeights()
{
    Widget panes[2] = {tableView->scroll, chartView->box};
    Dimension minimum[2], maximum[2];
    for (int i = 0; i < 2; i++) {
        XtVaGetValues(panes[i], XmNpaneMinimum, &minimum[i], XmNpaneMaximum, &maximum[i], NULL);
        if (paneHeights[i] > 0)
            XtVaSetValues(panes[i], XmNpaneMinimum, paneHeights[i], XmNpaneMaximum, paneHeights[i],
                          NULL);
    }
    for (int i = 0; i < 2; i++)
        XtVaSetValues(panes[i], XmNpaneMinimum, minimum[i], XmNpaneMaximum, maximum[i], NULL);
}

// Table only, chart only, or both: the entries of View > Display.
void MonitorApp::UnmanageTable()
{
    KeepPaneHeights();
    if (!XtIsManaged(chartView->box))
        XtManageChild(chartView->box);
    if (XtIsManaged(tableView->scroll))
        XtUnmanageChild(tableView->scroll);
}

void MonitorApp::UnmanageGraph()
{
    KeepPaneHeights();
    if (XtIsManaged(chartView->box))
        XtUnmanageChild(chartView->box);
    if (!XtIsManaged(tableView->scroll))
        XtManageChild(tableView->scroll);
}

void MonitorApp::ManageBoth()
{
    if (XtIsManaged(chartView->box) && XtIsManaged(tableView->scroll))
        return;
    if (!XtIsManaged(chartView->box))
        XtManageChild(chartView->box);
    if (!XtIsManaged(tableView->scroll))
        XtManageChild(tableView->scroll);
    RestorePaneHeights();
}

// ---- forwarders ----
// Requests the menu passes on to a view or panel that it does not hold itself.

void MonitorApp::callSetValues(MenuState state)
{
    menu->setValues(state);
}
void MonitorApp::callSortConnectionList(SortReason reason)
{
    SortConnectionList(reason);
}
void MonitorApp::callRestoreConnectionList()
{
    RestoreConnectionList();
}
void MonitorApp::callReadSettingFile()
{
    ReadSettingFile();
}
void MonitorApp::callClearChart()
{
    chartView->ClearChart();
}
void MonitorApp::callColumnSelect()
{
    tableView->callColumnSelect();
}
void MonitorApp::callRestoreTable(int reload)
{
    tableView->RestoreTable(reload);
}
void MonitorApp::callBuildServicePanel()
{
    chartView->BuildServicePanel();
}
void MonitorApp::callBuildRejectPanel()
{
    BuildRejectPanel();
}
void MonitorApp::callBuildSOCKS5EditPanel()
{
    BuildSOCKS5EditPanel();
}
void MonitorApp::callAddSOCKS5(const char* name)
{
    AddSOCKS5(name);
}

void MonitorApp::callWriteSetting()
{
    if (WriteSetting())
        KesWarningPost(shell, "Settings saved. ", NULL, NULL, "Information");
}

void MonitorApp::WarnAboutServer(const char* text, const SOCKS5* server, const char* title,
                                 Widget parent)
{
    snprintf(message, sizeof message, "%s %s", text, server->name);
    KesWarningPost(parent ? parent : shell, message, NULL, NULL, title);
}

void MonitorApp::TablePanelDestroyCallback(Widget, XtPointer, XtPointer)
{}

void MonitorApp::TryMonitoring()
{}
