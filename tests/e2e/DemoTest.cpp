// The live demo as a user runs it on a desktop: it opens the monitoring window, and closing
// that window from the window manager ends the demo and every process it started.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <string>

#include "tests/support/RunProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

// The first window named "Vantor", or 0 once timeoutSeconds have passed.
Window WaitForVantorWindow(int timeoutSeconds)
{
    for (int i = 0; i < timeoutSeconds * 10; i++) {
        std::vector<Window> found = WindowsTitled("Vantor");
        if (!found.empty())
            return found[0];
        SleepMs(100);
    }
    return 0;
}

// Whether any process is left in the session sid.
bool SessionHasProcesses(pid_t sid)
{
    return RunProcess({"pgrep", "-s", std::to_string(sid)}, {}, 10).exitStatus == 0;
}

} // namespace

TEST(Demo, ClosingTheWindowEndsTheDemoAndEverythingItStarted)
{
    pid_t demo = fork();
    ASSERT_GE(demo, 0);
    if (demo == 0) {
        setsid(); // its own session, so that every process it starts can be found again
        execl(VANTOR_SOURCE_DIR "/scripts/demo", "demo", VANTOR_BINARY_DIR, (char*)nullptr);
        _exit(127);
    }
    Window window = WaitForVantorWindow(60);
    if (window == 0)
        kill(-demo, SIGKILL);
    ASSERT_NE(window, 0u) << "the demo did not open the Vantor window";
    SleepMs(2000); // its traffic and first poll are under way
    EXPECT_TRUE(SessionHasProcesses(demo));

    Display* display = XOpenDisplay(nullptr);
    EXPECT_TRUE(display && SendWindowDelete(display, window)); // as a window manager does
    if (display)
        XCloseDisplay(display);
    int status = -1;
    for (int i = 0; i < 200 && waitpid(demo, &status, WNOHANG) == 0; i++)
        SleepMs(50);
    bool ended = WIFEXITED(status);
    if (!ended)
        kill(-demo, SIGKILL);
    ASSERT_TRUE(ended) << "the demo still runs after its window was closed";
    bool left = true;
    for (int i = 0; i < 50 && (left = SessionHasProcesses(demo)); i++)
        SleepMs(100);
    EXPECT_FALSE(left) << RunProcess({"ps", "-s", std::to_string(demo), "-o", "pid,args"}).out;
    kill(-demo, SIGKILL);
}
