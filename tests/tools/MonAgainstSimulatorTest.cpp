// vantor-mon against the monitoring-service simulator, a server it shares no code with:
// the exact table and CSV of a scripted pass, then a server that drops the connection.
#include <gtest/gtest.h>

#include "tests/support/MonsimProcess.h"
#include "tests/support/RunProcess.h"

namespace {

const std::string MON = VANTOR_BINARY_DIR "/tools/mon/vantor-mon";

const char* const SCRIPT =
    "pass\n"
    "conn key=1 state=2 start=1700000000 cur=1700000065 in=1234 out=56 authen=2 cmd=1"
    " src=10.0.0.5:40000 dst=www.example.org:443 proxy=10.0.0.1:1080 srchost=10.0.0.5"
    " dsthost=www.example.org proxyhost=gw user=alice app=https\n"
    "conn key=65537 state=12 start=1700000010 cur=1700000065 end=1700000011 err=5 cmd=1"
    " src=10.0.0.6:40001 dst=10.0.0.9:23 dsthost=10.0.0.9 app=telnet errmsg=Connection~refused\n"
    "pass\n"
    "close\n";

const std::string TABLE =
    "KEY         STATUS  START                DURATION  SOURCE          DESTINATION"
    "          HOST             USER   SERVICE  IN    OUT  ERROR\n"
    "<4242,0,1>  active  2023-11-14 22:13:20  0:01:05   10.0.0.5:40000  www.example.org:443"
    "  www.example.org  alice  https    1234  56\n"
    "<4242,1,1>  failed  2023-11-14 22:13:30  0:00:01   10.0.0.6:40001  10.0.0.9:23"
    "          10.0.0.9                telnet   0     0    5 Connection refused\n";

const std::string CSV =
    "key,state,status,start,cur,end,source,destination,proxy,srchost,dsthost,proxyhost,"
    "user,service,authen,cmd,in,out,socks_err,error\n"
    "\"<4242,0,1>\",2,active,1700000000,1700000065,0,10.0.0.5:40000,www.example.org:443,"
    "10.0.0.1:1080,10.0.0.5,www.example.org,gw,alice,https,2,1,1234,56,0,\n"
    "\"<4242,1,1>\",12,failed,1700000010,1700000065,1700000011,10.0.0.6:40001,10.0.0.9:23,"
    ",,10.0.0.9,,,telnet,0,1,0,0,5,Connection refused\n";

} // namespace

TEST(MonAgainstSimulator, PrintsTheScriptedPassExactlyThenFailsWhenDropped)
{
    for (bool csv : {false, true}) {
        MonsimProcess sim({"--script", MonsimProcess::writeTempFile("mon.txt", SCRIPT)});
        std::vector<std::string> argv = {MON, sim.address()};
        if (csv)
            argv.insert(argv.begin() + 1, "--csv");
        ProcessResult pass = RunProcess(argv, {"TZ=UTC"});
        ASSERT_EQ(pass.exitStatus, 0) << pass.err;
        EXPECT_EQ(pass.out, csv ? CSV : TABLE);
        ProcessResult dropped = RunProcess(argv, {"TZ=UTC"}); // the second pass closes instead
        EXPECT_EQ(dropped.exitStatus, 1);
        EXPECT_EQ(dropped.out, "");
        EXPECT_EQ(dropped.err,
                  "vantor-mon: reading from " + sim.address()
                      + " failed: the server closed the connection\n");
    }
}

TEST(MonAgainstSimulator, AServerThatTricklesOrNeverEndsIsGivenUpWithStatusOne)
{
    const char* const ONE = "pass\nconn key=1 src=10.0.0.5:40000 dst=10.0.0.9:23\n";
    struct Case {
        const char* fault;
        const char *before, *after; // the message around the server's address
    } cases[] = {
        {"trickle", "reading from ",
         " failed: timed out waiting for the server\n"}, // past --timeout
        {"endless", "", " sent more than 500000 records in one pass\n"},
    };
    for (const Case& c : cases) {
        MonsimProcess sim(
            {"--script", MonsimProcess::writeTempFile("one.txt", ONE), "--fault", c.fault});
        ProcessResult run = RunProcess({MON, "--timeout", "1", sim.address()}, {});
        EXPECT_EQ(run.exitStatus, 1) << c.fault;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, std::string("vantor-mon: ") + c.before + sim.address() + c.after);
    }
}
