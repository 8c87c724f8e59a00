// The monitoring port: accepts monitors from the addresses that monitor-allow names (at most
// MAX_MONITORS at a time, and at most options.monitorsPerAddress from one client address) and
// keeps them. Idle monitors stay connected, since a real one polls over one connection with
// long pauses. Others are closed at once, logged and counted.
//
// A monitor that has shown that it reads what it asks for (it asked again once the earlier
// answers were all taken) is never pushed out by a newcomer. At a limit a newcomer replaces
// the monitor longest inactive (no request, no answers taken) among those that have not
// shown it, so that connections which ask and never read cannot lock the port, and a
// monitor reading its pass keeps its place; when every place is held by proven monitors the
// newcomer is closed at once. New connections from one address are also limited to
// options.monitorRate a second by a token bucket holding as many; beyond it they are closed
// at once. All refusals are counted and reported when the proxy ends.
#ifndef VANTOR_PROXY_MONITORSERVICE_H
#define VANTOR_PROXY_MONITORSERVICE_H

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <unordered_map>

#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

class MonitorClient;

class MonitorService : public EventHandler {
public:
    static const size_t MAX_MONITORS = 64;

    // Takes ownership of the listening socket.
    MonitorService(ProxyContext& ctx, int listenFd);
    ~MonitorService() override;

    void onEvents(int tag, uint32_t events) override;
    void onTick(time_t monotonicNow);

private:
    struct Admission {
        std::string address; // the client's address, IPv4 or IPv6, as text
        uint64_t order;      // when it was admitted, counted
    };

    struct Bucket {
        double tokens;
        std::chrono::steady_clock::time_point filled; // when tokens was reckoned
    };

    ProxyContext& ctx_;
    Watch listen_;
    std::unordered_map<MonitorClient*, Admission> clients_;
    std::unordered_map<std::string, Bucket> buckets_; // by client address
    uint64_t admitted_ = 0;
    uint64_t refusedAddress_ = 0; // closed at once: outside monitor-allow
    uint64_t refusedRate_ = 0;    // closed at once: over the rate of their address
    uint64_t refusedFull_ = 0;    // closed at once: every place held by proven monitors

    // Takes a token of address's bucket; false when it is empty.
    bool takeToken(const std::string& address);
    // Makes room for a newcomer from address when a limit is reached; false when there is
    // none to be made.
    bool makeRoomFor(const std::string& address);
    // Drops the monitor longest inactive among those that pass the filter and have not
    // proven themselves; false when there is none.
    bool dropOne(const std::function<bool(const Admission&)>& among);
};

#endif
