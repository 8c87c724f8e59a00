// The server list: adding and removing servers, and the "SOCKS5Server Editting" dialog
// through which the user edits the list.
#include "app/MonitorApp.h"

#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <Xm/List.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/ScrolledW.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>
#include <Xm/ToggleB.h>

#include "app/MonChart.h"
#include "app/MonMenu.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "core/SettingsFile.h"
#include "toolkit/Box.h"
#include "toolkit/Glue.h"
#include "toolkit/util.h"
#include "app/util.h"

namespace {

// User data of the dialog's widgets.
enum { EDIT_LIST = 1, EDIT_ADD = 2, EDIT_REMOVE = 3, EDIT_DONE = 4 };

// Six names show at once; more scroll. Ten servers at most make the list never very long.
const int kVisibleServers = 6;
const int kListWidth = 300; // pixels

// A label whose text is given here rather than by the resources.
Widget Label(Widget parent, const char* name, const char* text)
{
    XmString label = XmStringCreateLocalized(const_cast<char*>(text));
    Widget w =
        XtVaCreateManagedWidget(name, xmLabelWidgetClass, parent, XmNlabelString, label, NULL);
    XmStringFree(label);
    return w;
}

Widget Button(Widget parent, const char* name, long userData, XtPointer app)
{
    Widget w = XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, parent, XmNuserData,
                                       (XtPointer)userData, NULL);
    XtAddCallback(w, XmNactivateCallback, MonitorApp::SOCKS5EditPanelCallback, app);
    return w;
}

// Appended at the end (position 0), so list position i is server i - 1.
void AddListItem(Widget list, const char* text)
{
    XmString item = XmStringCreateLocalized(const_cast<char*>(text));
    XmListAddItemUnselected(list, item, 0);
    XmStringFree(item);
}

} // namespace

// A new server starts from the template setting; the first one added becomes current and
// takes the row array.
int MonitorApp::AddSOCKS5(const char* name)
{
    // The limit keeps the tool bar, the menus and the polling bounded.
    if (serverCount >= MAX_SERVERS) {
        KesWarningPost(socks5Panel ? socks5Panel : shell,
                       "Adding this SOCKS5Server would exceed the maximum limit you can monitor.\n"
                       "Please remove a server, and try again.",
                       NULL, NULL, "Warning");
        return 0;
    }
    SOCKS5* server = new SOCKS5(name, this, setting);
    servers[serverCount++] = server;
    if (serverCount == 1) {
        server->rows = connBuffer;
        current = server;
        currentIndex = 0;
    }
    return 1;
}

// Removing the current server ends its pass and drops its rows; the first server left
// becomes current, its parked rows brought back. Removing another only closes the gap.
void MonitorApp::RemoveSOCKS5(int index)
{
    if (index < 0 || index >= serverCount) {
        return;
    }
    SOCKS5* server = servers[index];
    bool wasCurrent = server == current;
    if (wasCurrent) {
        WarnAboutServer("Removed the SOCKS5Server you were monitoring: ", server, "Information",
                        socks5Panel);
        CancelPass();
        tableView->ClearTable();
        chartView->ClearChart();
        // Its rows must not show up under the server that takes its place.
        DropConnectionRows();
    }
    // The array is kept without gaps so that server i is always the i-th menu entry and tool
    // button.
    for (int i = index; i < serverCount - 1; i++) {
        servers[i] = servers[i + 1];
    }
    servers[--serverCount] = NULL;
    delete server;

    // No server left: an empty table and nothing that could be started.
    if (serverCount == 0) {
        current = NULL;
        currentIndex = -1;
        tableView->RestoreTable(0);
        chartView->ClearChart();
        menu->DisableToolBn(TOOL_START);
        menu->DisableToolBn(TOOL_SHOW_FAILED);
        return;
    }
    if (wasCurrent) {
        current = servers[0];
        currentIndex = 0;
        if (current->button) {
            XmToggleButtonSetState(current->button, True, False);
        }
        menu->DisableToolBn(TOOL_FIRST_SERVER);
        menu->ShowServerState();
        tableView->RestoreTable(1);
        chartView->ClearChart();
        // The current server moved down one place with the others.
    } else if (currentIndex > index) {
        currentIndex--;
    }
}

// The "SOCKS5Server Editting" dialog: the list of servers, a name field, Add and Remove,
// and OK. Changes take effect at once and are written to socks5.dat.
void MonitorApp::BuildSOCKS5EditPanel()
{
    // Only one editor at a time; a second "Edit..." leaves the open one as it is.
    if (socks5Panel) {
        return;
    }
    Widget box;
    socks5Panel = KesStandardPanel(tableView->table, "SOCKS5Server Editting", XmVERTICAL, -1, -1,
                                   10, 10, &box);
    XtAddCallback(socks5Panel, XmNdestroyCallback, SOCKS5EditPanelDestroyCallback, this);

    Label(OmStandardBox(box, XmHORIZONTAL, 0, 0), "name", "SOCKS5Server Name:");
    socks5NameField =
        XtVaCreateManagedWidget("fw_add_socks5", xmTextFieldWidgetClass,
                                OmStandardBox(box, XmHORIZONTAL, 0, 0), XmNcolumns, 20, NULL);
    Label(OmStandardBox(box, XmHORIZONTAL, 0, 0), "List", "Available SOCKS5Servers:");

    Widget listBox = OmStandardBox(box, XmHORIZONTAL, 0, 0);
    XtVaSetValues(listBox, XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNverticalStretch,
                  XOM_BOX_UNLIMITED, NULL);
    Widget scroll = XtVaCreateManagedWidget(
        "list_scroll", xmScrolledWindowWidgetClass, listBox, XmNscrollingPolicy,
        XmAPPLICATION_DEFINED, XmNvisualPolicy, XmVARIABLE, XmNscrollBarDisplayPolicy, XmAS_NEEDED,
        XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNverticalStretch, XOM_BOX_UNLIMITED, NULL);
    // A constant width: a long name scrolls sideways instead of widening the dialog.
    socks5List = XtVaCreateManagedWidget("fw_socks5_list", xmListWidgetClass, scroll, XmNuserData,
                                         (XtPointer)EDIT_LIST, XmNselectionPolicy, XmBROWSE_SELECT,
                                         XmNvisibleItemCount, kVisibleServers, XmNlistSizePolicy,
                                         XmCONSTANT, XmNwidth, (Dimension)kListWidth, NULL);
    for (int i = 0; i < serverCount; i++) {
        AddListItem(socks5List, servers[i]->name);
    }
    // Browse selection reports a move by keyboard as well as a click.
    XtAddCallback(socks5List, XmNbrowseSelectionCallback, SOCKS5EditPanelCallback, this);
    XtAddCallback(socks5List, XmNsingleSelectionCallback, SOCKS5EditPanelCallback, this);

    XtVaCreateManagedWidget("sep", xmSeparatorWidgetClass, OmStandardBox(box, XmHORIZONTAL, 0, 0),
                            XomNhorizontalStretch, XOM_BOX_UNLIMITED, NULL);

    Widget buttons = OmStandardBox(box, XmHORIZONTAL, 0, 10);
    XomCreateHorizontalGlue(buttons, 0, XOM_BOX_UNLIMITED, XOM_BOX_UNLIMITED);
    Widget done = Button(buttons, "fw_done", EDIT_DONE, this);
    socks5AddButton = Button(buttons, "fw_add", EDIT_ADD, this);
    socks5RemoveButton = Button(buttons, "fw_remove", EDIT_REMOVE, this);
    XomCreateHorizontalGlue(buttons, 0, XOM_BOX_UNLIMITED, XOM_BOX_UNLIMITED);
    Dimension width = 0;
    // The three buttons take Remove's width, the widest label, so they look a row.
    XtVaGetValues(socks5RemoveButton, XmNwidth, &width, NULL);
    XtVaSetValues(done, XmNwidth, width, NULL);
    XtVaSetValues(socks5AddButton, XmNwidth, width, NULL);

    XtManageChild(box);
    // Modal, so the list cannot change under the dialog from the menus.
    SetGrabBeepPanel(socks5Panel);
    XtPopup(socks5Panel, XtGrabExclusive);
}

void MonitorApp::SOCKS5EditPanelCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    static_cast<MonitorApp*>(clientData)->SOCKS5EditPanelSelect(w, clientData, callData);
}

// The dialog is gone, by OK or by the window manager: the next "Edit..." builds a new one.
void MonitorApp::SOCKS5EditPanelDestroyCallback(Widget w, XtPointer clientData, XtPointer)
{
    MonitorApp* app = static_cast<MonitorApp*>(clientData);
    if (app->socks5Panel == w) {
        app->socks5Panel = app->socks5List = app->socks5NameField = NULL;
        app->socks5AddButton = app->socks5RemoveButton = NULL;
    }
}

// The dialog's widgets share this callback and are told apart by their user data.
void MonitorApp::SOCKS5EditPanelSelect(Widget w, XtPointer, XtPointer callData)
{
    XtPointer userData = NULL;
    XtVaGetValues(w, XmNuserData, &userData, NULL);
    switch ((long)userData) {
    // Choosing a name copies it into the field, ready for Remove or as a start for a new one.
    case EDIT_LIST: {
        int position = static_cast<XmListCallbackStruct*>(callData)->item_position;
        if (position >= 1 && position <= serverCount) {
            XmTextFieldSetString(socks5NameField, servers[position - 1]->name);
        }
        break;
    }
    // A name is "host" or "host:port". Blank input is refused, and only the first word is kept, so
    // a pasted line with trailing text still names one server.
    case EDIT_ADD: {
        char* text = XmTextFieldGetString(socks5NameField);
        const char* start = text;
        while (*start && isspace(static_cast<unsigned char>(*start))) {
            start++;
        }
        if (!text[0]) {
            KesWarningPost(socks5Panel, "SOCKS5Server name empty.", NULL, NULL, "Warning");
        } else if (!*start) {
            KesWarningPost(socks5Panel, "SOCKS5Server name cannot contain space.", NULL, NULL,
                           "Warning");
        } else {
            // The name is the first word, as long as a server name may be.
            char name[SERVER_NAME_MAX + 1];
            size_t length = 0;
            while (start[length] && !isspace(static_cast<unsigned char>(start[length]))
                   && length < SERVER_NAME_MAX) {
                length++;
            }
            memcpy(name, start, length);
            name[length] = '\0';
            std::string badPort;
            bool listed = false;
            for (int i = 0; i < serverCount; i++)
                listed = listed || strcmp(servers[i]->name, name) == 0;
            if (listed) {
                // A second object would poll the same server and share nothing with the first.
                snprintf(message, sizeof message, "%s %.300s %s", "SOCKS5Server", name,
                         "is already in the list.");
                KesWarningPost(socks5Panel, message, NULL, NULL, "Warning");
            } else if (!ServerPortValid(name, &badPort)) {
                // The name would be kept and saved, and fail at every Start.
                snprintf(message, sizeof message, "%s %.100s",
                         "SOCKS5Server port must be a number from 1 to 65535, not",
                         badPort.c_str());
                KesWarningPost(socks5Panel, message, NULL, NULL, "Warning");
            } else if (AddSOCKS5(name)) {
                AddListItem(socks5List, name);
                XmTextFieldSetString(socks5NameField, const_cast<char*>(""));
                // The menu entry and tool button are added in the place the server took in the
                // list.
                menu->AddSOCKS5Bn(name);
                menu->addToolBn(name, TOOL_FIRST_SERVER + serverCount - 1);
                if (serverCount == 1) {
                    tableView->RestoreTable(1);
                    chartView->ClearChart();
                    menu->setValues(MenuState::Stopped);
                    menu->DisableToolBn(TOOL_FIRST_SERVER);
                }
                menu->EnableToolBn(TOOL_SHOW_FAILED);
            }
        }
        XtFree(text);
        break;
    }
    case EDIT_REMOVE: {
        int* positions = NULL;
        int count = 0;
        if (XmListGetSelectedPos(socks5List, &positions, &count) && count > 0) {
            int position = positions[0];
            XtFree(reinterpret_cast<char*>(positions));
            XmListDeletePos(socks5List, position);
            RemoveSOCKS5(position - 1);
            XmTextFieldSetString(socks5NameField, const_cast<char*>(""));
            menu->removeToolBn(TOOL_FIRST_SERVER + position - 1);
        } else {
            KesWarningPost(socks5Panel,
                           "No SOCKS5Server selected. Please select a SOCKS5Server in the list.",
                           NULL, NULL, "Warning");
        }
        break;
    }
    // The list is saved only here, once, rather than on every Add and Remove.
    case EDIT_DONE: {
        WriteSOCKS5Data();
        XtDestroyWidget(socks5Panel);
        socks5Panel = socks5List = socks5NameField = socks5AddButton = socks5RemoveButton = NULL;
        break;
    }
    default:
        break;
    }
}
