// The menu bar. The File menu works (Print, Exit); the other menus get their entries with
// the actions they run.
#include "app/MonMenu.h"

#include <Xm/Xm.h>

#include "app/MonitorApp.h"
#include "toolkit/util.h"
#include "app/util.h"

MonMenu* current_monMenu = NULL;

enum { MENU_COUNT = 7, FILE_ENTRIES = 2 };
enum { FILE_PRINT = 0, FILE_EXIT = 1 };

static const char* const pd_label[MENU_COUNT] = {
    "fm_file", "fm_action", "fm_view", "fm_socks5s", "fm_connection", "fm_option", "fm_help"};
static const char* const file_label[FILE_ENTRIES] = {"fm_print", "fm_exit"};
static const char* const file_accelerator[FILE_ENTRIES] = {"Ctrl<KeyPress>p: DoSelect()",
                                                           "Ctrl<KeyPress>x: DoSelect()"};
static const char* const file_accelerator_text[FILE_ENTRIES] = {"Ctrl+p", "Ctrl+x"};

MonMenu::MonMenu(Widget parent, MonitorApp* owner) : app(owner)
{
    current_monMenu = this;
    BuildMenu(parent);
}

MonMenu::~MonMenu() {}

void MonMenu::BuildMenu(Widget parent)
{
    Widget pulldowns[MENU_COUNT];
    OmStandardMenuBar(parent, pulldowns, pd_label, NULL, MENU_COUNT, 1);

    Widget fileButtons[FILE_ENTRIES];
    static const int separator_before_exit[] = {FILE_EXIT};
    KesStandardMenu(pulldowns[0], fileButtons, NULL, file_label, file_accelerator,
                    file_accelerator_text, FILE_ENTRIES, MenuCallback, separator_before_exit, 1,
                    (XtPointer)this);
}

void MonMenu::MenuCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    ((MonMenu*)clientData)->MenuSelect(w, callData);
}

void MonMenu::MenuSelect(Widget w, XtPointer)
{
    XtPointer value = OmGetWidgetUserData(w);
    if ((long)value == FILE_EXIT)
        delete app;
}

void MonMenu::setValues(int) {}
