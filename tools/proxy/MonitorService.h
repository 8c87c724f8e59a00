// The monitoring port: accepts monitors (at most MAX_MONITORS at a time, and at most
// options.monitorsPerAddress from one client address) and keeps them. Idle monitors stay
// connected, since a real one polls over one connection with long pauses. A newcomer is
// never turned away: at a limit it replaces the monitor idle for longest (one that has had
// a moment to send its request), or when none is idle the oldest, so that monitors that
// keep passes going cannot lock the port.
#ifndef VANTOR_PROXY_MONITORSERVICE_H
#define VANTOR_PROXY_MONITORSERVICE_H

#include <cstdint>
#include <ctime>
#include <functional>
#include <unordered_map>

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
    struct Admission {
        uint32_t address; // the client's IPv4 address, network byte order
        uint64_t order;   // when it was admitted, counted
    };

    ProxyContext &ctx_;
    Watch listen_;
    std::unordered_map<MonitorClient *, Admission> clients_;
    uint64_t admitted_ = 0;

    // Makes room for a newcomer from address when a limit is reached.
    void makeRoomFor(uint32_t address);
    // Drops the monitor idle for longest among those that pass the filter, or when none has
    // been idle for a moment the oldest of them.
    void dropOne(const std::function<bool(const Admission &)> &among);
};

#endif
