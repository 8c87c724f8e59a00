// Recognises destinations that are the proxy's own listening sockets. Relaying to them
// lets a client use the SOCKS port to reach the monitoring port (or loop into itself),
// so such requests are refused.
#ifndef VANTOR_PROXY_OWNADDRESS_H
#define VANTOR_PROXY_OWNADDRESS_H

#include <vector>
#include <sys/socket.h>

// True when a connection to dst would arrive at one of the listeners, of either family. A
// listener on 0.0.0.0 or [::] is reached through loopback and every address of the host's
// interfaces of its family; a destination 0.0.0.0 or :: means this host. An IPv4 address
// written as IPv6 counts as IPv4, as a connect to it goes.
bool reachesListener(const sockaddr_storage& dst, const std::vector<sockaddr_storage>& listeners);

#endif
