// The manual viewer: the program's manual page as plain text in a scrolled window.
#ifndef VANTOR_HELPDIALOG_H
#define VANTOR_HELPDIALOG_H

#include <sys/types.h>

#include <X11/Intrinsic.h>

class HelpDialog {
public:
    // Builds the viewer on the parent's shell, pops it up, modal, and fills it. The object
    // deletes itself when its OK button is pressed.
    explicit HelpDialog(Widget parent);
    ~HelpDialog();
    HelpDialog(const HelpDialog&) = delete;
    HelpDialog& operator=(const HelpDialog&) = delete;

    static void ProcessButtonCallback(Widget w, XtPointer clientData, XtPointer callData);
    // Removes the manual's text file, if it is still the one the viewer wrote, and the
    // viewer.
    void Acknowledge();
    // Writes the formatted manual page into "VNTREADME" in the working directory and shows
    // what the file holds; problems are reported over parent.
    void ReadFile(Widget parent);

    Widget panel; // the pop-up shell
    Widget text;  // the scrolled text

private:
    // Runs man into a file created here; false when the file could not be created.
    bool WriteManual();

    bool wroteFile = false; // "VNTREADME" below is the file this viewer made
    dev_t fileDevice = 0;
    ino_t fileInode = 0;
};

#endif
