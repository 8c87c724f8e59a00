// How soon the window answers a key while it polls a big server every second: the real
// vantor against the simulator, the File menu clicked through the XTEST extension at random
// moments of the poll cycle and timed until it maps, then clicked again until it unmaps.
// Reports the median, the 99th percentile and the longest wait. Needs a display (DISPLAY).
// VANTOR_BINARY names another vantor program to measure, an older build for instance.
// bench-libs: vantor_e2e_probe Xtst
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <sys/select.h>
#include <time.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/WindowProbe.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/VantorDriver.h"

namespace {

const std::vector<std::string> kStart = {"F10", "Right", "Down", "Return"};
const int PRESSES = 60;

double NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Waits for a top-level window to map (type MapNotify) or unmap; false after timeoutMs.
bool WaitForMenu(Display* display, int type, double timeoutMs)
{
    double deadline = NowMs() + timeoutMs;
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == type)
                return true;
        }
        double left = deadline - NowMs();
        if (left <= 0)
            return false;
        int fd = ConnectionNumber(display);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait = {static_cast<long>(left / 1000), static_cast<long>(left * 1000) % 1000000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
}

void Button(Display* display, Bool down)
{
    XTestFakeButtonEvent(display, 1, down, CurrentTime);
    XFlush(display);
}

// Clicks "File" again until the posted menu is down and stays down: clicks that reach a
// busy window together may post it anew.
bool TakeMenuDown(Display* display)
{
    for (int tries = 0; tries < 3; tries++) {
        SleepMs(50);
        Button(display, True);
        Button(display, False);
        if (!WaitForMenu(display, UnmapNotify, 5000))
            return false;
        if (!WaitForMenu(display, MapNotify, 300))
            return true;
    }
    return false;
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    size_t at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

void BM_ClickDuringPolls(benchmark::State& state)
{
    MonsimProcess sim({"--connections", std::to_string(state.range(0)), "--seed", "7"});
    VantorHome home({sim.address()}, 1000);
    VantorDriver vantor(home.path());
    if (!vantor.Start() || !vantor.Keys(kStart)) {
        state.SkipWithError("vantor did not start monitoring");
        return;
    }
    Display* display = XOpenDisplay(nullptr);
    // Menus are top-level windows of their own: their mapping shows on the root window.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    // The first pass takes the rows into use; the clicks fall on the passes that follow.
    auto polls = [&sim] {
        int n = 0;
        for (const std::string& request : sim.requests())
            n += request == "request type=2 all=0";
        return n;
    };
    for (int waited = 0; polls() < 3 && waited < 120000; waited += 100)
        SleepMs(100);
    // The pointer over "File" in the menu bar.
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, vantor.window(), DefaultRootWindow(display), 15, 12, &x, &y,
                          &child);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    std::mt19937 random(7);
    std::vector<double> waits;
    for (auto _ : state) {
        for (int i = 0; i < PRESSES; i++) {
            SleepMs(100 + static_cast<int>(random() % 900)); // anywhere in the poll cycle
            while (XPending(display)) {
                XEvent stale;
                XNextEvent(display, &stale);
            }
            double pressed = NowMs();
            Button(display, True);
            if (!WaitForMenu(display, MapNotify, 5000)) {
                state.SkipWithError("the menu did not map within 5 s");
                break;
            }
            waits.push_back(NowMs() - pressed);
            Button(display, False); // the menu stays posted
            if (!TakeMenuDown(display)) {
                state.SkipWithError("the menu did not unmap within 5 s");
                break;
            }
        }
    }
    XCloseDisplay(display);
    if (waits.empty())
        return;
    state.counters["median_ms"] = Percentile(waits, 0.5);
    state.counters["p99_ms"] = Percentile(waits, 0.99);
    state.counters["max_ms"] = *std::max_element(waits.begin(), waits.end());
}
BENCHMARK(BM_ClickDuringPolls)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(450000) // with the ended ones, just under the 500,000 rows the window holds
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
