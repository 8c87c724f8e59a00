// The proxy over IPv6 as curl and vantor-mon meet it: SOCKS and monitoring ports on ::1
// beside 127.0.0.1, IPv6 clients and destinations listed with their IPv6 addresses, and
// the request rules and the proxy's own ports applied to IPv6 destinations.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <string>
#include <vector>

#include "tests/support/RunProcess.h"
#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/TestHttpServer.h"
#include "tests/tools/ToolRuns.h"

namespace {

// curl's exit code when the SOCKS proxy refuses the request.
const int CURL_PROXY_REFUSED = 97;

// A proxy on 127.0.0.1 and [::1], monitored on [::1]; socksPorts()[1] is the IPv6 port.
std::vector<std::string> ipv6Ports(std::vector<std::string> more = {})
{
    std::vector<std::string> args = {"--socks", "[::1]:0", "--monitor", "[::1]:0"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::string ipv6Socks(const ProxyProcess& p)
{
    return "[::1]:" + std::to_string(p.socksPorts().at(1));
}

std::string port(int p)
{
    return std::to_string(p);
}

} // namespace

TEST(ProxyIpv6, ClientsAndDestinationsOfBothFamiliesAreRelayedAndListedWithTheirAddresses)
{
    TestHttpServer web4("over IPv4\n"), web6("over IPv6\n", AF_INET6);
    ProxyProcess proxy(ipv6Ports());
    ASSERT_TRUE(proxy.started()) << proxy.log();
    ASSERT_EQ(proxy.socksPorts().size(), 2u);
    EXPECT_EQ(proxy.monitorAddress(), "[::1]:" + port(proxy.monitorPort()));

    struct Case {
        std::vector<std::string> proxyOptions;
        std::string url, body, source, destination, proxyAddress;
    };
    const std::string p4 = port(proxy.socksPorts()[0]), p6 = port(proxy.socksPorts()[1]);
    const Case cases[] = {
        // An IPv6 client to an IPv4 destination, by name.
        {{"--socks5-hostname", ipv6Socks(proxy)},
         "http://127.0.0.1:" + port(web4.port()) + "/",
         "over IPv4\n",
         "::1",
         "127.0.0.1:" + port(web4.port()),
         "[::1]:" + p6},
        // An IPv6 client to an IPv6 destination, the address sent as a name.
        {{"-x", "socks5h://" + ipv6Socks(proxy)},
         "http://[::1]:" + port(web6.port()) + "/",
         "over IPv6\n",
         "::1",
         "[::1]:" + port(web6.port()),
         "[::1]:" + p6},
        // An IPv4 client to an IPv6 destination sent as an IPv6 address (type 4).
        {{"--socks5", "127.0.0.1:" + p4},
         "http://[::1]:" + port(web6.port()) + "/",
         "over IPv6\n",
         "127.0.0.1",
         "[::1]:" + port(web6.port()),
         "127.0.0.1:" + p4},
    };
    for (const Case& c : cases) {
        ProcessResult r = curl(c.proxyOptions, c.url);
        EXPECT_EQ(r.exitStatus, 0) << c.url << r.err;
        EXPECT_EQ(r.out, c.body) << c.url;
    }

    waitForEnded(proxy.monitorAddress(), 3);
    std::vector<CsvRow> rows = monCsv(proxy);
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(cases[i].url);
        EXPECT_EQ(rows[i]["status"], "ended");
        EXPECT_EQ(rows[i]["srchost"], cases[i].source);
        EXPECT_EQ(rows[i]["destination"], cases[i].destination);
        EXPECT_EQ(rows[i]["proxy"], cases[i].proxyAddress);
    }
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyIpv6, ARuleBlockingTheIpv6LoopbackRefusesWithReplyTwo)
{
    TestHttpServer web4("over IPv4\n"), web6("over IPv6\n", AF_INET6);
    ProxyProcess proxy(ipv6Ports({"--rule", "block to ::1/128", "--rule", "pass"}));
    ASSERT_TRUE(proxy.started()) << proxy.log();

    ProcessResult blocked =
        curl({"-x", "socks5h://" + ipv6Socks(proxy)}, "http://[::1]:" + port(web6.port()) + "/");
    EXPECT_EQ(blocked.exitStatus, CURL_PROXY_REFUSED);
    EXPECT_EQ(blocked.out, "");
    ProcessResult passed = curl({"-x", "socks5h://" + ipv6Socks(proxy)},
                                "http://127.0.0.1:" + port(web4.port()) + "/");
    EXPECT_EQ(passed.out, "over IPv4\n");
    EXPECT_EQ(web6.exchanges().size(), 0u);

    waitForEnded(proxy.monitorAddress(), 2);
    std::vector<CsvRow> rows = monCsv(proxy);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0]["destination"], "[::1]:" + port(web6.port()));
    EXPECT_EQ(rows[0]["socks_err"], "2");
    EXPECT_EQ(rows[0]["error"], "blocked by rule 1");
    EXPECT_EQ(rows[1]["socks_err"], "0");
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyIpv6, ConnectsToTheProxysOwnIpv6PortsAreRefused)
{
    ProxyProcess proxy(ipv6Ports());
    ASSERT_TRUE(proxy.started()) << proxy.log();
    for (int own : {proxy.socksPorts()[1], proxy.monitorPort()}) {
        ProcessResult r =
            curl({"-x", "socks5h://" + ipv6Socks(proxy)}, "http://[::1]:" + port(own) + "/");
        EXPECT_EQ(r.exitStatus, CURL_PROXY_REFUSED) << own;
    }
    EXPECT_TRUE(proxy.stop());
}
