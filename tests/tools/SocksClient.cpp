#include "tests/tools/SocksClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

sockaddr_in6 loopback6(int port)
{
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = htons(uint16_t(port));
    a.sin6_addr = in6addr_loopback;
    return a;
}
} // namespace

bool sendAll(int fd, const std::string& bytes)
{
    size_t off = 0;
    while (off < bytes.size()) {
        ssize_t n = send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        off += size_t(n);
    }
    return true;
}

std::string readToEnd(int fd)
{
    std::string out;
    char buf[65536];
    ssize_t n;
    while ((n = recv(fd, buf, sizeof buf, 0)) > 0)
        out.append(buf, size_t(n));
    return out;
}

int listenLoopback(int backlog, int* port, int family)
{
    int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_storage a{};
    socklen_t len = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (family == AF_INET6)
        reinterpret_cast<sockaddr_in6&>(a) = loopback6(0);
    else
        reinterpret_cast<sockaddr_in&>(a) = loopback(0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(fd, backlog) != 0
        || getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    // Both families keep the port at the same offset.
    *port = ntohs(reinterpret_cast<sockaddr_in&>(a).sin_port);
    return fd;
}

int connectLoopback(int port, int rcvbuf, const char* source)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(port);
    if (fd >= 0 && rcvbuf > 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
    sockaddr_in from = loopback(0);
    if (fd >= 0 && source
        && (inet_pton(AF_INET, source, &from.sin_addr) != 1
            || bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0)) {
        close(fd);
        return -1;
    }
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        fd = -1;
    }
    return fd;
}

bool socksReadReply(int fd, int* reply, sockaddr_storage* bound)
{
    uint8_t head[4];
    if (recv(fd, head, 4, MSG_WAITALL) != 4 || (head[3] != 1 && head[3] != 4))
        return false;
    *bound = sockaddr_storage{};
    bound->ss_family = head[3] == 1 ? AF_INET : AF_INET6;
    auto* v4 = reinterpret_cast<sockaddr_in*>(bound);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(bound);
    void* addr = head[3] == 1 ? static_cast<void*>(&v4->sin_addr) : &v6->sin6_addr;
    ssize_t size = head[3] == 1 ? 4 : 16;
    // Both families keep the port at the same offset.
    if (recv(fd, addr, size_t(size), MSG_WAITALL) != size
        || recv(fd, &v4->sin_port, 2, MSG_WAITALL) != 2)
        return false;
    *reply = head[1];
    return true;
}

int socksOpen(int proxyPort, int destPort, uint8_t command, int* reply, sockaddr_storage* bound)
{
    *reply = -1;
    int fd = connectLoopback(proxyPort);
    std::string request = {
        5, char(command), 0, 1, 127, 0, 0, 1, char(destPort >> 8), char(destPort & 0xff)};
    uint8_t method[2];
    if (fd < 0 || !sendAll(fd, std::string("\x05\x01\x00", 3))
        || recv(fd, method, 2, MSG_WAITALL) != 2 || method[1] != 0 || !sendAll(fd, request)) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    sockaddr_storage ignored;
    socksReadReply(fd, reply, bound ? bound : &ignored);
    return fd;
}
