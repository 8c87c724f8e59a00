// vantor-proxy and vantor-mon as users run them: curl relays through the proxy to a local
// HTTP server, and the monitoring service (read through the client library, vantor-mon
// and raw frames) lists exactly what happened.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <cstring>
#include <set>
#include <thread>

#include "tests/support/MonsimProcess.h"
#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/TestHttpServer.h"
#include "tests/tools/ToolRuns.h"
#include "lib/monAPI.h"
#include "lib/monMsg.h"
#include "lib/monUnixTcp.h"
#include "tests/support/Unresolvable.h"

namespace {

// Asks the proxy count times for a port nothing listens on, each connection closed at once:
// as many failed records. False when a connection to the proxy itself failed.
bool openRefusedConnections(const ProxyProcess& proxy, int count)
{
    for (int i = 0; i < count; ++i) {
        int reply = -1;
        int fd = socksOpen(proxy.socksPort(), unusedPort(), 1, &reply);
        if (fd < 0)
            return false;
        close(fd);
    }
    return true;
}

// Every field of `expected` has its value in `actual`.
void expectFields(CsvRow actual, const CsvRow& expected)
{
    for (const auto& field : expected)
        EXPECT_EQ(actual[field.first], field.second) << field.first;
}

// Asks a monitor connection for the connection list: the length of the first frame of the
// answer (0 while the proxy lists nothing), or -1.
int listAnswer(int fd)
{
    const char list[] = {MON_MSG_GET_NEXT_CONN, 0};
    char frame[2048];
    return Mon_TcpSend(fd, 2, list) == 4 ? Mon_TcpRecv(fd, sizeof frame, frame) : -1;
}

// Reads until the peer closes or an error; false if it is still open after the time limit.
bool closedByPeer(int fd, int seconds)
{
    timeval tv{seconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char buf[65536];
    for (;;) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno == ECONNRESET))
            return true;
        if (n < 0)
            return false;
    }
}

} // namespace

TEST(CurlThroughProxy, TransfersAndFailedDestinationsAreListedExactly)
{
    TestHttpServer http(patternBody(300000));
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    EXPECT_EQ(proxy.log(),
              "vantor-proxy: SOCKS on " + proxy.socksAddress() + ", monitoring on "
                  + proxy.monitorAddress()
                  + "; 0 client rules, 0 request rules, 0 monitor-allow blocks, no "
                    "authentication\n");
    const std::string web = std::to_string(http.port()), closed = std::to_string(unusedPort());
    struct Case {
        std::string option, host, port;
        CsvRow fields;
    };
    const Case cases[] = {
        {"--socks5", "127.0.0.1", web, {{"destination", "127.0.0.1:" + web}, {"service", web}}},
        // The proxy resolves the name and keeps it as the host asked for.
        {"--socks5-hostname",
         "localhost",
         web,
         {{"destination", "127.0.0.1:" + web}, {"service", web}}},
        {"--socks5",
         "127.0.0.1",
         closed,
         {{"destination", "127.0.0.1:" + closed},
          {"service", closed},
          {"state", "12"},
          {"socks_err", "5"},
          {"error", "Connection refused"}}},
        {"--socks5-hostname",
         UnresolvableHostName(),
         "8080",
         {{"destination", UnresolvableHostName() + ":8080"},
          {"service", "http-alt"},
          {"state", "12"},
          {"socks_err", "4"},
          {"error", "Host unreachable"}}},
    };
    for (const Case& c : cases) {
        ProcessResult r =
            curl({c.option, proxy.socksAddress()}, "http://" + c.host + ":" + c.port + "/file");
        bool refused = c.fields.count("error");
        EXPECT_EQ(r.exitStatus != 0, refused) << c.option << " " << c.host;
        EXPECT_TRUE(r.out == (refused ? "" : http.body()))
            << "body of " << r.out.size() << " bytes differs";
    }

    std::vector<CsvRow> rows = endedRows(proxy, 4);
    std::vector<TestHttpServer::Exchange> exchanges = http.exchanges();
    ASSERT_EQ(exchanges.size(), 2u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].option + " " + cases[i].host);
        CsvRow expected = cases[i].fields;
        expected.insert({{"state", "8"},
                         {"socks_err", "0"},
                         {"error", ""},
                         {"cmd", "1"},
                         {"authen", "0"},
                         {"in", i < 2 ? std::to_string(exchanges[i].sent) : "0"},
                         {"out", i < 2 ? std::to_string(exchanges[i].received) : "0"},
                         {"proxy", proxy.socksAddress()},
                         {"srchost", "127.0.0.1"},
                         {"dsthost", cases[i].host}});
        expectFields(rows[i], expected);
        EXPECT_EQ(rows[i]["source"].rfind("127.0.0.1:", 0), 0u) << rows[i]["source"];
        EXPECT_GE(std::atol(rows[i]["end"].c_str()), std::atol(rows[i]["start"].c_str()));
        EXPECT_GE(std::atol(rows[i]["cur"].c_str()), std::atol(rows[i]["end"].c_str()));
        EXPECT_EQ(rows[i]["status"], expected["state"] == "8" ? "ended" : "failed");
    }
    // Each ended connection is logged: who asked for what by name, the address and the bytes.
    EXPECT_TRUE(proxy.waitForLog("vantor-proxy: connect " + rows[1]["source"]
                                 + " -> localhost:" + web + " [127.0.0.1:" + web
                                 + "]: " + std::to_string(exchanges[1].received) + " bytes out, "
                                 + std::to_string(exchanges[1].sent) + " bytes in, "))
        << proxy.log();
    EXPECT_TRUE(proxy.stop());
}

TEST(CurlThroughProxy, UsernamePasswordAcceptedAndRefused)
{
    TestHttpServer http("hello\n");
    std::string users =
        MonsimProcess::writeTempFile("users", "# who may relay\nalice s3cret\nbob hunter2\n");
    ProxyProcess proxy({"--users", users});
    ASSERT_TRUE(proxy.started());
    struct Case {
        std::vector<std::string> login;
        CsvRow fields;
    };
    const Case cases[] = {
        {{"--proxy-user", "alice:s3cret"},
         {{"state", "8"}, {"authen", "2"}, {"user", "alice"}, {"error", ""}}},
        {{"--proxy-user", "alice:wrong"},
         {{"state", "12"}, {"authen", "2"}, {"user", "alice"}, {"error", "Authentication failed"}}},
        {{"--proxy-user", "mallory:guess"}, {{"state", "12"}, {"error", "Authentication failed"}}},
        {{},
         {{"state", "12"},
          {"authen", "255"},
          {"user", ""},
          {"error", "No acceptable authentication method"}}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> options = {"--socks5", proxy.socksAddress()};
        options.insert(options.end(), c.login.begin(), c.login.end());
        ProcessResult r = curl(options, "http://127.0.0.1:" + std::to_string(http.port()) + "/");
        EXPECT_EQ(r.out, c.fields.at("error").empty() ? "hello\n" : "") << r.exitStatus;
    }
    EXPECT_EQ(http.exchanges().size(), 1u); // refused clients never reached the server

    std::vector<CsvRow> rows = endedRows(proxy, 4);
    for (size_t i = 0; i < 4; ++i)
        expectFields(rows[i], cases[i].fields);

    S5MonHandle h = nullptr;
    ASSERT_EQ(S5MonNetOpen(proxy.monitorAddress().c_str(), 0, &h), 0);
    S5MonUser_t u{};
    std::strcpy(u.userName, "alice");
    ASSERT_EQ(S5MonGetUser(h, &u), 0);
    EXPECT_EQ(u.totConns, 2u); // a refused password is a failed connection of the user
    EXPECT_EQ(u.errConns, 1u);
    EXPECT_EQ(u.endConns, 1u);
    EXPECT_EQ(std::to_string(u.inTotBytes), rows[0]["in"]);
    std::strcpy(u.userName, "bob");
    EXPECT_EQ(S5MonGetUser(h, &u), -1); // answered by an empty frame: no such user
    S5MonClose(h);

    // Made-up names are counted in the totals only, so that they cannot grow the list.
    std::vector<CsvRow> userRows = monCsv(proxy, {"--users"});
    ASSERT_EQ(userRows.size(), 1u);
    expectFields(userRows[0], {{"user", "alice"}, {"tot_conns", "2"}, {"err_conns", "1"}});
    std::vector<CsvRow> totals = monCsv(proxy, {"--totals"});
    ASSERT_EQ(totals.size(), 1u);
    expectFields(totals[0], {{"err_conns", "3"}, {"tot_users", "1"}});
    EXPECT_TRUE(proxy.waitForLog("vantor-proxy: - mallory@127.0.0.1:")) << proxy.log();
}

TEST(ProxyMonitoring, AnswersFrameByFrame)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    int mon = connectLoopback(proxy.monitorPort());
    ASSERT_GT(mon, 0);
    char buf[2048];
    const char list[] = {MON_MSG_GET_NEXT_CONN, 0};
    EXPECT_EQ(listAnswer(mon), 0); // no connections: one empty frame

    // An unsupported command is refused and listed; the record can be fetched by its key.
    int reply = -1;
    int fd = socksOpen(proxy.socksPort(), 9, 4 /* no such command */, &reply);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(reply, 7);
    close(fd);
    Records records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].socksCmd, 4u);
    EXPECT_EQ(records[0].socksErr, 7u);
    EXPECT_STREQ(records[0].socksErrMsg, "Command not supported");

    char get[MON_GET_CONN_LEN] = {MON_MSG_GET_CONN};
    std::memcpy(get + 1, records[0].key.key, 10);
    ASSERT_EQ(Mon_TcpSend(mon, sizeof get, get), int(sizeof get + 2));
    int len = Mon_TcpRecv(mon, sizeof buf, buf);
    ASSERT_GT(len, MON_CONN_FIXED_LEN);
    S5MonData d;
    Mon_MsgToConnLen(&d, buf, uint16_t(len));
    EXPECT_EQ(std::memcmp(d.key.key, records[0].key.key, 10), 0);
    EXPECT_EQ(d.socksErr, 7u);
    get[5] ^= 0x7f; // a key that names no connection
    ASSERT_EQ(Mon_TcpSend(mon, sizeof get, get), int(sizeof get + 2));
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0);

    // Pipelined requests are answered in order.
    const char two[] = {0, 2, MON_MSG_GET_NEXT_CONN, 0, 0, 3, MON_MSG_GET_NEXT_USER, 1, 0};
    ASSERT_EQ(send(mon, two, sizeof two, 0), ssize_t(sizeof two));
    EXPECT_GT(Mon_TcpRecv(mon, sizeof buf, buf), 0);
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0);
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0); // no users
    close(mon);

    // A monitor that shuts down its sending side after the request still gets the whole
    // answer, and then the end of the connection.
    int oneShot = connectLoopback(proxy.monitorPort());
    ASSERT_EQ(Mon_TcpSend(oneShot, 2, list), 4);
    shutdown(oneShot, SHUT_WR);
    EXPECT_GT(Mon_TcpRecv(oneShot, sizeof buf, buf), 0);
    EXPECT_EQ(Mon_TcpRecv(oneShot, sizeof buf, buf), 0);
    EXPECT_TRUE(closedByPeer(oneShot, 5));
    close(oneShot);
}

TEST(ProxyMonitoring, ThousandConcurrentConnectionsInOnePass)
{
    // A destination that never accepts: the kernel completes each connection in the
    // listen queue, which is all a relay needs to count as established.
    int destPort = 0;
    int hold = listenLoopback(2048, &destPort);
    ASSERT_GE(hold, 0);
    ProxyProcess proxy({"--retention", "1"});
    ASSERT_TRUE(proxy.started());
    const int count = 1000;
    std::vector<int> clients;
    for (int i = 0; i < count; ++i) {
        int reply = -1;
        int fd = socksOpen(proxy.socksPort(), destPort, 1, &reply);
        ASSERT_GE(fd, 0) << "connection " << i;
        ASSERT_EQ(reply, 0) << "connection " << i;
        clients.push_back(fd);
    }
    Records records = listPass(proxy.monitorAddress());
    ASSERT_EQ(records.size(), size_t(count));
    std::set<std::string> keys;
    for (const S5MonData& d : records) {
        EXPECT_EQ(d.state, 2u); // relaying
        keys.insert(std::string(d.key.key, 10));
    }
    EXPECT_EQ(keys.size(), size_t(count)); // every key unique
    EXPECT_EQ(monCsv(proxy).size(), size_t(count));
    for (int fd : clients)
        close(fd);
    close(hold);
    // Ended, they leave after the retention period and are counted as deleted.
    EXPECT_TRUE(
        passUntil(proxy.monitorAddress(), [](const Records& r) { return r.empty(); }).empty());
    std::vector<CsvRow> totals = monCsv(proxy, {"--totals"});
    ASSERT_EQ(totals.size(), 1u);
    expectFields(totals[0], {{"del_conns", "1000"}, {"tot_conns", "1000"}});
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyMonitoring, MisbehavingMonitorsDisturbNeitherRelaysNorOtherMonitors)
{
    TestHttpServer http(patternBody(8 << 20));
    ProxyProcess proxy({"--monitor-timeout", "1"});
    ASSERT_TRUE(proxy.started());
    // Enough records that a pass is far larger than the socket buffers.
    ASSERT_TRUE(openRefusedConnections(proxy, 300));
    // A relay in progress: the first half read before the monitors misbehave.
    int reply = -1;
    int relay = socksOpen(proxy.socksPort(), http.port(), 1, &reply);
    ASSERT_EQ(reply, 0);
    ASSERT_TRUE(sendAll(relay, "GET /file HTTP/1.0\r\n\r\n"));
    std::string received(4u << 20, '\0');
    ASSERT_EQ(recv(relay, &received[0], received.size(), MSG_WAITALL), ssize_t(received.size()));

    // Stalls: never reads the answers to many list requests; its receive buffer is tiny.
    int stalled = connectLoopback(proxy.monitorPort(), 4096);
    std::string requests;
    for (int i = 0; i < 200; ++i)
        requests += std::string("\x00\x02\x02\x00", 4);
    ASSERT_TRUE(sendAll(stalled, requests));
    // Stalls in the middle of a request.
    int halfFrame = connectLoopback(proxy.monitorPort());
    ASSERT_TRUE(sendAll(halfFrame, std::string("\x00", 1)));

    // An oversize frame, a malformed request and an unknown type are each dropped at once.
    for (const std::string& bad :
         {std::string("\xff\xff", 2) + std::string(100, 'x'),
          std::string("\x00\x05\x02\x00\x00\x00\x00", 7), std::string("\x00\x02\x63\x00", 4)}) {
        int fd = connectLoopback(proxy.monitorPort());
        ASSERT_TRUE(sendAll(fd, bad));
        EXPECT_TRUE(closedByPeer(fd, 5)) << bad.size() << " bytes";
        close(fd);
    }

    // Leaves in the middle of a pass.
    int leaver = connectLoopback(proxy.monitorPort());
    EXPECT_GT(listAnswer(leaver), 0);
    close(leaver);

    // A well-behaved monitor still gets whole passes meanwhile.
    EXPECT_EQ(listPass(proxy.monitorAddress()).size(), 301u);

    // The relay finishes intact.
    received += readToEnd(relay);
    close(relay);
    size_t headerEnd = received.find("\r\n\r\n");
    ASSERT_NE(headerEnd, std::string::npos);
    EXPECT_TRUE(received.substr(headerEnd + 4) == http.body());

    // The stalled monitors are dropped after the time limit.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_TRUE(closedByPeer(halfFrame, 5));
    EXPECT_TRUE(closedByPeer(stalled, 10));
    close(halfFrame);
    close(stalled);
    EXPECT_EQ(listPass(proxy.monitorAddress()).size(), 301u);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyMonitoring, AtTheLimitTheLongestIdleMonitorMakesRoom)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    // Eight monitors from each of eight addresses fill the port.
    std::vector<int> idle;
    for (int i = 0; i < 64; ++i) {
        std::string source = "127.0.0." + std::to_string(2 + i / 8);
        idle.push_back(connectLoopback(proxy.monitorPort(), 0, source.c_str()));
        ASSERT_GE(idle.back(), 0);
    }
    // Answers to the last and the first show that all are accepted, and make these two
    // the most recently active; the second is now the one idle for longest. A monitor
    // counts as idle once it has had two seconds to send its request.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    for (int fd : {idle[63], idle[0]}) {
        ASSERT_EQ(listAnswer(fd), 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(600));

    EXPECT_TRUE(listPass(proxy.monitorAddress()).empty()); // the 65th is served
    EXPECT_TRUE(closedByPeer(idle[1], 5));
    // The others stay, however long they wait between requests.
    for (int fd : {idle[0], idle[2], idle[63]}) {
        EXPECT_EQ(listAnswer(fd), 0);
    }
    for (int fd : idle)
        close(fd);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyMonitoring, MonitorsThatKeepPassesGoingCannotLockOthersOut)
{
    // Only the pass limit ends a pass here, not the stall limit.
    ProxyProcess proxy({"--monitor-timeout", "100", "--monitor-pass-limit", "5"});
    ASSERT_TRUE(proxy.started());
    ASSERT_TRUE(openRefusedConnections(proxy, 300));
    waitForEnded(proxy.monitorAddress(), 300);
    // 64 monitors from one address ask for passes, more than the socket buffers hold, and
    // read nothing of them.
    std::string requests;
    for (int i = 0; i < 100; ++i)
        requests += std::string("\x00\x02\x02\x00", 4);
    std::vector<int> hogs;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 64; ++i) {
        hogs.push_back(connectLoopback(proxy.monitorPort(), 4096));
        ASSERT_GE(hogs.back(), 0);
        ASSERT_TRUE(sendAll(hogs.back(), requests));
    }
    // One address keeps eight: each newcomer replaced the oldest at once.
    for (int i = 0; i < 56; ++i)
        EXPECT_TRUE(closedByPeer(hogs[i], 2)) << i;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));

    // A real monitor from the same address is served at once, again and again.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(listPass(proxy.monitorAddress()).size(), 300u);
    // The passes that go on longer than their limit are ended.
    std::this_thread::sleep_until(start + std::chrono::seconds(7));
    for (int i = 56; i < 64; ++i)
        EXPECT_TRUE(closedByPeer(hogs[i], 2)) << i;
    for (int fd : hogs)
        close(fd);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyMonitoring, AFloodOfNewcomersThatNeverReadCannotPushOutARealMonitor)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    ASSERT_TRUE(openRefusedConnections(proxy, 300));
    waitForEnded(proxy.monitorAddress(), 300);
    // A monitor such as the window: one connection, a pass every 2 seconds.
    S5MonHandle window = nullptr;
    ASSERT_EQ(S5MonNetOpen(proxy.monitorAddress().c_str(), MON_CLIENT_NETWORK, &window), 0);
    auto pass = [&window]() {
        S5MonData d;
        int records = 0, r;
        while ((r = S5MonRecvNextData(window, 0, &d)) == 1)
            records++;
        return r == 0 ? records : -1;
    };
    ASSERT_EQ(pass(), 300);
    ASSERT_EQ(pass(), 300);
    // From the monitor's own address, 150 new connections a second for 20 seconds, each
    // asking for a list and reading nothing.
    std::atomic<bool> stop{false};
    std::atomic<int> attacks{0};
    std::thread attacker([&] {
        std::deque<int> open;
        auto next = std::chrono::steady_clock::now();
        auto end = next + std::chrono::seconds(20);
        while (!stop && next < end) {
            int fd = connectLoopback(proxy.monitorPort(), 4096);
            if (fd >= 0) {
                sendAll(fd, std::string("\x00\x02\x02\x00", 4));
                open.push_back(fd);
                attacks++;
            }
            while (open.size() > 400) { // the proxy has dropped them long since
                close(open.front());
                open.pop_front();
            }
            next += std::chrono::microseconds(6667);
            std::this_thread::sleep_until(next);
        }
        for (int fd : open)
            close(fd);
    });
    // Meanwhile the window polls on, and vantor-mon runs every 2 seconds.
    int answered = 0, polled = 0;
    for (int run = 0; run < 10; ++run) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        polled += window && pass() == 300;
        ProcessResult r = RunProcess(
            {VANTOR_BINARY_DIR "/tools/mon/vantor-mon", "--csv", proxy.monitorAddress()});
        answered += r.exitStatus == 0 && std::count(r.out.begin(), r.out.end(), '\n') == 301;
    }
    stop = true;
    attacker.join();
    S5MonClose(window);
    EXPECT_GT(attacks, 1000);
    EXPECT_EQ(polled, 10) << "the window kept its connection";
    EXPECT_GE(answered, 9);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyMonitoring, NewcomersBeyondTheRateOrWhereProvenMonitorsHoldEveryPlaceAreClosedAtOnce)
{
    ProxyProcess proxy({"--monitor-rate", "5", "--monitors-per-address", "5"});
    ASSERT_TRUE(proxy.started());
    // A burst of ten from one address: the bucket holds five.
    std::vector<int> burst;
    for (int i = 0; i < 10; ++i)
        burst.push_back(connectLoopback(proxy.monitorPort(), 0, "127.0.0.7"));
    int refused = 0;
    for (int fd : burst) {
        bool answered = listAnswer(fd) == 0;
        refused += !answered;
        close(fd);
    }
    EXPECT_EQ(refused, 5);

    // Five monitors from another address show that they read: each asks twice.
    std::this_thread::sleep_for(std::chrono::seconds(1)); // the bucket fills again
    std::vector<int> proven;
    for (int i = 0; i < 5; ++i) {
        proven.push_back(connectLoopback(proxy.monitorPort(), 0, "127.0.0.8"));
        for (int k = 0; k < 2; ++k) {
            ASSERT_EQ(listAnswer(proven.back()), 0);
        }
    }
    // A newcomer from there, within the rate, finds no place it may take.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    int newcomer = connectLoopback(proxy.monitorPort(), 0, "127.0.0.8");
    EXPECT_TRUE(closedByPeer(newcomer, 2));
    close(newcomer);
    for (int fd : proven) {
        EXPECT_EQ(listAnswer(fd), 0) << "kept";
        close(fd);
    }
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyMonitoring, AFloodOfConnectionsKeepsTheRecordsWithinTheLimitAndTheTotalsWhole)
{
    ProxyProcess proxy({"--max-records", "200"});
    ASSERT_TRUE(proxy.started());
    ASSERT_TRUE(openRefusedConnections(proxy, 1000));
    // The last connection's record appears once its session has noticed the close.
    Records records = passUntil(proxy.monitorAddress(), [](const Records& r) {
        size_t ended = 0;
        for (const S5MonData& d : r)
            ended += (d.state & 8) ? 1 : 0;
        return ended == r.size();
    });
    EXPECT_LE(records.size(), 200u);
    EXPECT_GE(records.size(), 190u);
    std::vector<CsvRow> totals = monCsv(proxy, {"--totals"});
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(totals[0]["tot_conns"], "1000");
    EXPECT_EQ(totals[0]["err_conns"], "1000");
    // Every connection is either listed or counted as deleted.
    EXPECT_EQ(std::stoul(totals[0]["del_conns"]) + records.size(), 1000u);
    EXPECT_TRUE(proxy.stop());
}
