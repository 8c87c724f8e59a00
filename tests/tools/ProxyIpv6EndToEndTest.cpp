// The proxy over IPv6 as curl and vantor-mon meet it: SOCKS and monitoring ports on ::1
// beside 127.0.0.1, IPv6 clients and destinations listed with their IPv6 addresses, and
// the proxy's own ports refused in either family. Rules on IPv6 destinations are tried
// with the others in ProxyRulesEndToEndTest.
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

std::string ipv6Socks(const ProxyProcess& p)
{
    return "[::1]:" + std::to_string(p.socksPorts().at(1));
}

std::string port(int p)
{
    return std::to_string(p);
}

} // namespace

TEST(ProxyIpv6, BothFamiliesAreRelayedAndListedWithTheirAddressesAndTheProxysOwnPortsRefused)
{
    TestHttpServer web4("over IPv4\n"), web6("over IPv6\n", AF_INET6);
    // On 127.0.0.1 and [::1], monitored on [::1]; socksPorts()[1] is the IPv6 port.
    ProxyProcess proxy({"--socks", "[::1]:0", "--monitor", "[::1]:0"});
    ASSERT_TRUE(proxy.started()) << proxy.log();
    ASSERT_EQ(proxy.socksPorts().size(), 2u);
    EXPECT_EQ(proxy.monitorAddress(), "[::1]:" + port(proxy.monitorPort()));

    struct Case {
        std::vector<std::string> proxyOptions;
        std::string url, body, source, destination, proxyAddress;
        bool refused; // a destination that is the proxy itself
    };
    const std::string p4 = port(proxy.socksPorts()[0]), p6 = port(proxy.socksPorts()[1]),
                      monitor = port(proxy.monitorPort());
    const std::vector<std::string> from6 = {"-x", "socks5h://" + ipv6Socks(proxy)},
                                   from4 = {"--socks5", "127.0.0.1:" + p4};
    const Case cases[] = {
        // An IPv6 client to an IPv4 destination, by name.
        {{"--socks5-hostname", ipv6Socks(proxy)},
         "http://127.0.0.1:" + port(web4.port()) + "/",
         "over IPv4\n",
         "::1",
         "127.0.0.1:" + port(web4.port()),
         "[::1]:" + p6,
         false},
        // An IPv6 client to an IPv6 destination, the address sent as a name.
        {from6, "http://[::1]:" + port(web6.port()) + "/", "over IPv6\n", "::1",
         "[::1]:" + port(web6.port()), "[::1]:" + p6, false},
        // An IPv4 client to an IPv6 destination sent as an IPv6 address (type 4).
        {from4, "http://[::1]:" + port(web6.port()) + "/", "over IPv6\n", "127.0.0.1",
         "[::1]:" + port(web6.port()), "127.0.0.1:" + p4, false},
        // Through its own ports a client could hold monitor connections or loop the proxy
        // into itself.
        {from6, "http://[::1]:" + monitor + "/", "", "::1", "[::1]:" + monitor, "[::1]:" + p6,
         true},
        {from4, "http://127.0.0.1:" + p4 + "/", "", "127.0.0.1", "127.0.0.1:" + p4,
         "127.0.0.1:" + p4, true},
    };
    for (const Case& c : cases) {
        ProcessResult r = curl(c.proxyOptions, c.url);
        EXPECT_EQ(r.exitStatus, c.refused ? CURL_PROXY_REFUSED : 0) << c.url << r.err;
        EXPECT_EQ(r.out, c.body) << c.url;
    }

    std::vector<CsvRow> rows = endedRows(proxy, 5);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(cases[i].url);
        EXPECT_EQ(rows[i]["status"], cases[i].refused ? "failed" : "ended");
        EXPECT_EQ(rows[i]["srchost"], cases[i].source);
        EXPECT_EQ(rows[i]["destination"], cases[i].destination);
        EXPECT_EQ(rows[i]["proxy"], cases[i].proxyAddress);
        EXPECT_EQ(rows[i]["socks_err"], cases[i].refused ? "2" : "0");
        EXPECT_EQ(rows[i]["error"], cases[i].refused ? "Connection not allowed by ruleset" : "");
    }
    EXPECT_TRUE(proxy.stop());
}
