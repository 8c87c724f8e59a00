#include "tests/e2e/WindowProbe.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "app/icons/last_rejection.xpm.h"
#include "app/icons/new_rejection.xpm.h"
#include "app/icons/pause.xpm.h"
#include "app/icons/spin1.xpm.h"
#include "app/icons/spin2.xpm.h"
#include "app/icons/spin3.xpm.h"
#include "tests/core/DefaultSetting.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/PixelReader.h"
#include "tests/support/RunProcess.h"

std::string SettingsBlock(int intervalMs)
{
    std::string block = kDefaultBlock;
    size_t at = block.find("60000");
    return block.replace(at, 5, std::to_string(intervalMs));
}

VantorHome::VantorHome(const std::vector<std::string>& names, int intervalMs)
{
    RunProcess({"mkdir", "-p", path() + "/.vantorrc"});
    std::ofstream list(File("socks5.dat"));
    list << "SOCKS5s\n";
    for (const std::string& name : names)
        list << name << "\n";
    if (intervalMs > 0) {
        std::ofstream settings(File("monitor.ini"));
        settings << names.size() << "\n";
        for (size_t i = 0; i < names.size(); i++)
            settings << SettingsBlock(intervalMs) << "\n";
    }
}

std::vector<std::string> FourConnectionsScript(int passes)
{
    const char pass[] =
        "pass\n"
        "conn key=1 state=2 start=1700000000 cur=1700000065 in=1024 out=512 src=10.0.0.5:40000"
        " srchost=alice-pc dst=10.0.0.9:80 dsthost=www.example user=alice app=http\n"
        "conn key=2 state=2 start=1700000001 cur=1700000065 in=99 out=1 src=10.0.0.6:40001"
        " srchost=bob-pc dst=10.0.0.9:23 dsthost=shell.lan user=bob app=telnet\n"
        "conn key=4 state=2 start=1700000002 cur=1700000065 in=5000 out=70 src=10.0.0.8:40003"
        " srchost=carol-pc dst=10.0.0.9:443 dsthost=secure.example user=carol app=https\n"
        "conn key=3 state=12 start=1700000010 cur=1700000065 end=1700000011 err=5"
        " src=10.0.0.7:40002 srchost=dave-pc dst=10.0.0.9:21 dsthost=files.example app=ftp"
        " errmsg=Connection~refused\n";
    std::string script;
    for (int i = 0; i < passes; i++)
        script += pass;
    return {"--script", MonsimProcess::writeTempFile("four.txt", script)};
}

int FindIcon(Display* display, const RgbImage& image, const char* const* xpm)
{
    int width = 0, height = 0, colours = 0;
    sscanf(xpm[0], "%d %d %d", &width, &height, &colours);
    std::map<char, long> rgbOf; // -1: matches anything
    for (int i = 1; i <= colours; i++) {
        const char* key = strstr(xpm[i] + 1, " c ");
        std::string name = key ? key + 3 : "";
        XColor colour;
        Colormap map = DefaultColormap(display, DefaultScreen(display));
        if (name == "LightBlue3" || !XParseColor(display, map, name.c_str(), &colour))
            rgbOf[xpm[i][0]] = -1;
        else
            rgbOf[xpm[i][0]] =
                ((colour.red >> 8) << 16) | ((colour.green >> 8) << 8) | (colour.blue >> 8);
    }
    int found = -1;
    for (int top = 0; top + height <= image.height; top++) {
        for (int left = 0; left + width <= image.width; left++) {
            bool match = true;
            for (int y = 0; y < height && match; y++)
                for (int x = 0; x < width && match; x++) {
                    long want = rgbOf[xpm[1 + colours + y][x]];
                    match = want < 0 || static_cast<long>(image.At(left + x, top + y)) == want;
                }
            if (match)
                found = std::max(found, left);
        }
    }
    return found;
}

int PinkBands(const RgbImage& shot, int x, int* firstTop)
{
    const uint32_t pinkRgb = 0xffc0cb;
    int bands = 0;
    bool inside = false;
    for (int y = 0; y < shot.height; y++) {
        bool pink = shot.At(x, y) == pinkRgb;
        if (pink && !inside && bands++ == 0 && firstTop)
            *firstTop = y;
        inside = pink;
    }
    return bands;
}

std::string ClipboardText()
{
    return RunProcess({"xclip", "-o", "-selection", "clipboard"}, {}, 10).out;
}

RgbImage Crop(const RgbImage& image, int left, int top, int width, int height)
{
    RgbImage part;
    left = std::max(left, 0);
    top = std::max(top, 0);
    part.width = std::max(0, std::min(width, image.width - left));
    part.height = std::max(0, std::min(height, image.height - top));
    for (int y = top; y < top + part.height; y++) {
        auto row = image.rgb.begin() + (static_cast<size_t>(y) * image.width + left) * 3;
        part.rgb.insert(part.rgb.end(), row, row + part.width * 3);
    }
    return part;
}

std::string WorkingIcon(Display* display, const RgbImage& shot)
{
    // The status line's right end: the new-rejection label, then the working label.
    RgbImage corner = Crop(shot, shot.width - 80, shot.height - 40, 80, 40);
    const std::pair<const char*, const char* const*> icons[] = {
        {"spin1", spin1_xpm},
        {"spin2", spin2_xpm},
        {"spin3", spin3_xpm},
        {"pause", pause_xpm},
        {"new_rejection", new_rejection_xpm},
        {"last_rejection", last_rejection_xpm}};
    std::string shown;
    int rightmost = -1;
    for (const auto& icon : icons) {
        int at = FindIcon(display, corner, icon.second);
        if (at > rightmost) {
            rightmost = at;
            shown = icon.first;
        }
    }
    return shown;
}

namespace {

struct Geometry {
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
    bool viewable = false;
};

Geometry GeometryOf(Display* display, Window w)
{
    Geometry g;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, w, &attributes)) {
        g.x = attributes.x;
        g.y = attributes.y;
        g.width = static_cast<unsigned>(attributes.width);
        g.height = static_cast<unsigned>(attributes.height);
        g.viewable = attributes.map_state == IsViewable;
    }
    return g;
}

std::vector<Window> ChildrenOf(Display* display, Window w)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> list;
    if (XQueryTree(display, w, &root, &parent, &children, &count)) {
        list.assign(children, children + count);
        XFree(children);
    }
    return list;
}

// The tool box: the window whose five or more children are picture buttons of one size
// (the menu bar's titles differ in width).
Window FindToolBox(Display* display, Window w)
{
    std::vector<Window> children = ChildrenOf(display, w);
    if (children.size() >= 5) {
        Geometry first = GeometryOf(display, children[0]);
        bool same = first.height >= 20 && first.height <= 40;
        for (Window child : children) {
            Geometry g = GeometryOf(display, child);
            same = same && g.width == first.width && g.height == first.height;
        }
        if (same)
            return w;
    }
    for (Window child : children)
        if (Window box = FindToolBox(display, child))
            return box;
    return 0;
}

} // namespace

std::vector<ToolButton> ToolButtons(Display* display, Window main)
{
    std::vector<ToolButton> buttons;
    Window box = FindToolBox(display, main);
    if (!box || !GeometryOf(display, box).viewable)
        return buttons;
    // Read from the window as shown: the buttons overlap, so their own windows are partly
    // covered.
    RgbImage shot = ReadDrawable(display, main);
    for (Window child : ChildrenOf(display, box)) {
        Geometry g = GeometryOf(display, child);
        int x = 0, y = 0;
        Window ignored;
        if (!g.viewable || !XTranslateCoordinates(display, child, main, 0, 0, &x, &y, &ignored))
            continue;
        // Outside the highlight frame an enabled button draws its bottom shadow; a
        // disabled one only its background.
        int middle = x + static_cast<int>(g.width) / 2;
        uint32_t background = shot.At(middle, y + 1);
        uint32_t shadow = shot.At(middle, y + static_cast<int>(g.height) - 3);
        buttons.push_back({child, x, y, static_cast<int>(g.width), static_cast<int>(g.height),
                           shadow != background});
    }
    std::sort(buttons.begin(), buttons.end(),
              [](const ToolButton& a, const ToolButton& b) { return a.x < b.x; });
    return buttons;
}

std::string ToolBarStates(Display* display, Window main)
{
    std::string states;
    for (const ToolButton& button : ToolButtons(display, main))
        states += button.raised ? '1' : '0';
    return states;
}

int PostedMenus(Display* display)
{
    int posted = 0;
    for (Window w : ChildrenOf(display, DefaultRootWindow(display))) {
        XWindowAttributes attributes;
        posted += XGetWindowAttributes(display, w, &attributes) && attributes.override_redirect
            && attributes.map_state == IsViewable;
    }
    return posted;
}

int WindowsNamed(const std::string& title)
{
    return static_cast<int>(WindowsTitled(title, true).size());
}

bool WaitForWindow(const std::string& title, int timeoutMs)
{
    return Eventually([&] { return WindowsNamed(title) > 0; }, timeoutMs);
}

bool AcknowledgeDialog(const std::string& title, const std::string& key)
{
    std::vector<Window> ids = WindowsTitled(title, true);
    return !ids.empty() && TypeKeys(std::to_string(ids[0]), {key})
        && Eventually([&] { return WindowsNamed(title) == 0; }, 3000);
}

int RepaintMs(Display* display, Window main, int x, int y, int width, int height, int timeoutMs)
{
    RgbImage before = ReadArea(display, main, x, y, width, height);
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, main, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    Window cover = XCreateWindow(display, DefaultRootWindow(display), rootX, rootY, width, height,
                                 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, cover);
    XSync(display, False);
    SleepMs(50);
    XDestroyWindow(display, cover);
    XSync(display, False);
    struct timespec start, now;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        clock_gettime(CLOCK_MONOTONIC, &now);
        int elapsed = static_cast<int>((now.tv_sec - start.tv_sec) * 1000
                                       + (now.tv_nsec - start.tv_nsec) / 1000000);
        if (ReadArea(display, main, x, y, width, height).rgb == before.rgb)
            return elapsed;
        if (elapsed > timeoutMs)
            return -1;
        SleepMs(2);
    }
}

std::string FocusDialog(const std::string& title)
{
    std::vector<Window> ids;
    if (!Eventually([&] { return !(ids = WindowsTitled(title, true)).empty(); }))
        return "";
    RunProcess({"xdotool", "windowfocus", "--sync", std::to_string(ids[0])}, {}, 10);
    return std::to_string(ids[0]);
}

void ClickIn(const std::string& window, int x, int y, int settleMs)
{
    RunProcess({"xdotool", "mousemove", "--sync", "--window", window, std::to_string(x),
                std::to_string(y), "click", "1"},
               {}, 10);
    SleepMs(settleMs);
}

bool KeysInDialog(const std::string& title, const std::vector<std::string>& keys)
{
    std::string id = FocusDialog(title);
    return !id.empty() && TypeKeys(id, keys);
}
