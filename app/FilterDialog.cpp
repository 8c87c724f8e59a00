// The dialog of Connection > Filter... (see FilterDialog.h).
#include "app/FilterDialog.h"

#include <Xm/SelectioB.h>
#include <Xm/Xm.h>

#include "app/MonSOCKS5.h"
#include "app/MonitorApp.h"

// The filter belongs to the current server, so without one there is nothing to filter. The field
// starts with the filter in effect, ready to be changed rather than typed anew.
void FilterDialog::Open(MonitorApp* app)
{
    if (!app->current)
        return;
    XmString title = XmStringCreateLocalized(const_cast<char*>("Filter"));
    XmString prompt = XmStringCreateLocalized(
        const_cast<char*>("Show only the connections whose Source, Destination, User Name,\n"
                          "Service or Errors contain (an empty text shows all):"));
    XmString text = XmStringCreateLocalized(app->current->setting.filter);
    Arg args[4];
    XtSetArg(args[0], XmNdialogTitle, title);
    XtSetArg(args[1], XmNselectionLabelString, prompt);
    XtSetArg(args[2], XmNtextString, text);
    XtSetArg(args[3], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL);
    Widget dialog = XmCreatePromptDialog(app->shell, (String) "filter_dialog", args, 4);
    XmStringFree(title);
    XmStringFree(prompt);
    XmStringFree(text);
    // The prompt says all there is to say; a Help button would lead nowhere.
    XtUnmanageChild(XmSelectionBoxGetChild(dialog, XmDIALOG_HELP_BUTTON));
    XtAddCallback(dialog, XmNokCallback, ResponseCallback, app);
    XtAddCallback(dialog, XmNcancelCallback, ResponseCallback, app);
    XtManageChild(dialog);
}

void FilterDialog::ResponseCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    MonitorApp* app = static_cast<MonitorApp*>(clientData);
    XmSelectionBoxCallbackStruct* response = static_cast<XmSelectionBoxCallbackStruct*>(callData);
    // A text that cannot be converted counts as empty: all rows are shown, none is lost.
    if (response->reason == XmCR_OK) {
        char* text = NULL;
        if (!XmStringGetLtoR(response->value, (XmStringCharSet)XmFONTLIST_DEFAULT_TAG, &text))
            text = NULL;
        app->SetFilter(text ? text : "");
        XtFree(text);
    }
    // The dialog is made anew each time; its shell goes on either answer.
    XtDestroyWidget(XtParent(w));
}
