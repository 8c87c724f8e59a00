// Monitor messages over TCP: each frame is a 2-byte big-endian length and the message.
#include "lib/monUnixTcp.h"
#include "lib/log.h"
#include "lib/monServerName.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// A server that stops answering, or answers a byte at a time, must not freeze the program:
// connecting, sending a frame and receiving one each end after this long.
int callTimeoutMs = 30000;

void LogSysError(const char* call)
{
    S5LogUpdate(NULL, S5_LEVEL_FAILURE, S5_MSG_SYSTEM_CALL_FAILED, "Error in %s: %m", call);
}

long long CallDeadline()
{
    return Mon_TcpClockMs() + callTimeoutMs;
}

// Waits until fd is ready for events or the deadline passes (false with ETIMEDOUT then).
// poll is asked for at most a minute at a time and the deadline reckoned again after each
// wake-up, so that a signal or a clock change only costs another round.
bool WaitReady(int fd, short events, long long deadline)
{
    struct pollfd p = {fd, events, 0};
    for (;;) {
        long long left = deadline - Mon_TcpClockMs();
        if (left <= 0) {
            errno = ETIMEDOUT;
            return false;
        }
        int n = poll(&p, 1, left > 60000 ? 60000 : static_cast<int>(left));
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
    }
}

// One read of what is there, waiting only when nothing is; retried after a signal. The
// deadline holds even for a peer whose bytes are always there but never end a frame.
// The read itself never blocks (MSG_DONTWAIT): blocking reads would let a peer that sends
// one byte at a time hold the call for as long as it likes, whatever the poll timeout.
// Tests feed frames through pipes, which recv refuses; those are read after a poll.
ssize_t ReadSome(int fd, void* buf, size_t len, long long deadline)
{
    bool socket = true;
    for (;;) {
        if (Mon_TcpClockMs() >= deadline) {
            errno = ETIMEDOUT;
            return -1;
        }
        ssize_t n = socket ? recv(fd, buf, len, MSG_DONTWAIT) : read(fd, buf, len);
        if (n >= 0)
            return n;
        if (errno == ENOTSOCK && socket) {
            socket = false; // a pipe or file: wait first, then read
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            return -1;
        }
        if (errno != EINTR && !WaitReady(fd, POLLIN, deadline))
            return -1;
    }
}

// Where a frame's bytes come from: the descriptor itself, or its read-ahead when it has one.
struct Source {
    int fd;
    MonTcpInput_t* input;
    long long deadline;

    // Up to len bytes; 0 at end of file, -1 on failure.
    ssize_t Take(void* dst, size_t len)
    {
        if (input == NULL)
            return ReadSome(fd, dst, len, deadline);
        if (input->start == input->end) {
            ssize_t n = ReadSome(fd, input->data, sizeof input->data, deadline);
            if (n <= 0)
                return n;
            input->start = 0;
            input->end = static_cast<size_t>(n);
        }
        size_t have = input->end - input->start;
        size_t given = have < len ? have : len;
        memcpy(dst, input->data + input->start, given);
        input->start += given;
        return static_cast<ssize_t>(given);
    }

    // Exactly len bytes; false at end of file (errno ECONNRESET) or on failure.
    bool TakeAll(void* dst, size_t len)
    {
        char* at = static_cast<char*>(dst);
        while (len > 0) {
            ssize_t n = Take(at, len);
            if (n <= 0) {
                if (n == 0)
                    errno = ECONNRESET;
                return false;
            }
            at += n;
            len -= static_cast<size_t>(n);
        }
        return true;
    }
};

// The common case of a list: a whole frame that fits bufLen was read ahead already. Its
// message length, or -1 when the frame must be received the long way.
int TakeReadFrame(MonTcpInput_t* input, uint16_t bufLen, char* bufPtr)
{
    size_t have = input->end - input->start;
    if (have < MON_FRAME_PREFIX_SIZE)
        return -1;
    const unsigned char* at = input->data + input->start;
    uint16_t msgLen = Mon_FramePrefixLength(at);
    size_t frameLen = MON_FRAME_PREFIX_SIZE + static_cast<size_t>(msgLen);
    if (msgLen > bufLen || have < frameLen)
        return -1;
    memcpy(bufPtr, at + MON_FRAME_PREFIX_SIZE, msgLen);
    input->start += frameLen;
    return msgLen;
}

// Receives one frame: the prefix, then exactly the announced message. A message larger than
// the caller's buffer is read and thrown away, so that the stream stays in step for the
// frames that follow, and reported as EMSGSIZE.
int RecvFrame(Source& source, uint16_t bufLen, char* bufPtr)
{
    unsigned char prefix[MON_FRAME_PREFIX_SIZE];
    if (!source.TakeAll(prefix,
                        sizeof prefix)) { // a TCP stream may deliver the prefix in two pieces
        LogSysError("read");
        return -1;
    }
    uint16_t msgLen = Mon_FramePrefixLength(prefix);

    if (msgLen > bufLen) {
        // Discard exactly the announced message so that the next frame stays intact.
        char scratch[256];
        char* sink = bufLen > 0 ? bufPtr : scratch;
        size_t sinkLen = bufLen > 0 ? bufLen : sizeof scratch;
        size_t left = msgLen;
        while (left > 0) {
            ssize_t n = source.Take(sink, left < sinkLen ? left : sinkLen);
            if (n <= 0)
                break;
            left -= static_cast<size_t>(n);
        }
        errno = EMSGSIZE;
        LogSysError("read");
        return -1;
    }
    if (msgLen > 0 && !source.TakeAll(bufPtr, msgLen)) {
        LogSysError("read");
        return -1;
    }
    return msgLen;
}

// The address of a server: IPv4 or IPv6.
union ServerAddress {
    struct sockaddr sa;
    struct sockaddr_in sin;
    struct sockaddr_in6 sin6;
};

// connect() wants the length of the family's own structure, not of the union.
socklen_t AddressLength(const ServerAddress& addr)
{
    return addr.sa.sa_family == AF_INET6 ? sizeof addr.sin6 : sizeof addr.sin;
}

// An IPv6 or IPv4 address, or a name (never one with a colon: only a numeric address may
// have one, and anything else must not reach the resolver). False when nothing is found.
bool FindServer(const char* host, int port, ServerAddress* addr)
{
    memset(addr, 0, sizeof *addr);
    if (inet_pton(AF_INET6, host, &addr->sin6.sin6_addr) == 1) {
        addr->sin6.sin6_family = AF_INET6;
        addr->sin6.sin6_port = htons(static_cast<uint16_t>(port));
        return true;
    }
    in_addr_t numeric = inet_addr(host);
    if (numeric != INADDR_NONE) {
        addr->sin.sin_addr.s_addr = numeric;
    } else if (strchr(host, ':') != NULL) {
        errno = EINVAL;
        LogSysError("the server name");
        return false;
    } else {
        errno = 0;
        struct hostent* he = gethostbyname(host);
        if (he == NULL || he->h_addrtype != AF_INET || he->h_addr_list[0] == NULL) {
            if (errno == 0)
                errno = ESRCH;
            LogSysError("gethostbyname");
            return false;
        }
        memcpy(&addr->sin.sin_addr, he->h_addr_list[0], sizeof addr->sin.sin_addr);
    }
    addr->sin.sin_family = AF_INET;
    addr->sin.sin_port = htons(static_cast<uint16_t>(port));
    return true;
}

// A blocking connect to an address that drops packets waits for minutes; the socket is made
// non-blocking for the connect alone, so that the call ends at its time limit.
bool ConnectWithTimeout(int fd, const ServerAddress& addr)
{
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0)
        return false;
    int rc = connect(fd, &addr.sa, AddressLength(addr));
    if (rc < 0 && (errno == EINPROGRESS || errno == EINTR)) {
        if (!WaitReady(fd, POLLOUT, CallDeadline()))
            return false;
        int err = 0;
        socklen_t errLen = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &errLen) < 0)
            return false;
        if (err != 0) {
            errno = err;
            return false;
        }
        rc = 0;
    }
    if (rc < 0)
        return false;
    // Everything after connecting blocks as usual.
    return fcntl(fd, F_SETFL, flags) == 0;
}

} // namespace

// Process-wide: the command-line tools set it from their options, the fuzzer shortens it.
int Mon_TcpSetTimeout(int milliseconds)
{
    int previous = callTimeoutMs;
    callTimeoutMs = milliseconds;
    return previous;
}

// A monotonic clock: deadlines must not jump when the administrator sets the date.
long long Mon_TcpClockMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// hostName may carry its own port ("host:port", "[address]:port"), which overrides port.
int Mon_TcpConnect(const char* hostName, int port)
{
    // A write to a server that has gone must fail with EPIPE, not end the program.
    signal(SIGPIPE, SIG_IGN);

    char host[256];
    const char* portText = NULL;
    if (!Mon_SplitServerName(hostName, host, sizeof host, &portText)) {
        errno = EINVAL;
        LogSysError("the server name");
        return -1;
    }
    if (portText != NULL)
        port = atoi(portText);

    ServerAddress addr;
    if (!FindServer(host, port, &addr))
        return -1;
    int fd = socket(addr.sa.sa_family, SOCK_STREAM, 0);
    if (fd < 0) {
        LogSysError("socket");
        return -1;
    }
    if (!ConnectWithTimeout(fd, addr)) {
        LogSysError("connect");
        int saved = errno;
        close(fd); // the caller never uses the socket of a failed connect
        errno = saved;
        return -1;
    }
    return fd;
}

int Mon_TcpSend(int sockfd, uint16_t bufLen, const char* bufPtr)
{
    unsigned char prefix[MON_FRAME_PREFIX_SIZE];
    Mon_PutFramePrefix(prefix, bufLen);
    struct iovec iov[2];
    iov[0].iov_base = prefix;
    iov[0].iov_len = sizeof prefix;
    iov[1].iov_base = const_cast<char*>(bufPtr);
    iov[1].iov_len = bufLen;
    // The frame goes out without blocking, so that a peer that takes nothing cannot hold
    // the call past its time limit; what the kernel took in part is continued.
    long long deadline = CallDeadline();
    struct msghdr msg;
    memset(&msg, 0, sizeof msg);
    msg.msg_iov = iov;
    msg.msg_iovlen = 2;
    size_t left = sizeof prefix + bufLen;
    bool socket = true;
    while (left > 0) {
        ssize_t n = socket ? sendmsg(sockfd, &msg, MSG_DONTWAIT | MSG_NOSIGNAL)
                           : writev(sockfd, msg.msg_iov, static_cast<int>(msg.msg_iovlen));
        if (n < 0) {
            if (errno == ENOTSOCK && socket) {
                socket = false; // a pipe: wait until it takes something, then write
            } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
                break;
            }
            if (errno != EINTR && !WaitReady(sockfd, POLLOUT, deadline))
                break;
            continue;
        }
        // Steps the vector past the bytes the kernel took, which may end inside either piece.
        left -= static_cast<size_t>(n);
        while (n > 0 && msg.msg_iovlen > 0) {
            size_t used = static_cast<size_t>(n) < msg.msg_iov->iov_len ? static_cast<size_t>(n)
                                                                        : msg.msg_iov->iov_len;
            msg.msg_iov->iov_base = static_cast<char*>(msg.msg_iov->iov_base) + used;
            msg.msg_iov->iov_len -= used;
            n -= static_cast<ssize_t>(used);
            if (msg.msg_iov->iov_len == 0) {
                msg.msg_iov++;
                msg.msg_iovlen--;
            }
        }
    }
    if (left > 0) {
        LogSysError("writev");
        return -1;
    }
    return bufLen + 2;
}

// The unbuffered reader, for single replies: it never reads past the frame, so nothing is
// left behind for a reader that has no read-ahead.
int Mon_TcpRecv(int sockfd, uint16_t bufLen, char* bufPtr)
{
    Source source = {sockfd, NULL, CallDeadline()};
    return RecvFrame(source, bufLen, bufPtr);
}

// The blocking reader: a frame already read ahead is handed out at once; otherwise the
// frame must come within the call's time limit and before the pass's deadline, if nearer.
int Mon_TcpRecvBuffered(int sockfd, MonTcpInput_t* input, uint16_t bufLen, char* bufPtr)
{
    int taken = TakeReadFrame(input, bufLen, bufPtr);
    if (taken >= 0)
        return taken; // nothing to wait for, so no deadline to reckon
    long long deadline = CallDeadline();
    if (input->deadline != 0 && input->deadline < deadline)
        deadline = input->deadline;
    Source source = {sockfd, input, deadline};
    return RecvFrame(source, bufLen, bufPtr);
}

namespace {

// The nearer of a reader's two deadlines, or 0 for none.
long long NearestDeadline(const MonTcpInput_t* input)
{
    long long a = input->deadline, b = input->frameDeadline;
    if (a == 0 || (b != 0 && b < a))
        return b;
    return a;
}

} // namespace

// The reader of the event loop: it appends whatever the socket has to the read-ahead and
// hands out a frame only when a whole one is there, so that a slow server never blocks the
// window. EAGAIN asks the caller to come back when the socket is readable or the nearer
// deadline (see Mon_TcpWaitLimitMs) has passed; a frame too large for the buffer cannot be
// skipped without waiting, so it ends the pass at once.
int Mon_TcpRecvBufferedNoWait(int sockfd, MonTcpInput_t* input, uint16_t bufLen, char* bufPtr)
{
    for (;;) {
        int taken = TakeReadFrame(input, bufLen, bufPtr);
        if (taken >= 0) {
            Mon_TcpStartFrameClock(input);
            return taken;
        }
        size_t have = input->end - input->start;
        if (have >= MON_FRAME_PREFIX_SIZE
            && Mon_FramePrefixLength(input->data + input->start) > bufLen) {
            errno = EMSGSIZE; // the stream cannot be followed past it without waiting
            LogSysError("read");
            return -1;
        }
        // The part of a frame that is there moves to the front, so the rest has room.
        if (input->start > 0) {
            memmove(input->data, input->data + input->start, have);
            input->start = 0;
            input->end = have;
        }
        ssize_t n =
            recv(sockfd, input->data + input->end, sizeof input->data - input->end, MSG_DONTWAIT);
        if (n > 0) {
            input->end += static_cast<size_t>(n);
            continue;
        }
        if (n == 0)
            errno = ECONNRESET;
        else if (errno == EINTR)
            continue;
        else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            long long deadline = NearestDeadline(input);
            if (deadline == 0 || Mon_TcpClockMs() < deadline) {
                errno = EAGAIN;
                return -1;
            }
            errno = ETIMEDOUT;
        }
        LogSysError("read");
        return -1;
    }
}

// How long the event loop may wait for the socket before the reader must be called again to
// notice a deadline: -1 for no limit, 0 when a deadline has passed.
int Mon_TcpWaitLimitMs(const MonTcpInput_t* input)
{
    long long deadline = NearestDeadline(input);
    if (deadline == 0)
        return -1;
    long long left = deadline - Mon_TcpClockMs();
    return left <= 0 ? 0 : left > INT32_MAX ? INT32_MAX : static_cast<int>(left);
}

// Each frame that arrives restarts the per-frame clock: a pass may be long, but no single
// wait within it may be.
void Mon_TcpStartFrameClock(MonTcpInput_t* input)
{
    input->frameDeadline = CallDeadline();
}

// Descriptor 0 is never a monitor socket here (it is the terminal or /dev/null): a zeroed
// handle closes nothing.
int Mon_TcpClose(int sockfd)
{
    if (sockfd > 0)
        close(sockfd);
    return 0;
}
