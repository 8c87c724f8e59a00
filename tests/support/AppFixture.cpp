#include "tests/support/AppFixture.h"

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <X11/IntrinsicP.h>
#include <X11/CoreP.h>
#include <Xm/MessageB.h>
#include <Xm/Xm.h>

#include "tests/support/MotifText.h"
#include "app/FallbackResources.h"
#include "app/MonTable.h"
#include "toolkit/EditTable.h"
#include "lib/monUnixTcp.h"

namespace {

Widget topLevel = nullptr;
MonitorApp* theApp = nullptr;
std::string home;

void CollectMessages(Widget w, std::vector<std::pair<Widget, std::string>>* found)
{
    if (!w || w->core.being_destroyed) {
        return;
    }
    if (XmIsMessageBox(w)) {
        std::string m = std::string(XtName(w)) + ": " + ShownText(w, XmNmessageString);
        if (m.back() == '\n') {
            m.pop_back();
        }
        Widget panel = w;
        while (panel && !XtIsShell(panel)) {
            panel = XtParent(panel);
        }
        found->push_back({panel, m});
        return;
    }
    if (!XtIsWidget(w)) {
        return; // a gadget: no pop-ups, no children
    }
    for (Cardinal i = 0; i < w->core.num_popups; i++) {
        CollectMessages(w->core.popup_list[i], found);
    }
    if (XtIsComposite(w)) {
        CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
        for (Cardinal i = 0; i < c->composite.num_children; i++) {
            CollectMessages(c->composite.children[i], found);
        }
    }
}

} // namespace

MonitorApp* TheApp()
{
    if (theApp) {
        return theApp;
    }
    char pattern[] = "/tmp/vantor-core-home-XXXXXX";
    home = mkdtemp(pattern);
    setenv("HOME", home.c_str(), 1);
    atexit([] { system(("rm -rf '" + home + "'").c_str()); });

    static String fallback[FALLBACK_RESOURCE_COUNT + 1];
    for (int i = 0; i < FALLBACK_RESOURCE_COUNT; i++) {
        fallback[i] = (String)FALLBACK_RESOURCES[i];
    }
    static char name[] = "vantor";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    topLevel = XtVaAppInitialize(&monitor_app, "Vantor", NULL, 0, &argc, argv, fallback, NULL);
    theApp = new MonitorApp(topLevel, (char*)"Vantor");
    ProcessEvents();
    return theApp;
}

std::string TestHome()
{
    TheApp();
    return home;
}

void ProcessEvents()
{
    XSync(XtDisplay(TheApp()->shell), False);
    while (XtAppPending(monitor_app) & XtIMXEvent) {
        XtAppProcessEvent(monitor_app, XtIMXEvent);
    }
}

void Settle()
{
    for (int i = 0; i < 10; i++) {
        ProcessEvents();
        usleep(10000);
    }
}

bool WaitForPass(int timeoutMs)
{
    MonitorApp* app = TheApp();
    long long deadline = Mon_TcpClockMs() + timeoutMs;
    // What the event loop does: X events, the pass's input source, time-outs and work
    // procedures (a pass always has one of the last three waiting).
    while (app->PassInProgress() && Mon_TcpClockMs() < deadline)
        XtAppProcessEvent(monitor_app, XtIMAll);
    return !app->PassInProgress();
}

void Poll()
{
    TheApp()->RunMonitoring();
    EXPECT_TRUE(WaitForPass()) << "the poll did not end";
}

void StartAndWait()
{
    TheApp()->StartMonitoring();
    EXPECT_TRUE(WaitForPass()) << "the first poll did not end";
}

Messages TakeMessages()
{
    std::vector<std::pair<Widget, std::string>> found;
    CollectMessages(TheApp()->shell, &found);
    CollectMessages(topLevel, &found);
    Messages messages;
    for (auto& f : found) {
        messages.push_back(f.second);
        XtDestroyWidget(f.first);
    }
    ProcessEvents();
    return messages;
}

void RemoveAllServers()
{
    MonitorApp* app = TheApp();
    if (app->socks5Panel) {
        XtDestroyWidget(app->socks5Panel);
        ProcessEvents();
    }
    while (app->serverCount > 0) {
        app->RemoveSOCKS5(app->serverCount - 1);
    }
    TakeMessages();
    for (float& traffic : app->serviceTraffic) {
        traffic = 0;
    }
}

std::string Conn(int key, const std::string& fields)
{
    return "conn key=" + std::to_string(key) + " start=" + std::to_string(kStart) + " " + fields
        + "\n";
}

int KeyNumber(const Connection* row)
{
    uint16_t low; // the simulator keeps the number's low half in bytes 8 and 9
    memcpy(&low, row->data.key.key + 8, 2);
    return low;
}

std::vector<std::string> Script(const std::vector<std::string>& passes)
{
    std::string text;
    for (const std::string& pass : passes) {
        text += "pass\n" + pass;
    }
    return {"--script", MonsimProcess::writeTempFile("script.txt", text)};
}

void AppTest::SetUp()
{
    app = TheApp();
    RemoveAllServers();
}

void AppTest::TearDown()
{
    RemoveAllServers();
}

int AppTest::Rows()
{
    int rows = 0;
    XtVaGetValues(app->tableView->table, XomNnumberOfRows, &rows, NULL);
    return rows;
}

std::string AppTest::Cell(int column, int row)
{
    char* text = (char*)XomEditTableGetCellData(app->tableView->table, column, row);
    std::string result = text ? text : "";
    free(text);
    return result;
}

std::string AppTest::Title()
{
    char* title = nullptr;
    XtVaGetValues(app->tableView->table, XomNtitleString, &title, NULL);
    return title ? title : "";
}

SOCKS5* AppTest::StartShowing(MonsimProcess& sim)
{
    EXPECT_EQ(app->AddSOCKS5(sim.address().c_str()), 1);
    app->tableView->RestoreTable(1); // as the server list does for its first server
    StartAndWait();
    ProcessEvents();
    return app->current;
}
