// The relay's pipe on its own, between socket pairs: bytes keep their order, a full pipe
// says so, end of file shows, the pipe is closed only once it has stood idle, and one that
// cannot be had is not asked for again before the next tick.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "tools/proxy/SplicePipe.h"

namespace {

// A connected pair of non-blocking stream sockets, closed with the pair.
struct SocketPair {
    int fd[2] = {-1, -1};
    SocketPair() { socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fd); }
    ~SocketPair()
    {
        close(fd[0]);
        close(fd[1]);
    }
};

std::string pattern(size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = char(i * 7 + i / 251);
    return s;
}

// Everything waiting on a non-blocking socket.
std::string readAvailable(int fd)
{
    std::string out;
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    return out;
}

} // namespace

TEST(SplicePipe, MovesBytesInOrderUntilFullAndShowsEndOfFile)
{
    SocketPair from, to;
    ASSERT_GE(from.fd[0], 0);
    ASSERT_GE(to.fd[0], 0);
    SplicePipe pipe;
    EXPECT_FALSE(pipe.isOpen());
    ASSERT_TRUE(pipe.open());

    // More than the pipe holds: fills stop with the pipe full, and go on once it drains.
    const std::string sent = pattern(4 << 20);
    size_t written = 0;
    std::string arrived;
    bool sawFull = false;
    for (int round = 0; round < 10000 && arrived.size() < sent.size(); ++round) {
        ssize_t w = write(from.fd[1], sent.data() + written, sent.size() - written);
        if (w > 0)
            written += size_t(w);
        while (!pipe.full() && pipe.fillFrom(from.fd[0]) > 0) {}
        sawFull = sawFull || pipe.full();
        if (!pipe.empty() && pipe.drainTo(to.fd[1]) > 0) {
            EXPECT_FALSE(pipe.full());
        }
        arrived += readAvailable(to.fd[0]);
    }
    EXPECT_TRUE(sawFull);
    EXPECT_TRUE(arrived == sent) << arrived.size() << " of " << sent.size() << " bytes";

    shutdown(from.fd[1], SHUT_WR);
    EXPECT_EQ(pipe.fillFrom(from.fd[0]), 0);
    EXPECT_TRUE(pipe.empty());
}

TEST(SplicePipe, ClosesOnlyAfterStandingEmptyAndUnusedForAWholeTick)
{
    SocketPair from, to;
    SplicePipe pipe;
    ASSERT_TRUE(pipe.open());
    ASSERT_EQ(write(from.fd[1], "abc", 3), 3);
    ASSERT_EQ(pipe.fillFrom(from.fd[0]), 3);
    pipe.closeIfIdle();
    EXPECT_TRUE(pipe.isOpen()); // bytes wait in it
    pipe.closeIfIdle();
    EXPECT_TRUE(pipe.isOpen());
    ASSERT_EQ(pipe.drainTo(to.fd[1]), 3);
    EXPECT_EQ(readAvailable(to.fd[0]), "abc");
    pipe.closeIfIdle();
    EXPECT_FALSE(pipe.isOpen());

    ASSERT_TRUE(pipe.open());
    ASSERT_EQ(write(from.fd[1], "de", 2), 2);
    ASSERT_EQ(pipe.fillFrom(from.fd[0]), 2);
    ASSERT_EQ(pipe.drainTo(to.fd[1]), 2);
    pipe.closeIfIdle();
    EXPECT_TRUE(pipe.isOpen()); // used since the last tick
    pipe.closeIfIdle();
    EXPECT_FALSE(pipe.isOpen());
}

TEST(SplicePipe, WithoutDescriptorsItIsRefusedAndTriedAgainOnlyAfterATick)
{
    // A descriptor limit at the lowest free number leaves none for a pipe.
    int lowestFree = dup(0);
    ASSERT_GE(lowestFree, 0);
    close(lowestFree);
    rlimit usual{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &usual), 0);
    const rlimit tight{rlim_t(lowestFree), usual.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    SplicePipe pipe;
    bool opened = pipe.open();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &usual), 0);
    EXPECT_FALSE(opened);

    EXPECT_FALSE(pipe.open()); // not before the next tick, however many reads ask
    pipe.closeIfIdle();
    EXPECT_TRUE(pipe.open());
}
