// The dialog of Connection > Export Shown Connections... (see ExportDialog.h).
#include "app/ExportDialog.h"

#include <sys/stat.h>

#include <vector>

#include <Xm/FileSB.h>
#include <Xm/MessageB.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include "app/MonSOCKS5.h"
#include "app/MonTable.h"
#include "app/MonitorApp.h"
#include "core/SettingsFile.h"
#include "core/TableExport.h"
#include "app/util.h"

// The dialog is made anew each time and destroyed when done; its ExportDialog object goes
// with it through the destroy callback.
void ExportDialog::Open(MonitorApp* app)
{
    // Without a server there is no table to export.
    if (!app->current)
        return;
    std::string home = SettingsHome();
    XmString title = XmStringCreateLocalized(const_cast<char*>("Export Shown Connections"));
    // The chooser lists CSV files and opens in the settings directory, where the user is likely to
    // keep such files.
    XmString pattern = XmStringCreateLocalized(const_cast<char*>("*.csv"));
    XmString directory = XmStringCreateLocalized(const_cast<char*>(home.c_str()));
    Arg args[4];
    XtSetArg(args[0], XmNdialogTitle, title);
    XtSetArg(args[1], XmNpattern, pattern);
    // Fully modal: the rows to export are the ones on show when OK is pressed.
    XtSetArg(args[2], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL);
    XtSetArg(args[3], XmNdirectory, directory); // without a home: the working directory
    Widget dialog = XmCreateFileSelectionDialog(app->shell, (String) "export_dialog", args,
                                                home.empty() ? 3 : 4);
    XmStringFree(title);
    XmStringFree(pattern);
    XmStringFree(directory);
    XtUnmanageChild(XmFileSelectionBoxGetChild(dialog, XmDIALOG_HELP_BUTTON));
    Widget field = XmFileSelectionBoxGetChild(dialog, XmDIALOG_TEXT);
    // A name is suggested, with the cursor at its end so the user can type a new one at once.
    std::string suggested = (home.empty() ? std::string(".") : home) + "/vantor-connections.csv";
    XmTextFieldSetString(field, const_cast<char*>(suggested.c_str()));
    XmTextFieldSetInsertionPosition(field, (XmTextPosition)suggested.size());
    XtVaSetValues(dialog, XmNinitialFocus, field, NULL);
    ExportDialog* self = new ExportDialog(app, dialog);
    XtAddCallback(dialog, XmNokCallback, ResponseCallback, self);
    XtAddCallback(dialog, XmNcancelCallback, ResponseCallback, self);
    XtAddCallback(dialog, XmNdestroyCallback, DestroyCallback, self);
    XtManageChild(dialog);
}

void ExportDialog::DestroyCallback(Widget, XtPointer clientData, XtPointer)
{
    delete static_cast<ExportDialog*>(clientData);
}

// OK: a name that ends in "/" names no file; an existing file is replaced only when the
// user says so in a question whose default is Cancel.
void ExportDialog::ResponseCallback(Widget, XtPointer clientData, XtPointer callData)
{
    ExportDialog* self = static_cast<ExportDialog*>(clientData);
    XmFileSelectionBoxCallbackStruct* response =
        static_cast<XmFileSelectionBoxCallbackStruct*>(callData);
    // The dialog widget's parent is its shell; destroying it destroys the dialog and this object.
    if (response->reason != XmCR_OK) {
        XtDestroyWidget(XtParent(self->dialog));
        return;
    }
    char* chosen = XmTextFieldGetString(XmFileSelectionBoxGetChild(self->dialog, XmDIALOG_TEXT));
    std::string path = chosen ? chosen : "";
    XtFree(chosen);
    struct stat st;
    if (path.empty() || path.back() == '/') {
        KesWarningPost(self->dialog, "Please give the name of the file to write.", NULL, NULL,
                       "Warning");
        return;
    }
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        // A file of that name: replaced only when the user says so.
        self->path = path;
        std::string question = path + " exists. Replace it?";
        XmString text = XmStringCreateLocalized(const_cast<char*>(question.c_str()));
        XmString replace = XmStringCreateLocalized(const_cast<char*>("Replace"));
        XmString title = XmStringCreateLocalized(const_cast<char*>("Question"));
        Widget ask = XmCreateQuestionDialog(self->dialog, (String) "replace_dialog", NULL, 0);
        XtVaSetValues(ask, XmNmessageString, text, XmNokLabelString, replace, XmNdialogTitle, title,
                      XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL, XmNdefaultButtonType,
                      XmDIALOG_CANCEL_BUTTON, NULL);
        XmStringFree(text);
        XmStringFree(replace);
        XmStringFree(title);
        XtUnmanageChild(XmMessageBoxGetChild(ask, XmDIALOG_HELP_BUTTON));
        XtAddCallback(ask, XmNokCallback, ReplaceCallback, self);
        XtAddCallback(ask, XmNcancelCallback, ReplaceCallback, self);
        XtManageChild(ask);
        return;
    }
    if (self->Write(path))
        XtDestroyWidget(XtParent(self->dialog));
}

// The question closes either way; on Replace the file is written and the chooser closes too.
void ExportDialog::ReplaceCallback(Widget w, XtPointer clientData, XtPointer callData)
{
    ExportDialog* self = static_cast<ExportDialog*>(clientData);
    bool replace = static_cast<XmAnyCallbackStruct*>(callData)->reason == XmCR_OK;
    XtDestroyWidget(XtParent(w));
    if (replace && self->Write(self->path))
        XtDestroyWidget(XtParent(self->dialog));
}

// False keeps the chooser open after a failure, so the user can pick another name.
bool ExportDialog::Write(const std::string& path)
{
    if (!app->current)
        return true; // the server went away meanwhile: nothing to export
    // The rows as they are now, in their order on show.
    std::vector<Connection*> rows;
    MonTable* view = app->tableView;
    for (int i = 0, count = view->ShownCount(); i < count; i++)
        if (Connection* row = view->ShownRow(i))
            rows.push_back(row);
    const Setting& s = app->current->setting;
    // Written to a temporary file and renamed, so a failed export leaves an older file as it was.
    SafeWriteResult result = WriteFileSafely(path, [&rows, &s](FILE* out) {
        WriteRowsCsv(out, rows.data(), static_cast<int>(rows.size()), s);
    });
    std::string failure = "Cannot write " + path + ".";
    return app->ReportWrite(result, path, failure.c_str()) == 1;
}
