// What every part of the running proxy shares: the loop, the records, the resolver, the log
// and the settings in force.
#ifndef VANTOR_PROXY_PROXYCONTEXT_H
#define VANTOR_PROXY_PROXYCONTEXT_H

#include <ctime>
#include <memory>
#include <vector>
#include <sys/socket.h>

#include "tools/proxy/ConnTable.h"
#include "tools/proxy/Options.h"
#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyLog.h"
#include "tools/proxy/ProxySettings.h"
#include "tools/proxy/Resolver.h"

struct ProxyContext {
    Poller& poller;
    ConnTable& table;
    Resolver& resolver;
    ProxyLog& log;
    // Replaced whole by a reload; whoever must keep settings beyond the event at hand (a
    // session, for its life) holds a copy of the pointer.
    std::shared_ptr<const ProxySettings> settings;
    // The bound addresses of the SOCKS and monitoring ports, which clients may not reach
    // through the proxy.
    std::vector<sockaddr_storage> listeners{};

    const ProxyOptions& options() const { return settings->options; }
};

// Seconds of a clock that never jumps, for time limits.
inline time_t monotonicSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec;
}

#endif
