// vantor-exporter as an operator runs it: against the simulator, a real vantor-proxy with
// traffic through curl, a server that accepts and never answers and one that is not there;
// its output passes promtool, and its HTTP side keeps answering whatever scrapers and
// servers do.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/tools/ExporterProcess.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/TestHttpServer.h"
#include "tests/tools/ToolRuns.h"

namespace {

bool havePromtool()
{
    return access("/usr/bin/promtool", X_OK) == 0;
}

// promtool's verdict on an exposition: "" when it finds no problem.
std::string promtoolProblems(const std::string& metrics)
{
    std::string path = MonsimProcess::writeTempFile("metrics.txt", metrics);
    ProcessResult r = RunProcess({"sh", "-c", "promtool check metrics < " + path});
    return r.exitStatus == 0 && r.out.empty() && r.err.empty() ? "" : r.out + r.err;
}

// What the exporter answers to raw request bytes: the status line.
std::string statusLine(int port, const std::string& request)
{
    int fd = connectLoopback(port);
    if (fd < 0)
        return "";
    sendAll(fd, request);
    shutdown(fd, SHUT_WR);
    std::string reply = readToEnd(fd);
    close(fd);
    return reply.substr(0, reply.find("\r\n"));
}

TEST(ExporterEndToEnd, CountsProxiedTrafficOncePassesPromtoolAndAnswersWhateverServersDo)
{
    auto sim = std::make_unique<MonsimProcess>(std::vector<std::string>{"--connections", "40"});
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    TestHttpServer http(patternBody(300000));
    int stalledPort = 0;
    int stalled = listenLoopback(4, &stalledPort); // takes connections, never answers
    ASSERT_GE(stalled, 0);
    ExporterProcess exporter({"--interval", "1", "sim=" + sim->address(),
                              "proxy=" + proxy.monitorAddress(),
                              "stalled=127.0.0.1:" + std::to_string(stalledPort),
                              "gone=127.0.0.1:" + std::to_string(unusedPort())});
    ASSERT_TRUE(exporter.started());
    // A scraper that connects and never sends holds up nobody.
    int idle = connectLoopback(exporter.port());

    std::string m = exporter.waitForMetrics([](const std::string& t) {
        return sampleValue(t, "vantor_up{server=\"proxy\"}") == 1
            && sampleValue(t, "vantor_up{server=\"sim\"}") == 1;
    });
    ASSERT_EQ(sampleValue(m, "vantor_up{server=\"proxy\"}"), 1) << m;
    EXPECT_EQ(sampleValue(m, "vantor_up{server=\"gone\"}"), 0);
    EXPECT_EQ(sampleValue(m, "vantor_up{server=\"stalled\"}"), 0);
    EXPECT_GT(sampleValue(m, "vantor_server_connections{server=\"sim\",state=\"total\"}"), 0);

    // Known traffic through the proxy, to a port that no service names: counted once, within
    // the request and the headers, however many polls list the ended connection.
    ProcessResult r = curl({"--socks5", proxy.socksAddress()},
                           "http://127.0.0.1:" + std::to_string(http.port()) + "/");
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    ASSERT_EQ(r.out.size(), 300000u);
    const std::string in = "vantor_in_bytes_total{server=\"proxy\",service=\"Others\"}";
    const std::string out = "vantor_out_bytes_total{server=\"proxy\",service=\"Others\"}";
    m = exporter.waitForMetrics([&](const std::string& t) { return sampleValue(t, in) >= 300000; });
    std::this_thread::sleep_for(std::chrono::milliseconds(2500)); // more polls list it
    m = exporter.metrics();
    EXPECT_GE(sampleValue(m, in), 300000);
    EXPECT_LT(sampleValue(m, in), 300000 + 1000);
    EXPECT_GT(sampleValue(m, out), 0);
    EXPECT_LT(sampleValue(m, out), 1000);
    EXPECT_EQ(sampleValue(m, "vantor_user_in_bytes_total{server=\"proxy\",user=\"-\"}"),
              sampleValue(m, in));
    if (havePromtool()) {
        EXPECT_EQ(promtoolProblems(m), "") << m;
    }

    // The HTTP side answers GET of / and /metrics only, and bounds what it reads.
    EXPECT_EQ(statusLine(exporter.port(), "POST /metrics HTTP/1.1\r\nHost: x\r\n\r\n"),
              "HTTP/1.1 405 Method Not Allowed");
    EXPECT_EQ(statusLine(exporter.port(), "GET /etc/passwd HTTP/1.1\r\n\r\n"),
              "HTTP/1.1 404 Not Found");
    EXPECT_EQ(statusLine(exporter.port(), "GET / HTTP/1.1\r\nX: " + std::string(9000, 'a')),
              "HTTP/1.1 431 Request Header Fields Too Large");
    EXPECT_EQ(statusLine(exporter.port(), "hello\r\n\r\n"), "HTTP/1.1 400 Bad Request");
    ProcessResult page = RunProcess({"curl", "-q", "-s", "--max-time", "5", exporter.url("/")});
    EXPECT_NE(page.out.find("<a href=\"/metrics\">"), std::string::npos);
    EXPECT_NE(page.out.find("stalled"), std::string::npos);

    // A server stopped mid-run is down at the next poll; its counters stay.
    sim.reset();
    m = exporter.waitForMetrics(
        [](const std::string& t) { return sampleValue(t, "vantor_up{server=\"sim\"}") == 0; });
    EXPECT_EQ(sampleValue(m, "vantor_up{server=\"sim\"}"), 0);
    EXPECT_EQ(sampleValue(m, "vantor_up{server=\"proxy\"}"), 1);
    EXPECT_GE(sampleValue(m, in), 300000);
    if (havePromtool()) {
        EXPECT_EQ(promtoolProblems(m), "") << m;
    }
    close(idle);
    close(stalled);
}

TEST(ExporterEndToEnd, ShippedAlertingRulesPassPromtool)
{
    if (!havePromtool())
        GTEST_SKIP() << "promtool (Debian package prometheus) is not installed";
    ProcessResult r = RunProcess(
        {"promtool", "check", "rules", VANTOR_SOURCE_DIR "/doc/vantor-exporter.rules.yml"});
    EXPECT_EQ(r.exitStatus, 0) << r.out << r.err;
}

} // namespace
