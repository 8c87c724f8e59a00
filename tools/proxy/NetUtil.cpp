// Socket helpers of the proxy (see NetUtil.h).
#include "tools/proxy/NetUtil.h"

#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>

#include "tools/proxy/IpAddress.h"

std::string addrText(const sockaddr_storage& a)
{
    return ipAddressText(ipAddressOf(a));
}

std::string addrPortText(const sockaddr_storage& a)
{
    return endpointText(endpointOf(a));
}

// bind, connect and sendto want the size of the family's own structure, not of the storage.
socklen_t addrSize(const sockaddr_storage& a)
{
    return a.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

int listenOn(const sockaddr_storage& addr, int backlog)
{
    int fd = socket(addr.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    // A restarted proxy can listen again at once, without waiting for TIME_WAIT to pass.
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    // V6ONLY: an IPv6 listener takes only IPv6, so an IPv4 listener on the same port can coexist.
    if (addr.ss_family == AF_INET6)
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), addrSize(addr)) != 0
        || listen(fd, backlog) != 0) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

// An unset address (family 0) when the socket cannot tell.
sockaddr_storage localAddress(int fd)
{
    sockaddr_storage a{};
    socklen_t len = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        a = sockaddr_storage{};
    return a;
}
