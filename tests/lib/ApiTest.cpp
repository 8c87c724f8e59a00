// The client handle API against the simulator over loopback, including its fault modes.
#include "tests/support/MonsimProcess.h"
#include "lib/monAPI.h"
#include "lib/monAPIP.h"
#include "lib/monUnixTcp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <errno.h>
#include <string.h>
#include <unistd.h>

namespace {

const char kThree[] =
    "pass\n"
    "conn key=1 state=0 start=1000 cur=1060 in=10 out=20 src=10.0.0.1:4000 dst=10.0.0.9:23 "
    "user=alice app=telnet\n"
    "conn key=2 state=8 start=1001 end=1050 in=30 out=40 src=10.0.0.2:4001 dst=www.example.org:80 "
    "dsthost=www.example.org\n"
    "conn key=3 state=12 err=4 errmsg=Host~unreachable src=10.0.0.3:4002 dst=10.9.9.9:21\n";

int CountRequests(const MonsimProcess& sim, const std::string& line)
{
    std::vector<std::string> r = sim.requests();
    return static_cast<int>(std::count(r.begin(), r.end(), line));
}

class Api : public ::testing::Test {
protected:
    void Open(const MonsimProcess& sim)
    {
        ASSERT_EQ(S5MonNetOpen(sim.address().c_str(), 0, &handle), 0);
        ASSERT_NE(handle, nullptr);
    }
    void TearDown() override
    {
        if (handle)
            S5MonClose(handle);
    }
    S5MonHandle handle = nullptr;
    S5MonData conn;
};

} // namespace

TEST_F(Api, ListPassReturnsEachRecordThenZeroThenStartsANewPass)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("three.txt", kThree)});
    Open(sim);
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 1);
    EXPECT_EQ(conn.inTotBytes, 10u);
    EXPECT_STREQ(conn.userName, "alice");
    EXPECT_EQ(ntohs(conn.dstSockAddr.sin.sin_port), 23);
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 1);
    EXPECT_EQ(conn.dstSockAddr.sn.sn_family, 255);
    EXPECT_STREQ(conn.dstSockAddr.sn.sn_name, "www.example.org");
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 1);
    EXPECT_EQ(conn.state, 12u);
    EXPECT_STREQ(conn.socksErrMsg, "Host unreachable");
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 0);
    EXPECT_EQ(CountRequests(sim, "request type=2 all=0"), 1);
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 1);
    EXPECT_EQ(CountRequests(sim, "request type=2 all=0"), 2);
}

TEST_F(Api, SingleRecordsUsersAndTotals)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("three.txt", kThree)});
    Open(sim);
    while (S5MonRecvNextData(handle, 0, &conn) == 1) {}
    S5MonData wanted;
    memset(&wanted, 0, sizeof wanted);
    memcpy(wanted.key.key, conn.key.key, 10); // the last record of the pass
    EXPECT_EQ(S5MonRecvData(handle, &wanted), 0);
    EXPECT_EQ(wanted.state, 12u);
    wanted.key.key[9] = 99;
    EXPECT_EQ(S5MonRecvData(handle, &wanted), -1); // no such connection

    S5MonUser_t user;
    memset(&user, 0, sizeof user);
    strcpy(user.userName, "alice");
    EXPECT_EQ(S5MonGetUser(handle, &user), 0);
    EXPECT_EQ(user.curConns, 1u);
    EXPECT_EQ(user.inTotBytes, 10u);
    strcpy(user.userName, "nobody");
    EXPECT_EQ(S5MonGetUser(handle, &user), -1);

    int users = 0;
    while (S5MonGetNextUser(handle, &user) == 1)
        users++;
    EXPECT_EQ(users, 2); // alice and the unnamed user

    S5MonTot_t tot;
    EXPECT_EQ(S5MonGetTot(handle, &tot), 0);
    EXPECT_EQ(tot.totConns, 3u);
    EXPECT_EQ(tot.errConns, 1u);
    EXPECT_EQ(tot.endConns, 1u);
    EXPECT_EQ(tot.inTotBytes, 40u);
}

// How a pass ends under each fault of the server: the records received, then the result of
// the read that ended it, and errno where it tells the cause.
TEST_F(Api, EachFaultOfTheServerEndsThePassAsItShould)
{
    const struct {
        const char* fault;
        int records, last, error; // error 0: not checked
    } cases[] = {
        {"close-before-answer", 0, -1, ECONNRESET},
        {"close-inside-frame", 0, -1, 0},
        {"split-prefix", 3, 0, 0},
        {"stall", 0, -1, ETIMEDOUT},
    };
    int previous = Mon_TcpSetTimeout(300);
    for (const auto& c : cases) {
        MonsimProcess sim(
            {"--script", MonsimProcess::writeTempFile("three.txt", kThree), "--fault", c.fault});
        Open(sim);
        int records = 0, result;
        errno = 0;
        while ((result = S5MonRecvNextData(handle, 0, &conn)) == 1)
            records++;
        EXPECT_EQ(records, c.records) << c.fault;
        EXPECT_EQ(result, c.last) << c.fault;
        if (c.error) {
            EXPECT_EQ(errno, c.error) << c.fault;
        }
        S5MonClose(handle);
        handle = nullptr;
    }
    Mon_TcpSetTimeout(previous);
}

TEST_F(Api, LyingDescriptorsAreCutToTheirFields)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("three.txt", kThree), "--fault",
                       "bad-descriptors"});
    Open(sim);
    ASSERT_EQ(S5MonRecvNextData(handle, 0, &conn), 1);
    EXPECT_EQ(strlen(conn.srcHostName), 127u);
    EXPECT_EQ(conn.optData.len, 0);
    EXPECT_EQ(conn.inTotBytes, 10u);
}

TEST_F(Api, NewerUserReplyVersionIsRefused)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("three.txt", kThree), "--fault",
                       "user-version-1.1"});
    Open(sim);
    S5MonUser_t user;
    memset(&user, 0, sizeof user);
    strcpy(user.userName, "alice");
    EXPECT_EQ(S5MonGetUser(handle, &user), -1);
    EXPECT_EQ(S5MonGetNextUser(handle, &user), -1);
}

// A network handle keeps the server's name cut to 255 characters, ends an empty list at once
// and never sends records.
TEST_F(Api, LongServerNameIsKeptCutTo255AndAnEmptyListEndsAtOnce)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("empty.txt", "pass\n")});
    std::string name = sim.address() + std::string(300 - sim.address().size(), 'x');
    ASSERT_EQ(name.size(), 300u);
    ASSERT_EQ(S5MonNetOpen(name.c_str(), 0, &handle), 0);
    EXPECT_EQ(strlen(static_cast<MonHand_t>(handle)->name), 255u);
    EXPECT_EQ(std::string(static_cast<MonHand_t>(handle)->name), name.substr(0, 255));
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 0);
    EXPECT_EQ(CountRequests(sim, "request type=2 all=0"), 1);
    memset(&conn, 0, sizeof conn);
    EXPECT_EQ(S5MonSendData(handle, &conn), -1);
}

TEST_F(Api, OpenFailuresLeaveNoHandle)
{
    handle = reinterpret_cast<S5MonHandle>(1);
    EXPECT_EQ(S5MonNetOpen("127.0.0.1", 1, &handle), -1);
    EXPECT_EQ(handle, nullptr);
    handle = reinterpret_cast<S5MonHandle>(1);
    EXPECT_EQ(S5MonNetOpen("127.0.0.1:1", 0, &handle), -1);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(Api, NullAndForeignHandlesAreRefused)
{
    S5MonUser_t user;
    S5MonTot_t tot;
    EXPECT_EQ(S5MonClose(nullptr), -1);
    EXPECT_EQ(S5MonRecvNextData(nullptr, 0, &conn), -1);
    EXPECT_EQ(S5MonRecvData(nullptr, &conn), -1);
    EXPECT_EQ(S5MonSendData(nullptr, &conn), -1);
    EXPECT_EQ(S5MonGetUser(nullptr, &user), -1);
    EXPECT_EQ(S5MonGetNextUser(nullptr, &user), -1);
    EXPECT_EQ(S5MonGetTot(nullptr, &tot), -1);
    MonHand foreign;
    memset(&foreign, 0, sizeof foreign);
    foreign.flag = MON_FLAG_CLOSED;
    EXPECT_EQ(S5MonClose(&foreign), -1);
    EXPECT_EQ(S5MonRecvNextData(&foreign, 0, &conn), -1);
    foreign.flag = MON_FLAG_CONN_CLIENT; // accepted at the entry, but its table is empty
    EXPECT_EQ(S5MonRecvNextData(&foreign, 0, &conn), -1);
    EXPECT_EQ(S5MonClose(&foreign), -1); // an empty close entry is refused, not called
}

TEST_F(Api, AClientStalledInsideARequestDoesNotHoldUpOthers)
{
    MonsimProcess sim({"--script", MonsimProcess::writeTempFile("three.txt", kThree)});
    int stalled = Mon_TcpConnect(sim.address().c_str(), 5051);
    ASSERT_GT(stalled, 0);
    const char half[] = {0, 2, 2}; // announces two bytes, sends one, then waits
    ASSERT_EQ(write(stalled, half, sizeof half), 3);
    Open(sim);
    int previous = Mon_TcpSetTimeout(5000);
    EXPECT_EQ(S5MonRecvNextData(handle, 0, &conn), 1);
    Mon_TcpSetTimeout(previous);
    Mon_TcpClose(stalled);
}
