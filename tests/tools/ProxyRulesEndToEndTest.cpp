// The proxy's rules as clients meet them: request rules refuse with reply 2 and the monitors
// list the rule, client rules and monitor-allow close connections at once, and SIGHUP
// brings in new rules for new connections only, or keeps the old ones when the new files
// have mistakes.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/TestHttpServer.h"
#include "tests/tools/ToolRuns.h"

namespace {

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

// Waits for the peer to close without sending anything; false if it sends a byte or
// keeps the connection open for `seconds`.
bool closedWithoutAWord(int fd, int seconds)
{
    timeval tv{seconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char byte;
    ssize_t n = recv(fd, &byte, 1, 0);
    return n == 0 || (n < 0 && errno == ECONNRESET);
}

// The rows of vantor-mon's CSV whose error field is `error`.
size_t rowsWithError(const std::vector<CsvRow>& rows, const std::string& error)
{
    size_t n = 0;
    for (const CsvRow& row : rows)
        n += row.at("error") == error ? 1 : 0;
    return n;
}

} // namespace

TEST(ProxyRules, ABlockedDestinationFailsCurlWithReplyTwoAndIsListedWithItsRule)
{
    TestHttpServer web("web\n"), other("other\n"), web6("web6\n", AF_INET6);
    // Names are decided before any look-up: a blocked name is never resolved.
    ProxyProcess proxy({"--rule", "block to .blocked.test", "--rule",
                        "block to 127.0.0.1 port " + std::to_string(web.port()), "--rule",
                        "pass to localhost", "--rule", "block to ::1/128"});
    ASSERT_TRUE(proxy.started());
    struct Case {
        std::string option, url, error, destination;
    };
    const std::string webPort = std::to_string(web.port()),
                      otherPort = std::to_string(other.port());
    const Case cases[] = {
        {"--socks5-hostname", "http://www.blocked.test/", "blocked by rule 1",
         "www.blocked.test:80"},
        // The name is resolved for the address block, then blocked by it.
        {"--socks5-hostname", httpUrl("localhost", web.port()), "blocked by rule 2",
         "127.0.0.1:" + webPort},
        {"--socks5-hostname", httpUrl("localhost", other.port()), "", "127.0.0.1:" + otherPort},
        // By address, no rule passes it: with rules given, the rest is blocked.
        {"--socks5", httpUrl("127.0.0.1", other.port()), "blocked: no rule passes it",
         "127.0.0.1:" + otherPort},
        {"--socks5-hostname", httpUrl("[::1]", web6.port()), "blocked by rule 4",
         "[::1]:" + std::to_string(web6.port())},
    };
    for (const Case& c : cases) {
        ProcessResult r = curl({c.option, proxy.socksAddress()}, c.url);
        EXPECT_EQ(r.exitStatus, c.error.empty() ? 0 : CURL_PROXY_REFUSED) << c.url;
        EXPECT_EQ(r.out, c.error.empty() ? "other\n" : "") << c.url;
    }
    EXPECT_EQ(web.exchanges().size() + web6.exchanges().size(), 0u);

    std::vector<CsvRow> rows = endedRows(proxy, 5);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(cases[i].url);
        EXPECT_EQ(rows[i]["destination"], cases[i].destination);
        EXPECT_EQ(rows[i]["error"], cases[i].error);
        EXPECT_EQ(rows[i]["status"], cases[i].error.empty() ? "ended" : "failed");
        EXPECT_EQ(rows[i]["socks_err"], cases[i].error.empty() ? "0" : "2");
    }
    EXPECT_TRUE(proxy.waitForLog(" -> www.blocked.test:80: 0 bytes out, 0 bytes in, 0 s: "
                                 "blocked by rule 1\n"))
        << proxy.log();
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRules, AClientTheClientRulesRefuseIsClosedAtOnceCountedAndNotListed)
{
    TestHttpServer web("web\n");
    ProxyProcess proxy({"--client-rule", "block from 127.0.0.1", "--client-rule", "pass"});
    ASSERT_TRUE(proxy.started());
    // Closed before the client says anything, and long before the handshake time-out.
    int refused = connectLoopback(proxy.socksPort());
    ASSERT_GE(refused, 0);
    EXPECT_TRUE(closedWithoutAWord(refused, 5));
    close(refused);
    ProcessResult fromRefused =
        curl({"--socks5", proxy.socksAddress()}, httpUrl("127.0.0.1", web.port()));
    EXPECT_NE(fromRefused.exitStatus, 0);
    EXPECT_EQ(fromRefused.out, "");
    // Another loopback address is let in.
    ProcessResult fromOther = curl({"--interface", "127.0.0.2", "--socks5", proxy.socksAddress()},
                                   httpUrl("127.0.0.1", web.port()));
    EXPECT_EQ(fromOther.exitStatus, 0) << fromOther.err;
    EXPECT_EQ(fromOther.out, "web\n");

    std::vector<CsvRow> rows = endedRows(proxy, 1);
    EXPECT_EQ(rows[0]["srchost"], "127.0.0.2");
    std::vector<CsvRow> totals = monCsv(proxy, {"--totals"});
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(totals[0]["tot_conns"], "3");
    EXPECT_EQ(totals[0]["err_conns"], "2");
    EXPECT_EQ(totals[0]["end_conns"], "1");
    EXPECT_TRUE(
        proxy.waitForLog(" refused: client rule 1 \"block from 127.0.0.1\" (--client-rule)\n", 2))
        << proxy.log();
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRules, MonitorsOutsideMonitorAllowAreClosedAtOnceUntilAReloadLetsThemIn)
{
    const std::string conf =
        MonsimProcess::writeTempFile("monitors.conf", "monitor-allow 192.0.2.0/24\n");
    ProxyProcess proxy({"--config", conf});
    ASSERT_TRUE(proxy.started());
    int monitor = connectLoopback(proxy.monitorPort());
    ASSERT_GE(monitor, 0);
    EXPECT_TRUE(closedWithoutAWord(monitor, 5));
    close(monitor);
    ProcessResult mon = RunProcess(
        {VANTOR_BINARY_DIR "/tools/mon/vantor-mon", "--timeout", "5", proxy.monitorAddress()});
    EXPECT_NE(mon.exitStatus, 0);
    EXPECT_TRUE(proxy.waitForLog(" refused: not in monitor-allow\n", 2)) << proxy.log();

    writeFile(conf, "monitor-allow 192.0.2.0/24\nmonitor-allow 127.0.0.0/8\n");
    ASSERT_TRUE(proxy.reload());
    mon = RunProcess(
        {VANTOR_BINARY_DIR "/tools/mon/vantor-mon", "--timeout", "5", proxy.monitorAddress()});
    EXPECT_EQ(mon.exitStatus, 0) << mon.err;
    EXPECT_TRUE(proxy.stop());
    EXPECT_NE(proxy.log().find("2 monitor connections refused from addresses outside "
                               "monitor-allow"),
              std::string::npos)
        << proxy.log();
    unlink(conf.c_str());
}

TEST(ProxyReload, ABlockRuleAddedBySighupStopsNewConnectionsWhileAnOpenTransferFinishesWhole)
{
    const size_t size = 10 << 20;
    TestHttpServer big(patternBody(size)), small("small\n");
    const std::string conf = MonsimProcess::writeTempFile("reload.conf", "pass\n");
    ProxyProcess proxy({"--config", conf});
    ASSERT_TRUE(proxy.started());

    int reply = -1;
    int transfer = socksOpen(proxy.socksPort(), big.port(), 1, &reply);
    ASSERT_GE(transfer, 0);
    ASSERT_EQ(reply, 0);
    ASSERT_TRUE(sendAll(transfer, "GET / HTTP/1.0\r\n\r\n"));
    std::string received;
    char buf[65536];
    while (received.size() < (1u << 20)) {
        ssize_t n = recv(transfer, buf, sizeof buf, 0);
        ASSERT_GT(n, 0);
        received.append(buf, size_t(n));
    }

    writeFile(conf, "block to 127.0.0.1 port " + std::to_string(big.port()) + "\npass\n");
    ASSERT_TRUE(proxy.reload());
    EXPECT_TRUE(proxy.waitForLog("reloaded: 0 client rules, 2 request rules")) << proxy.log();
    ProcessResult blocked =
        curl({"--socks5-hostname", proxy.socksAddress()}, httpUrl("localhost", big.port()));
    EXPECT_EQ(blocked.exitStatus, CURL_PROXY_REFUSED);
    ProcessResult passed =
        curl({"--socks5-hostname", proxy.socksAddress()}, httpUrl("localhost", small.port()));
    EXPECT_EQ(passed.out, "small\n");

    // The rest, slowly: the open relay goes on under the rules it started with.
    for (int i = 0; i < 100000; ++i) {
        ssize_t n = recv(transfer, buf, 16384, 0);
        if (n <= 0)
            break;
        received.append(buf, size_t(n));
        if (i % 16 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    close(transfer);
    ASSERT_GE(received.size(), size);
    EXPECT_TRUE(received.compare(received.size() - size, size, big.body()) == 0);
    ASSERT_EQ(big.exchanges().size(), 1u);
    EXPECT_EQ(received.size(), big.exchanges()[0].sent);

    std::vector<CsvRow> rows = endedRows(proxy, 3);
    EXPECT_EQ(rows[0]["status"], "ended");
    EXPECT_EQ(rows[0]["in"], std::to_string(received.size()));
    EXPECT_EQ(rows[1]["error"], "blocked by rule 1");
    EXPECT_EQ(rows[2]["status"], "ended");
    EXPECT_TRUE(proxy.stop());
    unlink(conf.c_str());
}

TEST(ProxyReload, FilesWithMistakesKeepTheRulesAndUsersInForceAndTheLogSaysWhy)
{
    TestHttpServer web("web\n");
    const std::string users = MonsimProcess::writeTempFile("reload-users", "alice s3cret\n");
    const std::string conf = MonsimProcess::writeTempFile(
        "kept.conf",
        "users " + users + "\nblock to 127.0.0.1 port " + std::to_string(web.port()) + "\npass\n");
    ProxyProcess proxy({"--config", conf});
    ASSERT_TRUE(proxy.started());
    auto fetch = [&](const std::string& login) {
        return curl({"--socks5", proxy.socksAddress(), "--proxy-user", login},
                    httpUrl("127.0.0.1", web.port()));
    };
    EXPECT_EQ(fetch("alice:s3cret").exitStatus, CURL_PROXY_REFUSED);

    struct Case {
        std::string conf, users;
        std::vector<std::string> logged;
    };
    const Case cases[] = {
        {"pass\nbogus 1\nclient pass from 10.1.2.3/8\n",
         "alice s3cret\n",
         {conf + ":2: unknown directive \"bogus\"\n",
          conf
              + ":3: bad rule \"pass from 10.1.2.3/8\": \"10.1.2.3/8\" has bits set beyond its "
                "prefix; the block is 10.0.0.0/8\n"}},
        {"users " + users + "\npass\n",
         "alice has two passwords\n",
         {users + ":1: expected \"NAME PASSWORD\"\n"}},
    };
    int refusals = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.conf);
        writeFile(conf, c.conf);
        writeFile(users, c.users);
        ASSERT_TRUE(proxy.reload());
        EXPECT_TRUE(proxy.waitForLog("reload refused for the mistakes that follow; the settings "
                                     "in force stay\n",
                                     ++refusals));
        for (const std::string& line : c.logged)
            EXPECT_NE(proxy.log().find(line), std::string::npos) << proxy.log();
        EXPECT_EQ(fetch("alice:s3cret").exitStatus, CURL_PROXY_REFUSED);
    }
    // The file gone is a mistake too.
    unlink(conf.c_str());
    ASSERT_TRUE(proxy.reload());
    EXPECT_NE(proxy.log().find(conf + ": cannot be read: No such file or directory\n"),
              std::string::npos)
        << proxy.log();
    EXPECT_EQ(fetch("alice:s3cret").exitStatus, CURL_PROXY_REFUSED);

    // Put right, the files take over: the block is gone and bob may log in.
    writeFile(conf, "users " + users + "\npass\n");
    writeFile(users, "bob hunter2\n");
    ASSERT_TRUE(proxy.reload());
    EXPECT_TRUE(proxy.waitForLog("reloaded: 0 client rules, 1 request rules, 0 monitor-allow "
                                 "blocks, 1 users from "
                                 + users + "\n"))
        << proxy.log();
    EXPECT_EQ(fetch("alice:s3cret").exitStatus, CURL_PROXY_REFUSED);
    EXPECT_EQ(fetch("bob:hunter2").out, "web\n");

    std::vector<CsvRow> rows = endedRows(proxy, 6);
    EXPECT_EQ(rowsWithError(rows, "blocked by rule 1"), 4u);
    EXPECT_EQ(rowsWithError(rows, "Authentication failed"), 1u);
    EXPECT_TRUE(proxy.stop());
    unlink(conf.c_str());
    unlink(users.c_str());
}
