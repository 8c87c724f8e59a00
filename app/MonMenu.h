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

    // The server list file: its names (each and the array to be released with free), or
    // none; the count goes to serverNameCount.
    char** OpenSOCKS5Data(const char* path);
    // The server menu entries and tool buttons of the servers.
    void AddSOCKS5Bn(const char* name);
    void addToolBn(const char* name, int index);
    void removeToolBn(int index);
    void EnableToolBn(int index);
    void DisableToolBn(int index);

    int serverNameCount = 0;

    MonitorApp* app;
};

// The one menu object.
extern MonMenu* current_monMenu;

#endif
