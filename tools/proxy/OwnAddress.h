// Recognises destinations that are the proxy's own listening sockets. Relaying to them
// lets a client use the SOCKS port to reach the monitoring port (or loop into itself),
// so such requests are refused.
#ifndef VANTOR_PROXY_OWNADDRESS_H
#define VANTOR_PROXY_OWNADDRESS_H

#include <vector>
#include <netinet/in.h>

// True when a connection to dst would arrive at one of the listeners. A listener on
// 0.0.0.0 is reached through loopback and every address of the host's interfaces;
// a destination 0.0.0.0 means this host.
bool reachesListener(const sockaddr_in &dst, const std::vector<sockaddr_in> &listeners);

#endif
