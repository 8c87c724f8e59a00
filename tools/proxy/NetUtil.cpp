#include "tools/proxy/NetUtil.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

bool parseHostPort(const std::string &text, sockaddr_in *out)
{
    std::string host = text;
    std::string port;
    size_t colon = text.rfind(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (port.empty())
            return false;
    }
    if (!port.empty()) {
        char *end = nullptr;
        errno = 0;
        long value = std::strtol(port.c_str(), &end, 10);
        if (errno != 0 || *end != '\0' || value < 0 || value > 65535)
            return false;
        out->sin_port = htons(static_cast<uint16_t>(value));
    }
    if (!host.empty()) {
        in_addr ip;
        if (inet_pton(AF_INET, host.c_str(), &ip) != 1)
            return false;
        out->sin_addr = ip;
    }
    out->sin_family = AF_INET;
    return true;
}

std::string addrText(const sockaddr_in &a)
{
    char buf[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &a.sin_addr, buf, sizeof buf);
    return buf;
}

std::string addrPortText(const sockaddr_in &a)
{
    return addrText(a) + ":" + std::to_string(ntohs(a.sin_port));
}

bool isLoopback(const sockaddr_in &a)
{
    return (ntohl(a.sin_addr.s_addr) >> 24) == 127;
}

int listenOn(const sockaddr_in &addr, int backlog)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0
        || listen(fd, backlog) != 0) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

sockaddr_in localAddress(int fd)
{
    sockaddr_in a;
    std::memset(&a, 0, sizeof a);
    socklen_t len = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) != 0)
        std::memset(&a, 0, sizeof a);
    return a;
}
