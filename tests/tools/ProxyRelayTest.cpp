// How vantor-proxy relays once connected: through pipes with splice(), or copying through its
// buffers where it must; either way the monitoring service lists exactly the bytes that
// passed, half-closes pass through, and an idle connection keeps no pipe.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/tools/MonitorPasses.h"
#include "tests/tools/ProxyProcess.h"
#include "tests/tools/SocksClient.h"
#include "tests/tools/TestHttpServer.h"

namespace {

int pipesOf(const ProxyProcess& proxy)
{
    int count = 0;
    for (const auto& fd : proxy.descriptors())
        count += fd.second.compare(0, 5, "pipe:") == 0 ? 1 : 0;
    return count;
}

// Every blocking call on the socket gives up after the limit, so that no test hangs.
void limitWaits(int fd, int seconds)
{
    timeval tv{seconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

// A destination on a free loopback port that serves one connection on its own thread.
class OneConnectionServer {
public:
    explicit OneConnectionServer(std::function<void(int fd)> serve)
    {
        int listener = listenLoopback(1, &port_);
        if (listener < 0)
            return;
        limitWaits(listener, 10); // accept gives up when the proxy never connects
        thread_ = std::thread([listener, serve] {
            int fd = accept(listener, nullptr, nullptr);
            close(listener);
            if (fd < 0)
                return;
            limitWaits(fd, 30);
            serve(fd);
            close(fd);
        });
    }
    ~OneConnectionServer() { join(); }
    int port() const { return port_; }
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }

private:
    int port_ = 0;
    std::thread thread_;
};

// A client of the proxy, connected to port and ready to relay, or -1.
int relayTo(const ProxyProcess& proxy, int port)
{
    int reply = -1;
    int fd = proxy.started() ? socksOpen(proxy.socksPort(), port, 1, &reply) : -1;
    if (fd >= 0 && reply != 0) {
        close(fd);
        return -1;
    }
    if (fd >= 0)
        limitWaits(fd, 30);
    return fd;
}

std::string readExactly(int fd, size_t size)
{
    std::string out(size, '\0');
    ssize_t n = recv(fd, &out[0], size, MSG_WAITALL);
    out.resize(n > 0 ? size_t(n) : 0);
    return out;
}

// The record of a test's only connection once it has ended; all zeros when there is none.
S5MonData endedRecord(const ProxyProcess& proxy)
{
    Records records = waitForEnded(proxy.monitorAddress(), 1);
    return records.size() == 1 && (records[0].state & 8) ? records[0] : S5MonData{};
}

} // namespace

TEST(ProxyRelay, AGibibyteGoesThroughPipesAndIsListedExactly)
{
    const size_t total = size_t(1) << 30;
    // The stream repeats a period that is no power of two, so that a piece lost, doubled or
    // out of place shows; twice over, so that any stretch of a period is one comparison.
    const size_t period = (1 << 20) + 3;
    const std::string twice = patternBody(period) + patternBody(period);
    OneConnectionServer source([&](int fd) {
        char go;
        if (recv(fd, &go, 1, 0) != 1)
            return;
        for (size_t sent = 0; sent < total;) {
            ssize_t n = send(fd, twice.data() + sent % period,
                             std::min(total - sent, size_t(256) << 10), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += size_t(n);
        }
    });
    ProxyProcess proxy;
    const int pipesBefore = pipesOf(proxy);
    int fd = relayTo(proxy, source.port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sendAll(fd, "g"));

    std::vector<char> buf(256 << 10);
    size_t received = 0;
    bool intact = true;
    int pipesWhileRelaying = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < deadline) {
        ssize_t n = recv(fd, buf.data(), buf.size(), 0);
        if (n <= 0)
            break;
        intact =
            intact && std::memcmp(buf.data(), twice.data() + received % period, size_t(n)) == 0;
        received += size_t(n);
        if (pipesWhileRelaying < 0 && received >= (64u << 20))
            pipesWhileRelaying = pipesOf(proxy) - pipesBefore;
    }
    close(fd);
    source.join();
    EXPECT_EQ(received, total);
    EXPECT_TRUE(intact);
    EXPECT_GE(pipesWhileRelaying, 2); // the download's pipe, both ends

    const S5MonData record = endedRecord(proxy);
    ASSERT_TRUE(record.state & 8) << "no ended record";
    EXPECT_EQ(uint64_t(record.inTotBytes), uint64_t(received));
    EXPECT_EQ(uint64_t(record.outTotBytes), 1u);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRelay, ADestinationsHalfCloseReachesTheClientWhichCanStillSend)
{
    const std::string download = patternBody(8 << 20), upload = patternBody(2 << 20);
    std::string uploaded;
    OneConnectionServer dest([&](int fd) {
        sendAll(fd, download);
        shutdown(fd, SHUT_WR);
        uploaded = readToEnd(fd);
    });
    ProxyProcess proxy;
    int fd = relayTo(proxy, dest.port());
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(readToEnd(fd) == download); // ends with the destination's half-close
    EXPECT_TRUE(sendAll(fd, upload));
    shutdown(fd, SHUT_WR);
    EXPECT_EQ(readToEnd(fd), ""); // the proxy closes once both sides have finished
    close(fd);
    dest.join();
    EXPECT_TRUE(uploaded == upload) << uploaded.size() << " bytes arrived";

    const S5MonData record = endedRecord(proxy);
    ASSERT_TRUE(record.state & 8) << "no ended record";
    EXPECT_EQ(uint64_t(record.inTotBytes), download.size());
    EXPECT_EQ(uint64_t(record.outTotBytes), upload.size());
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRelay, BytesSentWithTheRequestGoFirstAndThePipeTakesOverBehindThem)
{
    // The proxy reads the greeting, the request and what follows them in one go; those
    // early bytes wait in its buffer until the destination is connected. A request by name
    // is half-closed while the proxy is still looking the name up, as "nc -N" does.
    for (bool byName : {true, false}) {
        SCOPED_TRACE(byName ? "by name" : "by address");
        const std::string upload = byName ? "hello" : patternBody(16 << 20);
        std::string uploaded;
        OneConnectionServer dest([&](int fd) {
            uploaded = readToEnd(fd);
            sendAll(fd, "got " + std::to_string(uploaded.size()));
        });
        ProxyProcess proxy;
        int fd = proxy.started() ? connectLoopback(proxy.socksPort()) : -1;
        ASSERT_GE(fd, 0);
        limitWaits(fd, 30);
        const int port = dest.port();
        const std::string to =
            byName ? std::string("\x03\x09localhost", 11) : std::string("\x01\x7f\x00\x00\x01", 5);
        const std::string request =
            std::string("\x05\x01\x00", 3) + to + char(port >> 8) + char(port & 0xff);
        EXPECT_TRUE(sendAll(fd, std::string("\x05\x01\x00", 3) + request + upload));
        shutdown(fd, SHUT_WR);
        std::string received = readToEnd(fd);
        close(fd);
        dest.join();
        const std::string answer = "got " + std::to_string(upload.size());
        ASSERT_GE(received.size(), 12u) << "no reply";
        EXPECT_EQ(received[1], 0); // method: no authentication
        EXPECT_EQ(received[3], 0); // request succeeded
        EXPECT_EQ(received.substr(12), answer);
        EXPECT_TRUE(uploaded == upload) << uploaded.size() << " bytes arrived";

        const S5MonData record = endedRecord(proxy);
        ASSERT_TRUE(record.state & 8) << "no ended record";
        EXPECT_EQ(uint64_t(record.outTotBytes), upload.size());
        EXPECT_EQ(uint64_t(record.inTotBytes), answer.size());
        EXPECT_TRUE(proxy.stop());
    }
}

TEST(ProxyRelay, WithoutDescriptorsForPipesTheRelayCopiesAndCountsAlike)
{
    TestHttpServer http(patternBody(8 << 20));
    ProxyProcess proxy;
    const int pipesBefore = pipesOf(proxy);
    int fd = relayTo(proxy, http.port());
    ASSERT_GE(fd, 0);
    // Connected: the proxy holds both sockets. Lowering its descriptor limit to the lowest
    // free number leaves it none for a pipe.
    std::map<int, std::string> open = proxy.descriptors();
    int lowestFree = 0;
    while (open.count(lowestFree))
        ++lowestFree;
    rlimit usual{};
    ASSERT_EQ(prlimit(proxy.pid(), RLIMIT_NOFILE, nullptr, &usual), 0);
    const rlimit tight{rlim_t(lowestFree), usual.rlim_max};
    ASSERT_EQ(prlimit(proxy.pid(), RLIMIT_NOFILE, &tight, nullptr), 0);

    EXPECT_TRUE(sendAll(fd, "GET /file HTTP/1.0\r\n\r\n"));
    std::string answer = readToEnd(fd);
    const int pipesAfter = pipesOf(proxy);
    close(fd);
    // The monitoring service needs a descriptor for each monitor.
    ASSERT_EQ(prlimit(proxy.pid(), RLIMIT_NOFILE, &usual, nullptr), 0);
    EXPECT_EQ(pipesAfter, pipesBefore);
    ASSERT_GE(answer.size(), http.body().size());
    EXPECT_TRUE(answer.compare(answer.size() - http.body().size(), std::string::npos, http.body())
                == 0);

    const S5MonData record = endedRecord(proxy);
    std::vector<TestHttpServer::Exchange> exchanges = http.exchanges();
    ASSERT_TRUE(record.state & 8) << "no ended record";
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(uint64_t(record.inTotBytes), answer.size());
    EXPECT_EQ(uint64_t(record.inTotBytes), exchanges[0].sent);
    EXPECT_EQ(uint64_t(record.outTotBytes), exchanges[0].received);
    EXPECT_TRUE(proxy.stop());
}

TEST(ProxyRelay, AnIdleConnectionLetsGoOfItsPipesAndTakesNewOnesWhenBytesCome)
{
    OneConnectionServer echo([](int fd) {
        char buf[65536];
        ssize_t n;
        while ((n = recv(fd, buf, sizeof buf, 0)) > 0)
            if (!sendAll(fd, std::string(buf, size_t(n))))
                return;
    });
    ProxyProcess proxy;
    const int pipesBefore = pipesOf(proxy);
    int fd = relayTo(proxy, echo.port());
    ASSERT_GE(fd, 0);
    const std::string chunk = patternBody(64 << 10); // fits in the socket buffers both ways

    ASSERT_TRUE(sendAll(fd, chunk));
    EXPECT_TRUE(readExactly(fd, chunk.size()) == chunk);
    EXPECT_EQ(pipesOf(proxy) - pipesBefore, 4); // a pipe each way, kept a second or two
    int pipesIdle = -1;
    for (int i = 0; i < 50 && pipesIdle != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pipesIdle = pipesOf(proxy) - pipesBefore;
    }
    EXPECT_EQ(pipesIdle, 0);

    ASSERT_TRUE(sendAll(fd, chunk));
    EXPECT_TRUE(readExactly(fd, chunk.size()) == chunk);
    EXPECT_EQ(pipesOf(proxy) - pipesBefore, 4);
    close(fd);
    echo.join();

    const S5MonData record = endedRecord(proxy);
    ASSERT_TRUE(record.state & 8) << "no ended record";
    EXPECT_EQ(uint64_t(record.inTotBytes), 2 * chunk.size());
    EXPECT_EQ(uint64_t(record.outTotBytes), 2 * chunk.size());
    EXPECT_TRUE(proxy.stop());
}
