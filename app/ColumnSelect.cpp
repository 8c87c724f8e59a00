// The "Table Settings" dialog (see ColumnSelect.h).
#include "app/ColumnSelect.h"

#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/ToggleB.h>

#include "app/util.h"
#include "toolkit/util.h"

ColumnSelect* current_column_select = NULL;

namespace {

// The label of a row is named by the data column it shows; the resources give its text.
const char* const column_label[SETTING_COLUMNS] = {
    "source",     "destination", "user_name",     "application",    "start_time", "duration",
    "in_traffic", "out_traffic", "total_traffic", "authentication", "next_socks", "errors"};

// The labels answer clicks through an action, as labels have no activate callback.
XtActionsRec actions_table[] = {
    {(String) "EnterLabel", EnterLabel},
};

enum { COLUMN_OK = 0, COLUMN_CANCEL = 1 };

const int kFrozenFallback = 2; // for a field that holds no number
const Dimension kLabelWidth = 150;

// Rows of a record whose count came from outside stay within the dialog's arrays.
int RowCount(const Setting* record)
{
    int count = record->columnCount;
    if (count < 0)
        return 0;
    return count > SETTING_COLUMNS ? SETTING_COLUMNS : count;
}

// OK and Cancel share one callback, told apart by the code passed with it.
Widget ControlButton(Widget parent, const char* name, long which)
{
    Widget button = XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, parent, NULL);
    XtAddCallback(button, XmNactivateCallback, ColumnSelect::ProcessButtonCallback,
                  (XtPointer)which);
    return button;
}

} // namespace

ColumnSelect::ColumnSelect(Widget parent, Setting* edited, void (*doneFunction)())
    : record(edited), done(doneFunction), highlightedRow(-1), rowBackground(0), rowHighlight(0),
      frozenField(NULL), dialog(NULL)
{
    // Every slot starts empty, so the destructor and the callbacks never meet an unset widget.
    for (int i = 0; i < SETTING_COLUMNS; i++) {
        rowLabel[i] = NULL;
        rowToggle[i] = NULL;
        rowType[i] = 0;
    }
    XtAppAddActions(XtWidgetToApplicationContext(parent), actions_table, XtNumber(actions_table));
    XtTranslations labelTranslations = XtParseTranslationTable("<Btn1Down>: EnterLabel()");
    // Actions and callbacks have no object of their own; they find the dialog through this.
    current_column_select = this;

    Widget form = NULL;
    dialog = KesStandardPanel(parent, "Table Settings", XmVERTICAL, -1, -1, 10, 5, &form);

    Widget frame = XtVaCreateWidget("column_frame", xmFrameWidgetClass, form, XmNshadowType,
                                    XmSHADOW_ETCHED_IN, NULL);
    // The frozen-column count sits under the list; its field takes three digits.
    Widget frozenBox = OmStandardBox(form, XmHORIZONTAL, 10, 10);
    XomCreateHorizontalGlue(frozenBox, 30, 30, 30);
    frozenField = OmStandardStringEditCenter(frozenBox, "frozen_column", "", 3);
    OmStandardSetStringEditInt(frozenField, record->frozenColumns);
    XtVaCreateManagedWidget("seperator", xmSeparatorWidgetClass, form, XomNhorizontalStretch,
                            XOM_BOX_UNLIMITED, XomNhorizontalShrink, XOM_BOX_UNLIMITED, NULL);
    Widget buttonBox = OmStandardBox(form, XmHORIZONTAL, 10, 10);

    // The rows fill two columns top to bottom, so twelve columns of the table make two short lists.
    Widget rows =
        XtVaCreateWidget("toggle_box", xmRowColumnWidgetClass, frame, XmNnumColumns, 2, XmNspacing,
                         0, XmNpacking, XmPACK_COLUMN, XmNorientation, XmVERTICAL, NULL);
    XtVaGetValues(rows, XmNbackground, &rowBackground, XmNhighlightColor, &rowHighlight, NULL);
    for (int i = 0; i < RowCount(record); i++) {
        int type = record->columnType[i];
        rowType[i] = type;
        // A column type from a damaged settings file gets a neutral name instead of reading past
        // the table.
        const char* name = (type >= 0 && type < SETTING_COLUMNS) ? column_label[type] : "column";
        Widget row = XtVaCreateManagedWidget("toggle_box", xomBoxWidgetClass, rows, XomNorientation,
                                             XmHORIZONTAL, NULL);
        rowToggle[i] = XtVaCreateManagedWidget("", xmToggleButtonWidgetClass, row, XmNbackground,
                                               rowBackground, XmNset,
                                               record->columnVisible[i] ? True : False, NULL);
        // A fixed width keeps the two lists aligned whatever the labels say.
        rowLabel[i] =
            XtVaCreateManagedWidget(name, xmLabelWidgetClass, row, XmNwidth, kLabelWidth,
                                    XmNrecomputeSize, False, XmNbackground, rowBackground,
                                    XmNalignment, XmALIGNMENT_BEGINNING, XmNmarginTop, 5, NULL);
        XtOverrideTranslations(rowLabel[i], labelTranslations);
    }
    XtManageChild(rows);
    XtManageChild(frame);

    // OK is widened to Cancel's width so the two buttons look a pair.
    XomCreateHorizontalGlue(buttonBox, 40, 40, 40);
    Widget ok = ControlButton(buttonBox, "fw_ok", COLUMN_OK);
    Widget cancel = ControlButton(buttonBox, "fw_cancel", COLUMN_CANCEL);
    Dimension width = 0;
    XtVaGetValues(cancel, XmNwidth, &width, NULL);
    XtVaSetValues(ok, XmNwidth, (Dimension)(width + 5), NULL);
    XtVaSetValues(cancel, XmNwidth, (Dimension)(width + 5), NULL);

    XtManageChild(form);
    // Modal: the table must not change under the user while its columns are being chosen.
    SetGrabBeepPanel(dialog);
    XtPopup(dialog, XtGrabExclusive);
}

ColumnSelect::~ColumnSelect()
{
    if (current_column_select == this)
        current_column_select = NULL;
    if (dialog)
        XtDestroyWidget(dialog);
}

// Written back only on OK. At least one column must scroll, so the frozen count stops one short of
// all of them; a field that holds no number falls back to two.
void ColumnSelect::UpdateColumnSelection()
{
    int count = RowCount(record);
    for (int i = 0; i < count; i++) {
        record->columnType[i] = rowType[i];
        record->columnVisible[i] = XmToggleButtonGetState(rowToggle[i]) ? 1 : 0;
    }
    record->frozenColumns = OmStandardGetStringEditInt(frozenField, kFrozenFallback);
    if (record->frozenColumns >= count)
        record->frozenColumns = count - 1;
}

// One label at a time is highlighted; clicking it again changes nothing.
void ColumnSelect::SelectRow(int row)
{
    if (row == highlightedRow || row < 0 || row >= RowCount(record))
        return;
    if (highlightedRow != -1)
        XtVaSetValues(rowLabel[highlightedRow], XmNbackground, rowBackground, NULL);
    XtVaSetValues(rowLabel[row], XmNbackground, rowHighlight, NULL);
    highlightedRow = row;
}

// Either button ends the dialog; only OK keeps the changes and tells the owner.
void ColumnSelect::ProcessButtonCallback(Widget, XtPointer clientData, XtPointer)
{
    ColumnSelect* self = current_column_select;
    if (!self)
        return;
    if ((long)clientData == COLUMN_OK) {
        self->UpdateColumnSelection();
        if (self->done)
            self->done();
    }
    delete self;
}

// The action only knows the widget clicked, so the row is found by looking it up.
void EnterLabel(Widget w, XEvent*, String*, Cardinal*)
{
    ColumnSelect* self = current_column_select;
    if (!self)
        return;
    for (int i = 0; i < RowCount(self->record); i++) {
        if (self->rowLabel[i] == w) {
            self->SelectRow(i);
            return;
        }
    }
}
