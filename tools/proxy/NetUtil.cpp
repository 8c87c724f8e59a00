#include "tools/proxy/NetUtil.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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
