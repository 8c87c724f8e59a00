// The monitoring cycle of the real application against the monitoring-service simulator:
// rows, ageing, traffic per service, the lost connection and the Start, Pause, Update Now
// and Stop transitions.
#include <gtest/gtest.h>

#include "tests/support/AppFixture.h"
#include "tests/support/MotifText.h"

#include <string.h>
#include <unistd.h>

#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include "core/Connection.h"
#include "app/MonChart.h"
#include "app/MonMenu.h"
#include "lib/monAPI.h"
#include "lib/monUnixTcp.h"
#include "toolkit/AxisObject.h"
#include "toolkit/Chart.h"
#include "toolkit/DataSampled.h"

namespace {

const long T = kStart;

int RequestsOf(const MonsimProcess& sim, const std::string& line)
{
    int n = 0;
    for (const std::string& request : sim.requests()) {
        n += request == line;
    }
    return n;
}

const char kPoll[] = "request type=2 all=0";

// Queues an X event whose handling runs action, as a menu choice waiting in the queue would.
void QueueUserAction(MonitorApp* app, void (*action)(MonitorApp*))
{
    static void (*pending)(MonitorApp*) = nullptr;
    pending = action;
    XtEventHandler handler = [](Widget, XtPointer clientData, XEvent* event, Boolean*) {
        if (event->type == ClientMessage && pending) {
            pending(static_cast<MonitorApp*>(clientData));
            pending = nullptr;
        }
    };
    XtAddEventHandler(app->shell, NoEventMask, True, handler, app);
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = XtWindow(app->shell);
    event.xclient.message_type = XInternAtom(XtDisplay(app->shell), "VANTOR_TEST_ACTION", False);
    event.xclient.format = 32;
    XSendEvent(XtDisplay(app->shell), XtWindow(app->shell), False, NoEventMask, &event);
    XSync(XtDisplay(app->shell), False);
}

// A connection to the web service (port 80), with further fields.
std::string Web(int key, const std::string& fields)
{
    return Conn(key, "dst=10.0.0.9:80 " + fields);
}

std::string At(const char* field, long seconds)
{
    return std::string(" ") + field + "=" + std::to_string(T + seconds);
}

class CycleTest : public AppTest {
protected:
    // Adds the simulator as the only server and starts monitoring it (one poll).
    SOCKS5* Start(MonsimProcess& sim)
    {
        EXPECT_EQ(app->AddSOCKS5(sim.address().c_str()), 1);
        app->chartView->ClearChart(); // a series per selected service, as the dialog does
        StartAndWait();
        return app->current;
    }

    // The newest chart sample of a service: the traffic the last poll accounted to it.
    float Newest(int service)
    {
        float* samples = XomDataSampledGetDataArray(app->chartView->series[service], 0, 1);
        float newest = samples ? samples[0] : -1.0f;
        XtFree((char*)samples);
        return newest;
    }

    // The used row of the connection with that key number.
    Connection* Row(int number)
    {
        for (int i = 0; i < app->connCapacity; i++) {
            Connection* row = &app->connBuffer[i];
            if (row->kind != CONN_FREE && KeyNumber(row) == number) {
                return row;
            }
        }
        return nullptr;
    }
};

} // namespace

TEST_F(CycleTest, RowsAreCreatedThenUpdatedInPlaceKeepingTheirFirstTexts)
{
    MonsimProcess sim(Script({
        Conn(1,
             "cur=" + std::to_string(T + 90061)
                 + " authen=2 src=10.1.2.3:1025 dst=10.9.9.9:80 proxy=10.0.0.1:1080 user=ann"),
        Conn(1,
             "start=" + std::to_string(T + 5) + " cur=" + std::to_string(T + 100)
                 + " authen=7 src=10.7.7.7:1025 dst=10.8.8.8:21 proxy=10.0.0.2:1080 user=ann")
            + Conn(2,
                   "cur=" + std::to_string(T)
                       + " src=named.example:1 dst=far.example:2 proxy=p.example:3 state=8 end="
                       + std::to_string(T - 59)),
    }));
    SOCKS5* server = Start(sim);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->status, SOCKS5_ENABLED | SOCKS5_CONNECTED);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(server->rowCount, 1);

    // The texts shown: authentication, start, the three addresses and the duration.
    auto texts = [](const Connection* row) {
        return std::vector<std::string>{row->authenText,  row->startText,     row->srcAddrText,
                                        row->dstAddrText, row->proxyAddrText, row->durationText};
    };
    char start[25];
    time_t t = T;
    strftime(start, sizeof start, "%H:%M:%S", localtime(&t));
    Connection* row = Row(1);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->kind, CONN_ACTIVE);
    EXPECT_EQ(
        texts(row),
        (std::vector<std::string>{"2", start, "10.1.2.3", "10.9.9.9", "10.0.0.1", "  1: 1: 1: 1"}));

    // An existing connection stays in its slot and keeps its first authentication, start
    // and source texts.
    Poll();
    EXPECT_EQ(Row(1), row);
    EXPECT_EQ(
        texts(row),
        (std::vector<std::string>{"2", start, "10.1.2.3", "10.8.8.8", "10.0.0.2", "  0: 0: 1:35"}));
    EXPECT_EQ(row->data.authen, 7);

    // Addresses given by name; an ended row's duration runs to its end, taken absolute.
    ASSERT_NE(Row(2), nullptr);
    EXPECT_EQ(
        texts(Row(2)),
        (std::vector<std::string>{"0", start, "0.0.0.0", "0.0.0.0", "0.0.0.0", "  0: 0: 0:59"}));
}

TEST_F(CycleTest, EndedRowsAreListedInTwoMorePollsFailedRowsCountAtOnceAndAgeOnlyWhileShown)
{
    MonsimProcess sim(Script({Conn(1) + Conn(2) + Conn(3, "state=12 errmsg=refused"),
                              Conn(1, "state=8 end=" + std::to_string(T + 3)) + Conn(2), Conn(2)}));
    SOCKS5* server = Start(sim);
    EXPECT_EQ(FieldText(app->activeText), "2");
    EXPECT_EQ(FieldText(app->failedText), "1");
    ASSERT_NE(Row(3), nullptr);
    EXPECT_EQ(Row(3)->kind, CONN_FAILED);
    // Row 1 is seen to end, listed once more, then freed; row 3, not on show, does not age.
    for (int active : {2, 2, 1}) {
        Poll();
        EXPECT_EQ(server->activeCount, active);
        EXPECT_EQ(FieldText(app->activeText), std::to_string(active));
        EXPECT_EQ(Row(1) != nullptr, active == 2);
        ASSERT_NE(Row(3), nullptr);
        EXPECT_EQ(Row(3)->age, RowAge::Listed);
        EXPECT_EQ(server->failedCount, 1);
    }
    EXPECT_EQ(server->rowCount, 2);
    server->setting.showFailed = 1; // "Show Failed"
    for (RowAge age : {RowAge::ListedAgain, RowAge::LastListed}) {
        Poll();
        ASSERT_NE(Row(3), nullptr);
        EXPECT_EQ(Row(3)->age, age);
        EXPECT_EQ(server->failedCount, 1);
    }
    Poll();
    EXPECT_EQ(Row(3), nullptr);
    EXPECT_EQ(FieldText(app->failedText), "0");
    EXPECT_EQ(server->rowCount, 1);
}

TEST_F(CycleTest, TrafficIsAccountedPerServiceWithUnmatchedPortsUnderOthers)
{
    auto pass = [](const std::string& webIn, const std::string& otherIn) {
        return Conn(1, "dst=10.0.0.1:80 out=24 in=" + webIn)
            + Conn(2, "dst=10.0.0.2:9999 out=0 in=" + otherIn);
    };
    // The last two passes: counters that wrap around 32 bits.
    MonsimProcess sim(Script({pass("1000", "10"), pass("1500", "10"),
                              pass("0xFFFFFF00", "0xFFFFFF00"), pass("0x100", "0x100")}));
    // Polls, and gives what Web (port 80) and Others got, as the chart shows it.
    auto poll = [this]() {
        Poll();
        return std::make_pair(Newest(3), Newest(0));
    };
    Start(sim);
    ASSERT_NE(Row(1), nullptr);
    // The first poll sets the baseline: bytes moved before it are no poll's traffic.
    EXPECT_EQ(Newest(3), 0.0f);
    EXPECT_EQ(Newest(0), 0.0f);
    for (float traffic : app->serviceTraffic)
        EXPECT_EQ(traffic, 0.0f); // handed to the chart
    EXPECT_EQ(poll(), std::make_pair(500.0f, 0.0f));
    poll();
    EXPECT_EQ(poll(), std::make_pair(512.0f, 512.0f));

    // In kilobytes the same growth counts a 1024th.
    app->current->setting.unitFactor = 1024.0f;
    Row(1)->lastTotalBytes -= 2048;
    EXPECT_EQ(poll(), std::make_pair(2.0f, 0.0f));

    // Two selected services on one port: the first in the list takes the traffic; one that
    // is not selected is passed over (its line stands still), and with none left it counts
    // under "Others".
    Setting& s = app->current->setting;
    s.serviceSelected[7] = 1;
    s.servicePort[7] = 80;
    s.serviceCount = 8;
    app->chartView->ClearChart(); // a line for the eighth service too
    const struct {
        int webSelected, seventhSelected;
        float web, seventh, others;
    } owners[] = {{1, 1, 1, 0, 0}, {0, 1, 0, 1, 0}, {0, 0, 0, 0, 1}};
    for (const auto& o : owners) {
        s.serviceSelected[3] = o.webSelected;
        s.serviceSelected[7] = o.seventhSelected;
        Row(1)->lastTotalBytes -= 1024;
        Poll();
        if (o.webSelected) {
            EXPECT_EQ(Newest(3), o.web);
        }
        if (o.seventhSelected) {
            EXPECT_EQ(Newest(7), o.seventh);
        }
        EXPECT_EQ(Newest(0), o.others);
    }
}

TEST_F(CycleTest, ALostConnectionKeepsTheRowsAndStopsTheTimers)
{
    MonsimProcess sim(Script({Conn(1) + Conn(2), "close\n", Conn(3)}));
    SOCKS5* server = Start(sim);
    EXPECT_NE(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_NE(server->spinTimer, SOCKS5_NO_TIMER);

    // The polling timer fires: the poll finds the connection gone.
    XtRemoveTimeOut(server->updateTimer);
    server->TimeOut();
    WaitForPass();
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: Connection unavailable to SOCKS5Server:  " + sim.address()}));
    EXPECT_EQ(server->status, SOCKS5_LOST);
    EXPECT_EQ(server->handle, nullptr);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->spinTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->rowCount, 2);
    EXPECT_EQ(server->activeCount, 2);
    EXPECT_EQ(LabelPixmap(app->workingLabel), app->pixmaps[4]) << "the new_rejection icon";
    for (int item = 0; item < ACTION_ITEMS; item++)
        EXPECT_EQ(XtIsSensitive(app->menu->actionItems[item]) != False, item == 0) << "Start alone";

    // Stop drops the rows kept after the loss; the server stays disabled.
    app->StopMonitoring();
    EXPECT_EQ(server->status, SOCKS5_LOST);
    EXPECT_EQ(server->rowCount, 0);
    EXPECT_EQ(server->activeCount, 0);
    for (int i = 0; i < app->connCapacity; i++)
        EXPECT_EQ(app->connBuffer[i].kind, CONN_FREE);
    EXPECT_TRUE(TakeMessages().empty());

    // Start on the failed server says so, as ever, and tries again in the same action.
    int accepted = RequestsOf(sim, "accept");
    StartAndWait();
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: Unable to connect SOCKS5Server:  " + sim.address()}));
    EXPECT_EQ(server->status, SOCKS5_ENABLED | SOCKS5_CONNECTED);
    EXPECT_EQ(RequestsOf(sim, "accept"), accepted + 1);
    EXPECT_EQ(server->rowCount, 1);
    ASSERT_NE(Row(3), nullptr);
    EXPECT_NE(server->updateTimer, SOCKS5_NO_TIMER);
}

TEST_F(CycleTest, AListThatNeverEndsOrTricklesCountsAsALostConnectionWithinItsLimit)
{
    // Each case shortens one limit; the others stay far away.
    struct Case {
        const char* fault;
        int records; // records a pass may bring
        int passMs;  // time a pass may take
        int frameMs; // time one record may take
    } cases[] = {
        {"endless", 500, 300000, 30000},
        {"endless", 2000000, 400, 30000},
        {"trickle", 2000000, 300000, 600}, // a byte every 200 ms keeps every read alive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " " + std::to_string(c.records) + " "
                     + std::to_string(c.passMs));
        std::vector<std::string> args = Script({Conn(1) + Conn(2) + Conn(3)});
        args.insert(args.end(), {"--fault", c.fault});
        MonsimProcess sim(args);
        MonitorApp::PassLimit kept = app->passLimit;
        app->passLimit.records = c.records;
        int keptPass = S5MonSetPassLimit(c.passMs);
        int keptFrame = Mon_TcpSetTimeout(c.frameMs);
        long long started = Mon_TcpClockMs();
        SOCKS5* server = Start(sim);
        long long took = Mon_TcpClockMs() - started;
        Mon_TcpSetTimeout(keptFrame);
        S5MonSetPassLimit(keptPass);
        app->passLimit = kept;
        EXPECT_LT(took, 5000);
        EXPECT_EQ(TakeMessages(),
                  (Messages{"Warning: Connection unavailable to SOCKS5Server:  " + sim.address()}));
        EXPECT_EQ(server->status & SOCKS5_CONNECTED, 0u);
        EXPECT_EQ(server->handle, nullptr);
        EXPECT_EQ(server->rowCount, std::string(c.fault) == "endless" ? 3 : 0)
            << "the records received are kept";
        app->RemoveSOCKS5(0);
        TakeMessages(); // the note that the monitored server was removed
    }
}

// Records are received a few at a time before they are filed; wherever a pass breaks off,
// the records that came before the break are all filed, in order, and no others. Beyond 25
// rows the row array grows and moves: the rows filed before keep their records.
TEST_F(CycleTest, EveryRecordBeforeAPassBreaksOffIsFiled)
{
    std::string pass;
    for (int key = 1; key <= 40; key++)
        pass += Conn(key);
    for (int limit : {1, 15, 16, 17, 37}) {
        SCOPED_TRACE("records allowed: " + std::to_string(limit));
        MonsimProcess sim(Script({pass}));
        MonitorApp::PassLimit kept = app->passLimit;
        app->passLimit.records = limit;
        SOCKS5* server = Start(sim);
        app->passLimit = kept;
        EXPECT_EQ(server->rowCount, limit);
        for (int key = 1; key <= 40; key++)
            EXPECT_EQ(Row(key) != nullptr, key <= limit) << "key " << key;
        EXPECT_EQ(Row(1), &app->connBuffer[0]) << "filed in the order received";
        EXPECT_EQ(Row(limit), &app->connBuffer[limit - 1]);
        app->RemoveSOCKS5(0);
        TakeMessages();
    }
}

TEST_F(CycleTest, RowsBeyondTheLimitAreLeftOutWithOneWarning)
{
    MonsimProcess sim(Script({Conn(1) + Conn(2) + Conn(3), Conn(1) + Conn(2) + Conn(4) + Conn(5)}));
    MonitorApp::PassLimit kept = app->passLimit;
    app->passLimit.rows = 2;
    SOCKS5* server = Start(sim);
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: SOCKS5Server " + sim.address()
                        + " sent more than 2 connections: the window shows only the first 2."}));
    EXPECT_EQ(server->rowCount, 2);
    EXPECT_NE(Row(1), nullptr);
    EXPECT_NE(Row(2), nullptr);
    Poll();
    app->passLimit = kept;
    EXPECT_EQ(TakeMessages(), Messages{}) << "said once";
    EXPECT_EQ(server->rowCount, 2);
    EXPECT_EQ(Row(4), nullptr);
    EXPECT_NE(server->status & SOCKS5_CONNECTED, 0u) << "monitoring goes on";
}

TEST_F(CycleTest, StartWithoutServerOrReachableServer)
{
    StartAndWait();
    EXPECT_EQ(TakeMessages(),
              (Messages{"Warning: No SCOSK5Server selected. Please choose a SOCKS5Server."}));

    // A port nobody listens on: the simulator is started and stopped to find one.
    std::string address = MonsimProcess(Script({""})).address();
    app->AddSOCKS5(address.c_str());
    StartAndWait();
    EXPECT_EQ(TakeMessages(), (Messages{"Warning: Unable to connect SOCKS5Server:  " + address}));
    EXPECT_EQ(app->current->status, SOCKS5_LOST);
    EXPECT_EQ(app->current->handle, nullptr);
    EXPECT_EQ(app->current->updateTimer, SOCKS5_NO_TIMER);
}

TEST_F(CycleTest, PauseThenUpdateNowPollsOnceAndPauseThenStartResumes)
{
    MonsimProcess sim(Script({Conn(1)}));
    SOCKS5* server = Start(sim);
    EXPECT_EQ(RequestsOf(sim, kPoll), 1);

    app->PauseMonitoring();
    EXPECT_EQ(server->status, SOCKS5_ENABLED | SOCKS5_CONNECTED | SOCKS5_PAUSED);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->spinTimer, SOCKS5_NO_TIMER);

    Poll(); // "Update Now"
    EXPECT_EQ(RequestsOf(sim, kPoll), 2);
    EXPECT_EQ(server->status & SOCKS5_PAUSED, SOCKS5_PAUSED);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);

    StartAndWait();
    EXPECT_EQ(RequestsOf(sim, kPoll), 3);
    EXPECT_EQ(RequestsOf(sim, "accept"), 1) << "the open connection is reused";
    EXPECT_EQ(server->status, SOCKS5_ENABLED | SOCKS5_CONNECTED);
    EXPECT_NE(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_NE(server->spinTimer, SOCKS5_NO_TIMER);
}

TEST_F(CycleTest, StopDropsTheRowsAndClosesTheConnection)
{
    std::string rows;
    for (int k = 1; k <= 30; k++)
        rows += Conn(k);
    MonsimProcess sim(Script({rows}));
    SOCKS5* server = Start(sim);
    app->StopMonitoring();
    EXPECT_EQ(server->status, SOCKS5_ENABLED);
    EXPECT_EQ(server->handle, nullptr);
    EXPECT_EQ(server->rowCount, 0);
    EXPECT_EQ(server->rows, nullptr);
    EXPECT_EQ(server->activeRows, nullptr);
    EXPECT_EQ(server->activeCount, 0);
    EXPECT_EQ(app->connCapacity, 25);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    for (int i = 0; i < app->connCapacity; i++)
        EXPECT_EQ(app->connBuffer[i].kind, CONN_FREE);
    // The counts go with the rows: none stays beside the empty table.
    EXPECT_EQ(FieldText(app->activeText), "");
    EXPECT_EQ(FieldText(app->failedText), "");
    for (int tries = 0; tries < 50 && RequestsOf(sim, "close") == 0; tries++)
        usleep(20000);
    EXPECT_EQ(RequestsOf(sim, "close"), 1);

    // A new interval set while stopped ("General Settings") starts both timers; Stop
    // ends them even though the server is not connected.
    server->UpdateTime(4);
    EXPECT_NE(server->updateTimer, SOCKS5_NO_TIMER);
    app->StopMonitoring();
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->spinTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->status, SOCKS5_ENABLED);

    // Started again, the rows come back from the server.
    StartAndWait();
    EXPECT_EQ(server->rowCount, 30);
}

TEST_F(CycleTest, ParkedRowsComeBackFromTheTemporaryFile)
{
    MonsimProcess sim(Script({Conn(1, "user=p1") + Conn(2, "user=p2") + Conn(3, "user=p3")}));
    SOCKS5* server = Start(sim);
    app->clearupSOCKS5();
    EXPECT_EQ(server->status & SOCKS5_PAUSED, SOCKS5_PAUSED);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    ASSERT_GE(server->tmpFd, 0);
    memset(app->connBuffer, 0, sizeof(Connection) * app->connCapacity);
    app->RestoreConnectionList();
    ASSERT_NE(Row(3), nullptr);
    EXPECT_STREQ(Row(3)->data.userName, "p3");
    EXPECT_EQ(server->rowCount, 3);
}

TEST_F(CycleTest, APauseOrStopWaitingWhenATimerFiresIsNotUndone)
{
    MonsimProcess sim(Script({Conn(1)}));
    SOCKS5* server = Start(sim);
    QueueUserAction(app, [](MonitorApp* a) { a->PauseMonitoring(); });
    XtRemoveTimeOut(server->updateTimer); // as if it had fired: its handler runs now
    server->TimeOut();                    // drains the queued Pause first
    WaitForPass();
    EXPECT_EQ(server->status & SOCKS5_PAUSED, SOCKS5_PAUSED);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->spinTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(RequestsOf(sim, kPoll), 1) << "no poll after the Pause";

    StartAndWait();
    ASSERT_NE(server->spinTimer, SOCKS5_NO_TIMER);
    QueueUserAction(app, [](MonitorApp* a) { a->StopMonitoring(); });
    XtRemoveTimeOut(server->spinTimer);
    server->SpinTimeOut();
    EXPECT_EQ(server->spinTimer, SOCKS5_NO_TIMER);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
}

TEST_F(CycleTest, ConnectionsTheServerKeepsListingCountOnceAndHoldNoMemoryForAHundredPolls)
{
    // Connection 1 is open at the first poll and has ended by the second; connection 2
    // started and ended between the two; ten connections failed. The server then lists
    // them all, unchanged, for ever.
    std::string retained = Web(1, "state=8 in=6000" + At("cur", 2) + At("end", 2))
        + Web(2, "state=8 in=700" + At("start", 2) + At("cur", 2) + At("end", 2));
    for (int k = 10; k < 20; k++)
        retained += Conn(k, "state=12 errmsg=refused" + At("end", k) + At("cur", 2));
    MonsimProcess sim(Script({Web(1, "in=1000" + At("cur", 1)), retained}));
    EXPECT_EQ(app->AddSOCKS5(sim.address().c_str()), 1);
    SOCKS5* server = app->current;
    server->setting.maxRejected = 3;
    app->chartView->ClearChart();
    StartAndWait();
    EXPECT_EQ(Newest(3), 0.0f) << "the first poll sets the baseline";
    Poll();
    EXPECT_EQ(Newest(3), 5000.0f + 700.0f) << "growth of 1, all of 2";
    EXPECT_EQ(server->failedCount, 3);
    int capacity = app->connCapacity;

    // What a user may do meanwhile: none of it brings a row back or adds traffic.
    MonMenu* menu = app->menu;
    auto view = [menu](int entry) { menu->ViewSelect(menu->viewToggles[0], entry, true); };
    // Polls that listed active connections since the ended ones were last seen to be ended
    // or last listed: an ended row is listed while active rows are shown, in the poll that
    // sees it end and the next, and waits while failed rows are shown.
    int activePolls = 2;
    for (int poll = 3; poll <= 102; poll++) {
        switch (poll % 12) {
        case 0:
            app->setSortType(poll % 24 ? SORT_BY_TOTAL_TRAFFIC : SORT_BY_SOURCE);
            break;
        case 1:
            app->setNodeType(poll % 24 == 1 ? NODE_IP_ADDRESSES : NODE_HOST_NAMES);
            break;
        case 2:
            app->setUnitType(poll % 24 == 2 ? UNIT_KILOBYTES : UNIT_BYTES);
            break;
        case 3:
            view(VIEW_SHOW_FAILED);
            break;
        case 5:
            view(VIEW_SHOW_ACTIVE);
            activePolls = 1;
            break;
        case 6:
            view(VIEW_TABLE_ONLY);
            break;
        case 7:
            view(VIEW_GRAPH_ONLY);
            break;
        case 8:
            view(VIEW_TABLE_AND_GRAPH);
            break;
        case 9:
            app->StopMonitoring();
            StartAndWait();
            activePolls = 1;
            EXPECT_EQ(Newest(3), 0.0f) << "poll " << poll << ": a new run's baseline";
            break;
        default:
            break;
        }
        Poll();
        activePolls += server->setting.showFailed == 0;
        SCOPED_TRACE("poll " + std::to_string(poll));
        EXPECT_EQ(Newest(3), 0.0f);
        EXPECT_EQ(Newest(0), 0.0f);
        EXPECT_LE(server->failedCount, 3);
        EXPECT_LE(server->rowCount, 5);
        EXPECT_EQ(app->connCapacity, capacity);
        EXPECT_LE(app->ledger.RetiredCount(), 12u);
        if (activePolls >= 3 && server->setting.showFailed == 0) {
            EXPECT_EQ(server->activeCount, 0);
            EXPECT_EQ(FieldText(app->activeText), "0");
        }
    }
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(CycleTest, AConnectionFirstSeenCountsWholeOnlyWhenItStartedAfterThePreviousPoll)
{
    // At the second poll two connections are new to the window: one started before the
    // first poll (at which the server did not list it), one after it.
    MonsimProcess sim(
        Script({Web(1, "in=100" + At("cur", 10)),
                Web(1, "in=150" + At("cur", 20))
                    + Conn(2, "dst=10.0.0.2:9999 in=700" + At("start", 5) + At("cur", 20))
                    + Web(3, "in=300" + At("start", 10) + At("cur", 20))}));
    Start(sim);
    Poll();
    EXPECT_EQ(Newest(3), 50.0f + 300.0f);
    EXPECT_EQ(Newest(0), 0.0f);
    Poll();
    EXPECT_EQ(Newest(3), 0.0f);
    EXPECT_EQ(Newest(0), 0.0f);
}

TEST_F(CycleTest, AServerSwitchLeavesNoCountScaleOrUnitOfTheServerLeft)
{
    MonsimProcess first(Script({Web(1, "in=0"), Web(1, "in=5000000") + Conn(2, "state=12")}));
    MonsimProcess second(Script({Web(7, "in=10")}));
    SOCKS5* server = Start(first);
    ASSERT_EQ(app->AddSOCKS5(second.address().c_str()), 1);
    app->setUnitType(UNIT_KILOBYTES);
    Poll();
    Widget axis = XomChartGetComponent(app->chartView->chartObject, XomCHART_LEFT_AXIS);
    auto limit = [axis]() {
        float* limits = NULL;
        XtVaGetValues(axis, XomNlimits, &limits, NULL);
        return limits ? limits[1] : -1.0f;
    };
    auto label = [axis]() {
        String text = NULL;
        XtVaGetValues(axis, XomNlabel, &text, NULL);
        return std::string(text ? text : "");
    };
    EXPECT_GT(limit(), 4000.0f);
    EXPECT_EQ(label(), "Network Incremental Traffic  (KBytes/Elapse)");
    EXPECT_EQ(FieldText(app->activeText), "1");
    EXPECT_EQ(FieldText(app->failedText), "1");

    app->menu->ServerSelect(1);
    ASSERT_NE(app->current, server);
    EXPECT_EQ(FieldText(app->activeText), "");
    EXPECT_EQ(FieldText(app->failedText), "");
    EXPECT_EQ(limit(), 10.0f);
    EXPECT_EQ(label(), "Network Incremental Traffic  (Bytes/Elapse)");
    StartAndWait();
    EXPECT_EQ(FieldText(app->activeText), "1");
    EXPECT_EQ(FieldText(app->failedText), "0");
    EXPECT_EQ(Newest(3), 0.0f);
}

TEST_F(CycleTest, APassGoesOnBetweenEventsNoSecondStartsInsideItAndStopEndsIt)
{
    // Ten records, one every 2 seconds: the pass is under way for 20 seconds.
    MonsimProcess sim({"--fault", "slow", "--script",
                       MonsimProcess::writeTempFile("one.txt", "pass\n" + Web(1, "in=10"))});
    EXPECT_EQ(app->AddSOCKS5(sim.address().c_str()), 1);
    SOCKS5* server = app->current;
    app->StartMonitoring();
    EXPECT_TRUE(app->PassInProgress());
    EXPECT_EQ(server->status, SOCKS5_ENABLED | SOCKS5_CONNECTED | SOCKS5_BUSY);
    EXPECT_FALSE(WaitForPass(2500)) << "still under way";
    EXPECT_EQ(server->rowCount, 1) << "the first record is filed as it comes";

    // Update Now and the polling timer start nothing inside the pass.
    app->RunMonitoring();
    server->TimeOut();
    EXPECT_EQ(RequestsOf(sim, kPoll), 1);
    EXPECT_NE(server->updateTimer, SOCKS5_NO_TIMER) << "the timer goes on";

    app->StopMonitoring();
    EXPECT_FALSE(app->PassInProgress());
    EXPECT_EQ(server->status, SOCKS5_ENABLED);
    EXPECT_EQ(server->handle, nullptr);
    EXPECT_EQ(server->rowCount, 0);
    EXPECT_EQ(server->updateTimer, SOCKS5_NO_TIMER);
    EXPECT_TRUE(TakeMessages().empty());
    // The simulator sees the close when it next writes, 2 seconds apart.
    for (int tries = 0; tries < 200 && RequestsOf(sim, "close") == 0; tries++)
        usleep(20000);
    EXPECT_EQ(RequestsOf(sim, "close"), 1);

    // A server removed in the middle of its pass takes the pass with it.
    app->StartMonitoring();
    EXPECT_TRUE(app->PassInProgress());
    for (int tries = 0; tries < 100 && RequestsOf(sim, kPoll) < 2; tries++)
        usleep(20000);              // the simulator logs the request as it reads it
    app->setSortType(SORT_BY_USER); // a redraw inside the pass starts no other
    app->RunMonitoring();
    usleep(200000);
    EXPECT_EQ(RequestsOf(sim, kPoll), 2);
    app->RemoveSOCKS5(0);
    EXPECT_FALSE(app->PassInProgress());
    EXPECT_EQ(app->current, nullptr);
    EXPECT_TRUE(WaitForPass(100));
    EXPECT_EQ(
        TakeMessages(),
        (Messages{"Information: Removed the SOCKS5Server you were monitoring:  " + sim.address()}));
}
