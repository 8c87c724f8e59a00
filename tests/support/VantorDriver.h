// Drives the real vantor program on the test display: starts it with a private HOME,
// finds its main window, types keys with xdotool, takes screenshots and waits for its end.
#ifndef VANTOR_TEST_VANTOR_DRIVER_H
#define VANTOR_TEST_VANTOR_DRIVER_H

#include <sys/types.h>

#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "tests/support/PngWriter.h"
#include "tests/support/TempDir.h"

// The built program.
std::string VantorBinary();

// The keys that choose an entry of the menu bar: F10, Right to the menu's place from the left
// (File is 0), Down to open it and on to the entry's place (the first is 0), Return.
std::vector<std::string> MenuKeys(int menu, int entry);

// Asks a top-level window to close, as a window manager's close button does.
bool SendWindowDelete(Display* display, Window window);

// Gives the window with that id the keyboard focus and types the keys ("F10", "ctrl+x",
// "Down"...), a moment apart.
bool TypeKeys(const std::string& window, const std::vector<std::string>& keys);

void SleepMs(int ms);

// The windows titled so (xdotool's search); with visibleOnly, only the viewable ones.
std::vector<Window> WindowsTitled(const std::string& title, bool visibleOnly = false);

class VantorDriver {
public:
    // home: the HOME the program gets; empty means a fresh private one (see home()).
    // env: further "NAME=value" entries, or "NAME" to remove a variable.
    explicit VantorDriver(const std::string& home = "", const std::vector<std::string>& env = {});
    // Kills the program if it still runs.
    ~VantorDriver();
    VantorDriver(const VantorDriver&) = delete;
    VantorDriver& operator=(const VantorDriver&) = delete;

    // Starts the program and waits up to timeoutSeconds for its main window "Vantor".
    bool Start(int timeoutSeconds = 30);
    const std::string& home() const { return home_; }
    pid_t pid() const { return pid_; }
    Window window() const { return window_; }
    Display* display() const { return display_; }

    // Types the keys into the main window (see TypeKeys).
    bool Keys(const std::vector<std::string>& keys);
    // Starts monitoring through the Action menu, whose first entry Start is while stopped
    // (and Pause while running).
    bool StartMonitoring() { return Keys(MenuKeys(1, 0)); }
    // Quits through the File menu.
    bool QuitThroughMenu();
    // Waits for the program to end; its exit status, or -1 (still running or killed).
    int WaitForExit(int timeoutSeconds = 10);
    bool Running();

    // Moves the pointer to (x, y) of the main window; clicks the first button there.
    bool PointerTo(int x, int y);
    bool ClickAt(int x, int y);
    // Asks the program to close its main window, as a window manager's close button does.
    bool CloseFromWindowManager();

    // What the main window shows.
    RgbImage Screenshot();
    // The screen over the main window's area, with the menus and tips posted over it.
    RgbImage ScreenOverWindow();
    // Saves ScreenOverWindow under the test artifacts; its path, or empty.
    std::string SaveScreenOverWindow(const std::string& name);
    // Saves a screenshot under the test artifacts; its path, or empty.
    std::string SaveScreenshot(const std::string& name);
    // What the program wrote to its standard error so far.
    std::string StandardError() const;

private:
    TempDir privateHome_;
    std::string home_;
    std::vector<std::string> env_;
    pid_t pid_ = -1;
    int exitStatus_ = -1;
    Display* display_ = nullptr;
    Window window_ = 0;
};

#endif
