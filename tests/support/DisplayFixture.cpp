#include "tests/support/DisplayFixture.h"

#include <stdlib.h>
#include <unistd.h>

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>

static XtAppContext the_app = nullptr;
static Display* the_display = nullptr;
static std::vector<std::string> the_warnings;

static std::vector<std::string> the_warning_kinds;
static XtErrorMsgHandler the_default_warning_msg_handler = nullptr;

static void RecordWarning(String message)
{
    the_warnings.push_back(message ? message : "");
}

// Notes the name and type of a warning, then lets the default handler word it.
static void RecordWarningKind(String name, String type, String className, String text,
                              String* params, Cardinal* count)
{
    the_warning_kinds.push_back(std::string(name ? name : "") + "/" + (type ? type : ""));
    the_default_warning_msg_handler(name, type, className, text, params, count);
}

XtAppContext TestAppContext(const char* const* fallbackResources)
{
    if (the_app)
        return the_app;
    XtToolkitInitialize();
    the_app = XtCreateApplicationContext();
    if (fallbackResources)
        XtAppSetFallbackResources(the_app, const_cast<String*>(fallbackResources));
    XtAppSetWarningHandler(the_app, RecordWarning);
    the_default_warning_msg_handler = XtAppSetWarningMsgHandler(the_app, RecordWarningKind);
    int argc = 0;
    char* argv[] = {const_cast<char*>("vantor-test"), nullptr};
    the_display = XtOpenDisplay(the_app, nullptr, "vantor-test", "Vantor", nullptr, 0, &argc, argv);
    if (!the_display) {
        fprintf(stderr, "cannot open the X display (is DISPLAY set?)\n");
        exit(2);
    }
    return the_app;
}

Display* TestDisplay()
{
    TestAppContext();
    return the_display;
}

void DisplayFixture::SetUp()
{
    app = TestAppContext(FallbackResources());
    display = the_display;
    the_warnings.clear();
    the_warning_kinds.clear();
    shell = XtVaAppCreateShell("test", "Vantor", topLevelShellWidgetClass, display,
                               XtNallowShellResize, True, nullptr);
}

void DisplayFixture::TearDown()
{
    if (shell)
        XtDestroyWidget(shell);
    ProcessEvents();
}

void DisplayFixture::ProcessEvents()
{
    for (int round = 0; round < 3; round++) {
        XSync(display, False);
        while (XtAppPending(app) & XtIMXEvent) {
            XEvent event;
            XtAppNextEvent(app, &event);
            XtDispatchEvent(&event);
        }
    }
}

void DisplayFixture::ShowShell()
{
    XtRealizeWidget(shell);
    XtMapWidget(shell);
    WaitUntilViewable(shell);
}

void DisplayFixture::WaitUntilViewable(Widget w)
{
    for (int i = 0; i < 200; i++) {
        ProcessEvents();
        XWindowAttributes attributes;
        if (XtWindow(w) && XGetWindowAttributes(display, XtWindow(w), &attributes)
            && attributes.map_state == IsViewable)
            break;
        usleep(10000);
    }
    ProcessEvents();
}

void DispatchButton(Widget w, int type, int x, int y)
{
    Display* display = XtDisplayOfObject(w);
    XEvent event = {};
    event.xbutton.type = type;
    event.xbutton.display = display;
    event.xbutton.window = XtWindowOfObject(w);
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.x = x;
    event.xbutton.y = y;
    Window child;
    XTranslateCoordinates(display, event.xbutton.window, event.xbutton.root, x, y,
                          &event.xbutton.x_root, &event.xbutton.y_root, &child);
    event.xbutton.button = Button1;
    event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
    event.xbutton.same_screen = True;
    event.xbutton.time = CurrentTime;
    XtDispatchEvent(&event);
}

void DisplayFixture::Click(Widget button)
{
    ProcessEvents();
    int x = button->core.width / 2, y = button->core.height / 2;
    if (!XtIsWidget(button)) {
        x += button->core.x;
        y += button->core.y;
    }
    for (int type : {ButtonPress, ButtonRelease})
        DispatchButton(button, type, x, y);
    ProcessEvents();
}

const std::vector<std::string>& DisplayFixture::Warnings() const
{
    return the_warnings;
}

const std::vector<std::string>& DisplayFixture::WarningKinds() const
{
    return the_warning_kinds;
}
