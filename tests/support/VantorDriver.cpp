#include "tests/support/VantorDriver.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "tests/support/PixelReader.h"
#include "tests/support/RunProcess.h"

std::string VantorBinary()
{
    const char* other = getenv("VANTOR_BINARY"); // a benchmark may measure another build
    return other ? other : std::string(VANTOR_BINARY_DIR) + "/app/vantor";
}

void SleepMs(int ms)
{
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

VantorDriver::VantorDriver(const std::string& home, const std::vector<std::string>& env)
    : home_(home.empty() ? privateHome_.path() : home), env_(env)
{
    display_ = XOpenDisplay(nullptr);
}

VantorDriver::~VantorDriver()
{
    if (Running()) {
        kill(pid_, SIGKILL);
        WaitForExit(5);
    }
    if (display_)
        XCloseDisplay(display_);
}

std::vector<Window> WindowsTitled(const std::string& title, bool visibleOnly)
{
    std::vector<std::string> argv = {"xdotool", "search", "--name", "^" + title + "$"};
    if (visibleOnly)
        argv.insert(argv.begin() + 2, "--onlyvisible");
    std::vector<Window> windows;
    std::istringstream lines(RunProcess(argv, {}, 10).out);
    unsigned long id;
    while (lines >> id)
        windows.push_back(static_cast<Window>(id));
    return windows;
}

bool VantorDriver::Start(int timeoutSeconds)
{
    if (!display_)
        return false;
    std::vector<Window> before = WindowsTitled("Vantor");

    std::string errPath = privateHome_.path() + "/vantor.stderr";
    pid_ = fork();
    if (pid_ == 0) {
        int out = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 2);
        setenv("HOME", home_.c_str(), 1);
        ApplyEnvironment(env_);
        std::string binary = VantorBinary();
        execl(binary.c_str(), "vantor", static_cast<char*>(nullptr));
        _exit(127);
    }

    time_t deadline = time(nullptr) + timeoutSeconds;
    while (time(nullptr) < deadline && Running()) {
        for (Window w : WindowsTitled("Vantor")) {
            if (std::find(before.begin(), before.end(), w) != before.end())
                continue;
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display_, w, &attributes)
                && attributes.map_state == IsViewable) {
                window_ = w;
                SleepMs(300); // let the first exposures be drawn
                return true;
            }
        }
        SleepMs(100);
    }
    return false;
}

bool TypeKeys(const std::string& window, const std::vector<std::string>& keys)
{
    if (RunProcess({"xdotool", "windowfocus", "--sync", window}, {}, 10).exitStatus != 0)
        return false;
    for (const std::string& key : keys) {
        if (RunProcess({"xdotool", "key", key}, {}, 10).exitStatus != 0)
            return false;
        SleepMs(150);
    }
    return true;
}

bool VantorDriver::Keys(const std::vector<std::string>& keys)
{
    return window_ && TypeKeys(std::to_string(window_), keys);
}

bool VantorDriver::PointerTo(int x, int y)
{
    if (!window_)
        return false;
    bool moved = RunProcess({"xdotool", "mousemove", "--window", std::to_string(window_),
                             std::to_string(x), std::to_string(y)},
                            {}, 10)
                     .exitStatus
        == 0;
    SleepMs(150);
    return moved;
}

bool VantorDriver::ClickAt(int x, int y)
{
    if (!PointerTo(x, y) || RunProcess({"xdotool", "click", "1"}, {}, 10).exitStatus != 0)
        return false;
    SleepMs(150);
    return true;
}

bool SendWindowDelete(Display* display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return sent != 0;
}

bool VantorDriver::CloseFromWindowManager()
{
    return window_ && SendWindowDelete(display_, window_);
}

std::vector<std::string> MenuKeys(int menu, int entry)
{
    std::vector<std::string> keys = {"F10"};
    keys.insert(keys.end(), menu, "Right");
    keys.insert(keys.end(), entry + 1, "Down");
    keys.push_back("Return");
    return keys;
}

bool VantorDriver::QuitThroughMenu()
{
    return Keys(MenuKeys(0, 1));
}

bool VantorDriver::Running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == 0)
        return true;
    if (done == pid_)
        exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
    return false;
}

int VantorDriver::WaitForExit(int timeoutSeconds)
{
    time_t deadline = time(nullptr) + timeoutSeconds;
    while (Running() && time(nullptr) < deadline)
        SleepMs(50);
    return Running() ? -1 : exitStatus_;
}

RgbImage VantorDriver::Screenshot()
{
    XSync(display_, False);
    return ReadDrawable(display_, window_);
}

std::string VantorDriver::SaveScreenshot(const std::string& name)
{
    std::string path = ArtifactPath(name);
    return WritePng(path, Screenshot()) ? path : std::string();
}

RgbImage VantorDriver::ScreenOverWindow()
{
    XSync(display_, False);
    XWindowAttributes attributes;
    Window child;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display_, window_, &attributes)
        || !XTranslateCoordinates(display_, window_, attributes.root, 0, 0, &x, &y, &child))
        return RgbImage();
    return ReadArea(display_, attributes.root, x, y, attributes.width, attributes.height);
}

std::string VantorDriver::SaveScreenOverWindow(const std::string& name)
{
    std::string path = ArtifactPath(name);
    return WritePng(path, ScreenOverWindow()) ? path : std::string();
}

std::string VantorDriver::StandardError() const
{
    return FileText(privateHome_.path() + "/vantor.stderr");
}
