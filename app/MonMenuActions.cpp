// What the entries of the Action, View, SOCKS5Server and Options menus do, and the
// sensitivity of the entries and tool buttons for the state of the current server.
#include "app/MonMenu.h"

#include <stdio.h>

#include <Xm/ToggleB.h>
#include <Xm/ToggleBG.h>
#include <Xm/Xm.h>

#include "app/MonChart.h"
#include "app/MonitorApp.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/util.h"
#include "toolkit/util.h"

namespace {

const char kNoServerAvailable[] = "No SOCKS5Server available. Please choose a SOCKS5Server.";

// Panes mix toggles with push buttons, labels and separators; only toggles carry a state.
bool IsToggle(Widget w)
{
    return w && (XmIsToggleButton(w) || XmIsToggleButtonGadget(w));
}

// Every entry carries the code it stands for as its user data.
int ValueOf(Widget w)
{
    return (int)(long)OmGetWidgetUserData(w);
}

// Sets the toggle of a radio pane whose value is given and unsets its siblings.
void ShowRadioChoice(Widget pane, int value)
{
    WidgetList children = NULL;
    Cardinal count = 0;
    XtVaGetValues(pane, XmNchildren, &children, XmNnumChildren, &count, NULL);
    for (Cardinal i = 0; i < count; i++)
        if (IsToggle(children[i]))
            XmToggleButtonSetState(children[i], ValueOf(children[i]) == value, False);
}

} // namespace

// Every command below acts on the current server. Without one the user is told why nothing happens,
// rather than the entry doing nothing silently.
bool MonMenu::NeedsServer(const char* warning)
{
    if (app->current)
        return true;
    snprintf(app->message, sizeof app->message, "%s", warning);
    KesWarningPost(app->shell, app->message, NULL, NULL, "Warning");
    return false;
}

bool MonMenu::NeedsSelectedServer()
{
    return NeedsServer(NO_SERVER_SELECTED_TEXT);
}

// Start, Pause, Stop and Update Now. The menu state follows what actually happened, not what was
// asked: a Start whose connection failed leaves the entries as they were and shows the failure.
void MonMenu::ActionSelect(int value)
{
    if (!NeedsServer(kNoServerAvailable))
        return;
    switch (value) {
    case ACTION_START:
        app->StartMonitoring();
        if (app->current && (app->current->status & SOCKS5_CONNECTED)) {
            setValues(MenuState::Running);
            app->setWkLabelValue(STATUS_SPIN1);
        } else {
            app->setWkLabelValue(STATUS_NEW_REJECTION);
        }
        break;
    // A pause keeps the connection open but stops the polling; the picture says so only if the
    // server took the pause.
    case ACTION_PAUSE:
        app->PauseMonitoring();
        setValues(MenuState::Paused);
        if (app->current->status & SOCKS5_PAUSED)
            app->setWkLabelValue(STATUS_PAUSE);
        break;
    case ACTION_STOP:
        app->StopMonitoring();
        setValues(MenuState::Stopped);
        app->setWkLabelValue(STATUS_LAST_REJECTION);
        break;
    case ACTION_UPDATE_NOW:
        app->RunMonitoring(); // a lost connection is shown when the pass ends
        break;
    default:
        break;
    }
}

// The View menu. Its radio entries (table, graph, both) report the entry left as well as the one
// chosen; only the second acts.
void MonMenu::ViewSelect(Widget w, int value, bool set)
{
    bool radio = value >= VIEW_TABLE_ONLY;
    if (radio && !set)
        return; // the choice that was left; the one now set acts
    if (!app->current) {
        // Nothing changes, so the entries go back to what is in effect.
        if (radio) {
            bool table = XtIsManaged(app->tableView->scroll);
            bool chart = XtIsManaged(app->chartView->box);
            ShowRadioChoice(XtParent(w),
                            table && chart ? VIEW_TABLE_AND_GRAPH
                                : table    ? VIEW_TABLE_ONLY
                                           : VIEW_GRAPH_ONLY);
        }
        bool failed = app->setting.showFailed == 1;
        XmToggleButtonSetState(viewToggles[VIEW_SHOW_ACTIVE], !failed, False);
        XmToggleButtonSetState(viewToggles[VIEW_SHOW_FAILED], failed, False);
        XmToggleButtonSetState(toolbarToggle, XtIsManaged(toolBox), False);
        NeedsServer(NO_SERVER_SELECTED_TEXT);
        return;
    }
    Setting& setting = app->current->setting;
    switch (value) {
    case VIEW_SHOW_ACTIVE:
    case VIEW_SHOW_FAILED: {
        Widget other = viewToggles[value == VIEW_SHOW_ACTIVE ? VIEW_SHOW_FAILED : VIEW_SHOW_ACTIVE];
        if (!set) {
            // One of the two is always set.
            if (!XmToggleButtonGetState(other))
                XmToggleButtonSetState(w, True, False);
            break;
        }
        if (XmToggleButtonGetState(other))
            XmToggleButtonSetState(other, False, False);
        bool failed = value == VIEW_SHOW_FAILED;
        if (setting.showFailed != (failed ? 1 : 0))
            ShowList(failed);
        break;
    }
    case VIEW_TOOLBAR:
        // Acting on what is shown, not on the setting: a server switched to may hold
        // another value than the one the tool bar was last set by.
        setting.showToolbar = set ? 1 : 0;
        if (set && !XtIsManaged(toolBox))
            XtManageChild(toolBox);
        else if (!set && XtIsManaged(toolBox))
            XtUnmanageChild(toolBox);
        break;
    case VIEW_CLEAR_GRAPH:
        app->callClearChart();
        break;
    case VIEW_TABLE_ONLY:
        app->UnmanageGraph();
        break;
    case VIEW_GRAPH_ONLY:
        app->UnmanageTable();
        break;
    case VIEW_TABLE_AND_GRAPH:
        app->ManageBoth();
        break;
    default:
        break;
    }
}

// Switches the table between the active and the failed connections of the current server and
// redraws it from the records kept, without asking the server again.
void MonMenu::ShowList(bool failed)
{
    app->current->setting.showFailed = failed ? 1 : 0;
    ShowListEntries();
    app->callRestoreTable(0);
}

// The tool button shows the list one would switch to, hence the opposite icon and label.
void MonMenu::ShowListEntries()
{
    bool failed = app->current && app->current->setting.showFailed == 1;
    XmToggleButtonSetState(viewToggles[VIEW_SHOW_ACTIVE], !failed, False);
    XmToggleButtonSetState(viewToggles[VIEW_SHOW_FAILED], failed, False);
    Widget button = toolButtons[TOOL_SHOW_FAILED];
    if (button) {
        Pixmap icon = toolPixmaps[failed ? PIXMAP_ACTIVE : PIXMAP_FAIL];
        XtVaSetValues(button, XmNlabelPixmap, icon, XmNlabelInsensitivePixmap, icon, NULL);
        OmSetWidgetUserData(button, (XtPointer)(long)TOOL_SHOW_FAILED);
    }
    SetToolLabel(TOOL_SHOW_FAILED, failed ? "Show Active" : "Show Failed");
}

// Switching servers stops the one left: only the server on show is polled, so the bandwidth and the
// servers' load stay bounded whatever the number of servers configured.
void MonMenu::ServerSelect(int index)
{
    if (index == app->currentIndex || index < 0 || index >= app->serverCount)
        return;
    app->StopMonitoring();
    app->ClearCounts(); // counts of the server left must not stand beside the next one

    int old = app->currentIndex;
    // The button of the server on show is greyed, as choosing it again would do nothing.
    DisableToolBn(TOOL_FIRST_SERVER + index);
    if (old >= 0) {
        EnableToolBn(TOOL_FIRST_SERVER + old);
        if (toolButtons[TOOL_FIRST_SERVER + old])
            OmSetWidgetUserData(toolButtons[TOOL_FIRST_SERVER + old],
                                (XtPointer)(long)(TOOL_FIRST_SERVER + old));
    }

    app->current = app->servers[index];
    app->currentIndex = index;

    // The table and graph are emptied so no row of the old server is taken for the new one's.
    app->callRestoreTable(1);
    app->callClearChart();
    ResetOptionBn();
    // Each server keeps its own choice of list; the entries and the button show it.
    ShowListEntries();
    ShowServerState();
}

// Sets the entries for a server just switched to, from what is known of it: disabled, lost, or
// connected but paused (switching always stops the polling).
void MonMenu::ShowServerState()
{
    ServerStatus status = app->current->status;
    if (!(status & SOCKS5_ENABLED)) {
        setValues(MenuState::Stopped);
        app->setWkLabelValue(STATUS_NEW_REJECTION);
    } else if (!(status & SOCKS5_CONNECTED)) {
        setValues(MenuState::Stopped);
        app->setWkLabelValue(STATUS_LAST_REJECTION);
    } else {
        setValues(MenuState::Paused);
        XtSetSensitive(actionItems[ACTION_STOP], True);
        XtSetSensitive(actionItems[ACTION_UPDATE_NOW], True);
        EnableToolBn(TOOL_STOP);
        EnableToolBn(TOOL_UPDATE);
        app->setWkLabelValue(STATUS_PAUSE);
    }
}

// The Options menu: sorting, traffic unit, host naming, saving and the three settings dialogs.
void MonMenu::OptionSelect(int value)
{
    if (!app->current) {
        ResetOptionBn();
        NeedsServer(NO_SERVER_SELECTED_TEXT);
        return;
    }
    // The entries of these three groups carry the codes they choose.
    if (value >= OPTIONS_SORT_FIRST && value <= OPTIONS_SORT_LAST)
        app->setSortType(static_cast<SortKey>(value));
    else if (value >= OPTIONS_UNIT_FIRST && value <= OPTIONS_UNIT_LAST)
        app->setUnitType(static_cast<UnitType>(value));
    else if (value >= OPTIONS_NODE_FIRST && value <= OPTIONS_NODE_LAST)
        app->setNodeType(static_cast<NodeType>(value));
    else if (value == OPTIONS_SAVE)
        app->callWriteSetting();
    else if (value == OPTIONS_GENERAL)
        GeneralSettingsSelect();
    else if (value == OPTIONS_TABLE)
        TableSettingsSelect();
    else if (value == OPTIONS_GRAPH)
        GraphSettingsSelect();
}

// Sets the radio entries from the settings in effect: the current server's, or the defaults when
// none is chosen. A code belongs to one group only, so comparing with all three is safe.
void MonMenu::ResetOptionBn()
{
    const Setting& s = app->current ? app->current->setting : app->setting;
    for (Widget item : optionItems) {
        if (!IsToggle(item))
            continue;
        int value = ValueOf(item);
        bool inEffect = value == s.sortType || value == s.unitType || value == s.nodeType;
        XmToggleButtonSetState(item, inEffect, False);
    }
}

void MonMenu::setValues(MenuState state)
{
    // A running server may be paused; a stopped or paused one started.
    bool pause = state == MenuState::Running, start = !pause;
    XtSetSensitive(actionItems[ACTION_START], start);
    XtSetSensitive(actionItems[ACTION_PAUSE], pause);
    SetToolButton(TOOL_START, start);
    SetToolButton(TOOL_PAUSE, pause);
    if (state == MenuState::Paused)
        return; // Stop and Update Now stay as they are
    XtSetSensitive(actionItems[ACTION_STOP], pause);
    XtSetSensitive(actionItems[ACTION_UPDATE_NOW], pause);
    SetToolButton(TOOL_STOP, pause);
    SetToolButton(TOOL_UPDATE, pause);
}
