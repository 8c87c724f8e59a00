// Connection > Copy Row: owning the CLIPBOARD selection and answering requests for it
// (see RowClipboard.h).
#include "app/RowClipboard.h"

#include <string.h>

#include <X11/Xatom.h>

#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/MonitorApp.h"
#include "core/TableExport.h"
#include "app/util.h"
#include "toolkit/EditTable.h"

// What the clipboard holds while we own it, one line per row, cells separated by tabs.
std::string RowClipboard::text;

// The text is made at the copy, not when asked for: the rows may change or go with the
// next poll, while the clipboard should keep what the user saw.
void RowClipboard::CopySelectedRows(MonitorApp* app)
{
    MonTable* view = app->tableView;
    int count = 0;
    int* rows = XomEditTableGetSelectedRows(view->table, &count);
    std::string copied;
    for (int i = 0; i < count; i++) {
        // The table counts rows from 1. A row gone since the selection is skipped.
        Connection* row = view->ShownRow(rows[i] - 1);
        if (row)
            copied += TabSeparatedRecord(ShownRowTexts(row, app->current->setting)) + "\n";
    }
    XtFree((char*)rows);
    if (copied.empty()) {
        KesWarningPost(app->shell, "No connection is selected. Click on a row first.", NULL, NULL,
                       "Warning");
        return;
    }
    text = copied;
    Display* display = XtDisplay(app->shell);
    Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    // The time of the last event, not CurrentTime: the selection rules require a real timestamp so
    // a late request from an older owner cannot take it back.
    if (!XtOwnSelection(app->shell, clipboard, XtLastTimestampProcessed(display), ConvertCallback,
                        NULL, NULL))
        KesWarningPost(app->shell, "The clipboard could not be taken.", NULL, NULL, "Warning");
}

// Answers other programs' requests: TARGETS lists the forms offered; the text goes as
// UTF8_STRING, STRING or TEXT alike, so that terminals and editors old and new can paste.
Boolean RowClipboard::ConvertCallback(Widget w, Atom*, Atom* target, Atom* type, XtPointer* value,
                                      unsigned long* length, int* format)
{
    Display* display = XtDisplay(w);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom targets = XInternAtom(display, "TARGETS", False);
    Atom textAtom = XInternAtom(display, "TEXT", False);
    if (*target == targets) {
        Atom* offered = (Atom*)XtMalloc(4 * sizeof(Atom));
        offered[0] = targets;
        offered[1] = utf8;
        offered[2] = XA_STRING;
        offered[3] = textAtom;
        *type = XA_ATOM;
        *value = (XtPointer)offered;
        *length = 4;
        *format = 32;
        return True;
    }
    // Any other form (an image, say) is refused; the requester then tries the next it knows.
    if (*target != utf8 && *target != XA_STRING && *target != textAtom)
        return False;
    // Xt frees the value after sending it, so it gets a copy of its own.
    char* copy = XtMalloc((Cardinal)text.size() + 1);
    memcpy(copy, text.c_str(), text.size() + 1);
    *type = *target == XA_STRING ? XA_STRING : utf8;
    *value = (XtPointer)copy;
    *length = text.size();
    *format = 8;
    return True;
}
