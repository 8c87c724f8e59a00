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

    void UpdateColumnSelection();
    void SelectRow(int row);
    static void ProcessButtonCallback(Widget w, XtPointer clientData, XtPointer callData);

    Widget rowLabel[SETTING_COLUMNS];
    Setting* record;
    void (*done)();
    int highlightedRow;  // -1: none
    Pixel rowBackground; // of unselected labels
    Pixel rowHighlight;  // of the selected label
    Widget frozenField;
    Widget dialog;
    Widget rowToggle[SETTING_COLUMNS];
    int rowType[SETTING_COLUMNS];
};

// The action "EnterLabel": button 1 on a row label highlights that row.
void EnterLabel(Widget w, XEvent* event, String* params, Cardinal* count);

// The one open dialog, or none.
extern ColumnSelect* current_column_select;

#endif
