// The proxy run as a service: the account it goes on as, and ordinary clients (proxychains4,
// ncat) that use it as their proxy. What it logs is checked in CurlThroughProxy.
#include <gtest/gtest.h>

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
    TestHttpServer web("web\n");
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    TempDir dir;
    const std::string conf = dir.path() + "/proxychains.conf";
    std::ofstream(conf) << "strict_chain\nquiet_mode\ntcp_read_time_out 15000\n"
                           "tcp_connect_time_out 8000\n[ProxyList]\nsocks5 127.0.0.1 "
                        << proxy.socksPort() << "\n";
    // curl without any proxy option: the library calls go through the proxy.
    ProcessResult r = RunProcess({"proxychains4", "-q", "-f", conf, "curl", "-q", "-s",
                                  "--max-time", "30", httpUrl("127.0.0.1", web.port())},
                                 {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "web\n");
    Records records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].state, 8u);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyClients, NcatConnectsThroughTheProxyWithAPassword)
{
    if (!haveProgram("ncat"))
        GTEST_SKIP() << "ncat is not installed";
    TestHttpServer web("web\n");
    const std::string users = MonsimProcess::writeTempFile("ncat-users", "alice s3cret\n");
    ProxyProcess proxy({"--users", users});
    ASSERT_TRUE(proxy.started());
    // ncat half-closes once its input ends and goes on reading the answer.
    ProcessResult r =
        RunProcess({"sh", "-c",
                    "printf 'GET / HTTP/1.0\\r\\n\\r\\n' | ncat --proxy-type socks5 --proxy "
                        + proxy.socksAddress() + " --proxy-auth alice:s3cret 127.0.0.1 "
                        + std::to_string(web.port())},
                   {}, 30);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.out.find("\r\n\r\nweb\n"), std::string::npos) << r.out;
    Records records = waitForEnded(proxy.monitorAddress(), 1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].state, 8u);
    EXPECT_STREQ(records[0].userName, "alice");
    unlink(users.c_str());
}
