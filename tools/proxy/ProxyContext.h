// What every part of the running proxy shares: the loop, the records, the resolver,
// the users and the options.
#ifndef VANTOR_PROXY_PROXYCONTEXT_H
#define VANTOR_PROXY_PROXYCONTEXT_H

#include <ctime>
#include <vector>
#include <netinet/in.h>

#include "tools/proxy/ConnTable.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/Resolver.h"
#include "tools/proxy/UserFile.h"

struct ProxyContext {
    Poller &poller;
    ConnTable &table;
    Resolver &resolver;
    const UserFile *users; // null: no authentication required
    const ProxyOptions &options;
    // The bound addresses of the SOCKS and monitoring ports, which clients may not reach
    // through the proxy.
    std::vector<sockaddr_in> listeners{};
};

// Seconds of a clock that never jumps, for time limits.
inline time_t monotonicSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec;
}

#endif
