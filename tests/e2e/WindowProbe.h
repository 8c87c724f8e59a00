// What the end-to-end tests of the menus and the tool bar read from the running program:
// a private HOME with its server list and settings, the status icon shown, the tool
// buttons and their look, and the dialogs it posts.
#ifndef VANTOR_TEST_WINDOW_PROBE_H
#define VANTOR_TEST_WINDOW_PROBE_H

#include <string>
#include <vector>

#include <X11/Xlib.h>

#include "tests/support/PngWriter.h"
#include "tests/support/VantorDriver.h"

// A private HOME whose socks5.dat lists names; with intervalMs above 0 a monitor.ini
// gives every server that polling interval and otherwise the defaults.
class VantorHome {
public:
    explicit VantorHome(const std::vector<std::string>& names, int intervalMs = 0);
    const std::string& path() const { return dir_.path(); }
    std::string File(const std::string& name) const { return path() + "/.vantorrc/" + name; }

private:
    TempDir dir_;
};

// The block monitor.ini holds for a server with default settings but for the interval.
std::string SettingsBlock(int intervalMs);

// The simulator's arguments for a script of passes times the same pass: open connections
// of alice, bob and carol (named hosts, 10.0.0.x addresses) and a failed one of dave's.
std::vector<std::string> FourConnectionsScript(int passes);

// The pink row stripes met going down the column of pixels at x of a screenshot of the
// table, and where the first begins.
int PinkBands(const RgbImage& shot, int x, int* firstTop = nullptr);

// The CLIPBOARD's text as another program reads it (xclip).
std::string ClipboardText();

// A part of an image.
RgbImage Crop(const RgbImage& image, int x, int y, int width, int height);

// Which status icon the status line's working label shows: "spin1", "spin2", "spin3",
// "pause", "new_rejection", "last_rejection", or "" when none is found.
std::string WorkingIcon(Display* display, const RgbImage& shot);
// Whether the picture of an icon given as XPM data shows in the image (colours named
// "LightBlue3" match anything); the left edge of the rightmost match, or -1.
int FindIcon(Display* display, const RgbImage& image, const char* const* xpm);

struct ToolButton {
    Window window;
    int x, y; // in the main window
    int width, height;
    bool raised; // enabled buttons have a shadow; disabled ones are flat
};
// The tool buttons from left to right; empty while the tool bar is hidden.
std::vector<ToolButton> ToolButtons(Display* display, Window main);
// "1" for each raised button, "0" for each flat one, left to right.
std::string ToolBarStates(Display* display, Window main);

// Covers part of the main window (x, y, width, height, in its coordinates) with a window of
// another client for a moment, then uncovers it: the milliseconds until the part shows
// again what it showed before, or -1 when it does not within timeoutMs.
int RepaintMs(Display* display, Window main, int x, int y, int width, int height,
              int timeoutMs = 10000);

// Menus (and tips) on show: the viewable override-redirect windows of the display.
int PostedMenus(Display* display);
// Viewable top-level windows of the display with this title.
int WindowsNamed(const std::string& title);
// Waits until a window with that title shows (true) or the time is up.
bool WaitForWindow(const std::string& title, int timeoutMs = 5000);
// The id of the one visible window of that title, given the keyboard focus; "" when there
// is none.
std::string FocusDialog(const std::string& title);
// Types keys into the window of that title; false when it does not show.
bool KeysInDialog(const std::string& title, const std::vector<std::string>& keys);
// Presses key in the dialog of that title (Return: its default button); true when it was
// found and went away.
bool AcknowledgeDialog(const std::string& title, const std::string& key = "Return");
// A click at (x, y) of the window with that id, as the user makes it, then settleMs to let
// the program answer.
void ClickIn(const std::string& window, int x, int y, int settleMs = 0);

// Waits up to timeoutMs until the predicate holds; its last value.
template <typename Predicate>
bool Eventually(Predicate predicate, int timeoutMs = 5000)
{
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        if (predicate())
            return true;
        SleepMs(100);
    }
    return predicate();
}

#endif
