// The tool bar under the menu bar: five fixed picture buttons (Start, Pause, Stop, Update
// now, Show Failed / Show Active) and one per server, with a pointer tip each. A press is
// carried out as the menu entry it stands for.
#include "app/MonMenu.h"

#include <stdio.h>
#include <stdlib.h>

#include <Xm/PushB.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include "app/MonitorApp.h"
#include "app/MonSOCKS5.h"
#include "app/icons/active.xpm.h"
#include "app/icons/fail.xpm.h"
#include "app/icons/paused.xpm.h"
#include "app/icons/server.xpm.h"
#include "app/icons/start.xpm.h"
#include "app/icons/stop.xpm.h"
#include "app/icons/update.xpm.h"
#include "app/util.h"
#include "toolkit/util.h"

namespace {

XtActionsRec action_table[] = {
    {(String) "PointerEnter", MonMenu::PointerEnter},
    {(String) "PointerLeave", MonMenu::PointerLeave},
};
const char translations[] = "<EnterWindow>: PointerEnter() \n        <LeaveWindow>: PointerLeave()";
// Parsed once and shared by every button.
XtTranslations tool_translations_parsed = NULL;

// The y of every pointer tip in the main window: just under the tool bar.
const int kTipY = 70;

const char* const fixed_labels[TOOL_FIRST_SERVER] = {"Start", "Pause", "Stop", "Update now",
                                                     "Show Failed"};
const int fixed_pixmaps[TOOL_FIRST_SERVER] = {PIXMAP_START, PIXMAP_PAUSED, PIXMAP_STOP,
                                              PIXMAP_UPDATE, PIXMAP_FAIL};

// A slot is a button's place in the tool bar; the fixed buttons come first, then the servers.
bool IsSlot(int index)
{
    return index >= 0 && index < TOOL_SLOTS;
}

int SlotOf(Widget w)
{
    return (int)(long)OmGetWidgetUserData(w);
}

} // namespace

// The pointer tip's text of a slot: the fixed buttons' names, or a server's name.
void MonMenu::SetToolLabel(int index, const char* text)
{
    // The buffer is made once per slot and rewritten in place; a name longer than it is cut short.
    if (!toolLabels[index])
        toolLabels[index] = (char*)calloc(1, TOOL_LABEL_SIZE);
    if (toolLabels[index])
        snprintf(toolLabels[index], TOOL_LABEL_SIZE, "%s", text);
}

void MonMenu::BuildControlButtons(Widget box)
{
    XtAppAddActions(monitor_app ? monitor_app : XtWidgetToApplicationContext(box), action_table,
                    XtNumber(action_table));
    if (!tool_translations_parsed)
        tool_translations_parsed = XtParseTranslationTable(translations);

    for (int i = 0; i < TOOL_FIRST_SERVER; i++)
        SetToolLabel(i, fixed_labels[i]);

    // The pictures are made once, on the tool bar's background, and shared by all buttons.
    const char** data[TOOL_PIXMAP_COUNT] = {start_xpm, paused_xpm, stop_xpm,  update_xpm,
                                            fail_xpm,  server_xpm, active_xpm};
    for (int i = 0; i < TOOL_PIXMAP_COUNT; i++)
        toolPixmaps[i] = _XomCreatePixmapFromData(0, data[i], box);

    for (long i = 0; i < TOOL_FIRST_SERVER; i++) {
        Pixmap pixmap = toolPixmaps[fixed_pixmaps[i]];
        Widget button = XtVaCreateManagedWidget(
            "fw_buttons", xmPushButtonWidgetClass, box, XmNlabelType, XmPIXMAP, XmNlabelPixmap,
            pixmap, XmNlabelInsensitivePixmap, pixmap, XmNuserData, (XtPointer)i, NULL);
        // Only the list switch works before a server is chosen; the others wait for one.
        XtSetSensitive(button, i == TOOL_SHOW_FAILED);
        XtAddCallback(button, XmNactivateCallback, ControlButtonCallback, (XtPointer)this);
        XtOverrideTranslations(button, tool_translations_parsed);
        toolButtons[i] = button;
    }

    for (int n = 0; n < app->serverCount; n++)
        addToolBn(app->servers[n]->name, TOOL_FIRST_SERVER + n);

    // With no server at all, nothing on the tool bar can act.
    if (app->serverCount == 0) {
        for (int i = 0; i < TOOL_FIRST_SERVER; i++)
            DisableToolBn(i);
    } else {
        EnableToolBn(TOOL_START);
        EnableToolBn(TOOL_SHOW_FAILED);
        DisableToolBn(TOOL_PAUSE);
        DisableToolBn(TOOL_STOP);
        DisableToolBn(TOOL_UPDATE);
        DisableToolBn(TOOL_FIRST_SERVER); // the first server is the current one
    }
}

// A server's button, in the slot of its place in the server list.
void MonMenu::addToolBn(const char* name, int index)
{
    // Only a free server slot gets a button; a second call for the same slot changes nothing.
    if (index < TOOL_FIRST_SERVER || !IsSlot(index) || toolButtons[index])
        return;
    SetToolLabel(index, name);
    Pixmap pixmap = toolPixmaps[PIXMAP_SERVER];
    Widget button = XtVaCreateManagedWidget(
        "fw_buttons", xmPushButtonWidgetClass, toolBox, XmNlabelType, XmPIXMAP, XmNlabelPixmap,
        pixmap, XmNlabelInsensitivePixmap, pixmap, XmNuserData, (XtPointer)(long)index, NULL);
    XtAddCallback(button, XmNactivateCallback, ControlButtonCallback, (XtPointer)this);
    XtOverrideTranslations(button, tool_translations_parsed);
    toolButtons[index] = button;
}

// The buttons after a removed server's move down a slot, with their tips and user data, so
// that slot i stays server i - TOOL_FIRST_SERVER of the list.
void MonMenu::removeToolBn(int index)
{
    if (index < TOOL_FIRST_SERVER || !IsSlot(index) || !toolButtons[index])
        return;
    KesPopdownAnnotationText(); // the tip may belong to the button that goes
    XtDestroyWidget(toolButtons[index]);
    toolButtons[index] = NULL;

    int end = app->serverCount + TOOL_FIRST_SERVER; // the count after the removal
    for (int i = index; i < end && i + 1 < TOOL_SLOTS; i++) {
        if (toolLabels[i + 1])
            SetToolLabel(i, toolLabels[i + 1]);
        toolButtons[i] = toolButtons[i + 1];
        if (toolButtons[i])
            OmSetWidgetUserData(toolButtons[i], (XtPointer)(long)i);
    }
    if (end < TOOL_SLOTS) {
        toolButtons[end] = NULL;
        free(toolLabels[end]);
        toolLabels[end] = NULL;
    }
    if (app->serverCount > 0 && app->currentIndex == 0)
        DisableToolBn(TOOL_FIRST_SERVER);
}

void MonMenu::SetToolButton(int index, bool enabled)
{
    if (enabled)
        EnableToolBn(index);
    else
        DisableToolBn(index);
}

// A disabled button looks flat and keeps its size: the margins take the shadow's place.
void MonMenu::EnableToolBn(int index)
{
    if (!IsSlot(index) || !toolButtons[index])
        return;
    XtVaSetValues(toolButtons[index], XmNsensitive, True, XmNshadowThickness, (Dimension)2,
                  XmNmarginWidth, (Dimension)2, XmNmarginHeight, (Dimension)2, NULL);
}

void MonMenu::DisableToolBn(int index)
{
    if (!IsSlot(index) || !toolButtons[index])
        return;
    XtVaSetValues(toolButtons[index], XmNsensitive, False, XmNshadowThickness, (Dimension)0,
                  XmNmarginWidth, (Dimension)4, XmNmarginHeight, (Dimension)4, NULL);
}

// The pointer tips: an action, not a callback, since buttons have no enter callback. The
// tip shows under the tool bar at the button's x.
void MonMenu::PointerEnter(Widget w, XEvent*, String*, Cardinal*)
{
    MonMenu* menu = current_monMenu;
    if (!menu)
        return;
    Position x = 0, y = 0;
    XtVaGetValues(w, XmNx, &x, XmNy, &y, NULL);
    int slot = SlotOf(w);
    if (IsSlot(slot) && menu->toolLabels[slot])
        KesPopupAnnotationText(menu->app->shell, menu->toolLabels[slot], x + 5, kTipY);
}

void MonMenu::PointerLeave(Widget, XEvent*, String*, Cardinal*)
{
    KesPopdownAnnotationText();
}

void MonMenu::ControlButtonCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    ((MonMenu*)clientData)->ControlBnSelect(w, callData);
}

// A tool button does what its menu entry does: the four action buttons are Action menu
// entries, Show Failed toggles View's choice of list, and a server's button chooses it as
// the SOCKS5Server menu would.
void MonMenu::ControlBnSelect(Widget w, XtPointer)
{
    int slot = SlotOf(w);
    // The first four slots are numbered as the Action entries they stand for.
    if (slot < TOOL_SHOW_FAILED) {
        currentMenu = MENU_ACTION;
        ActionSelect(slot);
    } else if (slot == TOOL_SHOW_FAILED) {
        currentMenu = MENU_VIEW;
        int value = app->current && app->current->setting.showFailed == 0 ? VIEW_SHOW_FAILED
                                                                          : VIEW_SHOW_ACTIVE;
        if (app->current)
            XmToggleButtonSetState(viewToggles[value], True, False);
        ViewSelect(viewToggles[value], value, true);
    } else {
        currentMenu = MENU_SERVERS;
        int index = slot - TOOL_FIRST_SERVER;
        if (index >= app->serverCount)
            return;
        // The radio entries of the server menu are moved by hand: setting them without notify keeps
        // the menu from choosing the server a second time.
        if (app->current && app->current->button)
            XmToggleButtonSetState(app->current->button, False, False);
        if (app->servers[index]->button)
            XmToggleButtonSetState(app->servers[index]->button, True, False);
        OmSetWidgetUserData(w, (XtPointer)(long)(slot - 4));
        KesPopdownAnnotationText();
        ServerSelect(index);
    }
}
