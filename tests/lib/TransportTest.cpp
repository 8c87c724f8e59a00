// Framing over real sockets: socket pairs for exact byte control, loopback for connecting.
#include "lib/monUnixTcp.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <atomic>
#include <memory>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <string.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include "tests/support/Unresolvable.h"

namespace {

class SocketPairDirect : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0); }
    void TearDown() override
    {
        close(fds[0]);
        if (fds[1] >= 0)
            close(fds[1]);
    }
    void Write(const std::string& bytes)
    {
        ASSERT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    static std::string Prefix(uint16_t len)
    {
        return std::string{static_cast<char>(len >> 8), static_cast<char>(len & 0xff)};
    }
    int fds[2];
    char buf[2048];
};

// Every receiving test runs twice: straight from the socket, and through a read-ahead.
class SocketPair : public SocketPairDirect, public ::testing::WithParamInterface<bool> {
protected:
    int Recv(uint16_t len, char* into)
    {
        return GetParam() ? Mon_TcpRecvBuffered(fds[0], &input, len, into)
                          : Mon_TcpRecv(fds[0], len, into);
    }
    MonTcpInput_t input = MonTcpInput_t();
};

INSTANTIATE_TEST_SUITE_P(Transport, SocketPair, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "ReadAhead" : "Direct";
                         });

// Restores the time limit when a test ends, however it ends.
struct TimeLimit {
    explicit TimeLimit(int ms) : previous(Mon_TcpSetTimeout(ms)) {}
    ~TimeLimit() { Mon_TcpSetTimeout(previous); }
    int previous;
};

// A listening socket on the loopback address of the family, on a free port.
struct Listener {
    explicit Listener(int family = AF_INET, int backlog = 16) : family(family)
    {
        fd = socket(family, SOCK_STREAM, 0);
        struct sockaddr_storage a;
        memset(&a, 0, sizeof a);
        a.ss_family = static_cast<sa_family_t>(family);
        if (family == AF_INET6)
            reinterpret_cast<sockaddr_in6*>(&a)->sin6_addr = in6addr_loopback;
        else
            reinterpret_cast<sockaddr_in*>(&a)->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        bind(fd, reinterpret_cast<sockaddr*>(&a), len);
        listen(fd, backlog);
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(reinterpret_cast<sockaddr_in*>(&a)->sin_port); // same place in both
    }
    ~Listener() { close(fd); }
    // Connects to each name, with its port where the name has none, and expects the
    // connection accepted here from a peer of the listener's family.
    void ExpectConnections(const std::vector<std::pair<std::string, int>>& names)
    {
        for (const auto& name : names) {
            int client = Mon_TcpConnect(name.first.c_str(), name.second);
            EXPECT_GT(client, 0) << name.first;
            struct sockaddr_storage peer = {};
            socklen_t len = sizeof peer;
            close(accept(fd, reinterpret_cast<sockaddr*>(&peer), &len));
            EXPECT_EQ(peer.ss_family, family) << name.first;
            Mon_TcpClose(client);
        }
    }
    std::string Name() const { return "127.0.0.1:" + std::to_string(port); }
    int family, fd, port;
};

int OpenDescriptors()
{
    int count = 0;
    DIR* d = opendir("/proc/self/fd");
    while (readdir(d))
        count++;
    closedir(d);
    return count;
}

} // namespace

TEST_F(SocketPairDirect, SendWritesBigEndianLengthThenMessage)
{
    EXPECT_EQ(Mon_TcpSend(fds[0], 3, "abc"), 5);
    char got[5];
    ASSERT_EQ(read(fds[1], got, 5), 5);
    EXPECT_EQ(std::string(got, 5), std::string("\0\3abc", 5));
}

TEST_P(SocketPair, PrefixAndMessageSplitAcrossReadsAreReassembled)
{
    std::thread writer([&] {
        Write(std::string(1, '\0'));
        usleep(50000);
        Write(std::string(1, '\5') + "he");
        usleep(50000);
        Write("llo");
    });
    EXPECT_EQ(Recv(sizeof buf, buf), 5);
    EXPECT_EQ(std::string(buf, 5), "hello");
    writer.join();
}

TEST_P(SocketPair, OversizeFrameIsDiscardedExactlyAndTheNextOneSurvives)
{
    Write(Prefix(3000) + std::string(3000, 'x') + Prefix(2) + "ok");
    errno = 0;
    EXPECT_EQ(Recv(sizeof buf, buf), -1);
    EXPECT_EQ(errno, EMSGSIZE);
    EXPECT_EQ(Recv(sizeof buf, buf), 2);
    EXPECT_EQ(std::string(buf, 2), "ok");
}

// A peer that closes inside a message fails the read; closed before the length, a reset.
TEST_P(SocketPair, PeerClosingFails)
{
    Write(Prefix(100) + "only part");
    close(fds[1]);
    fds[1] = -1;
    EXPECT_EQ(Recv(sizeof buf, buf), -1);
    errno = 0;
    EXPECT_EQ(Recv(sizeof buf, buf), -1);
    EXPECT_EQ(errno, ECONNRESET);
}

TEST_P(SocketPair, SilentPeerTimesOut)
{
    TimeLimit limit(200);
    errno = 0;
    EXPECT_EQ(Recv(sizeof buf, buf), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    // A peer that stops in the middle of a message times out as well.
    Write(Prefix(10) + "abc");
    EXPECT_EQ(Recv(sizeof buf, buf), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
}

TEST_P(SocketPair, APeerTricklingAFrameByteByByteTimesOutWithinTheLimit)
{
    TimeLimit limit(300);
    std::atomic<bool> stop(false);
    std::thread trickler([&] {
        std::string frame = Prefix(40) + std::string(40, 't');
        for (size_t i = 0; i < frame.size() && !stop; i++) {
            Write(frame.substr(i, 1));
            usleep(30000); // each byte well within the limit, the frame far beyond it
        }
    });
    long long started = Mon_TcpClockMs();
    errno = 0;
    EXPECT_EQ(Recv(sizeof buf, buf), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_LT(Mon_TcpClockMs() - started, 1000);
    stop = true;
    trickler.join();
}

TEST_P(SocketPair, ManyFramesInOneWriteComeOutOneByOneInOrder)
{
    std::string stream;
    for (int i = 0; i < 3000; i++)
        stream += Prefix(static_cast<uint16_t>(i % 50))
            + std::string(static_cast<size_t>(i % 50), static_cast<char>('a' + i % 26));
    std::thread writer([&] { Write(stream + Prefix(0)); });
    for (int i = 0; i < 3000; i++) {
        ASSERT_EQ(Recv(sizeof buf, buf), i % 50) << "frame " << i;
        EXPECT_EQ(std::string(buf, static_cast<size_t>(i % 50)),
                  std::string(static_cast<size_t>(i % 50), static_cast<char>('a' + i % 26)));
    }
    EXPECT_EQ(Recv(sizeof buf, buf), 0);
    writer.join();
}

TEST_F(SocketPairDirect, AReadAheadDeadlineEndsAListWhoseFramesKeepComing)
{
    std::unique_ptr<MonTcpInput_t> in(new MonTcpInput_t());
    in->deadline = Mon_TcpClockMs() + 300;
    std::atomic<bool> stop(false);
    std::thread sender([&] {
        while (!stop) {
            Write(Prefix(3) + "rec");
            usleep(10000);
        }
    });
    int received = 0;
    while (Mon_TcpRecvBuffered(fds[0], in.get(), sizeof buf, buf) == 3)
        received++;
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_GT(received, 5);
    EXPECT_LT(Mon_TcpClockMs() - (in->deadline - 300), 1000);
    stop = true;
    sender.join();
}

TEST_F(SocketPairDirect, SendingToAPeerThatTakesNothingTimesOut)
{
    TimeLimit limit(200);
    std::vector<char> big(60000, 'x');
    long long started = Mon_TcpClockMs();
    int result = 0;
    for (int i = 0; i < 1000 && result >= 0; i++) // the socket buffers fill after a few
        result = Mon_TcpSend(fds[0], static_cast<uint16_t>(big.size()), big.data());
    EXPECT_EQ(result, -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_LT(Mon_TcpClockMs() - started, 2000);
}

TEST_P(SocketPair, ReadInterruptedBySignalIsRetried)
{
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = [](int) {};
    sigaction(SIGUSR1, &sa, nullptr); // no SA_RESTART: reads see EINTR
    pthread_t reader = pthread_self();
    std::thread poker([&] {
        usleep(50000);
        pthread_kill(reader, SIGUSR1);
        usleep(50000);
        Write(Prefix(2) + "hi");
    });
    EXPECT_EQ(Recv(sizeof buf, buf), 2);
    poker.join();
}

TEST(Connect, WritingToAServerThatHasGoneFailsInsteadOfEndingTheProgram)
{
    // In a child with the default SIGPIPE action: connecting must make it ignored.
    pid_t child = fork();
    if (child == 0) {
        signal(SIGPIPE, SIG_DFL);
        Listener l;
        int fd = Mon_TcpConnect(l.Name().c_str(), 5051);
        close(accept(l.fd, nullptr, nullptr));
        usleep(50000);
        int first = Mon_TcpSend(fd, 3, "abc"); // may still be accepted by the kernel
        usleep(50000);
        int second = Mon_TcpSend(fd, 3, "abc");
        _exit(fd > 0 && (first == -1 || second == -1) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Connect, HostWithPortOrAloneAndIPv6AddressesInBracketsOrAlone)
{
    Listener v4, v6(AF_INET6);
    ASSERT_GT(v6.port, 0);
    const std::string port = std::to_string(v6.port);
    v4.ExpectConnections(
        {{v4.Name(), 1}, {"127.0.0.1", v4.port}, {"localhost:" + std::to_string(v4.port), 1}});
    v6.ExpectConnections({{"[::1]:" + port, 1},
                          {"[::1]", v6.port},
                          {"::1", v6.port},
                          {"[0:0:0:0:0:0:0:1]:" + port, 1}});
}

TEST(Connect, FailuresReturnMinusOneAndCloseTheirSocket)
{
    int before = OpenDescriptors();
    EXPECT_EQ(Mon_TcpConnect("127.0.0.1:1", 5051), -1);
    EXPECT_EQ(errno, ECONNREFUSED);
    EXPECT_EQ(Mon_TcpConnect("127.0.0.1:", 5051), -1); // a bare colon means port 0
    EXPECT_EQ(Mon_TcpConnect(UnresolvableHostName().c_str(), 5051), -1);
    // A malformed IPv6 name fails without reaching the resolver.
    for (const char* name : {"[::1", "[::1]5051", "[no:such:host]:5051"}) {
        errno = 0;
        EXPECT_EQ(Mon_TcpConnect(name, 5051), -1) << name;
        EXPECT_EQ(errno, EINVAL) << name;
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(Connect, ServerThatNeverAcceptsTimesOut)
{
    // A listener with a full backlog drops further handshakes, so connect waits.
    Listener l(AF_INET, 0);
    std::vector<int> fillers;
    for (int i = 0; i < 8; i++) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        fcntl(fd, F_SETFL, O_NONBLOCK);
        struct sockaddr_in a;
        memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(l.port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(fd);
    }
    usleep(100000);
    TimeLimit limit(300);
    errno = 0;
    EXPECT_EQ(Mon_TcpConnect(l.Name().c_str(), 5051), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    for (int fd : fillers)
        close(fd);
}

TEST(Close, OnlyPositiveDescriptorsAreClosed)
{
    EXPECT_EQ(Mon_TcpClose(-1), 0);
    EXPECT_EQ(Mon_TcpClose(0), 0);
    EXPECT_NE(fcntl(0, F_GETFD), -1); // standard input is still open
}
