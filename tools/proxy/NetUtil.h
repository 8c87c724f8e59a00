// Small socket helpers shared by the proxy's listeners, sessions and monitor clients, for
// IPv4 and IPv6 alike.
#ifndef VANTOR_PROXY_NETUTIL_H
#define VANTOR_PROXY_NETUTIL_H

#include <string>
#include <sys/socket.h>

// "a.b.c.d" or "::1", and "a.b.c.d:port" or "[::1]:port", forms of a socket address.
std::string addrText(const sockaddr_storage& a);
std::string addrPortText(const sockaddr_storage& a);

// The size of the socket address of a's family, as bind() and connect() take it.
socklen_t addrSize(const sockaddr_storage& a);

// A non-blocking listening socket bound to addr (port 0 picks a free one), or -1 with errno.
// An IPv6 one takes IPv6 clients only, so that [::] and 0.0.0.0 can both be listened on.
int listenOn(const sockaddr_storage& addr, int backlog);

// The address a socket is bound to (zeros on failure).
sockaddr_storage localAddress(int fd);

#endif
