// One print of the main window: the PostScript file in /tmp, its hand-over to lpr and its
// removal 5 seconds later (or when the program ends, if sooner), all without stopping the
// window.
#ifndef VANTOR_PRINTJOB_H
#define VANTOR_PRINTJOB_H

#include <sys/types.h>

#include <X11/Intrinsic.h>

class PrintJob {
public:
    // The file every print writes.
    static const char fileName[];
    // Five seconds give lpr time to copy the file to the spool; lpr's end is looked for every
    // 100 ms.
    enum { REMOVAL_DELAY_MS = 5000, LPR_POLL_MS = 100 };

    // Prints what shell shows to fileName at scale 0.75 and hands the file to lpr; problems
    // are shown in "Warning" dialogs over shell. The job deletes itself when its file is
    // gone and lpr has ended.
    static void Start(Widget shell);

    static void RemoveFileCallback(XtPointer clientData, XtIntervalId* id);
    static void WatchLprCallback(XtPointer clientData, XtIntervalId* id);

private:
    explicit PrintJob(Widget shell);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // Makes the file for this job alone; false when something not ours holds its name.
    bool CreateFile();
    // Starts lpr on the file; false (after a warning) when it cannot be run.
    bool SendToLpr();
    // Removes the file when it is still the one this job made.
    void UnlinkOwnFile();
    // The removal timer's work: the file goes, and the job if lpr is done.
    void RemoveFile();
    // At the program's end: the file of the latest job, if still there.
    static void RemoveAtExit();
    // Reaps lpr without waiting, reports a failed print, and looks again later while it runs.
    void WatchLpr();
    // Warns that the document was not printed, and why.
    void NotSent(const char* reason);
    // Deletes the job once no timer and no lpr is left.
    void DeleteWhenDone();

    Widget shell;
    dev_t fileDevice = 0;
    ino_t fileInode = 0;
    bool fileMade = false; // the file is ours and not yet removed
    XtIntervalId removalTimer = 0;
    pid_t lpr = -1; // lpr while it runs
    XtIntervalId watchTimer = 0;

    static PrintJob* latest; // the job whose file is the one in /tmp
};

#endif
