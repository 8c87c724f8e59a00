// The menu bar: its seven pull-downs built from the entry tables, and the dispatch of every
// entry to its action. Closing the main window from the window manager leaves as Exit does.
#include "app/MonMenu.h"

#include <stdlib.h>

#include <Xm/CascadeBG.h>
#include <Xm/Protocols.h>
#include <Xm/PushBG.h>
#include <Xm/RowColumn.h>
#include <Xm/SeparatoG.h>
#include <Xm/ToggleB.h>
#include <Xm/ToggleBG.h>
#include <Xm/Xm.h>

#include "app/MonitorApp.h"
#include "app/MonSOCKS5.h"
#include "app/util.h"
#include "toolkit/util.h"

MonMenu* current_monMenu = NULL;

namespace {

// The entry tables below hold widget names; the labels themselves come from the resources, so a
// site may rename entries without a rebuild.
enum { FILE_ENTRIES = 2, CONNECTION_ENTRIES = 3, HELP_ENTRIES = 2 };

const char* const pd_label[MENU_COUNT] = {"fm_file",       "fm_action", "fm_view", "fm_socks5s",
                                          "fm_connection", "fm_option", "fm_help"};
const char* const file_label[FILE_ENTRIES] = {"fm_print", "fm_exit"};
// Accelerators are written as translations; the text beside them is what the menu shows.
const char* const file_accelerator[FILE_ENTRIES] = {"Ctrl<KeyPress>p: DoSelect()",
                                                    "Ctrl<KeyPress>x: DoSelect()"};
const char* const file_accelerator_text[FILE_ENTRIES] = {"Ctrl+p", "Ctrl+x"};
const char* const action_label[ACTION_ITEMS] = {"fm_start", "fm_pause", "fm_stop", "fm_update_now"};
const char* const view_label[] = {"fm_active_connection", "fm_rejected_connection", "fm_toolbar",
                                  "fm_clear_graph", "fm_showwho"};
const char* const show_label[] = {"fm_view_table", "fm_view_graph", "fm_view_table_graph"};
const char* const socks5s_label[] = {"fm_edit_socks5"};
const char* const option_label[] = {
    "fm_general_setting", "fm_table_setting", "fm_chart_setting", "fm_sort", "fm_unit",
    "fm_node_display",    "fm_save_setting"};
// In the order of the sort codes, which start at OPTIONS_SORT_FIRST.
const char* const sort_label[] = {"fm_sort_by_src",  "fm_sort_by_des",
                                  "fm_sort_by_user", "fm_sort_by_application",
                                  "fm_sort_by_time", "fm_sort_by_traffic"};
const char* const unit_label[] = {"fm_bytes", "fm_kilobytes", "fm_megabytes"};
const char* const node_display_label[] = {"fm_host_name", "fm_ip_address"};
const char* const connection_label[CONNECTION_ENTRIES] = {"fm_filter", "fm_export", "fm_copy_row"};
// The Connection entries are labelled here: the resource defaults leave that menu empty.
const char* const connection_text[CONNECTION_ENTRIES] = {"Filter...", "Export Shown Connections...",
                                                         "Copy Row"};
const char* const connection_accelerator[CONNECTION_ENTRIES] = {"Ctrl<KeyPress>f: DoSelect()", NULL,
                                                                "Ctrl<KeyPress>c: DoSelect()"};
const char* const connection_accelerator_text[CONNECTION_ENTRIES] = {"Ctrl+f", NULL, "Ctrl+c"};
const char* const help_label[HELP_ENTRIES] = {"fm_contents", "fm_product_information"};

void Separator(Widget pane)
{
    XtVaCreateManagedWidget("sep", xmSeparatorGadgetClass, pane, NULL);
}

// An entry that acts when chosen; its value rides along as user data for the one callback.
Widget PushEntry(Widget pane, const char* name, long value, MonMenu* menu)
{
    Widget w = XtVaCreateManagedWidget(name, xmPushButtonGadgetClass, pane, XmNuserData,
                                       (XtPointer)value, NULL);
    XtAddCallback(w, XmNactivateCallback, MonMenu::MenuCallback, (XtPointer)menu);
    return w;
}

// An entry that holds a state: a diamond when one of a group, a square when on its own. The
// indicator stays visible when off, so the user sees there is a choice to make.
Widget ToggleEntry(Widget pane, const char* name, long value, bool set, bool oneOfMany,
                   MonMenu* menu)
{
    Widget w = XtVaCreateManagedWidget(name, xmToggleButtonGadgetClass, pane, XmNuserData,
                                       (XtPointer)value, XmNset, set ? True : False,
                                       XmNvisibleWhenOff, True, XmNindicatorType,
                                       oneOfMany ? XmONE_OF_MANY : XmN_OF_MANY, NULL);
    XtAddCallback(w, XmNvalueChangedCallback, MonMenu::MenuCallback, (XtPointer)menu);
    return w;
}

// A cascade entry opening a pull-down of one-of-many toggles. The pull-down carries the
// index of the menu that holds it, as the menu bar's pull-downs do.
Widget RadioCascade(Widget pane, const char* name, const char* paneName, long menuIndex,
                    Widget* cascade)
{
    Arg args[3];
    XtSetArg(args[0], XmNradioBehavior, True);
    // One entry of the group is always set: clicking the set one does not leave none.
    XtSetArg(args[1], XmNradioAlwaysOne, True);
    XtSetArg(args[2], XmNvisual, XomGetVisual(pane));
    Widget pulldown = XmCreatePulldownMenu(pane, (String)paneName, args, 3);
    OmSetManagerUserData(pulldown, (XtPointer)menuIndex);
    *cascade = XtVaCreateManagedWidget(name, xmCascadeButtonGadgetClass, pane, XmNsubMenuId,
                                       pulldown, NULL);
    return pulldown;
}

} // namespace

MonMenu::MonMenu(Widget parent, MonitorApp* owner)
    : toolbarToggle(NULL), serverMenu(NULL), currentMenu(MENU_FILE), toolBox(NULL),
      serverNames(NULL), serverNameCount(0), app(owner)
{
    // Every slot starts empty, so the destructor and the sensitivity code can test for a widget.
    for (Widget& w : actionItems)
        w = NULL;
    for (Widget& w : viewToggles)
        w = NULL;
    for (Widget& w : toolButtons)
        w = NULL;
    for (Widget& w : optionItems)
        w = NULL;
    for (char*& label : toolLabels)
        label = NULL;
    for (Pixmap& pixmap : toolPixmaps)
        pixmap = 0;
    current_monMenu = this;

    BuildMenu(parent);
    // The tool bar is built even when hidden, so showing it later is only a matter of managing it.
    toolBox = OmStandardBox(parent, 2, 0, -3);
    if (app->setting.showToolbar == 0)
        XtUnmanageChild(toolBox);
    BuildControlButtons(toolBox);

    // The window manager's close button ends the program as Exit does; without this the
    // shell would be destroyed and the process would run on without a window.
    Widget shell = OmGetShell(parent);
    XtVaSetValues(shell, XmNdeleteResponse, XmDO_NOTHING, NULL);
    Atom deleteWindow = XmInternAtom(XtDisplay(shell), (String) "WM_DELETE_WINDOW", False);
    XmAddWMProtocolCallback(shell, deleteWindow, ExitCallback, (XtPointer)this);
}

// The icons and labels of the tool buttons were made for them and are freed here; the widgets go
// with the window.
MonMenu::~MonMenu()
{
    Display* display = XtDisplay(app->shell);
    for (Pixmap pixmap : toolPixmaps)
        if (pixmap)
            XFreePixmap(display, pixmap);
    for (char*& label : toolLabels) {
        free(label);
        label = NULL;
    }
    if (current_monMenu == this)
        current_monMenu = NULL;
}

// Each pull-down remembers its own index, and the one last opened is noted when it maps.
void MonMenu::BuildMenu(Widget parent)
{
    Widget pulldowns[MENU_COUNT];
    OmStandardMenuBar(parent, pulldowns, pd_label, NULL, MENU_COUNT, 1);
    for (long i = 0; i < MENU_COUNT; i++) {
        OmSetManagerUserData(pulldowns[i], (XtPointer)i);
        XtAddCallback(pulldowns[i], XmNmapCallback, MenuMapCallback, (XtPointer)this);
    }

    Widget fileButtons[FILE_ENTRIES];
    static const int separator_before_exit[] = {FILE_EXIT};
    KesStandardMenu(pulldowns[MENU_FILE], fileButtons, NULL, file_label, file_accelerator,
                    file_accelerator_text, FILE_ENTRIES, MenuCallback, separator_before_exit, 1,
                    (XtPointer)this);

    // The Action entries start greyed: nothing can be started before a server is chosen.
    for (long i = 0; i < ACTION_ITEMS; i++) {
        if (i == ACTION_UPDATE_NOW)
            Separator(pulldowns[MENU_ACTION]);
        actionItems[i] = PushEntry(pulldowns[MENU_ACTION], action_label[i], i, this);
        XtSetSensitive(actionItems[i], False);
    }

    BuildViewMenu(pulldowns[MENU_VIEW]);
    BuildServerMenu(pulldowns[MENU_SERVERS]);
    Widget connectionButtons[CONNECTION_ENTRIES];
    KesStandardMenu(pulldowns[MENU_CONNECTION], connectionButtons, NULL, connection_label,
                    connection_accelerator, connection_accelerator_text, CONNECTION_ENTRIES,
                    MenuCallback, NULL, 0, (XtPointer)this);
    for (int i = 0; i < CONNECTION_ENTRIES; i++) {
        XmString label = XmStringCreateLocalized(const_cast<char*>(connection_text[i]));
        XtVaSetValues(connectionButtons[i], XmNlabelString, label, NULL);
        XmStringFree(label);
    }
    BuildOptionsMenu(pulldowns[MENU_OPTIONS]);

    Widget helpButtons[HELP_ENTRIES];
    KesStandardMenu(pulldowns[MENU_HELP], helpButtons, NULL, help_label, NULL, NULL, HELP_ENTRIES,
                    MenuCallback, NULL, 0, (XtPointer)this);
}

// The entries start from the defaults; switching servers later sets them from that server.
void MonMenu::BuildViewMenu(Widget pane)
{
    int showFailed = app->setting.showFailed;
    viewToggles[VIEW_SHOW_ACTIVE] =
        ToggleEntry(pane, view_label[0], VIEW_SHOW_ACTIVE, showFailed == 0, false, this);
    viewToggles[VIEW_SHOW_FAILED] =
        ToggleEntry(pane, view_label[1], VIEW_SHOW_FAILED, showFailed == 1, false, this);
    Separator(pane);
    toolbarToggle =
        ToggleEntry(pane, view_label[2], VIEW_TOOLBAR, app->setting.showToolbar == 1, false, this);
    Separator(pane);
    PushEntry(pane, view_label[3], VIEW_CLEAR_GRAPH, this);
    Separator(pane);
    Widget cascade;
    Widget display = RadioCascade(pane, view_label[4], "pull_down_menu", MENU_VIEW, &cascade);
    for (long i = 0; i < 3; i++)
        ToggleEntry(display, show_label[i], VIEW_TABLE_ONLY + i,
                    VIEW_TABLE_ONLY + i == VIEW_TABLE_AND_GRAPH, true, this);
}

// The server entries after the separator form a radio group: one server is on show at a time.
void MonMenu::BuildServerMenu(Widget pane)
{
    PushEntry(pane, socks5s_label[0], SERVERS_EDIT, this);
    Separator(pane);
    XtVaSetValues(pane, XmNradioBehavior, True, XmNradioAlwaysOne, True, NULL);
    serverMenu = pane;
    ReadServerList();
}

// The settings dialogs first, then three radio sub-menus (sort key, unit, host naming) whose
// entries carry the codes they choose, then Save.
void MonMenu::BuildOptionsMenu(Widget pane)
{
    int item = 0;
    for (long i = OPTIONS_GENERAL; i <= OPTIONS_GRAPH; i++)
        optionItems[item++] = PushEntry(pane, option_label[i], i, this);
    Separator(pane);

    struct Choice {
        const char* name;
        const char* const* labels;
        int first;
        int count;
        int selected;
    };
    const Choice choices[] = {
        {option_label[3], sort_label, OPTIONS_SORT_FIRST, 6, app->setting.sortType},
        {option_label[4], unit_label, OPTIONS_UNIT_FIRST, 3, app->setting.unitType},
        {option_label[5], node_display_label, OPTIONS_NODE_FIRST, 2, app->setting.nodeType},
    };
    for (const Choice& choice : choices) {
        Widget pulldown =
            RadioCascade(pane, choice.name, "pd_button", MENU_OPTIONS, &optionItems[item++]);
        for (int i = 0; i < choice.count; i++) {
            long value = choice.first + i;
            optionItems[item++] = ToggleEntry(pulldown, choice.labels[i], value,
                                              value == choice.selected, true, this);
        }
    }
    Separator(pane);
    optionItems[item] = PushEntry(pane, option_label[6], OPTIONS_SAVE, this);
}

void MonMenu::MenuCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    ((MonMenu*)clientData)->MenuSelect(w, callData);
}

void MonMenu::MenuMapCallback(Widget w, XtPointer clientData, XtPointer)
{
    ((MonMenu*)clientData)->MenuMap(w);
}

void MonMenu::MenuMap(Widget w)
{
    currentMenu = (int)(long)OmGetManagerUserData(w);
}

// Deleting the application closes its connections, writes nothing unasked and ends the program.
void MonMenu::ExitCallback(Widget w, XtPointer clientData, XtPointer)
{
    MonMenu* menu = (MonMenu*)clientData;
    menu->currentMenu = MENU_FILE;
    (void)w;
    delete menu->app;
}

void MonMenu::MenuSelect(Widget w, XtPointer reason)
{
    // The menu comes from the entry's own pull-down, so that an accelerator acts for its
    // entry whichever menu was shown last.
    currentMenu = (int)(long)OmGetManagerUserData(XtParent(w));
    int value = (int)(long)OmGetWidgetUserData(w);
    bool set = XmIsToggleButton(w) || XmIsToggleButtonGadget(w)
        ? ((XmToggleButtonCallbackStruct*)reason)->set != 0
        : true;

    switch (currentMenu) {
    case MENU_FILE:
        if (value == FILE_PRINT)
            PrintSelect();
        else if (value == FILE_EXIT)
            delete app;
        break;
    case MENU_ACTION:
        ActionSelect(value);
        break;
    case MENU_VIEW:
        ViewSelect(w, value, set);
        break;
    case MENU_SERVERS:
        if (value == SERVERS_EDIT) {
            app->BuildSOCKS5EditPanel();
        } else if (set) {
            // Entry values go stale when an earlier server leaves the list, so the server
            // is found by its entry.
            for (int i = 0; i < app->serverCount; i++)
                if (app->servers[i]->button == w)
                    ServerSelect(i);
        }
        break;
    case MENU_OPTIONS:
        // A radio choice acts when its toggle is set, so the choice shown is the one in effect.
        if (set)
            OptionSelect(value);
        break;
    case MENU_CONNECTION:
        ConnectionSelect(value);
        break;
    case MENU_HELP:
        if (value == HELP_MANUAL)
            ManualSelect();
        else if (value == HELP_ABOUT)
            AboutSelect();
        break;
    default:
        break;
    }
}
