// The "Table Settings" dialog: which table columns are shown and how many of the leftmost
// stay frozen. It edits one server's Setting in place and calls its done function on OK.
#ifndef VANTOR_COLUMNSELECT_H
#define VANTOR_COLUMNSELECT_H

#include <X11/Intrinsic.h>

#include "core/Setting.h"

class ColumnSelect {
public:
    ColumnSelect(Widget parent, Setting* record, void (*done)());
    ~ColumnSelect();
    ColumnSelect(const ColumnSelect&) = delete;
    ColumnSelect& operator=(const ColumnSelect&) = delete;

    // Copies the toggles and the frozen count back into the record.
    void UpdateColumnSelection();
    // Highlights one row's label; out-of-range rows are ignored.
    void SelectRow(int row);
    // OK or Cancel: both close and delete the dialog.
    static void ProcessButtonCallback(Widget w, XtPointer clientData, XtPointer callData);

    Widget rowLabel[SETTING_COLUMNS];
    Setting* record;
    void (*done)();
    int highlightedRow;  // -1: none
    Pixel rowBackground; // of unselected labels
    Pixel rowHighlight;  // of the selected label
    // The field holding the count of frozen columns.
    Widget frozenField;
    Widget dialog;
    Widget rowToggle[SETTING_COLUMNS];
    // The data column each row stands for, in the record's order.
    int rowType[SETTING_COLUMNS];
};

// The action "EnterLabel": button 1 on a row label highlights that row.
void EnterLabel(Widget w, XEvent* event, String* params, Cardinal* count);

// The one open dialog, or none.
extern ColumnSelect* current_column_select;

#endif
