// The command layer of the main window: the menu bar and the control buttons.
#ifndef VANTOR_MONMENU_H
#define VANTOR_MONMENU_H

#include <X11/Intrinsic.h>

class MonitorApp;

class MonMenu {
public:
    MonMenu(Widget parent, MonitorApp* app);
    ~MonMenu();
    MonMenu(const MonMenu&) = delete;
    MonMenu& operator=(const MonMenu&) = delete;

    void BuildMenu(Widget parent);
    static void MenuCallback(Widget w, XtPointer clientData, XtPointer callData);
    void MenuSelect(Widget w, XtPointer reason);
    void setValues(int state);

    MonitorApp* app;
};

// The one menu object.
extern MonMenu* current_monMenu;

#endif
