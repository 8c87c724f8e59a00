// The manual viewer. The manual's text goes through a file of a fixed name in the working
// directory, so that file is created here without following a symbolic link (one planted
// there would make us overwrite its target), and only the file made here is removed.
#include "app/HelpDialog.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <Xm/Separator.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include "app/util.h"
#include "toolkit/util.h"

static const char fileName[] = "VNTREADME";
// "col -b" strips the backspace overstrikes man uses for bold and underline, which a text widget
// would show as stray characters.
static const char manCommand[] = "man vantor|col -b";

HelpDialog::HelpDialog(Widget parent) : panel(NULL), text(NULL)
{
    Widget box;
    panel = KesStandardPanel(parent, "Help", 2, -1, -1, 15, 5, &box);
    Widget vbox = OmStandardBox(box, 1, 10, 10);

    // A read-only text of 60 columns, the width the manual is formatted to, scrolled both ways.
    Arg args[6];
    XtSetArg(args[0], XmNeditMode, XmMULTI_LINE_EDIT);
    XtSetArg(args[1], XmNeditable, False);
    XtSetArg(args[2], XmNrows, (short)40);
    XtSetArg(args[3], XmNcolumns, (short)60);
    XtSetArg(args[4], XmNheight, (Dimension)300);
    XtSetArg(args[5], XmNwidth, (Dimension)575);
    text = XmCreateScrolledText(vbox, (String) "test", args, 6);
    // The scrolled window, not the text, is the box's child: it is the one that must stretch.
    XtVaSetValues(XtParent(text), XmNheight, (Dimension)300, XmNwidth, (Dimension)575,
                  XomNhorizontalStretch, XOM_BOX_UNLIMITED, XomNhorizontalShrink, XOM_BOX_UNLIMITED,
                  XomNverticalShrink, XOM_BOX_UNLIMITED, XomNverticalStretch, XOM_BOX_UNLIMITED,
                  NULL);
    XtManageChild(text);

    XtVaCreateManagedWidget("sep", xmSeparatorWidgetClass, vbox, XomNhorizontalStretch,
                            XOM_BOX_UNLIMITED, NULL);
    XomCreateVerticalGlue(vbox, 20, XOM_BOX_UNLIMITED, XOM_BOX_UNLIMITED);
    PopupPanelWithOk(panel, box, vbox, ProcessButtonCallback, (XtPointer)this);
    // The manual is read while the panel is up, so an error message appears above it.
    ReadFile(parent);
}

HelpDialog::~HelpDialog()
{
    XtDestroyWidget(panel);
}

void HelpDialog::ProcessButtonCallback(Widget, XtPointer clientData, XtPointer)
{
    static_cast<HelpDialog*>(clientData)->Acknowledge();
}

// The file is removed only if it is still the very one written here (same device and inode):
// another file put there since, or a link, is not ours to delete.
void HelpDialog::Acknowledge()
{
    struct stat st;
    if (wroteFile && lstat(fileName, &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == fileDevice
        && st.st_ino == fileInode)
        unlink(fileName);
    delete this;
}

// The manual pages beside the program: <prefix>/share/man for an installed program, and
// the build tree's share/man, where the build puts the page, for one run from there.
static std::string ManualPath()
{
    char exe[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0)
        return "";
    exe[length] = '\0';
    std::string dir(exe);
    dir = dir.substr(0, dir.rfind('/')) + "/../share/man";
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dir : "";
}

// Runs man with its output into the file and waits for it. False only when the file cannot be made;
// a man that fails leaves an empty file, which the reader reports.
bool HelpDialog::WriteManual()
{
    int fd = open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) == 0) {
        wroteFile = true;
        fileDevice = st.st_dev;
        fileInode = st.st_ino;
    }
    std::string manPath = ManualPath();
    pid_t pid = fork();
    if (pid == 0) {
        if (!manPath.empty()) {
            // A trailing colon keeps man's own search path after ours.
            const char* old = getenv("MANPATH");
            std::string value = manPath + ":" + (old ? old : "");
            setenv("MANPATH", value.c_str(), 1);
        }
        // Lines that fit the viewer's 60 columns, unless the user chose a width.
        setenv("MANWIDTH", "60", 0);
        dup2(fd, STDOUT_FILENO);
        execl("/bin/sh", "sh", "-c", manCommand, (char*)NULL);
        // The shell could not be run; 127 is the shell's own code for "command not found". _exit,
        // not exit: the child must not flush the parent's stdio buffers a second time.
        _exit(127);
    }
    close(fd);
    // A signal during the wait is no reason to show a half-written manual.
    if (pid > 0)
        while (waitpid(pid, NULL, 0) < 0 && errno == EINTR) {}
    return true;
}

// The file is opened only if it is a plain file, so a device or a fifo planted under the name
// cannot hang the program.
void HelpDialog::ReadFile(Widget parent)
{
    FILE* file = NULL;
    struct stat st;
    if (WriteManual() && lstat(fileName, &st) == 0 && S_ISREG(st.st_mode))
        file = fopen(fileName, "r");
    if (!file) {
        if (lstat(fileName, &st) == 0 && S_ISREG(st.st_mode)) {
            char message[256];
            snprintf(message, sizeof message, "%s %s", "Cannot read the file.", fileName);
            KesWarningPost(parent, message, NULL, NULL, "Warning");
        } else {
            // Missing, or something else than a plain file: a symbolic link is left alone.
            perror(fileName);
        }
        return;
    }
    // The size is taken from the open file itself; one byte more holds the terminating zero.
    if (fstat(fileno(file), &st) != 0)
        st.st_size = 0;
    char* buffer = (char*)malloc((size_t)st.st_size + 1);
    if (!buffer) {
        char message[256];
        snprintf(message, sizeof message, "%s  %s.", "Cannot allocate enough memory space.",
                 fileName);
        KesWarningPost(parent, message, NULL, NULL, "Warning");
        fclose(file);
        return;
    }
    // A short read shows what was read; only an empty one is reported.
    size_t count = fread(buffer, 1, (size_t)st.st_size, file);
    if (count == 0)
        KesWarningPost(parent, "Cannot read the entire file.", NULL, NULL, "Warning");
    buffer[count] = '\0';
    XmTextSetString(text, buffer);
    free(buffer);
    fclose(file);
}
