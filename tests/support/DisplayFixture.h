// The fixture of in-process widget tests: one X Toolkit application context and display
// for the whole test program (Motif keeps per-display state), and a fresh top-level shell
// per test, destroyed afterwards.
#ifndef VANTOR_TEST_DISPLAY_FIXTURE_H
#define VANTOR_TEST_DISPLAY_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <X11/Intrinsic.h>

// The program's application context and display, opened on first use with the given
// fallback resources (only the first call's list counts).
XtAppContext TestAppContext(const char* const* fallbackResources = nullptr);
Display* TestDisplay();

// A button-1 press or release at (x, y) of a widget's window, with the root coordinates
// Motif reads the pointer's place from, dispatched as the event loop would.
void DispatchButton(Widget w, int type, int x, int y);

class DisplayFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Fallback resources for the display, if the test program needs them.
    virtual const char* const* FallbackResources() const { return nullptr; }

    // Handles every pending event, then waits for the server to catch up, a few times.
    void ProcessEvents();
    // Realizes the shell, maps it and waits until it is shown.
    void ShowShell();
    // Waits until a widget's window is shown (a few seconds at most).
    void WaitUntilViewable(Widget w);
    // Clicks a button the way the event loop delivers a click (so that what the button
    // destroys goes only at the end of the dispatch).
    void Click(Widget button);

    // X Toolkit warnings issued since the test started.
    const std::vector<std::string>& Warnings() const;
    // "name/type" of the warnings issued through XtAppWarningMsg since the test started.
    const std::vector<std::string>& WarningKinds() const;

    XtAppContext app = nullptr;
    Display* display = nullptr;
    Widget shell = nullptr;
};

#endif
