// The proxy's parts without sockets: SOCKS5 messages, connection records, users file, options.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>

#include "tools/proxy/ByteBuffer.h"
#include "tools/proxy/ConnTable.h"
#include "tools/proxy/IpAddress.h"
#include "tools/proxy/NetUtil.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/OwnAddress.h"
#include "tools/proxy/Resolver.h"
#include "tools/proxy/Socks5Proto.h"
#include "tools/proxy/UserFile.h"

using namespace socks5;

// Whole messages, the methods chosen and the replies are what curl, PySocks and the BIND and
// early-data tests meet end to end; here, what they never send.
TEST(Socks5Messages, PartialMessagesWaitForTheRestAndMalformedOnesAreRefused)
{
    const uint8_t greeting[] = {5, 2, 0, 2}, socks4[] = {4, 1, 0, 80}, noMethods[] = {5, 0};
    Greeting g;
    size_t used = 0;
    EXPECT_EQ(parseGreeting(greeting, 1, &g, &used), Parse::NeedMore);
    EXPECT_EQ(parseGreeting(greeting, 3, &g, &used), Parse::NeedMore);
    EXPECT_EQ(parseGreeting(socks4, 1, &g, &used), Parse::Bad);
    EXPECT_EQ(parseGreeting(noMethods, 2, &g, &used), Parse::Bad);

    const uint8_t credentials[] = {1, 5, 'a', 'l', 'i', 'c', 'e', 3, 'p', 'w', '!'};
    Credentials c;
    for (size_t len = 0; len < sizeof credentials; ++len)
        EXPECT_EQ(parseCredentials(credentials, len, &c, &used), Parse::NeedMore) << len;
    const uint8_t wrongVersion[] = {5, 0, 0};
    EXPECT_EQ(parseCredentials(wrongVersion, 3, &c, &used), Parse::Bad);

    const uint8_t v4[] = {5, 1, 0, 1, 10, 1, 2, 3, 0x1f, 0x90};
    Request r;
    EXPECT_EQ(parseRequest(v4, 9, &r, &used), Parse::NeedMore);
    const uint8_t emptyName[] = {5, 1, 0, 3, 0, 0, 80};
    EXPECT_EQ(parseRequest(emptyName, sizeof emptyName, &r, &used), Parse::Bad);
    // An unknown address type is read whole, so that the proxy can answer it.
    const uint8_t unknownType[] = {5, 1, 0, 9, 1, 2};
    ASSERT_EQ(parseRequest(unknownType, sizeof unknownType, &r, &used), Parse::Done);
    EXPECT_EQ(r.addrType, 9);
}

namespace {
// "127.0.0.1:5000" or "[::1]:5000" as a socket address.
sockaddr_storage inet(const char* text)
{
    Endpoint e;
    EXPECT_TRUE(parseEndpoint(text, &e));
    return socketAddress(e);
}
} // namespace

TEST(ConnectionRecords, KeysHoldProcessIdAndSplitCounter)
{
    ConnTable table(4242, 1000);
    ConnRecord* rec = nullptr;
    for (int i = 0; i < 0x10001; ++i) // the 65537th connection carries into the high word
        rec = table.open(inet("127.0.0.1:5000"), inet("127.0.0.1:1080"), 1000);
    S5MonKey key = table.keyOf(rec->serial);
    uint32_t pid, high;
    uint16_t low;
    std::memcpy(&pid, key.key, 4);
    std::memcpy(&high, key.key + 4, 4);
    std::memcpy(&low, key.key + 8, 2);
    EXPECT_EQ(pid, 4242u);
    EXPECT_EQ(high, 1u);
    EXPECT_EQ(low, 1u);
    uint64_t serial = 0;
    ASSERT_TRUE(table.serialFromKey(key, &serial));
    EXPECT_EQ(serial, rec->serial);
    key.key[0] ^= 1; // another process's key
    EXPECT_FALSE(table.serialFromKey(key, &serial));
}

// A record keeps its addresses in less room than the socket functions hand them over in:
// what the monitor reads and what the rules and logs are given back are the same bytes.
TEST(ConnectionRecords, AddressesOfEitherFamilyComeBackWhole)
{
    ConnTable table(1, 1000);
    sockaddr_storage source = inet("[fe80::1:2]:40000");
    reinterpret_cast<sockaddr_in6&>(source).sin6_scope_id = 3;
    reinterpret_cast<sockaddr_in6&>(source).sin6_flowinfo = htonl(0x12345);
    const sockaddr_storage proxy = inet("127.0.0.1:1080"), destination = inet("[2001:db8::9]:443");
    ConnRecord* rec = table.open(source, proxy, 1000);
    table.setDestination(rec, destination);
    auto same = [](const RecordAddress& kept, const sockaddr_storage& given) {
        sockaddr_storage back = kept.storage();
        return std::memcmp(&back, &given, sizeof given) == 0;
    };
    EXPECT_TRUE(same(rec->src, source));
    EXPECT_TRUE(same(rec->proxy, proxy));
    EXPECT_TRUE(same(rec->dst, destination));

    S5MonData data;
    ASSERT_TRUE(table.toMonData(rec->serial, S5MonKey{}, 1000, &data));
    EXPECT_EQ(std::memcmp(&data.srcSockAddr.sin6, &source, sizeof(sockaddr_in6)), 0);
    EXPECT_EQ(std::memcmp(&data.proxySockAddr.sin, &proxy, sizeof(sockaddr_in)), 0);
    EXPECT_EQ(std::memcmp(&data.dstSockAddr.sin6, &destination, sizeof(sockaddr_in6)), 0);
    // An IPv4 address leaves nothing of an IPv6 one that the record held before.
    table.setDestination(rec, proxy);
    EXPECT_TRUE(same(rec->dst, proxy));
}

TEST(ConnectionRecords, EndedAndFailedStayForTheRetentionPeriod)
{
    ConnTable table(1, 1000);
    ConnRecord* ok = table.open(inet("127.0.0.1:5000"), inet("127.0.0.1:1080"), 1000);
    ConnRecord* bad = table.open(inet("127.0.0.1:5001"), inet("127.0.0.1:1080"), 1000);
    ConnRecord* open = table.open(inet("127.0.0.1:5002"), inet("127.0.0.1:1080"), 1000);
    table.addIn(ok, 300);
    table.addOut(ok, 20);
    table.end(ok, 1010);
    table.fail(bad, 5, "Connection refused", 1020);
    table.fail(bad, 1, "later", 1030); // an ended record keeps its first outcome

    S5MonData d;
    uint64_t badSerial = bad->serial, okSerial = ok->serial;
    ASSERT_TRUE(table.toMonData(badSerial, S5MonKey{}, 1050, &d));
    EXPECT_EQ(d.state, uint32_t(STATE_ENDED | STATE_FAILED));
    EXPECT_EQ(d.socksErr, 5u);
    EXPECT_STREQ(d.socksErrMsg, "Connection refused");

    table.expire(1015, 10); // ok ended 5 s ago: still listed
    EXPECT_EQ(table.size(), 3u);
    table.expire(1020, 10);
    EXPECT_EQ(table.find(okSerial), nullptr);
    EXPECT_NE(table.find(badSerial), nullptr);
    // A failed record stays while its session still sends the refusal and holds it.
    table.expire(1100, 10);
    ASSERT_NE(table.find(badSerial), nullptr);
    table.end(bad, 1100);
    EXPECT_EQ(table.find(badSerial)->endTime, 1020); // the end of a failure is its time
    table.expire(1100, 10);
    EXPECT_EQ(table.serials(), std::vector<uint64_t>{open->serial});

    S5MonTot_t t = table.totals(1100);
    EXPECT_EQ(t.curConns, 1u);
    EXPECT_EQ(t.delConns, 2u);
    EXPECT_EQ(t.inTotBytes, 300u);
    EXPECT_EQ(t.outTotBytes, 20u);
    EXPECT_EQ(t.startTime, 1000);
}

TEST(ConnectionRecords, BeyondTheLimitTheFirstEndedAreDroppedAndCountedAsDeleted)
{
    ConnTable table(1, 1000, 4);
    std::vector<ConnRecord*> active;
    std::vector<uint64_t> ended;
    for (int i = 0; i < 3; ++i)
        active.push_back(table.open(inet("127.0.0.1:5000"), inet("127.0.0.1:1080"), 1000));
    // A flood of short connections, each ended at once: the table never holds more than 4.
    for (int i = 0; i < 1000; ++i) {
        ConnRecord* rec = table.open(inet("127.0.0.1:6000"), inet("127.0.0.1:1080"), 1000 + i);
        ended.push_back(rec->serial);
        table.fail(rec, 5, "Connection refused", 1000 + i);
        table.end(rec, 1000 + i);
        EXPECT_LE(table.size(), 4u);
    }
    // The open ones are never dropped; the one left of the flood is the last.
    for (ConnRecord* rec : active)
        EXPECT_NE(table.find(rec->serial), nullptr);
    EXPECT_NE(table.find(ended.back()), nullptr);
    EXPECT_EQ(table.dropped(), 999u);

    // Open connections beyond the limit are kept: only ended ones make room.
    for (int i = 0; i < 3; ++i)
        active.push_back(table.open(inet("127.0.0.1:5000"), inet("127.0.0.1:1080"), 2000));
    EXPECT_EQ(table.size(), 6u);
    // Expiry and dropping share the bookkeeping: nothing is counted twice.
    table.expire(5000, 10);
    EXPECT_EQ(table.totals(5000).delConns, 1000u);
}

TEST(ConnectionRecords, UsersCollectTheirConnections)
{
    ConnTable table(1, 1000);
    ConnRecord* a = table.open(inet("127.0.0.1:5000"), inet("127.0.0.1:1080"), 1000);
    ConnRecord* b = table.open(inet("127.0.0.1:5001"), inet("127.0.0.1:1080"), 1002);
    table.setUser(a, "alice");
    table.setUser(b, "alice");
    table.end(a, 1005);
    S5MonUser_t u;
    ASSERT_TRUE(table.toUser("alice", 1006, &u));
    EXPECT_EQ(u.curConns, 1u);
    EXPECT_EQ(u.startTime, 1000);
    EXPECT_EQ(u.endTime, 0); // still has an open connection
    table.fail(b, 4, "Host unreachable", 1008);
    ASSERT_TRUE(table.toUser("alice", 1009, &u));
    EXPECT_EQ(u.endTime, 1008);
    EXPECT_EQ(table.totals(1009).endUsers, 1u);

    table.expire(1008 + 300, 300);
    EXPECT_TRUE(table.userNames().empty());
    S5MonTot_t t = table.totals(1400);
    EXPECT_EQ(t.delUsers, 1u);
    EXPECT_EQ(t.totUsers, 1u);
}

TEST(UsersFile, ReadsPairsAndReportsTheBadLine)
{
    std::string path = testing::TempDir() + "users_" + std::to_string(getpid());
    std::ofstream(path) << "# proxy users\n\nalice secret\n  bob\tpw  \r\n";
    UserFile users;
    std::string error;
    ASSERT_TRUE(users.load(path, &error)) << error;
    EXPECT_TRUE(users.check("alice", "secret"));
    EXPECT_TRUE(users.check("bob", "pw"));
    EXPECT_FALSE(users.check("alice", "pw"));
    EXPECT_FALSE(users.check("carol", ""));

    const struct {
        std::string text, error;
    } bad[] = {
        {"alice secret\nbob\n", ":2: expected \"NAME PASSWORD\""},
        {std::string("alice secret\nbob p\0w\n", 21), ":2: holds a control byte or a NUL"},
        {"al\x1bice secret\n", ":1: holds a control byte or a NUL"},
        {"# only a comment\n\n", ": names no user, so nobody could log in"},
    };
    for (const auto& b : bad) {
        std::ofstream(path) << b.text;
        EXPECT_FALSE(users.load(path, &error)) << b.error;
        EXPECT_EQ(error, path + b.error);
    }
    EXPECT_TRUE(users.check("alice", "secret")); // a bad file changes nothing
    EXPECT_EQ(users.size(), 2u);
    unlink(path.c_str());
}

// Order across partial writes and refills is checked through the copying relay end to end
// (ProxyRelay.WithoutDescriptorsForPipesTheRelayCopiesAndCountsAlike).
TEST(RelayBuffer, AFullBufferIsNoEndOfFileAndAnEmptyOneHoldsNoMemory)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
    ByteBuffer buffer(8);
    EXPECT_EQ(buffer.readFrom(pair[0]), -1); // a read that finds nothing takes no memory
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_EQ(buffer.storage(), 0u);
    ASSERT_EQ(write(pair[1], "abcdefghij", 10), 10);
    ASSERT_EQ(buffer.readFrom(pair[0]), 8);
    EXPECT_EQ(buffer.readFrom(pair[0]), -1); // full: never a 0 that would mean end of file
    EXPECT_EQ(errno, EAGAIN);
    ASSERT_EQ(buffer.writeTo(pair[0]), 8);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(buffer.storage(), 0u) << "a drained buffer holds no memory";
    close(pair[0]);
    close(pair[1]);
}

namespace {
// Look-ups that wait until the test opens the gate, and remember which names were asked.
struct GatedLookups {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    std::vector<std::string> asked;

    bool lookup(const std::string& name, std::vector<IpAddress>* addrs)
    {
        std::unique_lock<std::mutex> lock(mutex);
        asked.push_back(name);
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
        IpAddress loopback;
        parseIpAddress("127.0.0.1", &loopback);
        addrs->push_back(loopback);
        return true;
    }
    void waitAsked(size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(5), [&] { return asked.size() >= count; });
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
};
} // namespace

TEST(NameResolver, CancelledLookupsAreSkippedDeferredOnesWaitBehindAllAndTheQueueIsBounded)
{
    GatedLookups gate;
    std::vector<std::string> asked;
    {
        Resolver resolver(
            [&gate](const std::string& name, std::vector<IpAddress>* addrs) {
                return gate.lookup(name, addrs);
            },
            1, 3);
        ASSERT_TRUE(resolver.lookup(1, "slow.example"));
        gate.waitAsked(1); // the only worker is busy with it
        ASSERT_TRUE(resolver.lookup(2, "abandoned.example"));
        ASSERT_TRUE(resolver.lookup(3, "client-half-closed.example"));
        ASSERT_TRUE(resolver.lookup(4, "wanted.example"));
        EXPECT_FALSE(resolver.lookup(5, "one-too-many.example")); // three already wait
        resolver.cancel(2);                                       // its client left
        resolver.defer(3);
        EXPECT_TRUE(resolver.lookup(6, "room-again.example"));
        gate.release();

        std::vector<uint64_t> tickets;
        for (int i = 0; i < 500 && tickets.size() < 4; ++i) {
            for (const Resolver::Answer& a : resolver.takeAnswers()) {
                EXPECT_TRUE(a.found);
                tickets.push_back(a.ticket);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(tickets, (std::vector<uint64_t>{1, 4, 6, 3})); // deferred, but still answered
        std::lock_guard<std::mutex> lock(gate.mutex);
        asked = gate.asked;
    }
    EXPECT_EQ(asked,
              (std::vector<std::string>{"slow.example", "wanted.example", "room-again.example",
                                        "client-half-closed.example"}));
}

TEST(OwnListeners, DestinationsThatReachTheProxysPortsInEitherFamily)
{
    const std::vector<std::string> loopbackOnly = {"127.0.0.1:1080", "127.0.0.1:5051"},
                                   v4Everywhere = {"0.0.0.0:1080"},
                                   v6Loopback = {"[::1]:1080", "127.0.0.1:5051"},
                                   v6Everywhere = {"[::]:1080"};
    const struct {
        const std::vector<std::string>& listeners;
        const char* destination;
        bool reaches;
    } cases[] = {
        {loopbackOnly, "0.0.0.0:1080", true}, // 0.0.0.0: this host
        {loopbackOnly, "127.0.0.2:5051", false},
        {loopbackOnly, "127.0.0.1:80", false},
        {v4Everywhere, "127.0.0.5:1080", true},
        {v4Everywhere, "192.0.2.1:1080", false},       // documentation range, never local
        {v6Loopback, "[::]:1080", true},               // ::, this host
        {v6Loopback, "127.0.0.1:1080", false},         // not the same socket
        {v6Loopback, "[::ffff:127.0.0.1]:5051", true}, // IPv4 as IPv6
        {v6Loopback, "[::1]:80", false},
        {v6Everywhere, "[::1]:1080", true},
        {v6Everywhere, "[2001:db8::1]:1080", false}, // never local
    };
    for (const auto& c : cases) {
        std::vector<sockaddr_storage> listeners;
        for (const std::string& l : c.listeners)
            listeners.push_back(inet(l.c_str()));
        EXPECT_EQ(reachesListener(inet(c.destination), listeners), c.reaches)
            << c.destination << " against " << c.listeners[0];
    }
}
