/* The toolkit's one message path: named warnings through the X Toolkit, and the toolkit's
 * own message dialog. No toolkit file reaches into the application for either. */
#include <string>

#include <Xm/MessageB.h>
#include <Xm/Xm.h>

#include "toolkit/XomP.h"

void XomWarning(Widget w, const char* name, const char* type, const char* text)
{
    /* Composed text and no parameters: the X Toolkit then shows it as it stands (a '%' is
     * never read as a format), also for programs run by root, where it would refuse to
     * fill in parameters. */
    Cardinal count = 0;
    XtAppWarningMsg(XtWidgetToApplicationContext(w), (String)name, (String)type,
                    (String) "XomToolkitError", (String)text, NULL, &count);
}

static std::string Header(Widget w)
{
    return std::string("**** ") + XtClass(w)->core_class.class_name + "Warning ****\n";
}

void XomClassWarning(Widget w, const char* function, const char* message)
{
    std::string text = Header(w) + function + "\n" + message;
    XomWarning(w, XtClass(w)->core_class.class_name, function, text.c_str());
}

void XomRangeWarning(Widget w, const char* function, const char* role, int value)
{
    std::string text = Header(w) + "    " + function + ": " + role + " number "
        + std::to_string(value) + " is out of range.";
    XomWarning(w, XtClass(w)->core_class.class_name, function, text.c_str());
}

static void DestroyDialogCallback(Widget dialog, XtPointer, XtPointer)
{
    XtDestroyWidget(XtParent(dialog));
}

Widget XomPostMessage(Widget w, const char* text)
{
    while (w && !XtIsWidget(w))
        w = XtParent(w);
    XmString title = XmStringCreateLocalized((String) "Message");
    XmString message = XmStringCreateLocalized((String)text);
    Arg args[3];
    Cardinal n = 0;
    XtSetArg(args[n], XmNdialogTitle, title);
    n++;
    XtSetArg(args[n], XmNmessageString, message);
    n++;
    XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL);
    n++;
    Widget dialog = XmCreateInformationDialog(w, (String) "xom_message", args, n);
    XmStringFree(title);
    XmStringFree(message);
    XtUnmanageChild(XmMessageBoxGetChild(dialog, XmDIALOG_CANCEL_BUTTON));
    XtUnmanageChild(XmMessageBoxGetChild(dialog, XmDIALOG_HELP_BUTTON));
    XtAddCallback(dialog, XmNokCallback, DestroyDialogCallback, NULL);
    XtManageChild(dialog);
    return dialog;
}
