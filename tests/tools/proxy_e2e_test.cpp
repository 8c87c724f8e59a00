// vantor-proxy and vantor-mon as users run them: curl relays through the proxy to a local
// HTTP server, and the monitoring service (read through the client library, vantor-mon
// and raw frames) lists exactly what happened.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "MonsimProcess.h"
#include "ProxyProcess.h"
#include "RunProcess.h"
#include "SocksClient.h"
#include "TestHttpServer.h"
#include "monAPI.h"
#include "monMsg.h"
#include "monUnixTcp.h"

namespace {

const std::string MON = VANTOR_BINARY_DIR "/tools/mon/vantor-mon";

typedef std::map<std::string, std::string> CsvRow;

// One pass over the proxy's connections through the client library.
std::vector<S5MonData> listPass(const std::string &server)
{
    std::vector<S5MonData> out;
    S5MonHandle h = nullptr;
    EXPECT_EQ(S5MonNetOpen(server.c_str(), MON_CLIENT_NETWORK, &h), 0);
    if (!h)
        return out;
    S5MonData d;
    int r;
    while ((r = S5MonRecvNextData(h, 0, &d)) == 1)
        out.push_back(d);
    EXPECT_EQ(r, 0);
    S5MonClose(h);
    return out;
}

// Passes until `count` records have ended (the proxy sees a client leave a moment after
// the client has finished), or a time limit.
std::vector<S5MonData> waitForEnded(const std::string &server, size_t count)
{
    std::vector<S5MonData> records;
    for (int i = 0; i < 100; ++i) {
        records = listPass(server);
        size_t ended = 0;
        for (const S5MonData &d : records)
            ended += (d.state & 8) ? 1 : 0;
        if (ended >= count)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return records;
}

std::vector<std::string> csvFields(const std::string &line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::vector<CsvRow> parseCsv(const std::string &text)
{
    std::istringstream in(text);
    std::string line;
    std::vector<CsvRow> rows;
    if (!std::getline(in, line))
        return rows;
    std::vector<std::string> header = csvFields(line);
    while (std::getline(in, line)) {
        std::vector<std::string> fields = csvFields(line);
        CsvRow row;
        for (size_t i = 0; i < header.size() && i < fields.size(); ++i)
            row[header[i]] = fields[i];
        rows.push_back(row);
    }
    return rows;
}

std::vector<CsvRow> monCsv(const ProxyProcess &proxy, const std::vector<std::string> &options = {})
{
    std::vector<std::string> argv = {MON, "--csv"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(proxy.monitorAddress());
    ProcessResult r = RunProcess(argv);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    return parseCsv(r.out);
}

// Runs curl through the proxy; returns its exit status and the body in *body.
int curl(const std::vector<std::string> &proxyOptions, const std::string &url, std::string *body)
{
    std::string file = MonsimProcess::writeTempFile("curl-out", "");
    // -q: no .curlrc; --noproxy "": a NO_PROXY in the environment must not bypass the proxy.
    std::vector<std::string> argv = {"curl", "-q", "-s", "--noproxy", "", "--max-time", "30", "-o", file};
    argv.insert(argv.end(), proxyOptions.begin(), proxyOptions.end());
    argv.push_back(url);
    int status = RunProcess(argv).exitStatus;
    std::ifstream in(file, std::ios::binary);
    *body = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    unlink(file.c_str());
    return status;
}

std::string addrOf(const S5NetAddr &a)
{
    char ip[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &a.sin.sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(ntohs(a.sin.sin_port));
}

std::string socks(const ProxyProcess &p)
{
    return "127.0.0.1:" + std::to_string(p.socksPort());
}

std::string url(const std::string &host, int port)
{
    return "http://" + host + ":" + std::to_string(port) + "/file";
}

// A raw monitor connection for frame-level checks.
int monitorSocket(const ProxyProcess &p)
{
    return Mon_TcpConnect(p.monitorAddress().c_str(), MON_DEFAULT_PORT);
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

TEST(CurlThroughProxy, Socks5TransferIsIntactAndCountedExactly)
{
    TestHttpServer http(patternBody(300000));
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    std::string body;
    ASSERT_EQ(curl({"--socks5", socks(proxy)}, url("127.0.0.1", http.port()), &body), 0);
    EXPECT_TRUE(body == http.body()) << "body of " << body.size() << " bytes differs";

    std::vector<S5MonData> records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(http.exchanges().size(), 1u);
    TestHttpServer::Exchange e = http.exchanges()[0];
    const S5MonData &d = records[0];
    EXPECT_EQ(d.state & 12, 8u);  // ended, not failed
    EXPECT_EQ(d.inTotBytes, e.sent);
    EXPECT_EQ(d.outTotBytes, e.received);
    EXPECT_EQ(d.socksCmd, 1);
    EXPECT_EQ(d.authen, 0);
    EXPECT_EQ(d.socksErr, 0u);
    EXPECT_EQ(d.srcSockAddr.sin.sin_family, AF_INET);
    EXPECT_EQ(d.dstSockAddr.sin.sin_family, AF_INET);
    EXPECT_EQ(addrOf(d.dstSockAddr), "127.0.0.1:" + std::to_string(http.port()));
    EXPECT_EQ(addrOf(d.proxySockAddr), socks(proxy));
    EXPECT_STREQ(d.dstHostName, "127.0.0.1");
    EXPECT_STREQ(d.srcHostName, "127.0.0.1");
    EXPECT_STREQ(d.appName, std::to_string(http.port()).c_str());
    EXPECT_GE(d.endTime, d.startTime);
    EXPECT_GE(d.curTime, d.endTime);

    std::vector<CsvRow> rows = monCsv(proxy);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["status"], "ended");
    EXPECT_EQ(std::stoul(rows[0]["state"]) & 8, 8u);
    EXPECT_EQ(rows[0]["in"], std::to_string(e.sent));
    EXPECT_EQ(rows[0]["out"], std::to_string(e.received));
    EXPECT_EQ(rows[0]["destination"], "127.0.0.1:" + std::to_string(http.port()));
    EXPECT_EQ(rows[0]["proxy"], socks(proxy));
    EXPECT_EQ(rows[0]["source"].rfind("127.0.0.1:", 0), 0u);
    EXPECT_EQ(rows[0]["dsthost"], "127.0.0.1");
    EXPECT_TRUE(proxy.stop());
}

TEST(CurlThroughProxy, Socks5HostnameKeepsTheNameAsked)
{
    TestHttpServer http(patternBody(70000));
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    std::string body;
    ASSERT_EQ(curl({"--socks5-hostname", socks(proxy)}, url("localhost", http.port()), &body), 0);
    EXPECT_TRUE(body == http.body());

    std::vector<S5MonData> records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    const S5MonData &d = records[0];
    EXPECT_STREQ(d.dstHostName, "localhost");
    EXPECT_EQ(d.dstSockAddr.sin.sin_family, AF_INET);  // resolved by the proxy
    EXPECT_EQ(addrOf(d.dstSockAddr), "127.0.0.1:" + std::to_string(http.port()));
    EXPECT_EQ(d.inTotBytes, http.exchanges().at(0).sent);
    EXPECT_EQ(d.outTotBytes, http.exchanges().at(0).received);

    std::vector<CsvRow> rows = monCsv(proxy);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["dsthost"], "localhost");
    EXPECT_EQ(rows[0]["status"], "ended");
}

TEST(CurlThroughProxy, RefusedAndUnresolvableDestinationsAreListedAsFailed)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    int closedPort = unusedPort();
    std::string body;
    EXPECT_NE(curl({"--socks5", socks(proxy)}, url("127.0.0.1", closedPort), &body), 0);
    EXPECT_NE(curl({"--socks5-hostname", socks(proxy)}, url("no-such-host.invalid", 8080), &body), 0);

    std::vector<S5MonData> records = waitForEnded(proxy.monitorAddress(), 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].state & 12, 12u);
    EXPECT_EQ(records[0].socksErr, 5u);
    EXPECT_STREQ(records[0].socksErrMsg, "Connection refused");
    EXPECT_EQ(addrOf(records[0].dstSockAddr), "127.0.0.1:" + std::to_string(closedPort));
    EXPECT_EQ(records[1].state & 12, 12u);
    EXPECT_EQ(records[1].socksErr, 4u);
    EXPECT_STREQ(records[1].socksErrMsg, "Host unreachable");
    EXPECT_EQ(records[1].dstSockAddr.sn.sn_family, 255);  // never resolved
    EXPECT_STREQ(records[1].dstSockAddr.sn.sn_name, "no-such-host.invalid");
    EXPECT_EQ(ntohs(records[1].dstSockAddr.sn.sn_port), 8080);
    EXPECT_STREQ(records[1].appName, "http-alt");

    std::vector<CsvRow> rows = monCsv(proxy);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["status"], "failed");
    EXPECT_EQ(rows[0]["socks_err"], "5");
    EXPECT_EQ(rows[1]["destination"], "no-such-host.invalid:8080");
    EXPECT_EQ(rows[1]["error"], "Host unreachable");
}

TEST(CurlThroughProxy, UsernamePasswordAcceptedAndRefused)
{
    TestHttpServer http("hello\n");
    std::string users = MonsimProcess::writeTempFile("users", "# who may relay\nalice s3cret\nbob hunter2\n");
    ProxyProcess proxy({"--users", users});
    ASSERT_TRUE(proxy.started());
    std::string body;
    EXPECT_EQ(curl({"--socks5", socks(proxy), "--proxy-user", "alice:s3cret"},
                   url("127.0.0.1", http.port()), &body), 0);
    EXPECT_EQ(body, "hello\n");
    EXPECT_NE(curl({"--socks5", socks(proxy), "--proxy-user", "alice:wrong"},
                   url("127.0.0.1", http.port()), &body), 0);
    EXPECT_NE(curl({"--socks5", socks(proxy)}, url("127.0.0.1", http.port()), &body), 0);
    unlink(users.c_str());

    std::vector<S5MonData> records = waitForEnded(proxy.monitorAddress(), 3);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].state & 12, 8u);
    EXPECT_STREQ(records[0].userName, "alice");
    EXPECT_EQ(records[0].authen, 2);
    EXPECT_EQ(records[1].state & 12, 12u);
    EXPECT_STREQ(records[1].userName, "alice");
    EXPECT_STREQ(records[1].socksErrMsg, "Authentication failed");
    EXPECT_EQ(records[2].state & 12, 12u);
    EXPECT_EQ(records[2].authen, 0xff);
    EXPECT_STREQ(records[2].socksErrMsg, "No acceptable authentication method");
    EXPECT_EQ(http.exchanges().size(), 1u);  // refused clients never reached the server

    S5MonHandle h = nullptr;
    ASSERT_EQ(S5MonNetOpen(proxy.monitorAddress().c_str(), 0, &h), 0);
    S5MonUser_t u{};
    std::strcpy(u.userName, "alice");
    ASSERT_EQ(S5MonGetUser(h, &u), 0);
    EXPECT_EQ(u.totConns, 1u);  // a refused password is not a connection of the user
    EXPECT_EQ(u.endConns, 1u);
    EXPECT_EQ(u.inTotBytes, records[0].inTotBytes);
    std::strcpy(u.userName, "bob");
    EXPECT_EQ(S5MonGetUser(h, &u), -1);  // answered by an empty frame: no such user
    S5MonTot_t t{};
    ASSERT_EQ(S5MonGetTot(h, &t), 0);
    EXPECT_EQ(t.totConns, 3u);
    EXPECT_EQ(t.errConns, 2u);
    EXPECT_EQ(t.endConns, 1u);
    EXPECT_EQ(t.totUsers, 1u);
    S5MonClose(h);

    std::vector<CsvRow> rows = monCsv(proxy, {"--users"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["user"], "alice");
    EXPECT_EQ(rows[0]["tot_conns"], "1");
}

TEST(ProxyMonitoring, AnswersFrameByFrame)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    int mon = monitorSocket(proxy);
    ASSERT_GT(mon, 0);
    char buf[2048];
    const char list[] = {MON_MSG_GET_NEXT_CONN, 0};
    ASSERT_EQ(Mon_TcpSend(mon, 2, list), 4);
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0);  // no connections: one empty frame

    // An unsupported command is refused and listed; the record can be fetched by its key.
    int reply = -1;
    int fd = socksOpen(proxy.socksPort(), 9, 2 /* BIND */, &reply);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(reply, 7);
    close(fd);
    std::vector<S5MonData> records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].socksCmd, 2);
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
    get[5] ^= 0x7f;  // a key that names no connection
    ASSERT_EQ(Mon_TcpSend(mon, sizeof get, get), int(sizeof get + 2));
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0);

    const char tot[] = {MON_MSG_GET_TOT, 1, 0};
    ASSERT_EQ(Mon_TcpSend(mon, 3, tot), 5);
    ASSERT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), MON_TOT_LEN);
    S5MonTot_t t;
    ASSERT_GT(Mon_MsgToTotLen(&t, buf, MON_TOT_LEN), 0);
    EXPECT_EQ(t.totConns, 1u);
    EXPECT_EQ(t.errConns, 1u);

    // Pipelined requests are answered in order.
    const char two[] = {0, 2, MON_MSG_GET_NEXT_CONN, 0, 0, 3, MON_MSG_GET_NEXT_USER, 1, 0};
    ASSERT_EQ(send(mon, two, sizeof two, 0), ssize_t(sizeof two));
    EXPECT_GT(Mon_TcpRecv(mon, sizeof buf, buf), 0);
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0);
    EXPECT_EQ(Mon_TcpRecv(mon, sizeof buf, buf), 0);  // no users
    close(mon);

    // A monitor that shuts down its sending side after the request still gets the whole
    // answer, and then the end of the connection.
    int oneShot = monitorSocket(proxy);
    ASSERT_EQ(Mon_TcpSend(oneShot, 2, list), 4);
    shutdown(oneShot, SHUT_WR);
    EXPECT_GT(Mon_TcpRecv(oneShot, sizeof buf, buf), 0);
    EXPECT_EQ(Mon_TcpRecv(oneShot, sizeof buf, buf), 0);
    EXPECT_TRUE(closedByPeer(oneShot, 5));
    close(oneShot);

    std::vector<CsvRow> rows = monCsv(proxy, {"--totals"});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["tot_conns"], "1");
}

TEST(ProxyMonitoring, ThousandConcurrentConnectionsInOnePass)
{
    // A destination that never accepts: the kernel completes each connection in the
    // listen queue, which is all a relay needs to count as established.
    int hold = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t alen = sizeof a;
    ASSERT_EQ(bind(hold, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    ASSERT_EQ(listen(hold, 2048), 0);
    ASSERT_EQ(getsockname(hold, reinterpret_cast<sockaddr *>(&a), &alen), 0);

    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    const int count = 1000;
    std::vector<int> clients;
    for (int i = 0; i < count; ++i) {
        int reply = -1;
        int fd = socksOpen(proxy.socksPort(), ntohs(a.sin_port), 1, &reply);
        ASSERT_GE(fd, 0) << "connection " << i;
        ASSERT_EQ(reply, 0) << "connection " << i;
        clients.push_back(fd);
    }
    std::vector<S5MonData> records = listPass(proxy.monitorAddress());
    ASSERT_EQ(records.size(), size_t(count));
    std::set<std::string> keys;
    for (const S5MonData &d : records) {
        EXPECT_EQ(d.state, 2u);  // relaying
        keys.insert(std::string(d.key.key, 10));
    }
    EXPECT_EQ(keys.size(), size_t(count));  // every key unique

    std::vector<CsvRow> rows = monCsv(proxy);
    EXPECT_EQ(rows.size(), size_t(count));
    for (int fd : clients)
        close(fd);
    close(hold);
}

TEST(ProxyMonitoring, MisbehavingMonitorsDisturbNeitherRelaysNorOtherMonitors)
{
    TestHttpServer http(patternBody(8 << 20));
    ProxyProcess proxy({"--monitor-timeout", "1"});
    ASSERT_TRUE(proxy.started());
    // Enough records that a pass is far larger than the socket buffers.
    for (int i = 0; i < 300; ++i) {
        int reply = -1;
        int fd = socksOpen(proxy.socksPort(), unusedPort(), 1, &reply);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    // A relay in progress: the first half read before the monitors misbehave.
    int reply = -1;
    int relay = socksOpen(proxy.socksPort(), http.port(), 1, &reply);
    ASSERT_EQ(reply, 0);
    ASSERT_TRUE(sendAll(relay, "GET /file HTTP/1.0\r\n\r\n"));
    std::string received;
    char buf[65536];
    while (received.size() < (4u << 20)) {
        ssize_t n = recv(relay, buf, sizeof buf, 0);
        ASSERT_GT(n, 0);
        received.append(buf, size_t(n));
    }

    // Stalls: never reads the answers to many list requests; its receive buffer is tiny.
    int stalled = socket(AF_INET, SOCK_STREAM, 0);
    int small = 4096;
    setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in m{};
    m.sin_family = AF_INET;
    m.sin_port = htons(uint16_t(proxy.monitorPort()));
    m.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(stalled, reinterpret_cast<sockaddr *>(&m), sizeof m), 0);
    std::string requests;
    for (int i = 0; i < 200; ++i)
        requests += std::string("\x00\x02\x02\x00", 4);
    ASSERT_TRUE(sendAll(stalled, requests));
    // Stalls in the middle of a request.
    int halfFrame = monitorSocket(proxy);
    ASSERT_TRUE(sendAll(halfFrame, std::string("\x00", 1)));

    // An oversize frame, a malformed request and an unknown type are each dropped at once.
    int oversize = monitorSocket(proxy);
    ASSERT_TRUE(sendAll(oversize, std::string("\xff\xff", 2) + std::string(100, 'x')));
    EXPECT_TRUE(closedByPeer(oversize, 5));
    close(oversize);
    int malformed = monitorSocket(proxy);
    ASSERT_TRUE(sendAll(malformed, std::string("\x00\x05\x02\x00\x00\x00\x00", 7)));
    EXPECT_TRUE(closedByPeer(malformed, 5));
    close(malformed);
    int unknown = monitorSocket(proxy);
    ASSERT_TRUE(sendAll(unknown, std::string("\x00\x02\x63\x00", 4)));
    EXPECT_TRUE(closedByPeer(unknown, 5));
    close(unknown);

    // Leaves in the middle of a pass.
    int leaver = monitorSocket(proxy);
    const char list[] = {MON_MSG_GET_NEXT_CONN, 0};
    ASSERT_EQ(Mon_TcpSend(leaver, 2, list), 4);
    char frame[2048];
    EXPECT_GT(Mon_TcpRecv(leaver, sizeof frame, frame), 0);
    close(leaver);

    // A well-behaved monitor still gets whole passes meanwhile.
    EXPECT_EQ(listPass(proxy.monitorAddress()).size(), 301u);

    // The relay finishes intact.
    std::string rest = readToEnd(relay);
    close(relay);
    received += rest;
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

TEST(ProxyMonitoring, EndedRecordsLeaveAfterTheRetentionPeriod)
{
    ProxyProcess proxy({"--retention", "1"});
    ASSERT_TRUE(proxy.started());
    int reply = -1;
    int fd = socksOpen(proxy.socksPort(), unusedPort(), 1, &reply);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(reply, 5);
    close(fd);
    EXPECT_EQ(waitForEnded(proxy.monitorAddress(), 1).size(), 1u);
    std::vector<S5MonData> records;
    for (int i = 0; i < 60; ++i) {
        records = listPass(proxy.monitorAddress());
        if (records.empty())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(records.empty());
    std::vector<CsvRow> totals = monCsv(proxy, {"--totals"});
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(totals[0]["del_conns"], "1");
    EXPECT_EQ(totals[0]["tot_conns"], "1");
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRelay, HalfClosedClientStillGetsTheAnswer)
{
    // A destination that reads until the client has finished sending, then answers with
    // the number of bytes it got, then closes.
    int server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t alen = sizeof a;
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    ASSERT_EQ(listen(server, 4), 0);
    ASSERT_EQ(getsockname(server, reinterpret_cast<sockaddr *>(&a), &alen), 0);
    std::thread counter([server] {
        int fd = accept(server, nullptr, nullptr);
        std::string got = readToEnd(fd);
        sendAll(fd, "got " + std::to_string(got.size()));
        close(fd);
    });

    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    int reply = -1;
    int fd = socksOpen(proxy.socksPort(), ntohs(a.sin_port), 1, &reply);
    ASSERT_EQ(reply, 0);
    const size_t upload = 3 << 20;
    ASSERT_TRUE(sendAll(fd, patternBody(upload)));
    shutdown(fd, SHUT_WR);
    EXPECT_EQ(readToEnd(fd), "got " + std::to_string(upload));
    close(fd);
    counter.join();
    close(server);

    std::vector<S5MonData> records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outTotBytes, upload);
    EXPECT_EQ(records[0].inTotBytes, 4 + std::to_string(upload).size());
    EXPECT_EQ(records[0].state & 12, 8u);
}
