// The proxy run as a service: what it logs, the account it goes on as, and ordinary clients
// (proxychains4, ncat) that use it as their proxy.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"
#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/TestHttpServer.h"
#include "tests/tools/ToolRuns.h"

namespace {

bool haveProgram(const std::string& name)
{
    return RunProcess({"sh", "-c", "command -v " + name}).exitStatus == 0;
}

// The line of /proc/PID/status that starts with key ("Uid:"), without the key.
std::string statusField(pid_t pid, const std::string& key)
{
    std::istringstream in(FileText("/proc/" + std::to_string(pid) + "/status"));
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(key.size());
    return "";
}

} // namespace

TEST(ProxyService, OneLineAtTheStartAndOnePerEndedConnection)
{
    TestHttpServer web(patternBody(5000));
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    EXPECT_EQ(proxy.log(),
              "vantor-proxy: SOCKS on " + proxy.socksAddress() + ", monitoring on "
                  + proxy.monitorAddress()
                  + "; 0 client rules, 0 request rules, 0 monitor-allow blocks, no "
                    "authentication\n");
    ProcessResult r = curl({"--socks5-hostname", proxy.socksAddress()},
                           "http://localhost:" + std::to_string(web.port()) + "/");
    EXPECT_EQ(r.exitStatus, 0);
    Records records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(web.exchanges().size(), 1u);
    const std::string client =
        "127.0.0.1:" + std::to_string(ntohs(records[0].srcSockAddr.sin.sin_port));
    const std::string dest = "127.0.0.1:" + std::to_string(web.port());
    EXPECT_TRUE(proxy.waitForLog(
        "vantor-proxy: connect " + client + " -> localhost:" + std::to_string(web.port()) + " ["
        + dest + "]: " + std::to_string(web.exchanges()[0].received) + " bytes out, "
        + std::to_string(web.exchanges()[0].sent) + " bytes in, "))
        << proxy.log();
    EXPECT_TRUE(proxy.waitForLog(" s: ended\n")) << proxy.log();
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyService, GoesOnAsTheAccountItIsToldOnceListening)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only a proxy started as root can change its account";
    const passwd* nobody = getpwnam("nobody");
    if (!nobody)
        GTEST_SKIP() << "no account nobody";
    const std::string uid = std::to_string(nobody->pw_uid), gid = std::to_string(nobody->pw_gid);
    TestHttpServer web("web\n");
    ProxyProcess proxy({"--user", "nobody"});
    ASSERT_TRUE(proxy.started());
    // The switch follows the ready file a moment later.
    const std::string all = "\t" + uid + "\t" + uid + "\t" + uid + "\t" + uid;
    for (int i = 0; i < 100 && statusField(proxy.pid(), "Uid:") != all; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(statusField(proxy.pid(), "Uid:"), all);
    EXPECT_EQ(statusField(proxy.pid(), "Gid:"), "\t" + gid + "\t" + gid + "\t" + gid + "\t" + gid);
    EXPECT_EQ(curl({"--socks5", proxy.socksAddress()}, httpUrl("127.0.0.1", web.port())).out,
              "web\n");
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyClients, Proxychains4RunsAnOrdinaryProgramThroughTheProxy)
{
    if (!haveProgram("proxychains4"))
        GTEST_SKIP() << "proxychains4 is not installed";
    TestHttpServer web("web\n"), blocked("blocked\n");
    ProxyProcess proxy(
        {"--rule", "block to 127.0.0.1 port " + std::to_string(blocked.port()), "--rule", "pass"});
    ASSERT_TRUE(proxy.started());
    TempDir dir;
    const std::string conf = dir.path() + "/proxychains.conf";
    std::ofstream(conf) << "strict_chain\nquiet_mode\ntcp_read_time_out 15000\n"
                           "tcp_connect_time_out 8000\n[ProxyList]\nsocks5 127.0.0.1 "
                        << proxy.socksPort() << "\n";
    // curl without any proxy option: the library calls go through the proxy.
    auto run = [&](int port) {
        return RunProcess({"proxychains4", "-q", "-f", conf, "curl", "-q", "-s", "--max-time", "30",
                           httpUrl("127.0.0.1", port)},
                          {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"});
    };
    ProcessResult passed = run(web.port());
    EXPECT_EQ(passed.exitStatus, 0) << passed.err;
    EXPECT_EQ(passed.out, "web\n");
    ProcessResult refused = run(blocked.port());
    EXPECT_NE(refused.exitStatus, 0);
    EXPECT_EQ(refused.out, "");

    waitForEnded(proxy.monitorAddress(), 2);
    std::vector<CsvRow> rows = monCsv(proxy);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["destination"], "127.0.0.1:" + std::to_string(web.port()));
    EXPECT_EQ(rows[0]["status"], "ended");
    EXPECT_EQ(rows[1]["error"], "blocked by rule 1");
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyClients, NcatConnectsThroughTheProxyWithAndWithoutAPassword)
{
    if (!haveProgram("ncat"))
        GTEST_SKIP() << "ncat is not installed";
    TestHttpServer web("web\n");
    const std::string users = MonsimProcess::writeTempFile("ncat-users", "alice s3cret\n");
    ProxyProcess open, withUsers({"--users", users});
    ASSERT_TRUE(open.started());
    ASSERT_TRUE(withUsers.started());
    struct Case {
        const ProxyProcess& proxy;
        std::string auth;
    };
    for (const Case& c : {Case{open, ""}, Case{withUsers, " --proxy-auth alice:s3cret"}}) {
        // ncat half-closes once its input ends and goes on reading the answer.
        ProcessResult r = RunProcess(
            {"sh", "-c",
             "printf 'GET / HTTP/1.0\\r\\n\\r\\n' | ncat --proxy-type socks5 --proxy "
                 + c.proxy.socksAddress() + c.auth + " 127.0.0.1 " + std::to_string(web.port())},
            {}, 30);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.out.find("\r\n\r\nweb\n"), std::string::npos) << r.out;
        Records records = waitForEnded(c.proxy.monitorAddress(), 1);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].state, 8u);
        EXPECT_STREQ(records[0].userName, c.auth.empty() ? "" : "alice");
    }
    unlink(users.c_str());
}
