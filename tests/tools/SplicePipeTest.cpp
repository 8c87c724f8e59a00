// The relay's pipe on its own, between socket pairs: it is closed only once it has stood
// idle, and one that cannot be had is not asked for again before the next tick. Order, a full
// pipe and end of file are met end to end in ProxyRelay.
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
