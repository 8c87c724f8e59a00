// The tools as a user meets them: their help texts, manual pages, mistakes on the command
// line, exit statuses and vantor-mon's repeated passes. Installation is checked by install/.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>

#include "tests/tools/ProxyProcess.h"
#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"
#include "tests/support/Unresolvable.h"

namespace {

const std::string BIN = VANTOR_BINARY_DIR;
const std::string SRC = VANTOR_SOURCE_DIR;

// Every "--word" in the text.
std::set<std::string> longOptions(const std::string& text)
{
    std::set<std::string> out;
    for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
        size_t end = at + 2;
        while (end < text.size()
               && (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-'))
            ++end;
        if (end > at + 3)
            out.insert(text.substr(at, end - at));
    }
    return out;
}

} // namespace

TEST(ToolPrograms, HelpListsEveryOptionAndTheManualPageDescribesIt)
{
    for (const std::string name : {"vantor-proxy", "vantor-mon", "vantor-monsim"}) {
        std::string program = BIN + "/tools/" + name.substr(7) + "/" + name;
        ProcessResult help = RunProcess({program, "--help"});
        ASSERT_EQ(help.exitStatus, 0) << name;
        std::set<std::string> options = longOptions(help.out);
        EXPECT_GE(options.size(), 5u) << help.out;
        std::ifstream in(SRC + "/doc/" + name + ".1");
        std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        page.erase(std::remove(page.begin(), page.end(), '\\'), page.end()); // "\-\-" is "--"
        ASSERT_FALSE(page.empty()) << name;
        for (const std::string& opt : options)
            EXPECT_NE(page.find(opt), std::string::npos) << name << ".1 lacks " << opt;
        ProcessResult bad = RunProcess({program, "--no-such-option"});
        EXPECT_EQ(bad.exitStatus, 2) << name;
        EXPECT_NE(bad.err.find("--no-such-option"), std::string::npos) << bad.err;
        EXPECT_EQ(bad.err.find("Usage"), std::string::npos) << "a mistake is answered briefly";
        ProcessResult version = RunProcess({program, "--version"});
        EXPECT_EQ(version.exitStatus, 0);
        EXPECT_EQ(version.out, name + " 1.0\n");
    }
}

// The proxy's are read in TheProxyChecksItsConfigurationAndReportsEveryMistake.
TEST(ToolPrograms, ABadOptionValueSaysWhatWasExpected)
{
    ProcessResult r = RunProcess({BIN + "/tools/monsim/vantor-monsim", "--port", "70000"});
    EXPECT_EQ(r.exitStatus, 2);
    EXPECT_EQ(r.err,
              "vantor-monsim: bad value \"70000\" for --port: expected a whole number from 0 "
              "to 65535\nTry 'vantor-monsim --help' for the options.\n");
}

TEST(ToolPrograms, TheProxyChecksItsConfigurationAndReportsEveryMistake)
{
    const std::string proxy = BIN + "/tools/proxy/vantor-proxy";
    const std::string good = MonsimProcess::writeTempFile("good.conf",
                                                          "# reachable from the test network only\n"
                                                          "socks 0.0.0.0:1080\n"
                                                          "client pass from 192.0.2.0/24\n"
                                                          "block to .example.org\n"
                                                          "pass port 80-443 command connect\n");
    ProcessResult valid = RunProcess({proxy, "--config", good, "--check-config"});
    EXPECT_EQ(valid.exitStatus, 0);
    EXPECT_EQ(valid.out,
              "configuration is valid: 1 client rules, 2 request rules, 0 "
              "monitor-allow blocks\n");
    EXPECT_EQ(valid.err, "");

    const std::string bad = MonsimProcess::writeTempFile("bad.conf",
                                                         "retention soon\n"
                                                         "\n"
                                                         "client pass from 10.0.0.1/8\n"
                                                         "listen 127.0.0.1\n");
    ProcessResult invalid =
        RunProcess({proxy, "--config", bad, "--check-config", "--socks", "[::1"});
    EXPECT_EQ(invalid.exitStatus, 2);
    EXPECT_EQ(invalid.out, "");
    EXPECT_EQ(invalid.err,
              bad + ":1: bad value \"soon\" for retention: expected a whole number of seconds\n"
                  + bad
                  + ":3: bad rule \"pass from 10.0.0.1/8\": \"10.0.0.1/8\" has bits set beyond "
                    "its prefix; the block is 10.0.0.0/8\n"
                  + bad + ":4: unknown directive \"listen\"\n"
                  + "vantor-proxy: bad value \"[::1\" for --socks: expected a numeric IPv4 or "
                    "IPv6 address with an optional port, such as 127.0.0.1:1080 or [::1]:1080\n");
    // Without --check-config the same mistakes stop the start.
    ProcessResult start = RunProcess({proxy, "--config", bad}, {}, 10);
    EXPECT_EQ(start.exitStatus, 2);
    EXPECT_NE(start.err.find(bad + ":4: unknown directive \"listen\"\n"), std::string::npos)
        << start.err;

    ProcessResult outside = RunProcess({proxy, "--check-config", "--users", "/nonexistent/users",
                                        "--user", "no-such-account-here"});
    EXPECT_EQ(outside.exitStatus, 2);
    EXPECT_EQ(outside.err,
              "vantor-proxy: /nonexistent/users: cannot be read: No such file or directory\n"
              "vantor-proxy: user no-such-account-here: no such account\n");
    unlink(good.c_str());
    unlink(bad.c_str());
}

TEST(ToolPrograms, TheProxyRefusesToBeOpenToOtherHostsWithoutRules)
{
    const std::string proxy = BIN + "/tools/proxy/vantor-proxy";
    // Refused before anything listens: no port is open to other hosts even for a moment.
    ProcessResult open =
        RunProcess({proxy, "--socks", "0.0.0.0:0", "--monitor", "127.0.0.1:0"}, {}, 10);
    EXPECT_EQ(open.exitStatus, 2);
    EXPECT_EQ(open.err,
              "vantor-proxy: the SOCKS address 0.0.0.0:0 is reachable from other hosts and no "
              "client or request rule says who may use it: that would be an open proxy for "
              "anyone; add rules (such as \"client pass from 192.0.2.0/24\") or listen on "
              "loopback\nTry 'vantor-proxy --help' for the options.\n");
}

TEST(ToolPrograms, SimulatorOnAFreePortTellsWhichOnItsOutput)
{
    // Killed after a second: what matters is the first line it printed.
    ProcessResult sim = RunProcess({BIN + "/tools/monsim/vantor-monsim", "--port", "0"}, {}, 1);
    int port = std::atoi(sim.out.c_str());
    EXPECT_GT(port, 0) << sim.out;
    EXPECT_LE(port, 65535);
    EXPECT_EQ(sim.out, std::to_string(port) + "\n");
}

TEST(ToolPrograms, MonitorWatchesAndReportsAnUnreachableServer)
{
    ProxyProcess proxy;
    ASSERT_TRUE(proxy.started());
    std::string mon = BIN + "/tools/mon/vantor-mon";
    ProcessResult csv =
        RunProcess({mon, "--csv", "--watch", "1", "--count", "2", proxy.monitorAddress()});
    ASSERT_EQ(csv.exitStatus, 0);
    EXPECT_EQ(csv.out,
              "key,state,status,start,cur,end,source,destination,proxy,srchost,dsthost,"
              "proxyhost,user,service,authen,cmd,in,out,socks_err,error\n"); // one header
    ProcessResult table = RunProcess({mon, "--watch", "1", "--count", "2", proxy.monitorAddress()});
    ASSERT_EQ(table.exitStatus, 0);
    // Each pass of a table starts with the time it was read.
    const std::regex pass(
        "== \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ==\n"
        "KEY  STATUS  START  DURATION  SOURCE  DESTINATION  HOST  USER  SERVICE  IN  OUT  ERROR\n");
    std::smatch first, second;
    std::string out = table.out;
    ASSERT_TRUE(std::regex_search(out, first, pass, std::regex_constants::match_continuous)) << out;
    std::string rest = first.suffix().str();
    ASSERT_EQ(rest.substr(0, 1), "\n");
    EXPECT_TRUE(std::regex_match(rest.substr(1), pass)) << rest;
    std::string address = proxy.monitorAddress();
    ASSERT_TRUE(proxy.stop());
    ProcessResult gone = RunProcess({mon, address});
    EXPECT_EQ(gone.exitStatus, 1);
    EXPECT_EQ(gone.err,
              "vantor-mon: cannot connect to " + address
                  + ": connection refused (is a monitoring service listening on that port?)\n");
    ProcessResult unnamed = RunProcess({mon, UnresolvableHostName()});
    EXPECT_EQ(unnamed.exitStatus, 1);
    EXPECT_EQ(unnamed.err,
              "vantor-mon: cannot connect to " + UnresolvableHostName()
                  + ": the host name cannot be resolved\n");
}
