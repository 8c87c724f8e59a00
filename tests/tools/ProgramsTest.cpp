// The tools as a user meets them: their help texts, manual pages, mistakes on the command
// line, exit statuses and vantor-mon's repeated passes. Installation is checked by install/.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <set>

#include "tests/tools/ProxyProcess.h"
#include "tests/support/RunProcess.h"

namespace {

const std::string BIN = VANTOR_BINARY_DIR;
const std::string SRC = VANTOR_SOURCE_DIR;

// Every "--word" in the text.
std::set<std::string> longOptions(const std::string &text)
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
        for (const std::string &opt : options)
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

TEST(ToolPrograms, BadOptionValuesSayWhatWasExpected)
{
    struct Case {
        std::vector<std::string> argv;
        std::string err;
    };
    const std::string proxy = BIN + "/tools/proxy/vantor-proxy",
                      sim = BIN + "/tools/monsim/vantor-monsim";
    for (const Case &c :
         std::vector<Case>{{{proxy, "--socks", "localhost:1080"},
                            "vantor-proxy: bad value \"localhost:1080\" for --socks: expected a "
                            "numeric IPv4 address with "
                            "an optional port, such as 127.0.0.1:1080\nTry 'vantor-proxy --help' "
                            "for the options.\n"},
                           {{proxy, "--retention", "soon"},
                            "vantor-proxy: bad value \"soon\" for --retention: expected a whole "
                            "number of seconds\n"
                            "Try 'vantor-proxy --help' for the options.\n"},
                           {{proxy, "--max-records", "0"},
                            "vantor-proxy: bad value \"0\" for --max-records: expected a whole "
                            "number from 1 to 100000000\n"
                            "Try 'vantor-proxy --help' for the options.\n"},
                           {{sim, "--port", "70000"},
                            "vantor-monsim: bad value \"70000\" for --port: expected a whole "
                            "number from 0 to 65535\n"
                            "Try 'vantor-monsim --help' for the options.\n"},
                           {{sim, "--connections", "many"},
                            "vantor-monsim: bad value \"many\" for --connections: expected a whole "
                            "number from 0 to "
                            "1000000\nTry 'vantor-monsim --help' for the options.\n"}}) {
        ProcessResult r = RunProcess(c.argv);
        EXPECT_EQ(r.exitStatus, 2) << c.argv[1];
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(ToolPrograms, TheProxyRefusesAnUnusableUsersFileAtOnce)
{
    char pattern[] = "/tmp/vantor-users-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string fifo = dir + "/fifo", empty = dir + "/empty";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(empty) << "# nobody yet\n";
    for (const std::pair<std::string, std::string> &c :
         std::vector<std::pair<std::string, std::string>>{
             {fifo, fifo + ": not a regular file"},
             {dir, dir + ": not a regular file"},
             {empty, empty + ": names no user, so nobody could log in"}}) {
        // A FIFO nobody writes to must not hold the start: the time limit would kill it.
        ProcessResult r = RunProcess({BIN + "/tools/proxy/vantor-proxy", "--users", c.first,
                                      "--socks", "127.0.0.1:0", "--monitor", "127.0.0.1:0"},
                                     {}, 10);
        EXPECT_EQ(r.exitStatus, 1) << c.first;
        EXPECT_EQ(r.err, "vantor-proxy: " + c.second + "\n");
    }
    unlink(fifo.c_str());
    unlink(empty.c_str());
    rmdir(dir.c_str());
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
    ProcessResult unnamed = RunProcess({mon, "no-such-host.invalid"});
    EXPECT_EQ(unnamed.exitStatus, 1);
    EXPECT_EQ(
        unnamed.err,
        "vantor-mon: cannot connect to no-such-host.invalid: the host name cannot be resolved\n");
}
