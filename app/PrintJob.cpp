// Printing the main window. "/tmp/vantor.ps" is a fixed name in a directory every user can
// write: it is created exclusively and never through a symbolic link, only a stale file of
// our own is replaced, and only the file this program made is removed. lpr is run without
// a shell, and a document it does not take is reported, not passed over in silence.
#include "app/PrintJob.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/util.h"
#include "toolkit/Postscript.h"

const char PrintJob::fileName[] = "/tmp/vantor.ps";
// The job whose file is on disk now, the one to remove if the program ends early.
PrintJob* PrintJob::latest = NULL;

// File > Print: the main window goes to the PostScript file through the toolkit, scaled
// to 0.75 so that a window of the usual size fits a page (the toolkit tiles a larger one
// over several pages), and the file to lpr. The job lives on until the file is removed
// and lpr has been waited for, each on a timer, so the window never waits for the printer.
void PrintJob::Start(Widget shell)
{
    PrintJob* job = new PrintJob(shell);
    if (!job->CreateFile()) {
        char reason[256];
        snprintf(reason, sizeof reason, "%s is held by another file (%s).", fileName,
                 strerror(errno));
        job->NotSent(reason);
        delete job;
        return;
    }
    // The file of an earlier print was replaced: its removal is this job's now.
    if (latest && latest != job && latest->fileMade) {
        latest->fileMade = false;
        if (latest->removalTimer)
            XtRemoveTimeOut(latest->removalTimer);
        latest->removalTimer = 0;
        latest->DeleteWhenDone();
    }
    latest = job;
    // A file left behind would make every other user's print fail until someone removed
    // it: whichever way the program ends, the file still waiting for removal goes with it.
    static bool removalAtExit = atexit(RemoveAtExit) == 0;
    (void)removalAtExit;
    // The file is removed after a delay even if lpr has not finished: lpr copies it to the spool
    // when it starts, and the file must not outlive a print that hangs.
    job->removalTimer = XtAppAddTimeOut(XtWidgetToApplicationContext(shell), REMOVAL_DELAY_MS,
                                        RemoveFileCallback, job);
    // The toolkit reports a failed output itself.
    if (XomOutputPostscript(shell, fileName, 0.75, 0, 0))
        job->SendToLpr();
}

PrintJob::PrintJob(Widget parent) : shell(parent)
{}

PrintJob::~PrintJob()
{
    if (latest == this)
        latest = NULL;
}

// Only a file of our own is replaced; one of another user stays, and the print is refused. O_EXCL
// with O_NOFOLLOW makes the creation fail, rather than write elsewhere, if anything appears under
// the name in between. Mode 0600: the picture of the window is the user's own.
bool PrintJob::CreateFile()
{
    struct stat st;
    if (lstat(fileName, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid())
        unlink(fileName);
    int fd = open(fileName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // The device and inode identify this file later, whatever may be renamed over it.
    if (fstat(fd, &st) == 0) {
        fileDevice = st.st_dev;
        fileInode = st.st_ino;
    }
    close(fd);
    fileMade = true;
    return true;
}

// lpr is started with fork and exec, no shell, and watched by polling waitpid from a
// timer: a SIGCHLD handler would disturb the toolkit's event loop and other children.
bool PrintJob::SendToLpr()
{
    // A pipe closed on exec tells the parent whether exec worked, and why not.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        NotSent(strerror(errno));
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) {
        // The child may only call what is safe after fork: exec, write and _exit.
        execlp("lpr", "lpr", fileName, (char*)NULL);
        int error = errno;
        ssize_t ignored = write(report[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(report[1]);
    if (pid < 0) {
        close(report[0]);
        NotSent(strerror(errno));
        return false;
    }
    int error = 0;
    ssize_t n;
    // Zero bytes read means the pipe closed on a successful exec; an errno means exec failed.
    while ((n = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {}
    close(report[0]);
    // Watched even when exec failed, so the child is reaped and leaves no zombie.
    lpr = pid;
    if (n > 0) {
        char reason[256];
        snprintf(reason, sizeof reason, "lpr could not be run (%s).", strerror(error));
        NotSent(reason);
    }
    WatchLpr();
    return n <= 0;
}

void PrintJob::NotSent(const char* reason)
{
    char text[300];
    if (fileMade)
        snprintf(text, sizeof text, "The document %s was not sent to the printer:", fileName);
    else // lpr ended badly after the file's time was up
        snprintf(text, sizeof text,
                 "Printing failed, and the document %s has been removed:", fileName);
    KesWarningPost(shell, text, reason, NULL, "Warning");
}

// Status 127 comes from a failed exec, which SendToLpr has reported already.
void PrintJob::WatchLpr()
{
    int status = 0;
    // Not ended yet: look again later instead of blocking the window.
    pid_t done = waitpid(lpr, &status, WNOHANG);
    if (done == 0) {
        watchTimer = XtAppAddTimeOut(XtWidgetToApplicationContext(shell), LPR_POLL_MS,
                                     WatchLprCallback, this);
        return;
    }
    bool execFailed = done == lpr && WIFEXITED(status) && WEXITSTATUS(status) == 127;
    if (done == lpr && !execFailed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        char reason[256];
        if (WIFEXITED(status))
            snprintf(reason, sizeof reason, "lpr ended with status %d.", WEXITSTATUS(status));
        else
            snprintf(reason, sizeof reason, "lpr was ended by signal %d.", WTERMSIG(status));
        NotSent(reason);
    }
    lpr = -1;
    watchTimer = 0;
    DeleteWhenDone();
}

// The file is removed only while it is still the one this job made (same device and
// inode, a regular file): another user may have made a new one of that name since.
void PrintJob::UnlinkOwnFile()
{
    struct stat st;
    if (fileMade && lstat(fileName, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == fileDevice
        && st.st_ino == fileInode)
        unlink(fileName);
    fileMade = false;
}

void PrintJob::RemoveFile()
{
    removalTimer = 0;
    UnlinkOwnFile();
    DeleteWhenDone();
}

// Runs from atexit, where the toolkit may be gone: only the file is touched.
void PrintJob::RemoveAtExit()
{
    if (latest)
        latest->UnlinkOwnFile();
}

// A job ends when neither its removal timer, nor lpr, nor the watch of lpr is left.
void PrintJob::DeleteWhenDone()
{
    if (!removalTimer && !watchTimer && lpr < 0)
        delete this;
}

void PrintJob::RemoveFileCallback(XtPointer clientData, XtIntervalId*)
{
    static_cast<PrintJob*>(clientData)->RemoveFile();
}

void PrintJob::WatchLprCallback(XtPointer clientData, XtIntervalId*)
{
    static_cast<PrintJob*>(clientData)->WatchLpr();
}
