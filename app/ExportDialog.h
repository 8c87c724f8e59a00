// The dialog of Connection > Export Shown Connections...: a Motif file selection dialog whose
// selection field starts with ~/vantor-connections.csv and holds the focus. The rows on show
// are written there as CSV with the columns on show, after asking before a file is
// replaced; never through a symbolic link.
#ifndef VANTOR_EXPORTDIALOG_H
#define VANTOR_EXPORTDIALOG_H

#include <X11/Intrinsic.h>

#include <string>

class MonitorApp;

class ExportDialog {
public:
    static void Open(MonitorApp* app);
    static void ResponseCallback(Widget w, XtPointer clientData, XtPointer callData);
    static void ReplaceCallback(Widget w, XtPointer clientData, XtPointer callData);

private:
    ExportDialog(MonitorApp* app, Widget dialog) : app(app), dialog(dialog) {}
    // Writes the file; true when it was written (the dialog then closes).
    bool Write(const std::string& path);
    static void DestroyCallback(Widget w, XtPointer clientData, XtPointer callData);

    MonitorApp* app;
    Widget dialog;
    std::string path; // the name waiting for the answer to "replace?"
};

#endif
