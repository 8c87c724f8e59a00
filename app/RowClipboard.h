// Connection > Copy Row (Ctrl+c): the selected rows of the table, their cells on show apart
// by tabs and one row a line, offered as the CLIPBOARD selection until another program
// takes it.
#ifndef VANTOR_ROWCLIPBOARD_H
#define VANTOR_ROWCLIPBOARD_H

#include <X11/Intrinsic.h>

#include <string>

class MonitorApp;

class RowClipboard {
public:
    // Takes the CLIPBOARD with the selected rows; warns when no row is selected.
    static void CopySelectedRows(MonitorApp* app);
    // Gives the text as UTF8_STRING, STRING or TEXT, and says so to TARGETS.
    static Boolean ConvertCallback(Widget w, Atom* selection, Atom* target, Atom* type,
                                   XtPointer* value, unsigned long* length, int* format);

private:
    static std::string text; // what the CLIPBOARD holds while the program owns it
};

#endif
