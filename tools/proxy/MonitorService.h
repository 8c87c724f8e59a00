// The monitoring port: accepts monitors (at most MAX_MONITORS at a time) and keeps them.
// Idle monitors stay connected, since a real one polls over one connection with long
// pauses; only when the limit is reached does a newcomer replace the longest idle one.
#ifndef VANTOR_PROXY_MONITORSERVICE_H
#define VANTOR_PROXY_MONITORSERVICE_H

#include <ctime>
#include <unordered_set>

#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

class MonitorClient;

class MonitorService : public EventHandler {
public:
    static const size_t MAX_MONITORS = 64;

    // Takes ownership of the listening socket.
    MonitorService(ProxyContext &ctx, int listenFd);
    ~MonitorService() override;

    void onEvents(int tag, uint32_t events) override;
    void onTick(time_t monotonicNow);

private:
    ProxyContext &ctx_;
    Watch listen_;
    std::unordered_set<MonitorClient *> clients_;

    // Drops the monitor idle for longest to make room; false when every one is busy.
    bool dropLongestIdle();
};

#endif
