// The "General Settings" dialog: which error kinds the failed list is to show, the most
// failed connections a server keeps, and the polling interval of the current server.
#include <stdio.h>

#include <Xm/Frame.h>
#include <Xm/LabelG.h>
#include <Xm/PushBG.h>
#include <Xm/ToggleBG.h>

#include "app/MonChart.h"
#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/MonitorApp.h"
#include "app/util.h"
#include "toolkit/util.h"

namespace {

// The error kinds in the order of their toggles, and the bit each stands for.
const char* const toggle_label[FILTER_TOGGLE_COUNT] = {"system_error", "trellis_fatal_error",
                                                       "trellis_severe_error", "trellis_warning",
                                                       "trellis_info"};
const ErrorKinds type_values[FILTER_TOGGLE_COUNT] = {
    ERROR_SYSTEM, ERROR_SOCKS_FATAL, ERROR_SOCKS_SEVERE, ERROR_SOCKS_WARNING, ERROR_SOCKS_INFO};

const char* const control_label[] = {"fw_ok", "fw_clear", "fw_cancel"};
enum { REJECT_OK = 0, REJECT_CLEAR = 1, REJECT_CANCEL = 2, REJECT_BUTTONS = 3 };

const int kIntervalFallback = 4;       // seconds, for an empty or non-positive entry
const int kMaxRejectedFallback = 1200; // for an entry that is not a positive number
// The most failed connections a server may keep: each is a row in memory and in the table.
const int kMaxRejectedLimit = 5000;
const int kIntervalMaxLength = 6;
// The most six digits can say; text set or pasted past the field's length cannot make the
// interval in milliseconds overflow.
const int kIntervalMaxSeconds = 999999;

} // namespace

// Toggles and fields on the left, the buttons in a column on the right. The fields start from the
// current server's values.
void MonitorApp::BuildRejectPanel()
{
    Widget workArea = NULL;
    rejectPanel = KesStandardPanel(tableView->table, "General Settings", XmHORIZONTAL, -1, -1, 20,
                                   10, &workArea);

    Widget fields = OmStandardBox(workArea, XmVERTICAL, 15, 0);
    XtVaCreateManagedWidget("rejected_type", xmLabelGadgetClass, fields, NULL);
    Widget frame =
        XtVaCreateManagedWidget("frame", xmFrameWidgetClass, fields, XomNhorizontalStretch,
                                XOM_BOX_UNLIMITED, XomNhorizontalShrink, XOM_BOX_UNLIMITED, NULL);
    Widget toggles = OmStandardBox(frame, XmVERTICAL, 10, 10);
    for (int i = 0; i < FILTER_TOGGLE_COUNT; i++)
        filterToggles[i] =
            XtVaCreateManagedWidget(toggle_label[i], xmToggleButtonGadgetClass, toggles, XmNset,
                                    (rejectFilter & type_values[i]) ? True : False, NULL);
    XomCreateVerticalGlue(fields, 10, 10, 10);

    char text[16];
    snprintf(text, sizeof text, "%d", current->setting.maxRejected);
    maxRejectedField = OmStandardStringEdit(fields, "fw_maximum_reject_connections", text, 4);
    snprintf(text, sizeof text, "%d", current->setting.updateInterval / 1000);
    // The interval is kept in milliseconds and shown in seconds.
    intervalField = OmStandardStringEdit(fields, "fw_update_interval", text, 4);
    XtVaSetValues(intervalField, XmNmaxLength, kIntervalMaxLength, NULL);

    Widget controls = OmStandardBox(workArea, XmVERTICAL, 0, 0);
    XomCreateVerticalGlue(controls, 18, 18, 18);
    Widget buttons[REJECT_BUTTONS];
    for (int i = 0; i < REJECT_BUTTONS; i++) {
        buttons[i] = XtVaCreateManagedWidget(control_label[i], xmPushButtonGadgetClass, controls,
                                             XmNuserData, (XtPointer)(long)i, NULL);
        XtAddCallback(buttons[i], XmNactivateCallback, RejectPanelCallback, this);
    }
    Dimension width = 0;
    // The buttons take Cancel's width, the widest label, so they line up.
    XtVaGetValues(buttons[REJECT_CANCEL], XmNwidth, &width, NULL);
    for (Widget button : buttons)
        XtVaSetValues(button, XmNwidth, (Dimension)(width + 5), NULL);

    XtManageChild(workArea);
    SetGrabBeepPanel(rejectPanel);
    XtPopup(rejectPanel, XtGrabExclusive);
}

void MonitorApp::RejectPanelCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    static_cast<MonitorApp*>(clientData)->RejectPanelSelect(w, clientData, callData);
}

void MonitorApp::RejectPanelSelect(Widget w, XtPointer, XtPointer)
{
    XtPointer userData = NULL;
    XtVaGetValues(w, XmNuserData, &userData, NULL);
    switch ((long)userData) {
    // OK reads every field; a value out of range is brought within it rather than refused, so OK
    // always closes the dialog. The graph's time axis follows the new interval.
    case REJECT_OK: {
        rejectFilter = ERROR_KINDS_NONE;
        for (int i = 0; i < FILTER_TOGGLE_COUNT; i++)
            if (XmToggleButtonGadgetGetState(filterToggles[i]))
                rejectFilter |= type_values[i];
        updateSeconds = OmStandardGetStringEditInt(intervalField, kIntervalFallback);
        if (updateSeconds < 1)
            updateSeconds = kIntervalFallback;
        else if (updateSeconds > kIntervalMaxSeconds)
            updateSeconds = kIntervalMaxSeconds;
        current->UpdateTime(updateSeconds);
        chartView->AdjustCoordX(updateSeconds);
        maxRejectedEntry = OmStandardGetStringEditInt(maxRejectedField, kMaxRejectedFallback);
        if (maxRejectedEntry < 1)
            current->setting.maxRejected = kMaxRejectedFallback;
        else if (maxRejectedEntry > kMaxRejectedLimit)
            current->setting.maxRejected = kMaxRejectedLimit;
        else
            current->setting.maxRejected = maxRejectedEntry;
        XtDestroyWidget(rejectPanel);
        rejectPanel = NULL;
        break;
    }
    // Clear puts back the values in effect, undoing the edits without closing.
    case REJECT_CLEAR:
        for (int i = 0; i < FILTER_TOGGLE_COUNT; i++)
            XmToggleButtonGadgetSetState(filterToggles[i],
                                         (rejectFilter & type_values[i]) ? True : False, False);
        OmStandardSetStringEditInt(intervalField, updateSeconds);
        OmStandardSetStringEditInt(maxRejectedField, current->setting.maxRejected);
        break;
    case REJECT_CANCEL:
        XtDestroyWidget(rejectPanel);
        rejectPanel = NULL;
        break;
    }
}
