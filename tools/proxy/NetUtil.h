// Small socket helpers shared by the proxy's listeners, sessions and monitor clients.
#ifndef VANTOR_PROXY_NETUTIL_H
#define VANTOR_PROXY_NETUTIL_H

#include <string>
#include <netinet/in.h>

// "a.b.c.d" and "a.b.c.d:port" forms of an IPv4 socket address.
std::string addrText(const sockaddr_in &a);
std::string addrPortText(const sockaddr_in &a);

// True for addresses in 127.0.0.0/8.
bool isLoopback(const sockaddr_in &a);

// A non-blocking listening socket bound to addr (port 0 picks a free one), or -1 with errno.
int listenOn(const sockaddr_in &addr, int backlog);

// The address a socket is bound to (zeros on failure).
sockaddr_in localAddress(int fd);

#endif
