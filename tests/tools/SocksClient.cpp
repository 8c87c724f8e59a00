#include "SocksClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
bool recvExactly(int fd, uint8_t *buf, size_t len)
{
    size_t got = 0;
    while (got < len) {
        ssize_t n = recv(fd, buf + got, len - got, 0);
        if (n <= 0)
            return false;
        got += size_t(n);
    }
    return true;
}
} // namespace

bool sendAll(int fd, const std::string &bytes)
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

int socksOpen(int proxyPort, int destPort, uint8_t command, int *reply)
{
    *reply = -1;
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(proxyPort));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    std::string hello("\x05\x01\x00", 3);
    std::string request = {5, char(command), 0, 1, 127, 0, 0, 1, char(destPort >> 8), char(destPort & 0xff)};
    uint8_t method[2], answer[10];
    if (!sendAll(fd, hello) || !recvExactly(fd, method, 2) || method[1] != 0
        || !sendAll(fd, request)) {
        close(fd);
        return -1;
    }
    if (recvExactly(fd, answer, 10))
        *reply = answer[1];
    return fd;
}
