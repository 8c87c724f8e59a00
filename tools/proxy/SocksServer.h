// The SOCKS ports: accepts the clients that the client rules let in and keeps track of their
// sessions.
#ifndef VANTOR_PROXY_SOCKSSERVER_H
#define VANTOR_PROXY_SOCKSSERVER_H

#include <ctime>
#include <unordered_map>
#include <vector>

#include "tools/proxy/Poller.h"
#include "tools/proxy/ProxyContext.h"

class SocksSession;

class SocksServer : public EventHandler {
public:
    // Takes ownership of the listening sockets, one per SOCKS address.
    SocksServer(ProxyContext& ctx, const std::vector<int>& listenFds);
    ~SocksServer() override;

    void onEvents(int tag, uint32_t events) override;
    // Hands the resolver's answers to the sessions still waiting for them.
    void deliverAnswers();
    void onTick(time_t monotonicNow);

private:
    ProxyContext& ctx_;
    std::vector<Watch> listens_; // never resized: the poller holds their addresses
    std::unordered_map<uint64_t, SocksSession*> sessions_;

    // Whether the client rules refuse this client; a refused one is counted and logged.
    bool refusedByRules(const sockaddr_storage& peer);
    // Accepts the clients waiting at one listener.
    void acceptFrom(Watch& listen);
};

#endif
