// The entry point: the command line, the X Toolkit with the built-in resource defaults,
// the one MonitorApp, and the event loop for the rest of the process's life.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <Xm/Xm.h>

#include "app/FallbackResources.h"
#include "app/MonitorApp.h"
#include "app/util.h"

static void version()
{
    fputs("Vantor Version 1.0\n", stdout);
    exit(0);
}

// Any other argument is a mistake: the window takes all its settings from files and resources.
static void usage()
{
    fputs("usage: vantor ", stderr);
    fputs("[-v|--version] ", stderr);
    fputs("[-h|--help] ", stderr);
    fputs("\n ", stderr);
    exit(-1);
}

int main(int argc, char** argv)
{
    // Only the first argument counts, and none reaches the toolkit.
    if (argc > 1) {
        if (strcmp(argv[1], "-v") == 0 || strcmp(argv[1], "--version") == 0)
            version();
        usage();
    }

    // Xt wants the defaults as a list ending in NULL.
    String fallback[FALLBACK_RESOURCE_COUNT + 1];
    for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++)
        fallback[i] = (String)FALLBACK_RESOURCES[i];
    fallback[FALLBACK_RESOURCE_COUNT] = NULL;

    // The toolkit is given no arguments (any were refused above): the display comes from DISPLAY.
    int toolkitArgc = 0;
    Widget topLevel =
        XtVaAppInitialize(&monitor_app, "Vantor", NULL, 0, &toolkitArgc, argv, fallback, NULL);
    XtVaSetValues(topLevel, XmNgeometry, "+5+5", NULL);
    // Lives until Exit deletes it, which also ends the process.
    new MonitorApp(topLevel, (char*)"Vantor");

    // The loop is written out, not XtAppMainLoop, so that a click outside a modal panel can beep
    // before Xt's grab discards it.
    for (;;) {
        XEvent event;
        XtAppNextEvent(monitor_app, &event);
        if (event.type == ButtonPress)
            BeepPointerSelection(&event);
        XtDispatchEvent(&event);
    }
}
