// Monitor messages over TCP: each frame is a 2-byte big-endian length and the message.
#include "lib/monUnixTcp.h"
#include "lib/log.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// A server that stops answering must not freeze the program: connect and every read
// give up after this long without progress.
int progressTimeoutMs = 30000;

void LogSysError(const char *call)
{
    S5LogUpdate(NULL, 1, 24, "Error in %s: %m", call);
}

// Waits until fd is ready for events; false with errno ETIMEDOUT (or poll's) otherwise.
bool WaitReady(int fd, short events)
{
    struct pollfd p = {fd, events, 0};
    for (;;) {
        int n = poll(&p, 1, progressTimeoutMs);
        if (n > 0)
            return true;
        if (n == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

// One read that waits at most the progress time-out and is retried after a signal.
ssize_t ReadSome(int fd, void *buf, size_t len)
{
    for (;;) {
        if (!WaitReady(fd, POLLIN))
            return -1;
        ssize_t n = read(fd, buf, len);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

bool ConnectWithTimeout(int fd, const struct sockaddr_in *addr)
{
    int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0)
        return false;
    int rc = connect(fd, reinterpret_cast<const struct sockaddr *>(addr), sizeof *addr);
    if (rc < 0 && (errno == EINPROGRESS || errno == EINTR)) {
        if (!WaitReady(fd, POLLOUT))
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

int Mon_TcpSetTimeout(int milliseconds)
{
    int previous = progressTimeoutMs;
    progressTimeoutMs = milliseconds;
    return previous;
}

int Mon_TcpConnect(const char *hostName, int port)
{
    signal(SIGPIPE, SIG_IGN);

    struct sockaddr_in addr;
    memset(&addr, 0, sizeof addr);

    char host[256];
    strncpy(host, hostName, sizeof host - 1);
    host[sizeof host - 1] = '\0';
    char *colon = strchr(host, ':');
    if (colon != NULL) {
        *colon = '\0';
        port = atoi(colon + 1);
    }

    in_addr_t numeric = inet_addr(host);
    if (numeric != INADDR_NONE) {
        addr.sin_addr.s_addr = numeric;
    } else {
        errno = 0;
        struct hostent *he = gethostbyname(host);
        if (he == NULL || he->h_addrtype != AF_INET || he->h_addr_list[0] == NULL) {
            if (errno == 0)
                errno = ESRCH;
            LogSysError("gethostbyname");
            return -1;
        }
        memcpy(&addr.sin_addr, he->h_addr_list[0], sizeof addr.sin_addr);
    }
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));

    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        LogSysError("socket");
        return -1;
    }
    if (!ConnectWithTimeout(fd, &addr)) {
        LogSysError("connect");
        int saved = errno;
        close(fd);  // the caller never uses the socket of a failed connect
        errno = saved;
        return -1;
    }
    return fd;
}

int Mon_TcpSend(int sockfd, uint16_t bufLen, const char *bufPtr)
{
    unsigned char prefix[MON_FRAME_PREFIX_SIZE];
    Mon_PutFramePrefix(prefix, bufLen);
    struct iovec iov[2];
    iov[0].iov_base = prefix;
    iov[0].iov_len = 2;
    iov[1].iov_base = const_cast<char *>(bufPtr);
    iov[1].iov_len = bufLen;
    ssize_t written;
    do {
        written = writev(sockfd, iov, 2);
    } while (written < 0 && errno == EINTR);  // interrupted before anything was written
    if (written != static_cast<ssize_t>(bufLen) + 2) {
        LogSysError("writev");
        return -1;
    }
    return bufLen + 2;
}

int Mon_TcpRecv(int sockfd, uint16_t bufLen, char *bufPtr)
{
    unsigned char prefix[2];
    size_t got = 0;
    while (got < 2) {  // a TCP stream may deliver the prefix in two pieces
        ssize_t n = ReadSome(sockfd, prefix + got, 2 - got);
        if (n < 0) {
            LogSysError("read");
            return -1;
        }
        if (n == 0) {
            errno = ECONNRESET;
            LogSysError("read");
            return -1;
        }
        got += static_cast<size_t>(n);
    }
    uint16_t msgLen = Mon_FramePrefixLength(prefix);

    if (msgLen > bufLen) {
        // Discard exactly the announced message so that the next frame stays intact.
        char scratch[256];
        char *sink = bufLen > 0 ? bufPtr : scratch;
        size_t sinkLen = bufLen > 0 ? bufLen : sizeof scratch;
        size_t left = msgLen;
        while (left > 0) {
            size_t want = left < sinkLen ? left : sinkLen;
            ssize_t n = ReadSome(sockfd, sink, want);
            if (n <= 0)
                break;
            left -= static_cast<size_t>(n);
        }
        errno = EMSGSIZE;
        LogSysError("read");
        return -1;
    }
    if (msgLen == 0)
        return 0;

    size_t have = 0;
    while (have < msgLen) {
        ssize_t n = ReadSome(sockfd, bufPtr + have, msgLen - have);
        if (n <= 0) {
            if (n == 0)
                errno = ECONNRESET;
            LogSysError("read");
            return -1;
        }
        have += static_cast<size_t>(n);
    }
    return msgLen;
}

int Mon_TcpClose(int sockfd)
{
    if (sockfd > 0)
        close(sockfd);
    return 0;
}
