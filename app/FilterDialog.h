// The dialog of Connection > Filter...: one text field; OK shows only the rows of the
// current server's table that contain its text, an empty text shows them all.
#ifndef VANTOR_FILTERDIALOG_H
#define VANTOR_FILTERDIALOG_H

#include <X11/Intrinsic.h>

class MonitorApp;

class FilterDialog {
public:
    // Posts the dialog over the main window, holding the current server's filter.
    static void Open(MonitorApp* app);
    static void ResponseCallback(Widget w, XtPointer clientData, XtPointer callData);
};

#endif
